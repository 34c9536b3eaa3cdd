// The macro page's side of macros on mouse buttons: a macro file sent to a
// button slot, and a macro found on a button of the device stored as a file.
// Both go by the macro's file, never by what the editor shows, so an edit in
// progress neither leaks to the mouse nor is lost to a refill.
#include "macro/Macro.h"

#include "core/DeviceParam.h"
#include "core/FileIo.h"
#include "core/FileNotices.h"
#include "core/PostMsg.h"
#include "macro/MacroForm.h"

#include <QButtonGroup>
#include <QListWidget>
#include <QLoggingCategory>
#include <QSignalBlocker>
#include <QSpinBox>

namespace {
Q_LOGGING_CATEGORY(lcMacroDevice, "app.macro.device")

QString withoutNul(QString text)
{
    return text.remove(QChar(0));
}
} // namespace

void Macro::SlotMacroDownLoadData(QString MacroName, int index)
{
    const QString name = withoutNul(MacroName);
    if (!DeviceWriteReady || index < 0 || index >= kButtonSlots)
        return;
    // A name the record cannot hold whole would come back from the mouse as
    // another macro's file.
    if (core::cutToLocal8Bit(name, kMacroNameBytes) != name) {
        qCWarning(lcMacroDevice) << "macro" << name << "not sent: its name is longer than a button record holds";
        showNotice(Notice::NameTooLong);
        return;
    }
    core::MacroFileContent content;
    QString error;
    if (!core::readMacroFile(name, &content, &error)) {
        qCWarning(lcMacroDevice) << "macro" << name << "not sent:" << error;
        return;
    }
    // Cut to a record, it would come back from the mouse as a shorter macro.
    if (!core::fitsMacroRecord(content.rows)) {
        qCWarning(lcMacroDevice) << "macro" << name << "not sent: it has" << core::keyRowCount(content.rows)
                                 << "events, a button record holds" << kMacroRecordEvents;
        showNotice(Notice::MacroTooLong);
        return;
    }
    // The button page has already given the slot its macro function.
    const ButtonFunctionCode code = CurrentFlashDataCopy().ButtonFunction[index];
    SetButtonMacro(index, code, core::recordFromRows(name, content.rows));
}

void Macro::SlotButtonToMacro(FlashDataMap DataMap, int KeyNumer)
{
    if (KeyNumer < 0 || KeyNumer >= kButtonSlots)
        return;
    const MacroRecord& record = DataMap.MacroRecords[KeyNumer];
    const QString name = withoutNul(core::recordName(record));
    // Names come from the mouse or an imported image: one that is no safe
    // file name is left on the button and never touches the macro folder.
    if (!core::isSafeMacroName(name)) {
        qCWarning(lcMacroDevice) << "macro of button slot" << KeyNumer << "not stored: unsafe name" << name;
        return;
    }
    core::MacroFileContent content;
    content.repeat = DataMap.ButtonFunction[KeyNumer].Param2;
    content.rows = core::rowsFromRecord(record);
    // Every refill brings the same records again; a file that already holds
    // them is left as it is, and the user's own file is never replaced by
    // the shorter copy a record makes of it.
    core::MacroFileContent local;
    bool keepFile = false;
    if (core::readMacroFile(name, &local)) {
        if (!core::fitsMacroRecord(local.rows)) {
            qCWarning(lcMacroDevice) << "macro" << name << "from the mouse not stored: the local file is longer";
            content = local;
            keepFile = true;
        } else if (core::sameEvents(core::recordFromRows(name, local.rows), record)) {
            content.rows = local.rows;
        }
    }
    const QByteArray text = core::macroFileText(content.repeat, content.rows);
    QByteArray stored;
    if (!keepFile
        && (!core::readFileBounded(core::macroFilePath(name), core::kMacroFileMaxBytes, &stored) || stored != text)) {
        QString error;
        if (!core::writeFileAtomically(core::macroFilePath(name), text, &error)) {
            qCWarning(lcMacroDevice) << "macro" << name << "from the mouse not stored:" << error;
            core::noteUnsavedWrite(core::macroFilePath(name));
            return;
        }
    }
    if (!findMacroEntry(name))
        insertMacroEntry(name);
    if (m_shown.name == name && !m_shown.edited && !MacroRecording)
        reshowFromDevice(name, core::parseMacroFile(text));
    PostMsg::instance()->EmitAddMacroButton();
}

void Macro::insertMacroEntry(const QString& name)
{
    // After the current entry, which stays current; at the end without one.
    QListWidget* list = m_ui->listWidgetHong;
    const int current = list->currentRow();
    list->insertItem(current < 0 ? list->count() : current + 1, name);
}

void Macro::reshowFromDevice(const QString& name, const core::MacroFileContent& content)
{
    MacroFilePath = core::macroFilePath(name);
    {
        const QSignalBlocker blockGroup(RepeatGroup);
        const QSignalBlocker blockCount(m_ui->NumberEdit);
        showRepeat(content.repeat);
    }
    showMacroRows(name, content.rows);
}

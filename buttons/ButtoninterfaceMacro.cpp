// The macro list of the function menu and the page's side of the macro
// editor's changes: macros put on buttons, renamed, re-sent and taken off.
#include "buttons/Buttoninterface.h"

#include "buttons/ButtonForm.h"
#include "buttons/ButtonLabels.h"
#include "core/AppPaths.h"
#include "core/ConfigIni.h"
#include "core/DeviceAllInfo.h"
#include "core/DeviceParam.h"
#include "core/EventWait.h"
#include "core/MacroCodec.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "dialogs/DialogFrame.h"
#include "dialogs/MakeMacro.h"
#include "shell/common/PictureCheck.h"

#include <QButtonGroup>
#include <QDir>
#include <QLoggingCategory>
#include <QPointer>
#include <QScrollArea>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

Q_LOGGING_CATEGORY(lcMacroButtons, "app.buttons.macro")

constexpr int kMacroType = 6;
// Short lists are padded with hidden placeholders up to this many rows.
constexpr int kMacroListRows = 7;
// The macro editor saves a macro's file before it announces the change; the
// page gives it this long before the macro page sends the file.
constexpr int kMacroSaveWaitMs = 1500;
// "KeyParam" lists exist for the first five slots; a list starting with this
// item holds a key default instead of a mouse-button one.
constexpr int kKeyParamLists = 5;
const char* const kKeyDefaultMark = "0x05";

// The mouse's own function of each device slot: the menu entry and the
// assignment that gives it back.
struct MouseDefault {
    const char* entry;
    void (Buttoninterface::*assign)(bool);
};
const MouseDefault kMouseDefaults[] = {
    {"LeftKey_3", &Buttoninterface::on_LeftKey_3_clicked}, {"RightKey_3", &Buttoninterface::on_RightKey_3_clicked},
    {"MidKey", &Buttoninterface::on_MidKey_clicked},       {"BackKey_2", &Buttoninterface::on_BackKey_2_clicked},
    {"ForWardKey", &Buttoninterface::on_ForWardKey_clicked}, {"VolumeUp_8", &Buttoninterface::on_VolumeUp_8_clicked},
};

QStringList keyParam(int slot)
{
    const QString group = QStringLiteral("Drive%1").arg(CurrentDeviceInfoCopy().DriveIndex + 1);
    return ConfigIni::GetInstance()->GetValueList(group, QStringLiteral("KeyParam%1").arg(slot + 1));
}

} // namespace

void Buttoninterface::CreateMacroButtons()
{
    MacroContainer = new QWidget(this);
    MacroContainer->setObjectName(QStringLiteral("MacroContainer"));
    MacroContainer->setStyleSheet(QStringLiteral("#MacroContainer{background-color: transparent; border: none;}"));
    MacroLayout = new QVBoxLayout(MacroContainer);
    // The list grows with its buttons, so the scroll area scrolls a long one.
    MacroLayout->setSizeConstraint(QLayout::SetFixedSize);
    ButtonForm::keepClearOfPanelEdges(MacroLayout, 7);
    ui->scrollArea_7->setWidget(MacroContainer);
    listMacroFolder();
}

void Buttoninterface::SlotAddMacroButton()
{
    // A slot of a button may be running (a notice or a refill waits inside
    // it): the old buttons leave the list now and are deleted later.
    for (QToolButton* old : qAsConst(MacroButtonList)) {
        ChoiceGroup->removeButton(old);
        MacroLayout->removeWidget(old);
        old->hide();
        old->deleteLater();
    }
    MacroButtonList.clear();
    listMacroFolder();
}

void Buttoninterface::listMacroFolder()
{
    QFileInfoList files = QDir(core::macroFolderPath()).entryInfoList(QDir::Files | QDir::NoSymLinks);
    for (int i = 0; i < files.size(); ++i) {
        // The folder's list file is no macro.
        if (files[i].fileName().contains(QLatin1String("xml"))) {
            files.removeAt(i);
            break;
        }
    }
    for (const QFileInfo& file : qAsConst(files)) {
        if (!file.fileName().contains(QLatin1String("xml")))
            addMacroButton(file.fileName().remove(QStringLiteral(".ini")), false);
    }
    if (!files.isEmpty() && files.size() < kMacroListRows) {
        for (int i = files.size(); i < kMacroListRows; ++i)
            addMacroButton(QString(), true);
    }
}

void Buttoninterface::addMacroButton(const QString& text, bool placeholder)
{
    auto* b = new QToolButton(MacroContainer);
    b->setText(text);
    b->setFont(dialogs::DialogFrame::dialogFont(9));
    b->setMinimumSize(174, placeholder ? 23 : 22);
    b->setCheckable(true);
    b->setStyleSheet(shell::pictureSheet(QStringLiteral("QToolButton{color: rgb(%1;);border-image: url(%2CMenuTitle.png);}"
                                                        "QToolButton:hover{background-image: none;}"
                                                        "QToolButton:checked{border-image: url(%2CMenuTitleChecked.png);}")
                                             .arg(ButtonColorText, PictureDir)));
    MacroLayout->addWidget(b);
    MacroButtonList.append(b);
    if (placeholder) {
        b->setEnabled(false);
        b->hide();
        return;
    }
    ChoiceGroup->addButton(b);
    connect(b, &QToolButton::clicked, this, [this, b](bool checked) { slotButtonClicked(b, checked); });
}

QStringList Buttoninterface::MacroButtons() const
{
    QStringList names;
    for (const QToolButton* b : MacroButtonList) {
        if (b->isEnabled())
            names << b->text();
    }
    return names;
}

MacroRecord Buttoninterface::ReadMacroPage(const QString& name, int /*slot*/, bool* ok) const
{
    *ok = false;
    core::MacroFileContent content;
    QString error;
    if (!DeviceWriteReady)
        return MacroRecord{};
    if (!core::readMacroFile(name, &content, &error)) {
        qCWarning(lcMacroButtons) << "macro" << name << "not read:" << error;
        return MacroRecord{};
    }
    *ok = true;
    return core::recordFromRows(name, content.rows);
}

QString Buttoninterface::ReadMacroHeader(const QString& name) const
{
    core::MacroFileContent content;
    return core::readMacroFile(name, &content) ? QString::number(content.repeat) : QStringLiteral("0");
}

void Buttoninterface::slotButtonClicked(QToolButton* macroButton, bool checked)
{
    if (!checked)
        return;
    const QString name = macroButton->text();
    const int slot = selectedSlot();
    bool ok = false;
    if (slot < 0 || refusesLeftTakeover(slot, kMacroType, slot))
        return closeMenu();
    // The mouse keeps 30 name bytes; a longer name would come back from it
    // as another macro.
    if (core::cutToLocal8Bit(name, kMacroNameBytes) != name) {
        qCWarning(lcMacroButtons) << "macro" << name << "not sent: its name is longer than a button record holds";
        closeMenu();
        return showMacroNotice(MakeMacro::Text::NameTooLong);
    }
    // A macro the record cannot hold whole would come back from the mouse
    // cut, and the cut copy would replace the user's file.
    core::MacroFileContent content;
    if (core::readMacroFile(name, &content) && !core::fitsMacroRecord(content.rows)) {
        qCWarning(lcMacroButtons) << "macro" << name << "not sent: it has" << core::keyRowCount(content.rows)
                                  << "events, a button record holds" << kMacroRecordEvents;
        closeMenu();
        return showMacroNotice(MakeMacro::Text::MacroTooLong);
    }
    const MacroRecord record = ReadMacroPage(name, slot, &ok);
    const int repeat = ReadMacroHeader(name).toInt();
    if (ok && SetButtonMacro(slot, {kMacroType, quint8(slot), quint8(repeat)}, record)) {
        button(buttons::selectorOfSlot(slot))->setText(MacroText + name);
        SetButtonTriple(slot, kMacroType, slot, repeat);
    }
    closeMenu();
}

void Buttoninterface::showMacroNotice(MakeMacro::Text text)
{
    MakeMacro notice(nullptr, text);
    notice.placeOver(this, -50, -70);
    notice.exec();
}

// A delete names the macro as its label shows it, prefix included.
QString Buttoninterface::plainMacroName(QString name) const
{
    name.remove(QChar(0));
    if (!MacroText.isEmpty() && name.startsWith(MacroText))
        name.remove(0, MacroText.size());
    return name;
}

// The slots, in selector order, whose button holds the macro `name`: told by
// the function and the record's name, since a label may be stale or in
// another language.
QList<int> Buttoninterface::macroCarriers(const QString& name) const
{
    const FlashDataMap image = CurrentFlashDataCopy();
    QList<int> carriers;
    for (int row = 0; row < buttons::kDefaultSlots; ++row) {
        const int slot = SlotOfPhysicalButton(row);
        if (valueAt(ButtonType, slot) == kMacroType && core::recordName(image.MacroRecords[slot]) == name)
            carriers << slot;
    }
    return carriers;
}

void Buttoninterface::SlotDeleteMacroButton(QString MacroName)
{
    QList<int> keysToClear;
    for (int slot : macroCarriers(plainMacroName(MacroName)))
        restoreMouseDefault(slot, &keysToClear);
    deselect();
    // The cleared key records travel in one send; an image that is not the
    // open mouse's own would overwrite it with zeros or another mouse's data.
    if (!core::imageFromOpenDevice())
        return;
    core::changeAndSendImage([&keysToClear](FlashDataMap& image) {
        for (int slot : keysToClear)
            image.KeyRecords[slot] = KeyRecord{};
        return true;
    });
}

// Gives a button whose macro was deleted its function from Config.ini: a key
// default when its list holds one, else the mouse button it is.
void Buttoninterface::restoreMouseDefault(int slot, QList<int>* keysToClear)
{
    button(buttons::selectorOfSlot(slot))->setChecked(true);
    button(kMouseDefaults[slot].entry)->setChecked(true);
    const QStringList keys = slot < kKeyParamLists ? keyParam(slot) : QStringList();
    const bool keyDefault = keys.value(0) == QLatin1String(kKeyDefaultMark);
    if (keyDefault && keys.size() == 3) {
        AssignMultimediaKey(slot, keys[2].toInt(nullptr, 16));
    } else if (keyDefault && keys.size() == 4) {
        AssignKeyCombo(slot, keys[3]);
    } else {
        // Through a local: GCC's bounds check reads a stale index when the
        // array element is named inside a member-pointer call.
        const auto assign = kMouseDefaults[slot].assign;
        (this->*assign)(true);
        keysToClear->append(slot);
    }
}

void Buttoninterface::SlotMacroRename(QString MacroName, QString NewName)
{
    const FlashDataMap image = CurrentFlashDataCopy();
    for (int slot : macroCarriers(MacroName.remove(QChar(0)))) {
        button(buttons::selectorOfSlot(slot))->setText(MacroText + NewName);
        MacroRecord record = image.MacroRecords[slot];
        core::setRecordName(record, NewName);
        SetButtonMacro(slot, image.ButtonFunction[slot], record);
    }
}

void Buttoninterface::SlotUpDataMacro(QString MacroName, int index)
{
    const QString name = MacroName.remove(QChar(0));
    if (index == 0) {
        QPointer<Buttoninterface> self(this);
        WaitProcessingEvents(kMacroSaveWaitMs);
        if (!self)
            return;
        for (int slot : macroCarriers(name))
            PostMsg::instance()->EmitMacroDownLoadData(name, slot);
        return;
    }
    if (index != 1)
        return;
    core::MacroFileContent content;
    QString error;
    if (!core::readMacroFile(name, &content, &error)) {
        qCWarning(lcMacroButtons) << "repeat of macro" << name << "not sent:" << error;
        return;
    }
    const FlashDataMap image = CurrentFlashDataCopy();
    for (int slot : macroCarriers(name)) {
        const ButtonFunctionCode& now = image.ButtonFunction[slot];
        SetButtonMacro(slot, {now.Type, now.Param1, quint8(content.repeat)}, image.MacroRecords[slot]);
    }
}

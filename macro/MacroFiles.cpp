// The macro page's list of stored macros: listing the macro folder, showing
// a macro's file, new, rename, delete and the list's context menu. The list
// changes only after the file operation behind it succeeded.
#include "macro/Macro.h"

#include "core/FileIo.h"
#include "core/PostMsg.h"
#include "dialogs/DeleteConfirm.h"
#include "dialogs/QuestionDialog.h"
#include "macro/MacroForm.h"

#include <QCheckBox>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QLoggingCategory>
#include <QMenu>
#include <QButtonGroup>
#include <QSignalBlocker>
#include <QSpinBox>

namespace {
Q_LOGGING_CATEGORY(lcMacroFiles, "app.macro.files")

constexpr int kNoticeDx = -100;
constexpr int kNoticeDy = -50;
} // namespace

void Macro::LoadMacroList()
{
    const QStringList files =
        QDir(MacroPageDir).entryList(QDir::Files | QDir::NoSymLinks, QDir::Name | QDir::IgnoreCase);
    m_ui->listWidgetHong->addItems(macro::macroListNames(files));
}

QListWidgetItem* Macro::findMacroEntry(const QString& name) const
{
    for (int i = 0; i < m_ui->listWidgetHong->count(); ++i) {
        if (m_ui->listWidgetHong->item(i)->text() == name)
            return m_ui->listWidgetHong->item(i);
    }
    return nullptr;
}

bool Macro::nameTaken(const QString& name) const
{
    // A file the list does not show (made since the list was read) counts too:
    // it must not be emptied or renamed over.
    return findMacroEntry(name) || QFile::exists(core::macroFilePath(name));
}

void Macro::on_listWidgetHong_clicked(const QModelIndex& /*index*/)
{
    setSaveEnabled(false);
    ReadMacroFile();
}

void Macro::ReadMacroFile()
{
    const QListWidgetItem* entry = m_ui->listWidgetHong->currentItem();
    if (!entry) {
        showMacroRows(QString(), {});
        return;
    }
    const QString name = entry->text();
    MacroFilePath = core::macroFilePath(name);
    QByteArray bytes;
    QString error;
    if (!core::readFileBounded(MacroFilePath, core::kMacroFileMaxBytes, &bytes, &error))
        qCInfo(lcMacroFiles) << "macro shown without events:" << error;
    const core::MacroFileContent content = core::parseMacroFile(bytes);
    // Showing a macro is no change of its repeat mode. A file without a
    // first line (never saved) leaves the repeat boxes as they are.
    if (!bytes.isEmpty()) {
        const QSignalBlocker blockGroup(RepeatGroup);
        const QSignalBlocker blockCount(m_ui->NumberEdit);
        showRepeat(content.repeat);
    }
    showMacroRows(name, content.rows);
}

void Macro::CreateMewMacro()
{
    on_NewHong_clicked();
}

void Macro::on_NewHong_clicked()
{
    if (refusesWhileRecording())
        return;
    QuestionDialog dialog(nullptr);
    dialog.SetTipText(false);
    dialog.placeOver(this, kNoticeDx, kNoticeDy);
    dialog.exec();
    // A name the list could not show again ("x.xml", "a.ini") or that is no
    // file name is refused; an empty one is a cancel.
    const QString name = dialog.EnteredName;
    if (name.isEmpty())
        return;
    if (!core::isSafeMacroName(name)) {
        qCWarning(lcMacroFiles) << "new macro not made: unsafe name" << name;
        showNotice(Notice::NameUnsafe);
        return;
    }
    if (nameTaken(name)) {
        showNotice(Notice::SameName);
        return;
    }
    QString error;
    if (!core::writeFileAtomically(core::macroFilePath(name), QByteArray(), &error)) {
        qCWarning(lcMacroFiles) << "new macro not made:" << error;
        showNotice(Notice::MacroNotSaved);
        return;
    }
    m_ui->listWidgetHong->addItem(name);
    m_ui->listWidgetHong->setCurrentRow(m_ui->listWidgetHong->count() - 1);
    showMacroRows(name, {});
    m_ui->ReNumber->setChecked(true);
    m_ui->NumberEdit->setValue(1);
}

void Macro::RenameMacro()
{
    const QListWidgetItem* current = m_ui->listWidgetHong->currentItem();
    if (!current)
        return;
    const QString oldName = current->text();
    QuestionDialog dialog(nullptr);
    dialog.SetTipText(true);
    dialog.placeOver(this, kNoticeDx, kNoticeDy);
    dialog.exec();
    const QString newName = dialog.EnteredName;
    QListWidgetItem* entry = findMacroEntry(oldName);
    if (newName.isEmpty() || !entry)
        return;
    if (!core::isSafeMacroName(newName)) {
        qCWarning(lcMacroFiles) << "macro" << oldName << "not renamed: unsafe name" << newName;
        showNotice(Notice::NameUnsafe);
        return;
    }
    if (nameTaken(newName)) {
        showNotice(Notice::SameName);
        return;
    }
    QFile file(core::macroFilePath(oldName));
    if (!file.rename(core::macroFilePath(newName))) {
        qCWarning(lcMacroFiles) << "macro" << oldName << "not renamed to" << newName << ":" << file.errorString();
        showNotice(Notice::NotRenamed);
        return;
    }
    entry->setText(newName);
    if (m_shown.name == oldName)
        m_shown.name = newName;
    PostMsg::instance()->EmitMacroRename(oldName, newName);
}

void Macro::DeleteMacro()
{
    on_DeleteHong_clicked();
}

void Macro::on_DeleteHong_clicked()
{
    if (refusesWhileRecording())
        return;
    const QListWidgetItem* current = m_ui->listWidgetHong->currentItem();
    if (!current)
        return;
    const QString name = current->text();
    DeleteConfirm dialog(nullptr);
    dialog.placeOver(this, kNoticeDx, kNoticeDy);
    dialog.exec();
    // Delete what was asked about, and only if it is still the chosen entry.
    current = m_ui->listWidgetHong->currentItem();
    if (!dialog.isConfirmed() || !current || current->text() != name)
        return;
    QFile file(core::macroFilePath(name));
    if (file.exists() && !file.remove()) {
        qCWarning(lcMacroFiles) << "macro" << name << "not deleted:" << file.errorString();
        showNotice(Notice::NotDeleted);
        return;
    }
    PostMsg::instance()->EmitDeleteMacroButton(MacroRealText + name);
    delete m_ui->listWidgetHong->takeItem(m_ui->listWidgetHong->row(current));
    showMacroRows(QString(), {});
    m_ui->listWidgetHong->setCurrentRow(-1);
}

void Macro::on_listWidgetHong_customContextMenuRequested(const QPoint& pos)
{
    struct Action {
        bool overEntry;
        const QString* text;
        void (Macro::*run)();
    };
    const Action actions[] = {
        {false, &NewActionText, &Macro::CreateMewMacro},
        {false, &ImportActionText, &Macro::InPortMacro},
        {true, &ExportActionText, &Macro::ExPortMacro},
        {true, &RenameActionText, &Macro::RenameMacro},
        {true, &DeleteActionText, &Macro::DeleteMacro},
    };
    const bool overEntry = m_ui->listWidgetHong->itemAt(pos) != nullptr;
    QMenu menu(this);
    for (const Action& action : actions) {
        if (action.overEntry == overEntry)
            connect(menu.addAction(*action.text), &QAction::triggered, this, action.run);
    }
    menu.exec(QCursor::pos());
}

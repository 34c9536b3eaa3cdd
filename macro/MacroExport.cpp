// The macro page's export files: one macro with its rows and their icons,
// carried between computers. An import is read and checked whole before
// anything is listed or written.
#include "macro/Macro.h"

#include "core/FileIo.h"
#include "dialogs/SameMacro.h"
#include "dialogs/SaveFileChoice.h"
#include "macro/MacroForm.h"

#include <QDir>
#include <QFileDialog>
#include <QListWidget>
#include <QLoggingCategory>

namespace {
Q_LOGGING_CATEGORY(lcMacroExport, "app.macro.export")

QString s_nextFile;
bool s_nextFileSet = false;

// The notice box the duplicate name is centred as.
constexpr QSize kSameMacroBox(300, 110);
constexpr int kNoticeDx = -100;
constexpr int kNoticeDy = -50;

// An icon made from a picture file streams that file's path along with its pixels, and the path
// names the program's folder, often the user's name: a shared file carries the pixels only.
QVariant iconWithoutFileName(const QIcon& icon)
{
    QIcon pixels;
    for (const QSize& size : icon.availableSizes())
        pixels.addPixmap(icon.pixmap(size));
    return QVariant::fromValue(pixels);
}
} // namespace

void Macro::setNextFileForTesting(const QString& path)
{
    s_nextFile = path;
    s_nextFileSet = true;
}

QString Macro::askFile(bool save)
{
    if (s_nextFileSet) {
        s_nextFileSet = false;
        return s_nextFile;
    }
    const QString filter = QStringLiteral("File(*.ini)");
    return save ? dialogs::askSaveFileName(this, QStringLiteral("FileSave"), QDir::homePath(), filter,
                                           QStringLiteral("ini"))
                : QFileDialog::getOpenFileName(this, QStringLiteral("SelectFile"), QDir::homePath(), filter);
}

bool Macro::exportRows(const QString& name, int* repeat, QVector<core::MacroExportRow>* rows) const
{
    // The editor's rows as they stand when they are the entry's; otherwise
    // the entry's file, never another macro's rows under this name.
    if (m_shown.name == name) {
        *repeat = repeatCode();
        for (int i = 0; i < m_ui->listWidgetKey->count(); ++i) {
            const QListWidgetItem* item = m_ui->listWidgetKey->item(i);
            rows->append({rowOf(item), iconWithoutFileName(item->icon())});
        }
        return true;
    }
    core::MacroFileContent content;
    QString error;
    if (!core::readMacroFile(name, &content, &error)) {
        qCWarning(lcMacroExport) << "macro" << name << "not exported:" << error;
        return false;
    }
    *repeat = content.repeat;
    for (const core::MacroRow& row : content.rows)
        rows->append({row, iconWithoutFileName(rowIcon(row))});
    return true;
}

void Macro::ExPortMacro()
{
    const QListWidgetItem* entry = m_ui->listWidgetHong->currentItem();
    if (!entry)
        return;
    const QString name = entry->text();
    const QString path = askFile(true);
    int repeat = core::kDefaultRepeat;
    QVector<core::MacroExportRow> rows;
    if (path.isEmpty() || !exportRows(name, &repeat, &rows))
        return;
    QByteArray bytes;
    QString error;
    if (!core::writeExport(name, repeat, rows, &bytes, &error)) {
        qCWarning(lcMacroExport) << "macro" << name << "not exported:" << error;
        showNotice(Notice::ExportTooLong);
    } else if (!core::writeFileAtomically(path, bytes, &error)) {
        qCWarning(lcMacroExport) << "macro" << name << "not exported to" << path << ":" << error;
        showNotice(Notice::FileNotSaved);
    }
}

void Macro::InPortMacro()
{
    const QString path = askFile(false);
    if (path.isEmpty())
        return;
    QByteArray bytes;
    QString error;
    if (!core::readFileBounded(path, core::kMacroExportMaxBytes, &bytes, &error)) {
        qCWarning(lcMacroExport) << "macro not imported from" << path << ":" << error;
        showNotice(Notice::ImportRefused);
        return;
    }
    core::MacroExport imported;
    const core::MacroExportStatus status = core::readExport(bytes, &imported, &error, mouseNamesOfAllLanguages());
    // A name in use is told first, whatever else the file holds.
    if (!imported.name.isEmpty() && nameTaken(imported.name)) {
        SameMacro dialog(nullptr);
        dialog.placeOver(this, kSameMacroBox, kNoticeDx, kNoticeDy);
        dialog.exec();
        return;
    }
    if (status != core::MacroExportStatus::Ok) {
        qCWarning(lcMacroExport) << "macro not imported from" << path << ":" << error;
        const bool badName = status == core::MacroExportStatus::Refused && !core::isSafeMacroName(imported.name);
        showNotice(badName ? Notice::NameUnsafe : Notice::ImportRefused);
        return;
    }
    // A name a button record cannot hold whole would come back from the
    // mouse as another macro.
    if (core::cutToLocal8Bit(imported.name, kMacroNameBytes) != imported.name) {
        qCWarning(lcMacroExport) << "macro not imported from" << path << ": the name" << imported.name
                                 << "is longer than a button record holds";
        showNotice(Notice::NameTooLong);
        return;
    }
    storeImport(imported);
}

bool Macro::storeImport(const core::MacroExport& imported)
{
    QVector<core::MacroRow> rows;
    for (const core::MacroExportRow& item : imported.rows)
        rows.append(item.row);
    QString error;
    if (!core::writeMacroFile(imported.name, imported.repeat, rows, &error)) {
        qCWarning(lcMacroExport) << "imported macro" << imported.name << "not stored:" << error;
        showNotice(Notice::FileNotSaved);
        return false;
    }
    MacroFilePath = core::macroFilePath(imported.name);
    m_ui->listWidgetHong->addItem(imported.name);
    m_ui->listWidgetHong->setCurrentRow(m_ui->listWidgetHong->count() - 1);
    // The repeat boxes stay as they are; each row shows the icon of its kind.
    showMacroRows(imported.name, rows);
    return true;
}

#include "dialogs/SaveFileChoice.h"

#include <QFileDialog>

namespace dialogs {

QString askSaveFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter,
                        const QString& suffix)
{
    QFileDialog dialog(parent, caption, folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

} // namespace dialogs

#pragma once

#include <QString>

class QWidget;

namespace dialogs {

// Asks for a file to save into, like the platform's save dialog: a typed name
// without an extension gets `suffix` (without its dot), and the overwrite
// question is asked about that full name. "" when cancelled.
QString askSaveFileName(QWidget* parent, const QString& caption, const QString& folder, const QString& filter,
                        const QString& suffix);

} // namespace dialogs

#pragma once

#include <QString>
#include <QVariant>

// The few values the program keeps per user outside its folder: an ini file
// named after the product in the XDG config folder. Key paths keep their
// registry form ("HKEY_CURRENT_USER\\Software\\...") and become groups; value
// names become keys. Each call opens, reads or writes and syncs on its own
// under one lock, so any thread may call.
namespace Registry {

// "HKEY_CURRENT_USER\Software\" + P + "\" + P + "\" + P: the installer's "LanguageIndex".
QString InstallerKey();
// "HKEY_CURRENT_USER\Software\" + P + "\" + P + "\Mouse Drive Test": "MouseVer..." and "UpdateFailInfo".
QString DriveTestKey();
// "HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run": auto-start value.
QString RunKey();

// Path of the backing file.
QString FilePath();

QVariant Value(const QString& keyPath, const QString& name, const QVariant& fallback = QVariant());
bool Contains(const QString& keyPath, const QString& name);
// Values are stored as text. False when the store could not be written; its file then keeps
// every byte it had.
bool SetValue(const QString& keyPath, const QString& name, const QVariant& value);
bool Remove(const QString& keyPath, const QString& name);

} // namespace Registry

#pragma once

#include "core/IniStore.h"

#include <QString>

// The few values the program keeps per user outside its folder: an ini file
// named after the product in the XDG config folder. Key paths keep their
// registry form ("HKEY_CURRENT_USER\\Software\\...") and become groups; value
// names become keys. Another writer (the installer) may change the file while
// the program runs: reads see its change, and each change of the program is
// merged over the file as it then is, keeping every other entry's bytes. Values
// are text. Any thread may call.
namespace Registry {

// "HKEY_CURRENT_USER\Software\" + P + "\" + P + "\" + P: the installer's "LanguageIndex".
QString InstallerKey();
// "HKEY_CURRENT_USER\Software\" + P + "\" + P + "\Mouse Drive Test": "MouseVer..." and "UpdateFailInfo".
QString DriveTestKey();
// "HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run": auto-start value.
QString RunKey();

// Path of the backing file.
QString FilePath();

QString Value(const QString& keyPath, const QString& name, const QString& fallback = QString());
bool Contains(const QString& keyPath, const QString& name);
// The value holds for the rest of the run either way. False when the store could not be
// written: its file then keeps every byte it had, and the user is told once per run.
bool SetValue(const QString& keyPath, const QString& name, const QString& value);
template <typename T, typename = std::enable_if_t<!core::kIsStoreText<T>>>
bool SetValue(const QString& keyPath, const QString& name, const T& value) = delete;
bool Remove(const QString& keyPath, const QString& name);

} // namespace Registry

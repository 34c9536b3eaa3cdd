#pragma once

#include <QMap>
#include <QMutex>
#include <QString>

#include <type_traits>

namespace core {

// What a store takes as a value: text. A number, a list or bytes is refused when the call is
// compiled, instead of being flattened into some text when the file is written.
template <typename T>
constexpr bool kIsStoreText = std::is_convertible_v<const T&, QString> && !std::is_same_v<T, QByteArray>;

// One settings file the program writes (Macro.ini, the registry store), held in memory: read once
// through the bounded read when made, every change written whole through writeFileAtomically in
// the ini form QSettings reads. Values are text by "group/key" address. Every call is serialised
// by the store's own lock, so any thread may use it.
class IniStore
{
public:
    // Reads path now. A file that is no regular file or larger than maxBytes is damaged: it is
    // renamed to path + ".damaged" (kept for the user, recorded to be told) and the store starts
    // empty. A file that can be neither read nor moved aside is never written over.
    IniStore(const QString& path, qint64 maxBytes);
    IniStore(const IniStore&) = delete;
    IniStore& operator=(const IniStore&) = delete;

    QString path() const { return m_path; }

    QString value(const QString& address, const QString& fallback = QString()) const;
    bool contains(const QString& address) const;

    // The new value holds for the rest of the run either way. False (and *error) when the file
    // could not be written: it then keeps every byte it had, and the next write that succeeds
    // takes the value along.
    bool setValue(const QString& address, const QString& text, QString* error = nullptr);
    template <typename T, typename = std::enable_if_t<!kIsStoreText<T>>>
    bool setValue(const QString& address, const T& value, QString* error = nullptr) = delete;
    // True when the address was absent or the file was written without it.
    bool remove(const QString& address, QString* error = nullptr);

private:
    bool writeLocked(QString* error);

    mutable QMutex m_lock;
    const QString m_path;
    bool m_writable = true;
    QMap<QString, QString> m_values;
};

} // namespace core

#pragma once

#include <QByteArray>
#include <QMap>
#include <QMutex>
#include <QString>

#include <functional>
#include <optional>
#include <type_traits>

namespace core {

// What a store takes as a value: text. A number, a list or bytes is refused when the call is
// compiled, instead of being flattened into some text when the file is written.
template <typename T>
constexpr bool kIsStoreText = std::is_convertible_v<const T&, QString> && !std::is_same_v<T, QByteArray>;

// One settings file the program writes (Macro.ini, the registry store), shared with other writers
// (the installer, a hand edit, an earlier version): values are text by "group/key" address. The
// file is read through the bounded read when made and again whenever it is no longer the file
// the store last read or wrote; each change is merged over the file as it is then and written
// through writeFileAtomically, so that what others wrote stays, and every entry the program does
// not set or remove keeps its bytes. Every call is serialised by the store's own lock, so any
// thread may use it.
class IniStore
{
public:
    // Reads path now. A file that is no regular file or larger than maxBytes is damaged: it is
    // renamed to path + ".damaged" (kept for the user, who is told through recordSetAsideStore)
    // and the store starts empty. A file that can be neither read nor moved aside is never
    // written over. The same holds whenever the file is read again.
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
    // True when the file, as last read, holds no such value (nothing is written then) or was
    // written without it.
    bool remove(const QString& address, QString* error = nullptr);

    // Test seam: called with the path right after each write of the program has taken the
    // file's name, before anything else; another writer's edit at that moment is played there.
    static void setAfterWriteForTesting(std::function<void(const QString& path)> hook);
    // Test seam: the stores' clock runs this far ahead of the real one (0: as it is), so that
    // a look made now is one made that much after the file's last change.
    static void setClockAheadForTesting(qint64 ns);

private:
    // What tells one file from another at the path: a new inode, size or time is another file.
    // The times tell a change only once the clock has moved on past the one the file bears: a
    // file looked at while it may still change within that tick (settled() false) is confirmed
    // by its bytes at the next look.
    struct Identity
    {
        bool operator==(const Identity& other) const;
        bool operator!=(const Identity& other) const { return !(*this == other); }
        bool settled() const;
        enum class Kind { Unknown, Missing, Present } kind = Kind::Unknown;
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = -1;
        qint64 modifiedNs = 0;
        qint64 changedNs = 0;
        qint64 lookedNs = 0;  // when it was taken; no part of the identity
    };
    static Identity identityOf(const QString& path);

    bool syncLocked() const;
    void loadLocked(Identity now) const;
    void viewLocked() const;
    bool writeLocked(QString* error);
    void dropHeldLocked();

    mutable QMutex m_lock;
    const QString m_path;
    const qint64 m_maxBytes;
    // The file as last read or written; m_known is false while its content could not be read.
    mutable Identity m_seen;
    mutable bool m_known = false;
    mutable QByteArray m_bytes;
    // The program's own changes not yet in the file (none: removed).
    QMap<QString, std::optional<QString>> m_pending;
    // The file's values with the pending changes made.
    mutable QMap<QString, QString> m_values;
};

} // namespace core

#include "core/FileIo.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <QSaveFile>
#include <QSettings>
#include <QStringList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

Q_LOGGING_CATEGORY(lcFileIo, "app.core.fileio")

namespace core {

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error)
{
    auto fail = [error, &path](const QString& why) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    };
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath()))
        return fail(QStringLiteral("cannot create the folder"));
    QSaveFile file(path);
    // Unbuffered: a buffered save-file pushes small contents out only inside commit(), which
    // does not report that failure, and a full disk would leave an empty file reported as saved.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(file.errorString());
    auto cancel = [&file, &fail](const QString& why) {
        file.cancelWriting();
        return fail(why);
    };
    if (file.write(bytes) != bytes.size())
        return cancel(file.errorString());
    // Some file systems tell a lack of space only when the data reaches the disk: that must
    // happen before the new file takes the old one's name.
    if (::fsync(file.handle()) != 0 && errno != EINVAL)
        return cancel(QString::fromLocal8Bit(std::strerror(errno)));
    if (!file.commit())
        return fail(file.errorString());
    return true;
}

namespace {

bool isHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
           || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// A group or key in the escaped form the ini reader turns back: '/' as '\\', anything but
// letters, digits, '_', '-' and '.' as %XX or %UXXXX.
QByteArray iniKey(const QString& key)
{
    QByteArray out;
    for (const QChar c : key) {
        const ushort u = c.unicode();
        if (c == QLatin1Char('/'))
            out += '\\';
        else if ((u < 0x80 && c.isLetterOrNumber()) || c == QLatin1Char('_') || c == QLatin1Char('-')
                 || c == QLatin1Char('.'))
            out += char(u);
        else if (u <= 0xFF)
            out += '%' + QByteArray::number(u, 16).rightJustified(2, '0').toUpper();
        else
            out += "%U" + QByteArray::number(u, 16).rightJustified(4, '0').toUpper();
    }
    return out;
}

// A text value, quoted so that ',', ';', '=' and outer spaces stay part of it; only printable
// ASCII goes unescaped, so any reader codec gives the same text.
QByteArray iniText(const QString& text)
{
    QByteArray out = "\"";
    if (text.startsWith(QLatin1Char('@')))
        out += '@';  // a leading '@' would announce a typed value
    bool afterHexEscape = false;
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (c == QLatin1Char('\\') || c == QLatin1Char('"')) {
            out += '\\';
            out += char(u);
            afterHexEscape = false;
        } else if (u < 0x20 || u >= 0x7F || (afterHexEscape && isHexDigit(c))) {
            // A hex escape runs on over hex digits: one that follows it is escaped too.
            out += "\\x" + QByteArray::number(u, 16);
            afterHexEscape = true;
        } else {
            out += char(u);
            afterHexEscape = false;
        }
    }
    return out + '"';
}

QByteArray settingsFileText(const QMap<QString, QString>& values)
{
    // One section per first path component; keys without one go to the reader's "General".
    QMap<QString, QByteArray> sections;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const int slash = it.key().indexOf(QLatin1Char('/'));
        QString section = slash < 0 ? QString() : it.key().left(slash);
        const QString key = it.key().mid(slash + 1);
        sections[section] += iniKey(key) + '=' + iniText(it.value()) + '\n';
    }
    QByteArray text;
    for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
        if (!text.isEmpty())
            text += '\n';
        const bool general = it.key().compare(QLatin1String("General"), Qt::CaseInsensitive) == 0;
        const QByteArray name = it.key().isEmpty() ? QByteArray("General") : (general ? "%" : "") + iniKey(it.key());
        text += '[' + name + "]\n" + it.value();
    }
    return text;
}

// QSettings caches a file it read and reads it again only when its size or time stamp (in
// milliseconds) changed: a rewrite of the same size within the same millisecond would pass
// unseen, so the new file is dated after the one it replaced.
void dateAfter(const QString& path, const QDateTime& replaced)
{
    if (!replaced.isValid() || QFileInfo(path).lastModified() > replaced)
        return;
    const qint64 ms = replaced.toMSecsSinceEpoch() + 1;
    const struct timespec times[2] = {{0, UTIME_OMIT}, {time_t(ms / 1000), long(ms % 1000) * 1000000}};
    if (::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) != 0)
        qCWarning(lcFileIo, "%s: cannot date the new file: %s", qPrintable(path), std::strerror(errno));
}

QString tooLarge(qint64 maxBytes)
{
    return QStringLiteral("file is larger than %1 bytes").arg(maxBytes);
}

// Why a stat result is no file to read, or an empty text when it is one.
QString whyNotReadable(const struct stat& st, qint64 maxBytes)
{
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("not a regular file");
    if (st.st_size > maxBytes)
        return tooLarge(maxBytes);
    return QString();
}

QMutex& setAsideLock()
{
    static QMutex lock;
    return lock;
}

QVector<SetAsideStore>& setAsideRecord()
{
    static QVector<SetAsideStore> record;
    return record;
}

struct UnsavedWrites
{
    QMutex lock;
    QPointer<QObject> context;
    std::function<void(const QString&)> tell;
    QString pending;  // the first failure while no receiver was set
    bool told = false;
};

UnsavedWrites& unsavedWrites()
{
    static UnsavedWrites record;
    return record;
}

// With the record locked.
void tellUnsavedWrite(UnsavedWrites& record, const QString& path)
{
    record.told = true;
    QMetaObject::invokeMethod(record.context, [tell = record.tell, path] { tell(path); }, Qt::QueuedConnection);
}

} // namespace

QMap<QString, QString> settingsTexts(QSettings& store)
{
    QMap<QString, QString> values;
    for (const QString& key : store.allKeys()) {
        const QVariant value = store.value(key);
        values.insert(key, value.type() == QVariant::StringList ? value.toStringList().join(QStringLiteral(", "))
                                                                : value.toString());
    }
    return values;
}

bool writeSettingsAtomically(const QString& path, const QMap<QString, QString>& values, QString* error)
{
    const QDateTime replaced = QFileInfo(path).lastModified();
    if (!writeFileAtomically(path, settingsFileText(values), error))
        return false;
    dateAfter(path, replaced);
    return true;
}

FileState checkReadableFile(const QString& path, qint64 maxBytes, QString* error)
{
    struct stat st;
    const QByteArray name = QFile::encodeName(path);
    if (path.isEmpty() || ::stat(name.constData(), &st) != 0) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return FileState::Missing;
    }
    const QString why = whyNotReadable(st, maxBytes);
    if (!why.isEmpty() && error)
        *error = QStringLiteral("%1: %2").arg(path, why);
    if (!S_ISREG(st.st_mode))
        return FileState::NotRegular;
    return why.isEmpty() ? FileState::Usable : FileState::TooLarge;
}

bool setAsideDamagedStore(const QString& path, qint64 maxBytes)
{
    QString why;
    const FileState state = checkReadableFile(path, maxBytes, &why);
    if (state == FileState::Usable || state == FileState::Missing)
        return true;
    QString aside = path + QStringLiteral(".damaged");
    for (int n = 2; QFileInfo::exists(aside) || QFileInfo(aside).isSymLink(); ++n)
        aside = path + QStringLiteral(".damaged%1").arg(n);
    const bool moved = QFile::rename(path, aside);
    qCWarning(lcFileIo, "%s; %s", qPrintable(why),
              moved ? qPrintable(QStringLiteral("kept as %1, starting afresh").arg(aside))
                    : "cannot move it aside, it is not used");
    if (moved) {
        const QMutexLocker locker(&setAsideLock());
        setAsideRecord().append({path, aside});
    }
    return moved;
}

QVector<SetAsideStore> takeSetAsideStores()
{
    const QMutexLocker locker(&setAsideLock());
    return std::exchange(setAsideRecord(), {});
}

void noteUnsavedWrite(const QString& path)
{
    UnsavedWrites& record = unsavedWrites();
    const QMutexLocker locker(&record.lock);
    if (record.told)
        return;
    if (record.context)
        tellUnsavedWrite(record, path);
    else if (record.pending.isEmpty())
        record.pending = path;
}

void setUnsavedWriteReceiver(QObject* context, std::function<void(const QString& path)> tell)
{
    UnsavedWrites& record = unsavedWrites();
    const QMutexLocker locker(&record.lock);
    record.context = context;
    record.tell = std::move(tell);
    record.told = false;
    if (context && !record.pending.isEmpty())
        tellUnsavedWrite(record, std::exchange(record.pending, QString()));
}

bool readFileBounded(const QString& path, qint64 maxBytes, QByteArray* bytes, QString* error)
{
    auto fail = [error, &path](const QString& why) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    };
    // Opened without waiting and checked on the open descriptor: a FIFO would
    // otherwise block until some writer came, and a name swapped after a check
    // could still lead to one.
    const QByteArray name = QFile::encodeName(path);
    const int fd = path.isEmpty() ? -1 : ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st;
    const QString why =
        ::fstat(fd, &st) != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : whyNotReadable(st, maxBytes);
    if (!why.isEmpty()) {
        ::close(fd);
        return fail(why);
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return fail(file.errorString());
    }
    // Read one byte more than allowed: a file that grew since the check is caught too.
    QByteArray content = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return fail(file.errorString());
    if (content.size() > maxBytes)
        return fail(tooLarge(maxBytes));
    *bytes = content;
    return true;
}

} // namespace core

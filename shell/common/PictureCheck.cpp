#include "shell/common/PictureCheck.h"

#include "core/FileIo.h"

#include <QBuffer>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QLoggingCategory>
#include <QMutex>
#include <QMutexLocker>

#include <sys/stat.h>

Q_LOGGING_CATEGORY(lcPicture, "app.shell.picture")

namespace shell {

namespace {

// What stat tells of a file: a verdict holds as long as these do. The change time too: a copy that
// keeps the old modification time (an installer's, `cp -p`) may rewrite a file in place at the
// same size, and only the change time, which no program can set, tells of it.
struct Identity
{
    dev_t device = 0;
    ino_t inode = 0;
    mode_t mode = 0;
    off_t size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;

    bool operator==(const Identity& other) const
    {
        return device == other.device && inode == other.inode && mode == other.mode && size == other.size
               && modifiedNs == other.modifiedNs && changedNs == other.changedNs;
    }
};

struct Verdict
{
    Identity identity;
    bool usable = false;
};

struct Record
{
    QMutex lock;
    QHash<QString, Verdict> verdicts;
    QStringList refused;
};

Record& record()
{
    static Record instance;
    return instance;
}

// Why the picture at path cannot be shown, or an empty text when it can.
QString whyRefused(const QString& path)
{
    QByteArray bytes;
    QString error;
    if (!core::readFileBounded(path, kPictureMaxBytes, &bytes, &error))
        return error;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    // The name's suffix tells the reader which handler to try first, as it does for a file name.
    QImageReader reader(&buffer, QFileInfo(path).suffix().toLower().toLatin1());
    const QSize size = reader.size();
    if (!size.isValid())
        return QStringLiteral("%1: no picture header (%2)").arg(path, reader.errorString());
    if (size.width() > kPictureMaxWidth || size.height() > kPictureMaxHeight)
        return QStringLiteral("%1: %2 x %3 pixels, more than the window's %4 x %5")
            .arg(path)
            .arg(size.width())
            .arg(size.height())
            .arg(kPictureMaxWidth)
            .arg(kPictureMaxHeight);
    return QString();
}

enum class Found { Usable, Missing, Refused };

Found checkPicture(const QString& path)
{
    struct stat st;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return Found::Missing;
    const Identity identity{st.st_dev,
                            st.st_ino,
                            st.st_mode,
                            st.st_size,
                            qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                            qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
    Record& rec = record();
    {
        const QMutexLocker locker(&rec.lock);
        const auto known = rec.verdicts.constFind(path);
        if (known != rec.verdicts.constEnd() && known->identity == identity)
            return known->usable ? Found::Usable : Found::Refused;
    }
    // A FIFO or a device is refused on what stat says; only a regular file is opened.
    const QString why =
        S_ISREG(st.st_mode) ? whyRefused(path) : QStringLiteral("%1: not a regular file").arg(path);
    const QMutexLocker locker(&rec.lock);
    // Another thread may have judged the same file meanwhile: its verdict stands, said once.
    const auto known = rec.verdicts.constFind(path);
    if (known != rec.verdicts.constEnd() && known->identity == identity)
        return known->usable ? Found::Usable : Found::Refused;
    rec.verdicts.insert(path, {identity, why.isEmpty()});
    if (why.isEmpty())
        return Found::Usable;
    qCWarning(lcPicture, "picture not shown, %s", qPrintable(why));
    if (!rec.refused.contains(path))
        rec.refused.append(path);
    return Found::Refused;
}

} // namespace

bool pictureUsable(const QString& path)
{
    return checkPicture(path) == Found::Usable;
}

QString pictureSheet(const QString& sheet)
{
    static const QLatin1String open("url(");
    QString checked;
    int copied = 0;
    for (int at = sheet.indexOf(open); at >= 0; at = sheet.indexOf(open, at)) {
        const int start = at + open.size();
        const int end = sheet.indexOf(QLatin1Char(')'), start);
        if (end < 0)
            break;
        at = end;
        QString path = sheet.mid(start, end - start).trimmed();
        if (path.size() >= 2 && (path.startsWith(QLatin1Char('"')) || path.startsWith(QLatin1Char('\''))))
            path = path.mid(1, path.size() - 2);
        // A missing picture stays named: Qt finds nothing there and draws without it.
        if (checkPicture(path) != Found::Refused)
            continue;
        checked += sheet.midRef(copied, start - copied);
        copied = end;
    }
    if (copied == 0)
        return sheet;
    return checked + sheet.midRef(copied);
}

QIcon pictureIcon(const QString& path)
{
    return pictureUsable(path) ? QIcon(path) : QIcon();
}

void checkPictureFolder(const QString& folder)
{
    constexpr int kMaxPictures = 4096;
    QDirIterator it(folder, {QStringLiteral("*.png")}, QDir::Files | QDir::System, QDirIterator::Subdirectories);
    for (int n = 0; n < kMaxPictures && it.hasNext(); ++n)
        checkPicture(it.next());
}

QStringList refusedPictures()
{
    Record& rec = record();
    const QMutexLocker locker(&rec.lock);
    return rec.refused;
}

} // namespace shell

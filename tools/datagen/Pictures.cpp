#include "Pictures.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace datagen {

namespace {
std::vector<PictureSet>& registry()
{
    static std::vector<PictureSet> sets;
    return sets;
}

bool isOpaque(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return true;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return false;
    }
    return true;
}

} // namespace

PictureFolder::PictureFolder(const QString& dir)
    : m_dir(dir)
{
}

void PictureFolder::save(const QString& name, const QImage& image)
{
    const QString path = m_dir + QLatin1Char('/') + name;
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        m_errors << QStringLiteral("cannot create the folder of %1").arg(path);
        return;
    }
    QSaveFile file(path);
    // An opaque picture goes out without an alpha channel: the program then reads it straight
    // into its display format, without scanning it for transparency and copying it (for a
    // full-window background, a third of the choice page's time to its first paint).
    const QImage written = isOpaque(image) ? image.convertToFormat(QImage::Format_RGB32) : image;
    if (!file.open(QIODevice::WriteOnly) || !written.save(&file, "PNG") || !file.commit()) {
        m_errors << QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return;
    }
    ++m_written;
}

QImage PictureFolder::canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

bool registerPictures(const char* folder, DrawPictures draw)
{
    registry().push_back({folder, draw});
    return true;
}

const std::vector<PictureSet>& pictureSets()
{
    return registry();
}

} // namespace datagen

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
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit()) {
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

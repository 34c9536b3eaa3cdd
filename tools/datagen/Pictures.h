#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

// Picture folders register themselves: a file pictures_<Folder>.cpp holds
//
//     TALVO_PICTURES(WarningDialog)
//     {
//         out.save("BackGround.png", drawSomething());
//     }
//
// and the generator calls the body once with `out` writing into
// <program folder>/Picture/WarningDialog/. Nothing else needs an edit.
namespace datagen {

class PictureFolder
{
public:
    explicit PictureFolder(const QString& dir);

    // Writes one PNG below the folder (sub-folders in `name` are created).
    // A failed write is remembered and fails the whole generator run.
    void save(const QString& name, const QImage& image);

    // A transparent canvas ready for QPainter.
    static QImage canvas(int width, int height);

    const QString& dir() const { return m_dir; }
    const QStringList& errors() const { return m_errors; }
    int written() const { return m_written; }

private:
    QString m_dir;
    QStringList m_errors;
    int m_written = 0;
};

using DrawPictures = void (*)(PictureFolder& out);

struct PictureSet
{
    const char* folder;
    DrawPictures draw;
};

// Returns true so it can initialise a static; called before main().
bool registerPictures(const char* folder, DrawPictures draw);
const std::vector<PictureSet>& pictureSets();

} // namespace datagen

#define TALVO_PICTURES(Folder)                                                                  \
    static void talvoDrawPictures_##Folder(datagen::PictureFolder& out);                        \
    static const bool talvoPicturesRegistered_##Folder =                                        \
        datagen::registerPictures(#Folder, &talvoDrawPictures_##Folder);                        \
    static void talvoDrawPictures_##Folder(datagen::PictureFolder& out)

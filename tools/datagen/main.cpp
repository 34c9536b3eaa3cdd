// Writes the generated data beside the built program: the six language files
// and every registered picture folder.
#include "LanguageMerge.h"
#include "Pictures.h"

#include <QCommandLineParser>
#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    // Text in pictures needs the font database, which needs a GUI application.
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("lang"), QStringLiteral("Folder of language fragments."), QStringLiteral("dir")});
    parser.addOption({QStringLiteral("out"), QStringLiteral("Folder beside the program."), QStringLiteral("dir")});
    parser.process(app);
    QTextStream err(stderr);
    if (!parser.isSet(QStringLiteral("out"))) {
        err << "datagen: --out is required\n";
        return 2;
    }
    const QString out = parser.value(QStringLiteral("out"));

    int failures = 0;
    if (parser.isSet(QStringLiteral("lang"))) {
        QStringList warnings;
        QString error;
        if (!datagen::mergeLanguageFragments(parser.value(QStringLiteral("lang")), out, &warnings, &error)) {
            err << "datagen: error: " << error << '\n';
            ++failures;
        }
        for (const QString& w : qAsConst(warnings))
            err << "datagen: warning: " << w << '\n';
    }

    for (const datagen::PictureSet& set : datagen::pictureSets()) {
        datagen::PictureFolder folder(out + QStringLiteral("/Picture/") + QString::fromUtf8(set.folder));
        set.draw(folder);
        for (const QString& e : folder.errors())
            err << "datagen: error: " << e << '\n';
        failures += folder.errors().size();
    }
    return failures == 0 ? 0 : 1;
}

#include "LanguageMerge.h"

#include "shell/common/LanguageNames.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QVector>

namespace datagen {

namespace {

struct Fragment
{
    QString file;
    QString element;
    QDomElement languages[shell::kLanguageCount];
};

QStringList childNames(const QDomElement& parent)
{
    QStringList names;
    for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        names << e.tagName();
    return names;
}

bool readFragment(const QString& path, Fragment* out, QStringList* warnings)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *warnings << QStringLiteral("%1: cannot open: %2").arg(path, file.errorString());
        return false;
    }
    QDomDocument doc;
    QString message;
    int line = 0;
    if (!doc.setContent(&file, &message, &line)) {
        *warnings << QStringLiteral("%1:%2: %3").arg(path).arg(line).arg(message);
        return false;
    }
    const QDomElement root = doc.documentElement();
    out->file = path;
    out->element = root.attribute(QStringLiteral("element"));
    if (root.tagName() != QLatin1String("Fragment") || out->element.isEmpty()) {
        *warnings << QStringLiteral("%1: root must be <Fragment element=\"...\">").arg(path);
        return false;
    }
    for (QDomElement e = root.firstChildElement(QStringLiteral("Language")); !e.isNull();
         e = e.nextSiblingElement(QStringLiteral("Language"))) {
        bool ok = false;
        const int index = e.attribute(QStringLiteral("index")).toInt(&ok);
        if (!ok || index < 0 || index >= shell::kLanguageCount)
            *warnings << QStringLiteral("%1: language index \"%2\" ignored").arg(path, e.attribute("index"));
        else
            out->languages[index] = e;
    }
    const QStringList english = childNames(out->languages[0]);
    for (int i = 0; i < shell::kLanguageCount; ++i) {
        if (out->languages[i].isNull())
            *warnings << QStringLiteral("%1: language %2 missing").arg(path).arg(i);
        else if (childNames(out->languages[i]) != english)
            *warnings << QStringLiteral("%1: language %2 has other texts than English").arg(path).arg(i);
    }
    return true;
}

bool writeLanguage(const QString& path, const QDomDocument& doc, QString* error)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        *error = QStringLiteral("cannot create the folder of %1").arg(path);
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    file.write(doc.toByteArray(2));
    if (!file.commit()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace

bool mergeLanguageFragments(const QString& fragmentDir, const QString& outDir, QStringList* warnings,
                            QString* error)
{
    QVector<Fragment> fragments;
    const QStringList files = QDir(fragmentDir).entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name);
    for (const QString& name : files) {
        Fragment fragment;
        if (readFragment(fragmentDir + QLatin1Char('/') + name, &fragment, warnings))
            fragments << fragment;
    }

    for (int lang = 0; lang < shell::kLanguageCount; ++lang) {
        QDomDocument doc;
        doc.appendChild(doc.createProcessingInstruction(QStringLiteral("xml"),
                                                        QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
        QDomElement total = doc.createElement(QStringLiteral("Total"));
        doc.appendChild(total);
        for (const Fragment& fragment : qAsConst(fragments)) {
            // A language a fragment lacks falls back to its English texts, so
            // the window still shows words rather than its built-in defaults.
            QDomElement source = fragment.languages[lang];
            if (source.isNull())
                source = fragment.languages[0];
            if (source.isNull())
                continue;
            // Two windows may share one element (both firmware notices read
            // "NewVer"): their texts end up side by side in one element.
            QDomElement target = total.firstChildElement(fragment.element);
            if (target.isNull()) {
                target = doc.createElement(fragment.element);
                total.appendChild(target);
            }
            for (QDomNode n = source.firstChild(); !n.isNull(); n = n.nextSibling()) {
                if (n.isElement())
                    target.appendChild(doc.importNode(n, true));
            }
        }
        const QString path = outDir + QString::fromUtf8(shell::kLanguageNames[lang].file);
        if (!writeLanguage(path, doc, error))
            return false;
    }
    return true;
}

} // namespace datagen

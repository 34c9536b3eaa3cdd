// The build step that turns per-window fragments into the six language files.
// The generator is a build tool, not part of the program's libraries, so its
// merge step is compiled into this test directly.
#include "tools/datagen/LanguageMerge.cpp"

#include "shell/common/LanguageNames.h"

#include <QDomDocument>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray fragment(const char* element, const QList<QPair<int, QByteArray>>& languages)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Fragment element=\"" + QByteArray(element) + "\">";
    for (const auto& l : languages)
        xml += "<Language index=\"" + QByteArray::number(l.first) + "\">" + l.second + "</Language>";
    return xml + "</Fragment>";
}

QDomElement languageRoot(const QString& outDir, int index, QDomDocument* doc)
{
    QFile file(outDir + QString::fromUtf8(shell::kLanguageNames[index].file));
    if (!file.open(QIODevice::ReadOnly) || !doc->setContent(&file))
        return QDomElement();
    return doc->documentElement();
}

} // namespace

class TestLanguageMerge : public QObject
{
    Q_OBJECT

private slots:
    void mergesFragmentsIntoSixFiles();
    void brokenFragmentCostsOnlyItsOwnTexts();
};

void TestLanguageMerge::mergesFragmentsIntoSixFiles()
{
    QTemporaryDir in, out;
    QList<QPair<int, QByteArray>> six;
    for (int i = 0; i < 6; ++i)
        six << qMakePair(i, "<label>L" + QByteArray::number(i) + "</label><NewHong>OK" + QByteArray::number(i) +
                                "</NewHong>");
    writeFile(in.path() + "/B.xml", fragment("Beta", six));
    // Only English: the other languages fall back to it.
    writeFile(in.path() + "/A.xml", fragment("Alpha", {{0, "<label>only english</label>"}}));
    // A second fragment of an element adds its texts to the same element.
    writeFile(in.path() + "/C.xml", fragment("Beta", {{0, "<Extra>more</Extra>"}, {3, "<Extra>더</Extra>"}}));
    writeFile(in.path() + "/notes.txt", "not a fragment");

    QStringList warnings;
    QString error;
    QVERIFY2(datagen::mergeLanguageFragments(in.path(), out.path(), &warnings, &error), qPrintable(error));
    QVERIFY(warnings.join('\n').contains("A.xml: language 1 missing"));

    for (int i = 0; i < 6; ++i) {
        QDomDocument doc;
        const QDomElement total = languageRoot(out.path(), i, &doc);
        QCOMPARE(total.tagName(), QStringLiteral("Total"));
        QCOMPARE(total.firstChildElement("Alpha").firstChildElement("label").text(), QStringLiteral("only english"));
        const QDomElement beta = total.firstChildElement("Beta");
        QCOMPARE(beta.firstChildElement("label").text(), QStringLiteral("L%1").arg(i));
        QCOMPARE(beta.firstChildElement("NewHong").text(), QStringLiteral("OK%1").arg(i));
        QCOMPARE(beta.firstChildElement("Extra").text(), i == 3 ? QString::fromUtf8("더") : QStringLiteral("more"));
        QVERIFY(beta.nextSiblingElement("Beta").isNull());
    }
}

void TestLanguageMerge::brokenFragmentCostsOnlyItsOwnTexts()
{
    QTemporaryDir in, out;
    writeFile(in.path() + "/Good.xml", fragment("Good", {{0, "<label>fine</label>"}}));
    writeFile(in.path() + "/Broken.xml", "<Fragment element=\"Broken\"><Language index=\"0\"><label>cut");
    writeFile(in.path() + "/NoName.xml", "<Fragment><Language index=\"0\"><label>x</label></Language></Fragment>");
    writeFile(in.path() + "/Shape.xml",
              fragment("Shape", {{0, "<a>1</a><b>2</b>"}, {1, "<a>1</a>"}, {9, "<a>x</a>"}}));

    QStringList warnings;
    QString error;
    QVERIFY(datagen::mergeLanguageFragments(in.path(), out.path(), &warnings, &error));
    const QString all = warnings.join('\n');
    QVERIFY(all.contains("Broken.xml"));
    QVERIFY(all.contains("NoName.xml"));
    QVERIFY(all.contains("Shape.xml: language 1 has other texts than English"));
    QVERIFY(all.contains("language index \"9\" ignored"));

    QDomDocument doc;
    const QDomElement total = languageRoot(out.path(), 0, &doc);
    QCOMPARE(total.firstChildElement("Good").firstChildElement("label").text(), QStringLiteral("fine"));
    QVERIFY(total.firstChildElement("Broken").isNull());

    // An output folder that cannot be made is an error, not a silent pass.
    writeFile(out.path() + "/blocked", "file in the way");
    QVERIFY(!datagen::mergeLanguageFragments(in.path(), out.path() + "/blocked", &warnings, &error));
    QVERIFY(!error.isEmpty());
}

QTEST_GUILESS_MAIN(TestLanguageMerge)
#include "tst_languagemerge.moc"

// The six language files shipped beside the program: each one complete,
// each one shaped like the English one, and the notices' texts really
// translated.
#include "shell/common/LanguageNames.h"

#include <QDomDocument>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace {

struct Shape
{
    QStringList elements;
    QMap<QString, QStringList> children;
    QMap<QString, QString> texts; // "element/child" -> text
};

bool readShape(int index, Shape* out, QString* why)
{
    QFile file(QCoreApplication::applicationDirPath() + QString::fromUtf8(shell::kLanguageNames[index].file));
    if (!file.open(QIODevice::ReadOnly)) {
        *why = file.fileName() + QStringLiteral(": ") + file.errorString();
        return false;
    }
    QDomDocument doc;
    QString message;
    int line = 0;
    if (!doc.setContent(&file, &message, &line)) {
        *why = QStringLiteral("%1:%2: %3").arg(file.fileName()).arg(line).arg(message);
        return false;
    }
    if (doc.documentElement().tagName() != QLatin1String("Total")) {
        *why = file.fileName() + QStringLiteral(": root is not Total");
        return false;
    }
    for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        out->elements << e.tagName();
        for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement()) {
            out->children[e.tagName()] << c.tagName();
            out->texts[e.tagName() + QLatin1Char('/') + c.tagName()] = c.text();
        }
    }
    return true;
}

// The dialogs of the family and the texts each one reads.
const QMap<QString, QStringList>& noticeTexts()
{
    static const QMap<QString, QStringList> texts = {
        {"Question", {"label", "label_2", "NewHong", "NewHong_2"}},
        {"QuestionB", {"label"}},
        {"MouseOffLine", {"label", "Timeout", "NewHong"}},
        {"ButtonOnly", {"label"}},
        {"MakeMacro", {"label", "NewHong"}},
        {"SameMacro", {"label", "NewHong"}},
        {"MaxThree", {"label", "NewHong"}},
        {"ContainReset", {"label", "OK", "Cancel"}},
        {"Limit", {"label", "NewHong"}},
        {"RePair", {"label", "OK", "Cancel"}},
        {"DeleteConfirm", {"label", "NewHong"}},
        {"Progress", {"Confirm", "UpdateNotMove", "UpDateFail", "UpDateSuccess"}},
        {"EXEIsRun", {"label", "label_2", "PleaseStop", "NewHong"}},
        {"InportFail", {"label", "label_1", "NewHong"}},
        {"NewVer", {"NewHong"}},
        {"groupKey", {"label", "NewHong", "NewHong_2"}},
        {"AddKey", {"label", "NewHong", "NewHong_2"}},
        {"FireKey", {"label", "label_2", "label_3", "NewHong", "NewHong_2"}},
        {"AddDelayTime", {"label", "NewHong", "NewHong_2"}},
    };
    return texts;
}

// Characters each language's texts must contain at least one of.
const char* const kScripts[] = {
    "[A-Za-z]",
    "[\\x{4E00}-\\x{9FFF}]",
    "[\\x{4E00}-\\x{9FFF}]",
    "[\\x{AC00}-\\x{D7AF}]",
    "[\\x{0400}-\\x{04FF}]",
    "[\\x{3040}-\\x{30FF}\\x{4E00}-\\x{9FFF}]",
};

} // namespace

class TestLanguageFiles : public QObject
{
    Q_OBJECT

private slots:
    void everyFileHasTheShapeOfEnglish_data();
    void everyFileHasTheShapeOfEnglish();
    void noticesAreTranslated_data();
    void noticesAreTranslated();
};

void TestLanguageFiles::everyFileHasTheShapeOfEnglish_data()
{
    QTest::addColumn<int>("index");
    for (int i = 1; i < shell::kLanguageCount; ++i)
        QTest::newRow(shell::kLanguageNames[i].file) << i;
}

void TestLanguageFiles::everyFileHasTheShapeOfEnglish()
{
    QFETCH(int, index);
    Shape english, other;
    QString why;
    QVERIFY2(readShape(0, &english, &why), qPrintable(why));
    QVERIFY2(readShape(index, &other, &why), qPrintable(why));
    QCOMPARE(other.elements, english.elements);
    for (const QString& element : qAsConst(english.elements))
        QVERIFY2(other.children.value(element) == english.children.value(element), qPrintable(element));
    for (auto it = other.texts.cbegin(); it != other.texts.cend(); ++it)
        QVERIFY2(!it.value().trimmed().isEmpty() || english.texts.value(it.key()).trimmed().isEmpty(),
                 qPrintable(QStringLiteral("empty text ") + it.key()));
}

void TestLanguageFiles::noticesAreTranslated_data()
{
    QTest::addColumn<int>("index");
    for (int i = 0; i < shell::kLanguageCount; ++i)
        QTest::newRow(shell::kLanguageNames[i].file) << i;
}

void TestLanguageFiles::noticesAreTranslated()
{
    QFETCH(int, index);
    Shape english, shape;
    QString why;
    QVERIFY2(readShape(0, &english, &why), qPrintable(why));
    QVERIFY2(readShape(index, &shape, &why), qPrintable(why));
    const QRegularExpression script(QString::fromLatin1(kScripts[index]));
    const auto& notices = noticeTexts();
    for (auto it = notices.cbegin(); it != notices.cend(); ++it) {
        QVERIFY2(shape.elements.contains(it.key()), qPrintable(QStringLiteral("missing element ") + it.key()));
        for (const QString& child : it.value()) {
            const QString key = it.key() + QLatin1Char('/') + child;
            QVERIFY2(shape.texts.contains(key), qPrintable(QStringLiteral("missing text ") + key));
            const QString text = shape.texts.value(key);
            // "OK" is what Japanese buttons say too; every other text must be
            // written in the language's own script.
            if (text == QLatin1String("OK"))
                continue;
            QVERIFY2(script.match(text).hasMatch(), qPrintable(key + QStringLiteral(": ") + text));
            if (index != 0 && child.startsWith(QLatin1String("label")))
                QVERIFY2(text != english.texts.value(key), qPrintable(QStringLiteral("untranslated ") + key));
        }
    }
}

QTEST_GUILESS_MAIN(TestLanguageFiles)
#include "tst_languagefiles.moc"

// The shared language loader: file names, what a file must look like to be
// used, and how its texts reach widgets.
#include "support/dialogs_helpers.h"

#include "shell/common/LanguageFile.h"
#include "support/hostile_files.h"

#include <QComboBox>
#include <QLabel>
#include <QToolButton>
#include <QtTest>

using shell::LanguageElement;
using shell::LanguageFile;
using shell::TextBinding;
using shell::TextRole;

class TestLanguageFile : public QObject
{
    Q_OBJECT

private slots:
    void fileNameFollowsIndex_data();
    void fileNameFollowsIndex();
    void wrongRootKeepsNoText();
    void unknownNestedElementsAreSkippedWhole();
    void deepNestingIsSkippedAndReportedOnce();
    void brokenFileKeepsTextsReadBeforeTheBreak();
    void repeatedChildAndElementApplyInFileOrder();
    void cachedElementFollowsFileChanges();
    void missingFileGivesNoText();
    void textsReachWidgetsByTable();
    void hostileFilesLoadQuicklyOrNotAtAll_data();
    void hostileFilesLoadQuicklyOrNotAtAll();
    void languageListNamesEachLanguageInTheBoxFont_data();
    void languageListNamesEachLanguageInTheBoxFont();
};

void TestLanguageFile::fileNameFollowsIndex_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("name");
    QTest::newRow("english") << 0 << "/Language/0-English.xml";
    QTest::newRow("simplified") << 1 << QString::fromUtf8("/Language/1-简体中文.xml");
    QTest::newRow("traditional") << 2 << QString::fromUtf8("/Language/2-繁体中文.xml");
    QTest::newRow("korean") << 3 << "/Language/3-Korea.xml";
    QTest::newRow("russian") << 4 << "/Language/4-Russia.xml";
    QTest::newRow("japanese") << 5 << "/Language/5-Japanese.xml";
    QTest::newRow("past the end") << 7 << "/Language/0-English.xml";
    QTest::newRow("one past the end") << 6 << "/Language/0-English.xml";
    QTest::newRow("negative") << -1 << "/Language/0-English.xml";
}

void TestLanguageFile::fileNameFollowsIndex()
{
    QFETCH(int, index);
    QFETCH(QString, name);
    QCOMPARE(LanguageFile::path(index), QCoreApplication::applicationDirPath() + name);
}

void TestLanguageFile::wrongRootKeepsNoText()
{
    LanguageFile file;
    QString error;
    QVERIFY(!file.loadData("<Labels><Question><label>x</label></Question></Labels>", &error));
    QCOMPARE(error, QStringLiteral("Not a labels file"));
    QVERIFY(file.isEmpty());
    QVERIFY(file.element(QStringLiteral("Question")).isEmpty());

    // "Total" further down does not count: only the first element decides.
    QVERIFY(!file.loadData("<Wrap><Total><Question><label>x</label></Question></Total></Wrap>", &error));
    QVERIFY(file.isEmpty());
}

void TestLanguageFile::unknownNestedElementsAreSkippedWhole()
{
    LanguageFile file;
    QVERIFY(file.loadData(R"(<?xml version="1.0" encoding="UTF-8"?>
        <Total>
          <Other><Question><label>from another window</label></Question></Other>
          <Question>
            <label>real</label>
            <Group><label>nested</label><NewHong>nested ok</NewHong></Group>
            <NewHong kind="ignored">OK</NewHong>
          </Question>
        </Total>)"));
    const LanguageElement question = file.element(QStringLiteral("Question"));
    QCOMPARE(question.text(QStringLiteral("label")), QStringLiteral("real"));
    QCOMPARE(question.text(QStringLiteral("NewHong")), QStringLiteral("OK"));
    // A child that holds elements is no text: skipped whole, like an unknown element.
    QCOMPARE(question.childNames(), (QStringList{"label", "NewHong"}));
    // A window element nested in an unknown one is no window element.
    QCOMPARE(file.elementNames(), (QStringList{"Other", "Question"}));
    QVERIFY(!file.element(QStringLiteral("Other")).contains(QStringLiteral("label")));
}

namespace {
QStringList s_warnings;
void keepWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg)
        s_warnings << message;
}
} // namespace

// A hundred thousand levels in one text once overflowed the stack at every start.
void TestLanguageFile::deepNestingIsSkippedAndReportedOnce()
{
    constexpr int kDepth = 100000;
    const QByteArray xml = "<Total><DialogMain><MainForm>show</MainForm><Exit>" + QByteArray("<a>").repeated(kDepth)
        + QByteArray("</a>").repeated(kDepth) + "</Exit><Tail>after</Tail></DialogMain>"
        + "<Limit><label>next window</label></Limit></Total>";
    dialogtest::FakeProgramFolder folder;
    folder.write(0, xml);
    s_warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(keepWarnings);
    const LanguageElement main = LanguageFile::cachedElement(0, QStringLiteral("DialogMain"));
    const LanguageElement limit = LanguageFile::cachedElement(0, QStringLiteral("Limit"));
    qInstallMessageHandler(previous);
    QCOMPARE(main.childNames(), (QStringList{"MainForm", "Tail"}));
    QCOMPARE(limit.text(QStringLiteral("label")), QStringLiteral("next window"));
    QCOMPARE(s_warnings.size(), 1);
    QVERIFY2(s_warnings.first().contains(LanguageFile::path(0)) && s_warnings.first().contains("DialogMain/Exit"),
             qPrintable(s_warnings.first()));
}

void TestLanguageFile::brokenFileKeepsTextsReadBeforeTheBreak()
{
    LanguageFile file;
    QString error;
    QVERIFY(!file.loadData("<Total><MakeMacro><label>first</label></MakeMacro><SameMacro><label>cut", &error));
    QVERIFY(!error.isEmpty());
    QCOMPARE(file.element(QStringLiteral("MakeMacro")).text(QStringLiteral("label")), QStringLiteral("first"));
    QVERIFY(file.element(QStringLiteral("SameMacro")).isEmpty());

    QVERIFY(!file.loadData(QByteArray(), &error));
    QVERIFY(!file.loadData("not xml at all", &error));
    QVERIFY(file.isEmpty());
}

void TestLanguageFile::repeatedChildAndElementApplyInFileOrder()
{
    LanguageFile file;
    QVERIFY(file.loadData("<Total><Limit><label>one</label><label>two</label></Limit>"
                          "<Limit><NewHong>ok</NewHong><label>three</label></Limit></Total>"));
    const LanguageElement limit = file.element(QStringLiteral("Limit"));
    QCOMPARE(limit.text(QStringLiteral("label")), QStringLiteral("three"));
    QCOMPARE(limit.text(QStringLiteral("NewHong")), QStringLiteral("ok"));
    QCOMPARE(limit.text(QStringLiteral("absent"), QStringLiteral("kept")), QStringLiteral("kept"));
    QString out = QStringLiteral("untouched");
    QVERIFY(!limit.find(QStringLiteral("absent"), &out));
    QCOMPARE(out, QStringLiteral("untouched"));
}

void TestLanguageFile::cachedElementFollowsFileChanges()
{
    dialogtest::FakeProgramFolder folder;
    folder.write(3, "<Total><RePair><label>first</label></RePair></Total>");
    QCOMPARE(LanguageFile::cachedElement(3, QStringLiteral("RePair")).text(QStringLiteral("label")),
             QStringLiteral("first"));
    // A later language change must see the file as it is now.
    folder.write(3, "<Total><RePair><label>second version</label></RePair></Total>");
    QCOMPARE(LanguageFile::cachedElement(3, QStringLiteral("RePair")).text(QStringLiteral("label")),
             QStringLiteral("second version"));
    folder.write(0, "<Total><RePair><label>english</label></RePair></Total>");
    QCOMPARE(LanguageFile::cachedElement(9, QStringLiteral("RePair")).text(QStringLiteral("label")),
             QStringLiteral("english"));
    QCOMPARE(LanguageFile::cachedElement(3, QStringLiteral("RePair")).text(QStringLiteral("label")),
             QStringLiteral("second version"));
}

void TestLanguageFile::missingFileGivesNoText()
{
    dialogtest::FakeProgramFolder folder;
    QVERIFY(LanguageFile::cachedElement(2, QStringLiteral("RePair")).isEmpty());
    LanguageFile file;
    QString error;
    QVERIFY(!file.load(folder.path() + QStringLiteral("/nothing.xml"), &error));
    QVERIFY(!error.isEmpty());
}

void TestLanguageFile::textsReachWidgetsByTable()
{
    QWidget root;
    root.setObjectName(QStringLiteral("Page"));
    auto* title = new QLabel(QStringLiteral("built-in"), &root);
    title->setObjectName(QStringLiteral("label"));
    auto* button = new QToolButton(&root);
    button->setObjectName(QStringLiteral("NewHong"));
    auto* combo = new QComboBox(&root);
    combo->setObjectName(QStringLiteral("comboBox"));
    combo->addItems({QStringLiteral("a"), QStringLiteral("b")});

    LanguageElement texts;
    texts.append(QStringLiteral("label"), QStringLiteral("Title"));
    texts.append(QStringLiteral("Ok"), QStringLiteral("Fine"));
    texts.append(QStringLiteral("HelpDes"), QStringLiteral("Tip"));
    texts.append(QStringLiteral("Item1"), QStringLiteral("Second"));
    texts.append(QStringLiteral("Item5"), QStringLiteral("Nowhere"));
    texts.append(QStringLiteral("Lost"), QStringLiteral("No widget"));

    const TextBinding rows[] = {
        {"label", "label"},
        {"Ok", "NewHong"},
        {"HelpDes", "label", TextRole::ToolTip},
        {"Item1", "comboBox", TextRole::ItemText, 1},
        {"Item5", "comboBox", TextRole::ItemText, 5},
        {"Lost", "NoSuchWidget"},
        {"NotInFile", "label"},
    };
    QCOMPARE(shell::applyTexts(&root, texts, rows), 4);
    QCOMPARE(title->text(), QStringLiteral("Title"));
    QCOMPARE(title->toolTip(), QStringLiteral("Tip"));
    QCOMPARE(button->text(), QStringLiteral("Fine"));
    QCOMPARE(combo->itemText(0), QStringLiteral("a"));
    QCOMPARE(combo->itemText(1), QStringLiteral("Second"));
    QCOMPARE(combo->count(), 2);
}

namespace {

QByteArray repeated(int count, const char* pattern)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += QByteArray(pattern).replace("%", QByteArray::number(i));
    return out;
}

} // namespace

void TestLanguageFile::hostileFilesLoadQuicklyOrNotAtAll_data()
{
    QTest::addColumn<QByteArray>("xml");  // "fifo": a FIFO in place of the file
    QTest::addColumn<bool>("loaded");
    QTest::newRow("FIFO") << QByteArray("fifo") << false;
    QTest::newRow("100000 distinct elements")
        << "<Total>" + repeated(100000, "<E%><t>x</t></E%>") + "<W><t>y</t></W></Total>" << false;
    QTest::newRow("50000 attributes") << "<Total><W " + repeated(50000, "a%='1' ") + "><t>y</t></W></Total>" << false;
    QTest::newRow("100000 texts in one element")
        << "<Total><W>" + repeated(100000, "<t%>x</t%>") + "<t>y</t></W></Total>" << false;
    QTest::newRow("1000 elements, a few attributes")
        << "<Total>" + repeated(1000, "<E% a='1' b=\"2\"><t>x</t></E%>") + "<W><t>y</t></W></Total>" << true;
    QTest::newRow("equals signs in comments and values")
        << "<Total><!--" + repeated(100, "a=% ") + "--><W " + repeated(8, "a%='=====' ") + "><t>y</t></W>"
               + "<?pi " + repeated(100, "a=% ") + "?></Total>"
        << true;
    // Each bound at its limit and one past it.
    QTest::newRow("4096 windows") << "<Total>" + repeated(4095, "<E%><t>x</t></E%>") + "<W><t>y</t></W></Total>" << true;
    QTest::newRow("4097 windows") << "<Total>" + repeated(4096, "<E%><t>x</t></E%>") + "<W><t>y</t></W></Total>" << false;
    QTest::newRow("4096 texts in one window") << "<Total><W>" + repeated(4095, "<t%>x</t%>") + "<t>y</t></W></Total>" << true;
    QTest::newRow("4097 texts in one window") << "<Total><W>" + repeated(4096, "<t%>x</t%>") + "<t>y</t></W></Total>" << false;
    QTest::newRow("32 attributes") << "<Total><W " + repeated(32, "a%='1' ") + "><t>y</t></W></Total>" << true;
    QTest::newRow("33 attributes") << "<Total><W " + repeated(33, "a%='1' ") + "><t>y</t></W></Total>" << false;
    const QByteArray small = "<Total><W><t>y</t></W></Total>";
    QTest::newRow("8 MiB") << small + QByteArray((8 << 20) - small.size(), ' ') << true;
    QTest::newRow("8 MiB + 1") << small + QByteArray((8 << 20) - small.size() + 1, ' ') << false;
}

// A language file is read before the window shows: one made to be slow for the XML reader or
// for the merging of its elements must neither keep the window away nor flood memory.
void TestLanguageFile::hostileFilesLoadQuicklyOrNotAtAll()
{
    QFETCH(QByteArray, xml);
    QFETCH(bool, loaded);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("0-English.xml"));
    std::unique_ptr<hostile::Fifo> fifo(xml == "fifo" ? new hostile::Fifo(path) : nullptr);
    if (!fifo)
        QVERIFY(hostile::makeSparseFile(path, xml.size(), xml));
    QElapsedTimer clock;
    clock.start();
    LanguageFile file;
    QString error;
    QCOMPARE(file.load(path, &error), loaded);
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(file.element(QStringLiteral("W")).text(QStringLiteral("t")), loaded ? QStringLiteral("y") : QString());
    if (fifo)
        QVERIFY2(!fifo->hadToRelease(), "the reader blocked on the FIFO");
}

void TestLanguageFile::languageListNamesEachLanguageInTheBoxFont_data()
{
    QTest::addColumn<bool>("styledAfter"); // a style sheet set on the filled box polishes its list again
    QTest::newRow("as filled") << false;
    QTest::newRow("style sheet set afterwards") << true;
}

void TestLanguageFile::languageListNamesEachLanguageInTheBoxFont()
{
    QFETCH(bool, styledAfter);
    QComboBox box;
    QFont font(QStringLiteral("Noto Sans CJK SC"), 10);
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("DejaVu Sans")});
    box.setFont(font);
    shell::fillLanguageList(&box);
    if (styledAfter)
        box.setStyleSheet(QStringLiteral("QComboBox{color: rgb(1, 2, 3);}"));
    QCOMPARE(box.count(), 6);
    QCOMPARE(box.itemText(0), QStringLiteral("English"));
    QCOMPARE(box.itemText(5), QString::fromUtf8("\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E"));
    // Measured in any other font, each script's name would load a fallback font of its own.
    for (int row = 0; row < box.count(); ++row) {
        const QFont entry = qvariant_cast<QFont>(box.itemData(row, Qt::FontRole));
        QCOMPARE(entry.families(), font.families());
        QCOMPARE(entry.pointSize(), 10);
    }
}

QTEST_MAIN(TestLanguageFile)
#include "tst_languagefile.moc"

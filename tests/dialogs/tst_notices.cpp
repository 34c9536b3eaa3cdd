// What the single notices show and do: texts by language and by reason,
// the offline notice's closing by the bus and its one-at-a-time rule, the
// name question's filter and answer, the caller-set texts.
#include "core/ProcessState.h"
#include "support/dialogs_helpers.h"
#include "support/modal_helpers.h"

#include "core/PostMsg.h"
#include "dialogs/ExeIsRun.h"
#include "dialogs/InportFail.h"
#include "dialogs/MakeMacro.h"
#include "dialogs/MouseOffLine.h"
#include "dialogs/QuestionDialog.h"
#include "dialogs/ScenarioNotice.h"
#include "dialogs/UpDataParam.h"
#include "dialogs/UpDataParamImport.h"
#include "dialogs/UpDateWarning.h"

#include <QLabel>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTextCodec>
#include <QToolButton>
#include <QtTest>

using dialogtest::shippedText;
using modaltest::ModalDriver;

namespace {

const QByteArray kOfflineWithoutTimeout =
    "<Total><MouseOffLine><label>offline text</label><NewHong>Fine</NewHong></MouseOffLine></Total>";

} // namespace

class TestNotices : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void textsComeFromTheChosenLanguage_data();
    void textsComeFromTheChosenLanguage();
    void languageChangeWhileOpenUpdatesTexts();
    void offlineTextFollowsTheReason_data();
    void offlineTextFollowsTheReason();
    void oneBusSignalClosesEveryOfflineNotice();
    void offlineNoticeNeverStacks();
    void macroNameFilter_data();
    void macroNameFilter();
    void nameQuestionAnswersOnlyOnOk();
    void nameQuestionKeepsQuestionAcrossLanguageChange();
    void keptTextsOfTheBusyNotice();
    void builtInTextsSayWhatHappened();
    void importFailureTextFollowsResult_data();
    void importFailureTextFollowsResult();
    void messageNoticeTakesOnlyItsButtonFromLanguage();
    void scenarioNoticeTellsTheCauseInTheLanguage_data();
    void scenarioNoticeTellsTheCauseInTheLanguage();
};

void TestNotices::init()
{
    dialogtest::chooseLanguage(0);
    OffLineNoticeIndex = 0;
}

void TestNotices::cleanup()
{
    ImportResult = 0;
}

void TestNotices::textsComeFromTheChosenLanguage_data()
{
    QTest::addColumn<int>("language");
    for (int i = 0; i < 6; ++i)
        QTest::newRow(QByteArray::number(i)) << i;
}

void TestNotices::textsComeFromTheChosenLanguage()
{
    QFETCH(int, language);
    dialogtest::chooseLanguage(language);
    MakeMacro notice;
    QCOMPARE(notice.label()->text(), shippedText(language, "MakeMacro", "label"));
    QCOMPARE(notice.okButton()->text(), shippedText(language, "MakeMacro", "NewHong"));
    QVERIFY(!notice.label()->text().isEmpty());
}

void TestNotices::languageChangeWhileOpenUpdatesTexts()
{
    MakeMacro notice;
    notice.show();
    PostMsg::instance()->EmitChangeLanguage(3);
    QCOMPARE(notice.label()->text(), shippedText(3, "MakeMacro", "label"));
    QCOMPARE(notice.okButton()->text(), shippedText(3, "MakeMacro", "NewHong"));
    // Out of range reads English.
    PostMsg::instance()->EmitChangeLanguage(42);
    QCOMPARE(notice.label()->text(), shippedText(0, "MakeMacro", "label"));
}

void TestNotices::offlineTextFollowsTheReason_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("shippedFile");
    QTest::addColumn<QString>("expected");
    QTest::newRow("offline") << 0 << true << shippedText(0, "MouseOffLine", "label");
    QTest::newRow("timeout") << 1 << true << shippedText(0, "MouseOffLine", "Timeout");
    QTest::newRow("unknown reason keeps the built-in text")
        << 2 << true << QStringLiteral("   The mouse is offline. Please move first");
    QTest::newRow("timeout without its text keeps the built-in text")
        << 1 << false << QStringLiteral("   The mouse is offline. Please move first");
    QTest::newRow("offline from a reduced file") << 0 << false << QStringLiteral("offline text");
}

void TestNotices::offlineTextFollowsTheReason()
{
    QFETCH(int, reason);
    QFETCH(bool, shippedFile);
    QFETCH(QString, expected);
    QVERIFY(shippedText(0, "MouseOffLine", "label") != shippedText(0, "MouseOffLine", "Timeout"));
    std::unique_ptr<dialogtest::FakeProgramFolder> folder;
    if (!shippedFile) {
        folder.reset(new dialogtest::FakeProgramFolder);
        folder->write(0, kOfflineWithoutTimeout);
    }
    OffLineNoticeIndex = reason;
    MouseOffLine notice;
    QCOMPARE(notice.label()->text(), expected);
    QVERIFY(!notice.okButton()->text().isEmpty());
}

void TestNotices::oneBusSignalClosesEveryOfflineNotice()
{
    MouseOffLine first;
    MouseOffLine second;
    MakeMacro other;
    first.show();
    second.show();
    other.show();
    PostMsg::instance()->EmitCloseOffOnline();
    QVERIFY(!first.isVisible());
    QVERIFY(!second.isVisible());
    QVERIFY(other.isVisible());

    // And one that waits in exec() returns from it.
    QWidget window;
    window.resize(600, 400);
    window.show();
    QTimer::singleShot(0, this, [] { PostMsg::instance()->EmitCloseOffOnline(); });
    QVERIFY(MouseOffLine::showOnce(&window, 0, -20));
    QVERIFY(!MouseOffLine::openNotice());
}

void TestNotices::offlineNoticeNeverStacks()
{
    QWidget window;
    window.setGeometry(100, 100, 800, 600);
    window.show();
    int opened = 0;
    int refused = 0;
    QString textAfterSecondReport;
    ModalDriver driver([&](QWidget* shown) {
        QVERIFY(shown);
        QCOMPARE(shown, static_cast<QWidget*>(MouseOffLine::openNotice()));
        QCOMPARE(shown->pos(), window.mapToGlobal(QPoint(0, 0)) + QPoint(250, 230 - 20));
        // More reports while it is open: the open one takes the new reason.
        OffLineNoticeIndex = 1;
        for (int i = 0; i < 20; ++i)
            refused += MouseOffLine::showOnce(&window, 0, -20) ? 0 : 1;
        textAfterSecondReport = MouseOffLine::openNotice()->label()->text();
        int visible = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            visible += (qobject_cast<MouseOffLine*>(w) && w->isVisible()) ? 1 : 0;
        QCOMPARE(visible, 1);
        MouseOffLine::openNotice()->okButton()->click();
    });
    opened += MouseOffLine::showOnce(&window, 0, -20) ? 1 : 0;
    QCOMPARE(opened, 1);
    QCOMPARE(refused, 20);
    QCOMPARE(textAfterSecondReport, shippedText(0, "MouseOffLine", "Timeout"));
    QVERIFY(!MouseOffLine::openNotice());
}

void TestNotices::macroNameFilter_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    const QString han = QString::fromUtf8("宏");            // 3 bytes
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // 4 bytes, two UTF-16 units
    QTest::newRow("plain") << "Macro 1" << "Macro 1";
    QTest::newRow("typed blank at the end removes all") << "My macro " << "Mymacro";
    QTest::newRow("pasted inner blanks stay") << "a b c" << "a b c";
    QTest::newRow("only blanks") << "   " << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("30 bytes fit") << QString(30, 'x') << QString(30, 'x');
    QTest::newRow("31 bytes cut") << QString(31, 'x') << QString(30, 'x');
    QTest::newRow("ten wide characters fit") << han.repeated(10) << han.repeated(10);
    QTest::newRow("eleventh wide character cut whole") << han.repeated(11) << han.repeated(10);
    QTest::newRow("never half a character") << "a" + han.repeated(10) << "a" + han.repeated(9);
    QTest::newRow("never half a surrogate pair") << emoji.repeated(8) << emoji.repeated(7);
    QTest::newRow("blank at end after cut") << QString(40, 'y') + " " << QString(30, 'y');
    QTest::newRow("path separators dropped") << "..\\up/../x" << "..up..x";
    QTest::newRow("characters no file name takes") << "a:b*c?d\"e<f>g|h" << "abcdefgh";
    QTest::newRow("control characters dropped") << QString("a\tb\nc") << "abc";
    QTest::newRow("dots alone are no name") << ".." << "";
}

void TestNotices::macroNameFilter()
{
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    QTextCodec* previous = QTextCodec::codecForLocale();
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    const QString result = dialogs::filterMacroName(typed);
    QTextCodec::setCodecForLocale(previous);
    QCOMPARE(result, kept);
}

void TestNotices::nameQuestionAnswersOnlyOnOk()
{
    struct Case { const char* button; bool typeFirst; const char* expected; };
    const Case cases[] = {
        {"NewHong", true, "Jump2"}, // a typed blank vanishes at once
        {"NewHong_2", true, ""},
        {"CloseButton", true, ""},
        {"Escape", true, ""},
        {"NewHong", false, ""},
    };
    for (const Case& c : cases) {
        QuestionDialog question;
        auto* edit = dialogtest::widget<QLineEdit>(&question, "lineEdit");
        QVERIFY(edit);
        QCOMPARE(edit->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
        ModalDriver driver([&c, edit](QWidget* shown) {
            QCOMPARE(shown->focusWidget(), static_cast<QWidget*>(edit));
            if (c.typeFirst)
                QTest::keyClicks(edit, QStringLiteral("Jump 2"));
            if (QByteArray(c.button) == "Escape")
                QTest::keyClick(shown, Qt::Key_Escape);
            else
                dialogtest::widget<QToolButton>(shown, c.button)->click();
        });
        QCOMPARE(question.exec(), 0);
        QCOMPARE(question.EnteredName, QString::fromLatin1(c.expected));
    }
}

void TestNotices::nameQuestionKeepsQuestionAcrossLanguageChange()
{
    QuestionDialog question;
    question.SetTipText(false);
    QCOMPARE(question.label()->text(), shippedText(0, "Question", "label"));
    question.SetTipText(true);
    QCOMPARE(question.label()->text(), shippedText(0, "Question", "label_2"));
    question.show();
    PostMsg::instance()->EmitChangeLanguage(5);
    // The question shown stays; the buttons and the kept texts follow.
    QCOMPARE(question.label()->text(), shippedText(0, "Question", "label_2"));
    QCOMPARE(question.okButton()->text(), shippedText(5, "Question", "NewHong"));
    QCOMPARE(question.cancelButton()->text(), shippedText(5, "Question", "NewHong_2"));
    question.SetTipText(false);
    QCOMPARE(question.label()->text(), shippedText(5, "Question", "label"));
}

void TestNotices::keptTextsOfTheBusyNotice()
{
    dialogtest::chooseLanguage(4);
    ExeIsRun notice;
    QCOMPARE(notice.label()->text(), shippedText(4, "EXEIsRun", "label"));
    notice.SetLabelText();
    QCOMPARE(notice.label()->text(), shippedText(4, "EXEIsRun", "label_2"));
    notice.SetLabelText2();
    QCOMPARE(notice.label()->text(), shippedText(4, "EXEIsRun", "PleaseStop"));
    PostMsg::instance()->EmitChangeLanguage(1);
    notice.SetLabelText();
    QCOMPARE(notice.label()->text(), shippedText(1, "EXEIsRun", "label_2"));
    QCOMPARE(notice.minimumSize(), QSize(298, 140));
    QCOMPARE(notice.maximumSize(), QSize(300, 140));
}

void TestNotices::builtInTextsSayWhatHappened()
{
    // Without any language file the built-in texts must still match the
    // situation: a second copy of the program and a firmware notice must
    // not ask to confirm a deletion.
    dialogtest::FakeProgramFolder empty;
    ExeIsRun running;
    QVERIFY(!running.label()->text().contains(QStringLiteral("Delete")));
    QVERIFY(running.label()->text().contains(QStringLiteral("running")));
    UpDateWarning firmware;
    QVERIFY(!firmware.label()->text().contains(QStringLiteral("Delete")));
    QVERIFY(firmware.label()->text().contains(QStringLiteral("firmware")));
    MakeMacro macro;
    QCOMPARE(macro.label()->text(), QStringLiteral("Please create a macro first"));
}

void TestNotices::importFailureTextFollowsResult_data()
{
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("expected");
    QTest::newRow("not a settings file") << int(dialogs::ImportNotSettingsFile)
                                         << shippedText(0, "InportFail", "label");
    QTest::newRow("other device") << int(dialogs::ImportOtherDevice) << shippedText(0, "InportFail", "label_1");
    QTest::newRow("accepted keeps built-in") << int(dialogs::ImportAccepted)
                                             << QStringLiteral("Config does not match the device");
}

void TestNotices::importFailureTextFollowsResult()
{
    QFETCH(int, result);
    QFETCH(QString, expected);
    ImportResult = result;
    InportFail notice;
    QCOMPARE(notice.label()->text(), expected);
    // The reason is read again on a language change.
    ImportResult = int(dialogs::ImportOtherDevice);
    PostMsg::instance()->EmitChangeLanguage(2);
    QCOMPARE(notice.label()->text(), shippedText(2, "InportFail", "label_1"));
}

void TestNotices::messageNoticeTakesOnlyItsButtonFromLanguage()
{
    UpDateWarning notice;
    notice.SetText(QStringLiteral("Connect the cable"));
    notice.show();
    PostMsg::instance()->EmitChangeLanguage(3);
    QCOMPARE(notice.label()->text(), QStringLiteral("Connect the cable"));
    QCOMPARE(notice.okButton()->text(), shippedText(3, "NewVer", "NewHong"));
    notice.SetText(QString());
    QVERIFY(notice.label()->text().isEmpty());
    notice.hide();

    UpDateWarning viaReturn;
    ModalDriver driver([](QWidget* shown) { QTest::keyClick(shown, Qt::Key_Return); });
    QTimer::singleShot(2000, &viaReturn, &QWidget::close); // never hang the suite
    QElapsedTimer clock;
    clock.start();
    viaReturn.exec();
    QVERIFY(clock.elapsed() < 1500);
}

void TestNotices::scenarioNoticeTellsTheCauseInTheLanguage_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("child");
    const struct {
        const char* name;
        dialogs::ScenarioFault fault;
        int line;
        const char* child;
    } causes[] = {{"missing", dialogs::ScenarioFault::Missing, 0, "ScenarioMissing"},
                  {"unreadable", dialogs::ScenarioFault::Unreadable, 0, "ScenarioUnreadable"},
                  {"not a file", dialogs::ScenarioFault::NotAFile, 0, "ScenarioNotFile"},
                  {"malformed line", dialogs::ScenarioFault::Malformed, 17, "ScenarioBadLine"},
                  {"malformed file", dialogs::ScenarioFault::Malformed, 0, "ScenarioMalformed"}};
    for (int language = 0; language < 6; ++language)
        for (const auto& cause : causes)
            QTest::addRow("%d %s", language, cause.name)
                << language << int(cause.fault) << cause.line << QString::fromLatin1(cause.child);
}

// The start-up notice of a scenario that cannot be used says why in the user's language, naming
// the file and the faulty line: no word of the device library's English in it.
void TestNotices::scenarioNoticeTellsTheCauseInTheLanguage()
{
    QFETCH(int, language);
    QFETCH(int, fault);
    QFETCH(int, line);
    QFETCH(QString, child);
    dialogtest::chooseLanguage(language);
    const QString file = QStringLiteral("/home/user/talvo/devicelib/scenarios/timed-events.ini");
    UpDateWarning notice;
    notice.fitStartUpNotice(false);
    dialogs::setScenarioNoticeText(notice, dialogs::ScenarioFault(fault), line, file);
    const QString shown = notice.label()->text().remove(QChar(0x200B));
    const QString expected = shippedText(language, "DialogMain", child);
    QVERIFY2(expected.contains("%1") && (line == 0 || expected.contains("%2")), qPrintable(expected));
    QCOMPARE(shown, QString(expected).replace("%1", file).replace("%2", QString::number(line)));
    if (language != 0)
        QVERIFY2(!QString(shown).remove(file).contains(QRegularExpression("[A-Za-z]")), qPrintable(shown));
    QCOMPARE(notice.okButton()->text(), shippedText(language, "NewVer", "NewHong"));
}

QTEST_MAIN(TestNotices)
#include "tst_notices.moc"

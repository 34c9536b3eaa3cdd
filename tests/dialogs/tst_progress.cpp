// The firmware progress dialog: what each step shows, which way a close
// goes, and the update-check lock.
#include "support/dialogs_helpers.h"

#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "dialogs/Progress.h"

#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>

using dialogtest::shippedText;

class TestProgress : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsAtOnePercentWithoutTexts();
    void stepsChangeLabelBarAndButton();
    void closeAfterFailureReturnsToDeviceList();
    void closeAfterSuccessResetsAndContinues();
    void updateCheckBlocksCloseButNotOk();
    void okKeysOnlyWhileOkIsShown();
    void languageChangeInFailedStateTakesTheContinueWay();

private:
    QProgressBar* bar(Progress& p) { return dialogtest::widget<QProgressBar>(&p, "progressBar_2"); }
};

void TestProgress::init()
{
    dialogtest::chooseLanguage(0);
    UpdateCheckRunning = 0;
}

void TestProgress::cleanup()
{
    UpdateCheckRunning = 0;
}

void TestProgress::startsAtOnePercentWithoutTexts()
{
    {
        dialogtest::FakeProgramFolder empty;
        Progress progress;
        QCOMPARE(progress.label()->text(), QStringLiteral(": 1%"));
        QVERIFY(progress.okButton()->isHidden());
    }
    Progress progress;
    QCOMPARE(progress.label()->text(), shippedText(0, "Progress", "UpdateNotMove") + ": 1%");
    QCOMPARE(progress.okButton()->text(), shippedText(0, "Progress", "Confirm"));
    QVERIFY(bar(progress));
    QCOMPARE(bar(progress)->value(), 0);
    QVERIFY(bar(progress)->format().isEmpty());
    QCOMPARE(progress.closeButton()->focusPolicy(), Qt::NoFocus);
}

void TestProgress::stepsChangeLabelBarAndButton()
{
    Progress progress;
    const QString running = shippedText(0, "Progress", "UpdateNotMove");
    progress.SlotProgress(42, Progress::Running);
    QCOMPARE(progress.label()->text(), running + ": 42%");
    QCOMPARE(bar(progress)->value(), 42);

    // The bar keeps its range: a value beyond it is ignored, the text is not.
    progress.SlotProgress(250, Progress::Running);
    QCOMPARE(progress.label()->text(), running + ": 250%");
    QCOMPARE(bar(progress)->value(), 42);

    progress.SlotProgress(60, 7);
    QCOMPARE(progress.label()->text(), running + ": 250%");
    QCOMPARE(bar(progress)->value(), 60);

    progress.SlotProgress(70, Progress::Failed);
    QCOMPARE(progress.label()->text(), shippedText(0, "Progress", "UpDateFail"));
    QVERIFY(!progress.okButton()->isHidden());

    progress.SlotProgress(70, Progress::HideOk);
    QVERIFY(progress.okButton()->isHidden());
    QCOMPARE(progress.label()->text(), shippedText(0, "Progress", "UpDateFail"));

    progress.SlotProgress(10, Progress::Succeeded);
    QCOMPARE(progress.label()->text(), shippedText(0, "Progress", "UpDateSuccess"));
    QCOMPARE(bar(progress)->value(), 100);
    QVERIFY(!progress.okButton()->isHidden());

    progress.SlotProgress(90, Progress::Reset);
    QVERIFY(progress.okButton()->isHidden());
    QCOMPARE(progress.label()->text(), running + ": 0%");
    QCOMPARE(bar(progress)->value(), 0);
}

void TestProgress::closeAfterFailureReturnsToDeviceList()
{
    Progress progress;
    QSignalSpy main(PostMsg::instance(), &PostMsg::SigChangeMainDialog);
    QSignalSpy next(PostMsg::instance(), &PostMsg::SigContinue);
    progress.show();
    progress.SlotProgress(30, Progress::Failed);
    progress.closeButton()->click();
    QVERIFY(!progress.isVisible());
    QCOMPARE(main.count(), 1);
    QCOMPARE(main.at(0).at(0).toInt(), 0);
    QCOMPARE(next.count(), 0);
    // The failure stays readable; nothing was reset.
    QCOMPARE(progress.label()->text(), shippedText(0, "Progress", "UpDateFail"));
}

void TestProgress::closeAfterSuccessResetsAndContinues()
{
    Progress progress;
    QSignalSpy main(PostMsg::instance(), &PostMsg::SigChangeMainDialog);
    QSignalSpy next(PostMsg::instance(), &PostMsg::SigContinue);
    progress.show();
    progress.SlotProgress(100, Progress::Succeeded);
    progress.okButton()->click();
    QVERIFY(!progress.isVisible());
    QCOMPARE(main.count(), 0);
    QCOMPARE(next.count(), 1);
    QCOMPARE(next.at(0).at(0).toInt(), 0);
    QCOMPARE(progress.label()->text(), shippedText(0, "Progress", "UpdateNotMove") + ": 0%");
    QCOMPARE(bar(progress)->value(), 0);

    // The same instance serves the next update.
    progress.show();
    progress.SlotProgress(12, Progress::Running);
    QCOMPARE(bar(progress)->value(), 12);
}

void TestProgress::updateCheckBlocksCloseButNotOk()
{
    Progress progress;
    QSignalSpy next(PostMsg::instance(), &PostMsg::SigContinue);
    progress.show();
    progress.SlotProgress(50, Progress::Running);
    UpdateCheckRunning = 1;
    progress.closeButton()->click();
    PostMsg::instance()->EmitCloseProgress();
    QVERIFY(progress.isVisible());
    QCOMPARE(bar(progress)->value(), 50);
    progress.on_NewHong_clicked();
    QVERIFY(!progress.isVisible());
    QCOMPARE(next.count(), 1);

    UpdateCheckRunning = 0;
    progress.show();
    progress.SlotProgress(50, Progress::Running);
    PostMsg::instance()->EmitCloseProgress();
    QVERIFY(!progress.isVisible());
    QCOMPARE(bar(progress)->value(), 0);
    QCOMPARE(next.count(), 1);
}

void TestProgress::okKeysOnlyWhileOkIsShown()
{
    Progress progress;
    QSignalSpy next(PostMsg::instance(), &PostMsg::SigContinue);
    progress.show();
    QVERIFY(QTest::qWaitForWindowActive(&progress));
    QTest::keyClick(&progress, Qt::Key_Return);
    QCOMPARE(next.count(), 0);
    QVERIFY(progress.isVisible());

    progress.SlotProgress(100, Progress::Succeeded);
    QTest::keyClick(&progress, Qt::Key_Return);
    QCOMPARE(next.count(), 1);

    // Hidden again: Return must not reach the hidden button.
    progress.show();
    QVERIFY(QTest::qWaitForWindowActive(&progress));
    progress.SlotProgress(100, Progress::Succeeded);
    progress.SlotProgress(100, Progress::HideOk);
    QTest::keyClick(&progress, Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(next.count(), 1);
    QVERIFY(progress.isVisible());
}

void TestProgress::languageChangeInFailedStateTakesTheContinueWay()
{
    Progress progress;
    QSignalSpy main(PostMsg::instance(), &PostMsg::SigChangeMainDialog);
    QSignalSpy next(PostMsg::instance(), &PostMsg::SigContinue);
    progress.show();
    progress.SlotProgress(30, Progress::Failed);
    PostMsg::instance()->EmitChangeLanguage(4);
    QCOMPARE(progress.label()->text(), shippedText(0, "Progress", "UpDateFail"));
    QCOMPARE(progress.okButton()->text(), shippedText(4, "Progress", "Confirm"));
    progress.okButton()->click();
    QCOMPARE(main.count(), 0);
    QCOMPARE(next.count(), 1);
    QCOMPARE(progress.label()->text(), shippedText(4, "Progress", "UpdateNotMove") + ": 0%");
}

QTEST_MAIN(TestProgress)
#include "tst_progress.moc"

#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "shell/DialogMain.h"
#include "support/sim_helpers.h"

#include <SimControl.h>

#include <QEventLoop>
#include <QTimer>
#include <QtTest>

// A close that comes from outside the window (the window system's close button or a session
// ending) must not just hide the window and leave the device library running: it quits the way the
// window's own close button does. A process can quit once, so this is a program of its own.
class TestMainClose : public QObject
{
    Q_OBJECT

private slots:
    void windowSystemCloseRunsTheQuitSequence()
    {
        RegisterBusTypes();
        auto* window = new DialogMain;
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTRY_COMPARE_WITH_TIMEOUT(TileDeviceList.size(), 1, 10000);
        SimControl_ClearCallLog();

        QEventLoop loop;
        QTimer::singleShot(0, window, [window] { window->close(); });
        QTimer::singleShot(10000, &loop, [&loop] { loop.exit(99); });
        QCOMPARE(loop.exec(), 0);

        const QStringList calls =
            simtest::callsStartingWith(simtest::callLog(), {"StopUsbChanged", "UsbServer_Exit"});
        QVERIFY2(calls.size() >= 2, qPrintable(calls.join(' ')));
        QVERIFY(calls.at(0).startsWith("StopUsbChanged"));
        QVERIFY(calls.at(1).startsWith("UsbServer_Exit"));
        QVERIFY(!window->isVisible());
        delete window;
    }
};

QTEST_MAIN(TestMainClose)
#include "tst_main_close.moc"

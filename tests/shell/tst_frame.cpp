#include "core/AppPaths.h"
#include "core/DeviceInfoFile.h"
#include "core/FlashDataMap.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "shell/Dialog.h"
#include "shell/DialogMainStyle.h"
#include "support/sim_helpers.h"

#include <HIDUsb.h>
#include <SimControl.h>

#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QToolButton>
#include <QtTest>

namespace {

// Stands in for the main window: records the keys the frame passes on.
class KeySink : public QWidget
{
public:
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override { keys << event->key(); }
};

template <typename T>
T* child(QWidget* root, const char* name)
{
    T* found = root->findChild<T*>(QLatin1String(name));
    if (!found)
        qWarning("missing child %s", name);
    return found;
}

const char* const kPageButtons[] = {"ButtonMain", "SensorButton", "MacroButton", "FormSetting", "LightsButton"};

} // namespace

class TestFrame : public QObject
{
    Q_OBJECT

private:
    KeySink* m_window = nullptr;
    Dialog* m_frame = nullptr;

    QString cachePath() const { return DeviceCachePath(DumpCacheFileName()); }

private slots:
    void initTestCase()
    {
        RegisterBusTypes();
        m_window = new KeySink;
        m_frame = new Dialog(m_window);
        m_window->resize(1020, 700);
        m_window->show();
    }

    void cleanupTestCase()
    {
        delete m_window;
        UsbServer_Exit();
    }

    void init()
    {
        core::resetDeviceLinkState();
        SetDumpCacheFileName(DeviceCacheFileName(0x21, 1));
        QFile::remove(cachePath());
        SimControl_ClearCallLog();
    }

    void formHasTheGivenWidgets()
    {
        for (const char* name : {"frame_2", "frame_3", "frame", "frame_4", "UpArrow", "BatteryButtonC", "progressBar",
                                 "label", "label_2", "CloseButton", "MinButton", "SetButton", "stackedWidgetDialog"})
            QVERIFY2(m_frame->findChild<QWidget*>(QLatin1String(name)), name);
        QCOMPARE(m_frame->size(), QSize(1020, 700));
        QCOMPARE(child<QStackedWidget>(m_frame, "stackedWidgetDialog")->count(), 4);
        QVERIFY(!child<QWidget>(m_frame, "LightsButton")->isVisibleTo(m_frame));
        QVERIFY(!child<QWidget>(m_frame, "SetButton")->isVisibleTo(m_frame));
        QVERIFY(!child<QWidget>(m_frame, "label_2")->isVisibleTo(m_frame));
    }

    void batteryReport_data()
    {
        QTest::addColumn<bool>("charging");
        QTest::addColumn<int>("level");
        QTest::addColumn<bool>("withPercent");
        QTest::addColumn<QString>("chunk");
        QTest::addColumn<QString>("text");
        QTest::newRow("15 is low") << true << 15 << true << "152, 43, 34" << "15%";
        QTest::newRow("16 is fine") << false << 16 << false << "0, 255, 153" << "16";
        QTest::newRow("empty") << false << 0 << true << "152, 43, 34" << "0%";
    }

    void batteryReport()
    {
        QFETCH(bool, charging);
        QFETCH(int, level);
        QFETCH(bool, withPercent);
        QFETCH(QString, chunk);
        QFETCH(QString, text);
        m_frame->SlotBattery(!charging, 50, true); // the opposite state first
        m_frame->SlotBattery(charging, level, withPercent);
        auto* gauge = child<QProgressBar>(m_frame, "progressBar");
        QCOMPARE(gauge->value(), level);
        QVERIFY2(gauge->styleSheet().contains(QStringLiteral("::chunk {background-color: rgb(%1);}").arg(chunk)),
                 qPrintable(gauge->styleSheet()));
        QCOMPARE(child<QLabel>(m_frame, "label")->isVisibleTo(m_frame), charging);
        QCOMPARE(child<QLabel>(m_frame, "label_2")->text(), text);
    }

    void batteryOutOfRangeKeepsGaugeValue()
    {
        m_frame->SlotBattery(false, 40, true);
        m_frame->SlotBattery(false, 150, true);
        QCOMPARE(child<QProgressBar>(m_frame, "progressBar")->value(), 40);
        QCOMPARE(child<QLabel>(m_frame, "label_2")->text(), QStringLiteral("150%"));
    }

    void batteryArrivesFromAReportThread()
    {
        // The report thread waits until the gauge shows its report.
        QThread* reporter = QThread::create([] { PostMsg::instance()->EmitBattery(false, 33, true); });
        reporter->start();
        QTRY_VERIFY(reporter->isFinished());
        delete reporter;
        QCOMPARE(child<QProgressBar>(m_frame, "progressBar")->value(), 33);
    }

    void recordingLocksThePageButtons()
    {
        PostMsg::instance()->EmitStartRecord(0);
        for (const char* name : kPageButtons)
            QVERIFY2(!child<QToolButton>(m_frame, name)->isEnabled(), name);
        for (const char* name : {"UpArrow", "MinButton", "CloseButton"})
            QVERIFY2(child<QToolButton>(m_frame, name)->isEnabled(), name);
        PostMsg::instance()->EmitStartRecord(2);
        QVERIFY(!child<QToolButton>(m_frame, "ButtonMain")->isEnabled());
        PostMsg::instance()->EmitStartRecord(1);
        for (const char* name : kPageButtons)
            QVERIFY2(child<QToolButton>(m_frame, name)->isEnabled(), name);
    }

    void pageButtonsShowTheirPages()
    {
        auto* stack = child<QStackedWidget>(m_frame, "stackedWidgetDialog");
        QSignalSpy addMacro(PostMsg::instance(), &PostMsg::SigAddMacroButton);
        const struct
        {
            const char* button;
            const char* page;
        } rows[] = {{"SensorButton", "Sensor"}, {"MacroButton", "Macro"}, {"FormSetting", "FormSetting"},
                    {"ButtonMain", "Buttoninterface"}, {"ButtonMain", "Buttoninterface"}};
        for (const auto& row : rows) {
            child<QToolButton>(m_frame, row.button)->click();
            QCOMPARE(stack->currentWidget()->metaObject()->className(), row.page);
            QVERIFY(child<QToolButton>(m_frame, row.button)->isChecked());
        }
        // The button page rebuilds its macro list at every press, also when it is already shown;
        // and each click runs once (no second connection by name).
        QCOMPARE(addMacro.count(), 2);
    }

    void escapeAndF12StopAtTheFrame()
    {
        m_window->keys.clear();
        QTest::keyClick(m_frame, Qt::Key_Escape);
        QTest::keyClick(m_frame, Qt::Key_F12);
        QTest::keyClick(m_frame, Qt::Key_Return);
        QTest::keyClick(m_frame, Qt::Key_Space);
        QCOMPARE(m_window->keys, (QList<int>{Qt::Key_Return, Qt::Key_Space}));
    }

    void minimiseWritesNoCache()
    {
        core::setImageFromOpenDevice(true);
        QSignalSpy size(PostMsg::instance(), &PostMsg::SigChangeSize);
        child<QToolButton>(m_frame, "MinButton")->click();
        QCOMPARE(size.count(), 1);
        QCOMPARE(size.first().first().toInt(), 0);
        QVERIFY(!QFile::exists(cachePath()));
    }

    void closeWritesCacheThenQuits()
    {
        core::setImageFromOpenDevice(true);
        FlashDataMap image = EmptyFlashDataMap();
        image.ReportRate = 4;
        image.DebounceTime = 9;
        StoreCurrentFlashData(image);
        bool cacheBeforeSignal = false;
        QSignalSpy size(PostMsg::instance(), &PostMsg::SigChangeSize);
        QMetaObject::Connection probe = connect(PostMsg::instance(), &PostMsg::SigChangeSize, this,
                                                [&] { cacheBeforeSignal = QFile::exists(cachePath()); });
        child<QToolButton>(m_frame, "CloseButton")->click();
        disconnect(probe);
        QCOMPARE(size.count(), 1);
        QCOMPARE(size.first().first().toInt(), 1);
        QVERIFY(cacheBeforeSignal);
        QFile file(cachePath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes.size(), 10432);
        QCOMPARE(bytes.left(4).toHex(), QByteArray("000028bc"));
        QCOMPARE(bytes.at(4 + 0), char(4));
        QCOMPARE(bytes.at(4 + 6), char(9));
    }

    void closeBeforeTheMouseSentItsImageKeepsOldCache()
    {
        // The image in memory is not the mouse's yet: its good cache must survive.
        FlashDataMap old = EmptyFlashDataMap();
        old.ReportRate = 1;
        QVERIFY(WriteDeviceInfoFile(DumpCacheFileName(), old));
        StoreCurrentFlashData(EmptyFlashDataMap());
        child<QToolButton>(m_frame, "CloseButton")->click();
        FlashDataMap read;
        QVERIFY(ReadDeviceInfoFile(DumpCacheFileName(), &read));
        QCOMPARE(read.ReportRate, quint8(1));
    }

    void backArrowTellsDeviceSavesAndReturns()
    {
        core::setImageFromOpenDevice(true);
        child<QToolButton>(m_frame, "SensorButton")->click();
        QSignalSpy main(PostMsg::instance(), &PostMsg::SigChangeMainDialog);
        QSignalSpy macro(PostMsg::instance(), &PostMsg::SigSetMacroPage);
        child<QToolButton>(m_frame, "UpArrow")->click();

        QCOMPARE(main.count(), 1);
        QCOMPARE(main.first().first().toInt(), 0);
        QCOMPARE(macro.count(), 1);
        QCOMPARE(QFileInfo(cachePath()).size(), 10432);
        const QStringList calls = simtest::callsStartingWith(
            simtest::callLog(), {"UsbServer_SetPCDriverStatus", "UsbServer_Exit"});
        QCOMPARE(calls.size(), 2);
        QVERIFY2(calls.at(0).startsWith("UsbServer_SetPCDriverStatus(0"), qPrintable(calls.join(' ')));
        QVERIFY(calls.at(1).startsWith("UsbServer_Exit"));
        // The button is checked for the next visit; the shown page follows at the next open.
        QVERIFY(child<QToolButton>(m_frame, "ButtonMain")->isChecked());
        PostMsg::instance()->EmitSecondPageChange();
        QCOMPARE(child<QStackedWidget>(m_frame, "stackedWidgetDialog")->currentWidget()->metaObject()->className(),
                 "Buttoninterface");
    }

    void styleTableCoversEveryButtonImage()
    {
        for (const shell::ButtonLook& look : shell::kFrameButtonLooks) {
            auto* button = child<QToolButton>(m_frame, look.button);
            QVERIFY2(button, look.button);
            for (const char* image : {look.normal, look.hover, look.active}) {
                QVERIFY2(button->styleSheet().contains(QLatin1String(image)), look.button);
                QVERIFY2(QFile::exists(AppDir() + "/Picture/Dialog/" + image), image);
            }
        }
    }
};

QTEST_MAIN(TestFrame)
#include "tst_frame.moc"

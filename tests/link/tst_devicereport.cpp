#include "buttons/Buttoninterface.h"
#include "core/ConfigIni.h"
#include "core/DeviceParam.h"
#include "core/DeviceReport.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Registry.h"
#include "core/Worker.h"
#include "devicelib/HIDUsb.h"
#include "devicelib/SimControl.h"
#include "sensor/Sensor.h"
#include "settings/FormSetting.h"
#include "support/link_helpers.h"
#include "support/sim_helpers.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QAbstractButton>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include <dlfcn.h>

namespace {

// While set, a dump request returns only after its answer has been handled,
// as a real receiver may answer before the requesting call comes back.
std::atomic<bool> answerBeforeReturn{false};
// While set, the receiver probe comes back unanswered, as for a mouse on its cable.
std::atomic<bool> leaveProbeUnanswered{false};

} // namespace

// Stands in for the library's request in this test program only (the
// executable's definition wins over the shared library's) and forwards to it.
extern "C" bool UsbServer_ReadAllFlashData(void)
{
    using Request = bool (*)();
    static const auto real = reinterpret_cast<Request>(dlsym(RTLD_NEXT, "UsbServer_ReadAllFlashData"));
    const bool queued = real && real();
    if (queued && answerBeforeReturn)
        SimControl_WaitIdle(10000);
    return queued;
}

extern "C" bool UsbFinderC_GetLongRangeMode(const char* path, unsigned char* mode)
{
    using Probe = bool (*)(const char*, unsigned char*);
    static const auto real = reinterpret_cast<Probe>(dlsym(RTLD_NEXT, "UsbFinderC_GetLongRangeMode"));
    if (leaveProbeUnanswered)
        return false;
    return real && real(path, mode);
}

namespace {

QByteArray bytesOf(const FlashDataMap& image)
{
    return QByteArray(reinterpret_cast<const char*>(&image), int(sizeof image));
}

// Delivers one report to the dispatcher from a thread of its own, as the
// device library does.
bool deliver(const QByteArray& header, const QByteArray& data)
{
    return linktest::runOffGuiThread([header, data] {
        OnDeviceReport(reinterpret_cast<const unsigned char*>(header.constData()), header.size(),
                       reinterpret_cast<const unsigned char*>(data.constData()), data.size());
    });
}

QByteArray frameHeader(quint8 type, quint8 command, quint8 guard = 0)
{
    return QByteArray("\x08", 1) + char(type) + char(0) + char(guard) + char(command) + QByteArray(3, '\0');
}

} // namespace

class TestDeviceReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    // Pure parts.
    void headerBytesPastTheEndReadZero();
    void statusFlagsGiveRequestsInOrder();
    void dumpValuesOutOfRangeAreReplaced();
    void dumpValuesAtTheirBounds_data();
    void dumpValuesAtTheirBounds();
    void keyCheckClearsRecordsBeforeTheFirstKeySlot();
    void advancedItemsOnlyWhatIsPresent();
    void restrictedDevicesTakeNoHighRates();
    void reloadsWithin3sGiveOneRequest();

    // Against the simulated mouse.
    void statusChangeAsksOnlyForWhatChanged();
    void versionReportIsRemembered();
    void ignoredFrames();
    void framesAtTheirBoundsAreTakenOrIgnored_data();
    void framesAtTheirBoundsAreTakenOrIgnored();
    void receiverProbeShownAsAnswered_data();
    void receiverProbeShownAsAnswered();
    void reportRateIsStoredShownAndSentBack();
    void restrictedDeviceIgnoresHighRate();
    void configurationReport();
    void batteryReportEmitsOnce();
    void receiverSettingsClearRecordsOnTheNextDump();
    void corruptDumpLeavesTheImage();
    void dumpOfAClosedConnectionChangesNothing();

private:
    void openDevice();
    std::unique_ptr<linktest::LinkPages> m_pages;
};

void TestDeviceReport::initTestCase()
{
    RegisterBusTypes();
}

void TestDeviceReport::cleanup()
{
    m_pages.reset();
}

void TestDeviceReport::openDevice()
{
    m_pages = linktest::openFreshDefaultMouse();
    QVERIFY(m_pages);
}

void TestDeviceReport::headerBytesPastTheEndReadZero()
{
    const unsigned char header[] = {0x08, 8, 1, 0, 4};
    core::ReportHeader head = core::readReportHeader(header, 1);
    QCOMPARE(int(head.type), 0);
    head = core::readReportHeader(header, 4);
    QCOMPARE(int(head.type), 8);
    QCOMPARE(int(head.command), 0);
    head = core::readReportHeader(header, 5);
    QCOMPARE(int(head.command), 4);
    QCOMPARE(int(core::readReportHeader(nullptr, 8).type), 0);
}

void TestDeviceReport::statusFlagsGiveRequestsInOrder()
{
    using R = core::StatusRequest;
    const quint8 all[7] = {1, 1, 1, 1, 1, 1, 1};
    QCOMPARE(core::statusRequests(all),
             (QVector<R>{R::CurrentDpi, R::ReportRate, R::BatteryLevel, R::LedBar, R::DpiLed, R::Reload}));
    const quint8 some[7] = {0, 0, 0, 1, 1, 0, 1};
    QCOMPARE(core::statusRequests(some), (QVector<R>{R::BatteryLevel, R::DpiLed}));
    const quint8 none[7] = {};
    QVERIFY(core::statusRequests(none).isEmpty());
}

void TestDeviceReport::dumpValuesOutOfRangeAreReplaced()
{
    FlashDataMap previous = EmptyFlashDataMap();
    previous.ReportRate = 4;
    previous.DpiLevelCount = 5;
    previous.CurrentDpiLevel = 2;
    FlashDataMap fresh = EmptyFlashDataMap();
    fresh.ReportRate = 3;
    fresh.DpiLevelCount = 9;
    fresh.CurrentDpiLevel = 8;
    fresh.SleepTime = 30;
    core::sanitizeDump(fresh, previous);
    QCOMPARE(int(fresh.ReportRate), 4);
    QCOMPARE(int(fresh.DpiLevelCount), 5);
    QCOMPARE(int(fresh.CurrentDpiLevel), 2);
    QCOMPARE(int(fresh.SleepTime), 30);

    // Without a usable previous value: safe defaults.
    FlashDataMap bad = EmptyFlashDataMap();
    bad.CurrentDpiLevel = 200;
    bad.DpiLevelCount = 200;
    bad.ReportRate = 200;
    FlashDataMap fresh2 = bad;
    core::sanitizeDump(fresh2, bad);
    QCOMPARE(int(fresh2.ReportRate), 1);
    QCOMPARE(int(fresh2.DpiLevelCount), 1);
    QCOMPARE(int(fresh2.CurrentDpiLevel), 0);

    // Valid values pass untouched.
    FlashDataMap good = EmptyFlashDataMap();
    good.ReportRate = 64;
    good.DpiLevelCount = 8;
    good.CurrentDpiLevel = 7;
    FlashDataMap copy = good;
    core::sanitizeDump(copy, previous);
    QCOMPARE(bytesOf(copy), bytesOf(good));
}

void TestDeviceReport::dumpValuesAtTheirBounds_data()
{
    QTest::addColumn<bool>("levelCount");  // else the current level
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("kept");
    QTest::newRow("no levels") << true << 0 << false;
    QTest::newRow("one level") << true << 1 << true;
    QTest::newRow("all levels") << true << kDpiLevels << true;
    QTest::newRow("one level more") << true << kDpiLevels + 1 << false;
    QTest::newRow("last level current") << false << kDpiLevels - 1 << true;
    QTest::newRow("level past the last current") << false << kDpiLevels << false;
}

void TestDeviceReport::dumpValuesAtTheirBounds()
{
    QFETCH(bool, levelCount);
    QFETCH(int, value);
    QFETCH(bool, kept);
    FlashDataMap previous = EmptyFlashDataMap();
    previous.ReportRate = 4;
    previous.DpiLevelCount = 5;
    previous.CurrentDpiLevel = 2;
    FlashDataMap fresh = previous;
    if (levelCount)
        fresh.DpiLevelCount = quint8(value);
    else
        fresh.CurrentDpiLevel = quint8(value);
    core::sanitizeDump(fresh, previous);
    QCOMPARE(int(levelCount ? fresh.DpiLevelCount : fresh.CurrentDpiLevel), kept ? value : levelCount ? 5 : 2);
}

void TestDeviceReport::keyCheckClearsRecordsBeforeTheFirstKeySlot()
{
    FlashDataMap image = EmptyFlashDataMap();
    std::memset(&image.KeyRecords, 0x11, sizeof image.KeyRecords);
    std::memset(&image.MacroRecords, 0x22, sizeof image.MacroRecords);
    image.ButtonFunction[0].Type = 5;
    core::clearRecordsAfterKeyCheck(image, {2, 4});
    const QByteArray bytes = bytesOf(image);
    QCOMPARE(bytes.mid(124, 2 * 52), QByteArray(2 * 52, '\0'));
    QCOMPARE(bytes.mid(124 + 2 * 52, 14 * 52), QByteArray(14 * 52, '\x11'));
    QCOMPARE(bytes.mid(956, 2 * 592), QByteArray(2 * 592, '\0'));
    QCOMPARE(bytes.mid(956 + 2 * 592, 14 * 592), QByteArray(14 * 592, '\x22'));
    QCOMPARE(int(image.ButtonFunction[0].Type), 5);
    core::clearRecordsAfterKeyCheck(image, {});
    QCOMPARE(bytesOf(image).mid(124), QByteArray(int(sizeof image) - 124, '\0'));
    QCOMPARE(int(image.ButtonFunction[0].Type), 5);

    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("Config.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Drive1]\nKeyParam1=0x01, 0x01\nKeyParam2=0x05, 0x00\nKeyParam3=\nKeyParam6= 0x05 , 1\n");
    file.close();
    const ConfigIni config(file.fileName());
    QCOMPARE(core::keyRecordSlots(config, 0), (QList<int>{1, 5}));
    QVERIFY(core::keyRecordSlots(config, 3).isEmpty());
}

void TestDeviceReport::advancedItemsOnlyWhatIsPresent()
{
    core::AdvancedItems items =
        core::readAdvancedItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("0")});
    QCOMPARE(items.longRange, 1);
    QCOMPARE(items.dongleLight, 2);
    items = core::readAdvancedItems({QStringLiteral("0")});
    QCOMPARE(items.longRange, 0);
    QCOMPARE(items.dongleLight, -1);
    items = core::readAdvancedItems({});
    QCOMPARE(items.longRange, -1);
    QCOMPARE(items.dongleLight, -1);
    items = core::readAdvancedItems({QStringLiteral("on"), QStringLiteral(" 3 ")});
    QCOMPARE(items.longRange, -1);
    QCOMPARE(items.dongleLight, 3);
}

void TestDeviceReport::restrictedDevicesTakeNoHighRates()
{
    for (quint8 code : {1, 2, 4, 8})
        QVERIFY(core::acceptReportedRate(code, true));
    for (quint8 code : {16, 32, 64}) {
        QVERIFY(!core::acceptReportedRate(code, true));
        QVERIFY(core::acceptReportedRate(code, false));
    }
    for (quint8 code : {0, 3, 5, 128, 255})
        QVERIFY(!core::acceptReportedRate(code, false));
}

void TestDeviceReport::reloadsWithin3sGiveOneRequest()
{
    core::resetDeviceLinkState();
    core::expireReloadThrottle();
    std::memset(StatusChangedFlags, 0, sizeof StatusChangedFlags);
    StatusChangedFlags[2] = 1;
    ReadChangedStatus();
    QCOMPARE(int(RestartRequest), 1);
    QCOMPARE(int(ReloadRequested), 1);
    RestartRequest = 0;
    ReloadRequested = 0;
    ReadChangedStatus();
    QCOMPARE(int(RestartRequest), 0);
    QCOMPARE(int(ReloadRequested), 0);
    StatusChangedFlags[2] = 0;
}

void TestDeviceReport::statusChangeAsksOnlyForWhatChanged()
{
    openDevice();
    const int stageBefore = CurrentFlashDataCopy().CurrentDpiLevel;
    QVERIFY(SimControl_PressDpiButton("Mouse1"));
    QVERIFY(linktest::waitSimIdle());
    const QStringList log = simtest::callLog();
    QCOMPARE(simtest::countCalls(log, QStringLiteral("UsbServer_ReadCurrentDPI")), 1);
    for (const char* other : {"UsbServer_ReadReportRate", "UsbServer_ReadLedBar", "UsbServer_ReadDPILed",
                              "UsbServer_ReadBatteryLevel", "UsbServer_ReadAllFlashData"})
        QCOMPARE(simtest::countCalls(log, QLatin1String(other)), 0);
    const int stageAfter = CurrentFlashDataCopy().CurrentDpiLevel;
    QVERIFY(stageAfter != stageBefore);
    static const char* const stageButtons[] = {"BlueButton", "BrightRedButton", "RedButton", "YellowButton"};
    QVERIFY(stageAfter >= 0 && stageAfter < 4);
    QVERIFY(m_pages->sensor->findChild<QAbstractButton*>(QLatin1String(stageButtons[stageAfter]))->isChecked());
    QCOMPARE(int(linktest::imageOf(simtest::flash()).CurrentDpiLevel), stageAfter);
    QCOMPARE(int(DeviceWriteReady), 1);
}

void TestDeviceReport::versionReportIsRemembered()
{
    Registry::Remove(Registry::DriveTestKey(), QStringLiteral("MouseVer331"));
    openDevice();
    // The configuration dump asks for the version; Drive1 has MID 1 and the family CID 33.
    QCOMPARE(Registry::Value(Registry::DriveTestKey(), QStringLiteral("MouseVer331")),
             QStringLiteral("v1.5"));
    QCOMPARE(CurrentDeviceInfoCopy().VersionText, QStringLiteral("v1.5"));
    QCOMPARE(m_pages->settings->MouseVersionText(), QStringLiteral("v1.5"));
}

void TestDeviceReport::ignoredFrames()
{
    openDevice();
    const FlashDataMap before = CurrentFlashDataCopy();
    const quint8 stage = quint8((before.CurrentDpiLevel + 1) % 4);
    QSignalSpy dpi(PostMsg::instance(), &PostMsg::SigUpDataDPI);
    QVERIFY(deliver(QByteArray("\x08", 1), QByteArray(1, char(stage))));               // type reads 0
    QVERIFY(deliver(frameHeader(8, 4, 1), QByteArray(1, char(stage))));              // frame guard set
    QVERIFY(deliver(frameHeader(8, 4), QByteArray(2, char(stage))));                 // wrong count
    QVERIFY(deliver(frameHeader(8, 4), QByteArray(1, char(8))));                     // stage 8
    QVERIFY(deliver(frameHeader(8, 0), QByteArray(1, char(3))));                     // unknown rate code
    QVERIFY(deliver(frameHeader(8, 0), QByteArray(100, '\x01')));                    // neither dump nor rate
    QVERIFY(deliver(frameHeader(77, 0), QByteArray(1, '\x01')));                     // unknown type
    QCOMPARE(dpi.count(), 0);
    QCOMPARE(bytesOf(CurrentFlashDataCopy()), bytesOf(before));
    QVERIFY(deliver(frameHeader(8, 4), QByteArray(1, char(stage))));
    QCOMPARE(dpi.count(), 1);
    QCOMPARE(int(CurrentFlashDataCopy().CurrentDpiLevel), int(stage));
}

void TestDeviceReport::framesAtTheirBoundsAreTakenOrIgnored_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("signal");  // what a frame taken emits
    QTest::addColumn<bool>("taken");
    const QByteArray stage = SIGNAL(SigUpDataDPI(int));
    const QByteArray dpiLed = SIGNAL(SigUpDataDPILed(FlashDataMap));
    const QByteArray ledBar = SIGNAL(SigUpDataLightLight(FlashDataMap));
    const QByteArray battery = SIGNAL(SigBattery(bool, int, bool));
    const QByteArray config = SIGNAL(SigUpDataConfigUI(int, int, bool));
    const QByteArray longRange = SIGNAL(SigLongRangeMode(bool));
    QTest::newRow("last stage") << frameHeader(8, 4) << QByteArray(1, char(kDpiLevels - 1)) << stage << true;
    QTest::newRow("stage past the last") << frameHeader(8, 4) << QByteArray(1, char(kDpiLevels)) << stage << false;
    QTest::newRow("stage of no byte") << frameHeader(8, 4) << QByteArray() << stage << false;
    QTest::newRow("DPI lights of 8 bytes") << frameHeader(8, 0x4C) << QByteArray(8, '\x01') << dpiLed << true;
    QTest::newRow("DPI lights of 7 bytes") << frameHeader(8, 0x4C) << QByteArray(7, '\x01') << dpiLed << false;
    QTest::newRow("DPI lights of 9 bytes") << frameHeader(8, 0x4C) << QByteArray(9, '\x01') << dpiLed << false;
    QTest::newRow("light bar of 9 bytes") << frameHeader(8, 0xA0) << QByteArray(9, '\x01') << ledBar << true;
    QTest::newRow("light bar of 8 bytes") << frameHeader(8, 0xA0) << QByteArray(8, '\x01') << ledBar << false;
    QTest::newRow("light bar of 10 bytes") << frameHeader(8, 0xA0) << QByteArray(10, '\x01') << ledBar << false;
    QTest::newRow("battery of 4 bytes") << frameHeader(4, 0) << QByteArray("\x2A\x01\0\0", 4) << battery << true;
    QTest::newRow("battery of 3 bytes") << frameHeader(4, 0) << QByteArray("\x2A\x01\0", 3) << battery << false;
    QTest::newRow("last configuration") << frameHeader(14, 0) << QByteArray(1, char(core::kConfigurations - 1)) << config << true;
    QTest::newRow("configuration past the last") << frameHeader(14, 0) << QByteArray(1, char(core::kConfigurations)) << config
                                                 << false;
    QTest::newRow("long range off, 10 bytes") << frameHeader(23, 0) << QByteArray(10, '\0') << longRange << true;
    QTest::newRow("long range off, 9 bytes") << frameHeader(23, 0) << QByteArray(9, '\0') << longRange << false;
    QTest::newRow("long range off, 11 bytes") << frameHeader(23, 0) << QByteArray(11, '\0') << longRange << false;
}

void TestDeviceReport::framesAtTheirBoundsAreTakenOrIgnored()
{
    QFETCH(QByteArray, header);
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, signal);
    QFETCH(bool, taken);
    openDevice();
    QSignalSpy spy(PostMsg::instance(), signal.constData());
    QVERIFY(spy.isValid());
    QVERIFY(deliver(header, data));
    QCOMPARE(spy.count(), taken ? 1 : 0);
}

// The receiver's long-range mode is asked once per opened connection; a device that leaves the
// question unanswered (a mouse on its cable has no receiver) must not be shown as in that mode.
void TestDeviceReport::receiverProbeShownAsAnswered_data()
{
    QTest::addColumn<bool>("unanswered");
    QTest::newRow("answered: on") << false;
    QTest::newRow("left unanswered") << true;
}

void TestDeviceReport::receiverProbeShownAsAnswered()
{
    QFETCH(bool, unanswered);
    QVERIFY(simtest::loadScenario());
    QVERIFY(SimControl_SetLongRange("Receiver1", true));
    QSignalSpy longRange(PostMsg::instance(), &PostMsg::SigLongRangeMode);
    leaveProbeUnanswered = unanswered;
    m_pages = std::make_unique<linktest::LinkPages>();
    const bool opened = m_pages->open() && linktest::waitSimIdle();
    leaveProbeUnanswered = false;
    QVERIFY(opened);
    QCOMPARE(longRange.count(), unanswered ? 0 : 1);
    QCOMPARE(m_pages->settings->LongRangeMode(), !unanswered);
    const auto* box = m_pages->settings->findChild<QAbstractButton*>(QStringLiteral("checkBox_2"));
    QVERIFY(box);
    QCOMPARE(box->isChecked(), !unanswered);
}

void TestDeviceReport::reportRateIsStoredShownAndSentBack()
{
    openDevice();
    QVERIFY(SimControl_SendReport(8, 0, reinterpret_cast<const unsigned char*>("\x10"), 1));
    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(int(CurrentFlashDataCopy().ReportRate), 16);
    QVERIFY(m_pages->sensor->findChild<QAbstractButton*>(QStringLiteral("Button2000HZ"))->isChecked());
    QCOMPARE(int(linktest::imageOf(simtest::flash()).ReportRate), 16);
    QCOMPARE(simtest::flash(), bytesOf(CurrentFlashDataCopy()));
}

void TestDeviceReport::restrictedDeviceIgnoresHighRate()
{
    openDevice();
    {
        DeviceAllInfo info = CurrentDeviceInfoCopy();
        info.SetDeviceKind(2);
        StoreCurrentDeviceInfo(info);
    }
    const int before = CurrentFlashDataCopy().ReportRate;
    QSignalSpy rate(PostMsg::instance(), &PostMsg::SigUpDataReportRate);
    QVERIFY(deliver(frameHeader(8, 0), QByteArray(1, char(16))));
    QCOMPARE(rate.count(), 0);
    QCOMPARE(int(CurrentFlashDataCopy().ReportRate), before);
    QVERIFY(deliver(frameHeader(8, 0), QByteArray(1, char(8))));
    QCOMPARE(rate.count(), 1);
    QCOMPARE(int(CurrentFlashDataCopy().ReportRate), 8);
}

void TestDeviceReport::configurationReport()
{
    openDevice();
    QVERIFY(deliver(frameHeader(14, 0), QByteArray(1, char(2))));
    QCOMPARE(m_pages->buttons->ConfigItems(), 4);
    QCOMPARE(m_pages->buttons->ConfigIndex(), 2);
    QVERIFY(m_pages->buttons->ConfigEnabled());
    QVERIFY(deliver(frameHeader(14, 0), QByteArray(1, char(4))));   // no such configuration
    QCOMPARE(m_pages->buttons->ConfigIndex(), 2);
    QVERIFY(deliver(frameHeader(14, 0), QByteArray(2, char(1))));
    QCOMPARE(m_pages->buttons->ConfigItems(), 0);
    QVERIFY(!m_pages->buttons->ConfigEnabled());
}

void TestDeviceReport::batteryReportEmitsOnce()
{
    openDevice();
    QSignalSpy battery(PostMsg::instance(), &PostMsg::SigBattery);
    QVERIFY(deliver(frameHeader(4, 0), QByteArray("\x2A\x01\0\0", 4)));
    QCOMPARE(battery.count(), 1);
    QCOMPARE(battery.at(0).at(0).toBool(), true);
    QCOMPARE(battery.at(0).at(1).toInt(), 42);
    // "ShowBatteryValue" of the shipped configuration is 1.
    QCOMPARE(battery.at(0).at(2).toBool(), true);
    QVERIFY(deliver(frameHeader(4, 0), QByteArray(2, '\x01')));     // too short to read
    QCOMPARE(battery.count(), 1);
}

void TestDeviceReport::receiverSettingsClearRecordsOnTheNextDump()
{
    openDevice();
    MacroRecord macro{};
    SetMacroRecordName(macro, "Keep?");
    QVERIFY(AppendMacroEvent(macro, MakeKeyEvent(0, 1, 4, 0)));
    QVERIFY(SetButtonMacro(1, ButtonFunctionCode{6, 0, 0}, macro));
    QVERIFY(linktest::waitSimIdle());
    SimControl_ClearCallLog();
    // The shipped groups mark no button as a key button, so every record goes.
    answerBeforeReturn = true;
    const bool delivered = deliver(frameHeader(9, 0), QByteArray());
    answerBeforeReturn = false;
    QVERIFY(delivered);
    // The clearing rides on the dump that the report requests, which comes
    // back on the library's thread some time later: wait for its outcome.
    const QByteArray cleared(int(sizeof(FlashDataMap)) - 124, '\0');
    QTRY_COMPARE_WITH_TIMEOUT(bytesOf(CurrentFlashDataCopy()).mid(124), cleared, 5000);
    const QByteArray bytes = bytesOf(CurrentFlashDataCopy());
    QTRY_COMPARE_WITH_TIMEOUT(simtest::flash(), bytes, 5000);
    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(m_pages->settings->DongleLightMode(), 1);
    QCOMPARE(m_pages->settings->LongRangeMode(), false);
    const QStringList log = simtest::callLog();
    QCOMPARE(simtest::countCalls(log, QStringLiteral("UsbFinderC_Set4KDongleRGB")), 1);
    QCOMPARE(simtest::countCalls(log, QStringLiteral("UsbFinderC_SetLongRangeMode")), 1);
    // The receiver state was just applied: the dump does not read it back.
    QCOMPARE(simtest::countCalls(log, QStringLiteral("UsbFinderC_Get4KDongleRGBValue")), 0);
    QCOMPARE(int(KeyCheckPending), 0);
    QCOMPARE(int(DongleStateApplied), 0);
}

void TestDeviceReport::corruptDumpLeavesTheImage()
{
    openDevice();
    const FlashDataMap before = CurrentFlashDataCopy();
    QSignalSpy pages(PostMsg::instance(), &PostMsg::SigUpDataLightSensor);
    QVERIFY(deliver(frameHeader(8, 0), QByteArray(core::kFlashDumpSize, '\x7F')));
    QCOMPARE(pages.count(), 0);
    QCOMPARE(bytesOf(CurrentFlashDataCopy()), bytesOf(before));
}

void TestDeviceReport::dumpOfAClosedConnectionChangesNothing()
{
    openDevice();
    const DeviceAllInfo next = linktest::recordOf("Receiver1");
    QCOMPARE(next.DriveIndex, 0);
    const int sensorRefills = m_pages->sensor->RefillCount();
    const int forms = m_pages->settings->FormCount();
    QVERIFY(core::imageFromOpenDevice());

    // A dump is on its way to the pages: its handler waits for the GUI thread,
    // which is busy and meanwhile leaves the device (back arrow) and chooses
    // another one. No events are processed until then, so the handler is
    // really held inside the dump.
    UsbServer_ReadAllFlashData();
    QElapsedTimer clock;
    clock.start();
    while (simtest::countCalls(simtest::callLog(), QStringLiteral("UsbServer_ReadConfig")) == 0
           && clock.elapsed() < 5000)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    QVERIFY(simtest::countCalls(simtest::callLog(), QStringLiteral("UsbServer_ReadConfig")) == 1);
    UsbServer_Exit();
    PostMsg::instance()->EmitSelectMouseInfo(next);
    QVERIFY(!core::imageFromOpenDevice());

    QVERIFY(linktest::waitSimIdle());
    QTest::qWait(20);
    // The old connection's configuration is not taken for the new device's.
    QVERIFY(!core::imageFromOpenDevice());
    QVERIFY(DumpCacheFileName().isEmpty());
    QCOMPARE(m_pages->sensor->RefillCount(), sensorRefills);
    QCOMPARE(m_pages->settings->FormCount(), forms);
    QSignalSpy offline(PostMsg::instance(), &PostMsg::SigMouseOffLineo);
    QVERIFY(!SetReportRate(2));
    QCOMPARE(offline.count(), 1);
}

QTEST_MAIN(TestDeviceReport)
#include "tst_devicereport.moc"

#include "core/DeviceParam.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Worker.h"
#include "devicelib/SimControl.h"
#include "support/link_helpers.h"
#include "support/sim_helpers.h"

#include <QSignalSpy>
#include <QTest>

#include <cstring>

namespace {

using ByteSetter = bool (*)(quint8);

QByteArray bytesOf(const FlashDataMap& image)
{
    return QByteArray(reinterpret_cast<const char*>(&image), int(sizeof image));
}

// Offsets of every byte that differs between two images.
QList<int> changedOffsets(const FlashDataMap& before, const FlashDataMap& after)
{
    const QByteArray a = bytesOf(before);
    const QByteArray b = bytesOf(after);
    QList<int> offsets;
    for (int i = 0; i < a.size(); ++i) {
        if (a[i] != b[i])
            offsets.append(i);
    }
    return offsets;
}

} // namespace

class TestSetters : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void byteSetterWritesItsFieldAndTheDevice_data();
    void byteSetterWritesItsFieldAndTheDevice();
    void groupSettersWriteTheirLayout();
    void lightModeZeroKeepsTheEffect();
    void keyAndMacroRecordsReachTheDevice();
    void outOfRangeArgumentsSendNothing_data();
    void outOfRangeArgumentsSendNothing();
    void absentMouseRaisesOneNoticePerCall();
    void noNoticeWhileAPageFills();
    void nothingIsSentBeforeTheDeviceConfigurationArrived();

private:
    std::unique_ptr<linktest::LinkPages> m_pages;
};

void TestSetters::initTestCase()
{
    RegisterBusTypes();
}

void TestSetters::init()
{
    m_pages = linktest::openFreshDefaultMouse();
    QVERIFY(m_pages);
}

void TestSetters::cleanup()
{
    m_pages.reset();
}

void TestSetters::byteSetterWritesItsFieldAndTheDevice_data()
{
    QTest::addColumn<void*>("setter");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("value");
    // Offsets from the flash layout, written out rather than taken from the struct.
    QTest::newRow("report rate 2000 Hz") << reinterpret_cast<void*>(&SetReportRate) << 0 << 16;
    QTest::newRow("config byte 3") << reinterpret_cast<void*>(&SetConfigByte3) << 3 << 0x5A;
    QTest::newRow("config byte 4") << reinterpret_cast<void*>(&SetConfigByte4) << 4 << 0xA5;
    QTest::newRow("lift-off 0.7 mm") << reinterpret_cast<void*>(&SetLiftOffDistance) << 5 << 3;
    QTest::newRow("debounce") << reinterpret_cast<void*>(&SetDebounceTime) << 6 << 7;
    QTest::newRow("motion sync") << reinterpret_cast<void*>(&SetMotionSync) << 7 << 1;
    QTest::newRow("sleep 30") << reinterpret_cast<void*>(&SetSleepTime) << 8 << 30;
    QTest::newRow("straight line") << reinterpret_cast<void*>(&SetStraightLine) << 9 << 1;
    QTest::newRow("ripple") << reinterpret_cast<void*>(&SetRippleControl) << 10 << 1;
    QTest::newRow("light ripple") << reinterpret_cast<void*>(&SetLightRippleControl) << 11 << 1;
    QTest::newRow("performance") << reinterpret_cast<void*>(&SetPerformance) << 12 << 1;
    QTest::newRow("performance time") << reinterpret_cast<void*>(&SetPerformanceLevel) << 13 << 90;
    QTest::newRow("sensor mode") << reinterpret_cast<void*>(&SetSensorMode) << 14 << 2;
    QTest::newRow("dpi light brightness") << reinterpret_cast<void*>(&SetDPILightBrightness) << 64 << 0x33;
    QTest::newRow("dpi light speed") << reinterpret_cast<void*>(&SetDPILightSpeed) << 65 << 0x44;
    QTest::newRow("light speed") << reinterpret_cast<void*>(&SetLightSpeed) << 71 << 0x55;
    QTest::newRow("light brightness") << reinterpret_cast<void*>(&SetLightBrightness) << 72 << 0x66;
}

void TestSetters::byteSetterWritesItsFieldAndTheDevice()
{
    QFETCH(void*, setter);
    QFETCH(int, offset);
    QFETCH(int, value);
    const FlashDataMap before = CurrentFlashDataCopy();
    const QList<int> expected = quint8(bytesOf(before).at(offset)) == value ? QList<int>() : QList<int>{offset};
    QVERIFY(reinterpret_cast<ByteSetter>(setter)(quint8(value)));
    const FlashDataMap after = CurrentFlashDataCopy();
    QCOMPARE(changedOffsets(before, after), expected);
    QCOMPARE(int(quint8(bytesOf(after).at(offset))), value);
    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(simtest::flash(), bytesOf(after));
    QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("ProtocolDataUpdate")), 1);
}

void TestSetters::groupSettersWriteTheirLayout()
{
    QVERIFY(SetDPILevelValue(7, 0x11, 0x12, 0x22));
    QVERIFY(SetDPILevelColor(2, 0xA1, 0xA2, 0xA3));
    QVERIFY(SetLightColor(0x01, 0x02, 0x03));
    QVERIFY(SetButtonFunction(15, 4, 20, 3));
    const QByteArray image = bytesOf(CurrentFlashDataCopy());
    QCOMPARE(image.mid(15 + 6 * 7, 3), QByteArray("\x11\x12\x22", 3));
    QCOMPARE(image.mid(15 + 6 * 2 + 3, 3), QByteArray("\xA1\xA2\xA3", 3));
    QCOMPARE(image.mid(68, 3), QByteArray("\x01\x02\x03", 3));
    QCOMPARE(image.mid(74 + 3 * 15, 3), QByteArray("\x04\x14\x03", 3));

    const DpiLevelEntry a{{1, 2, 3}, {4, 5, 6}};
    const DpiLevelEntry b{{7, 8, 9}, {10, 11, 12}};
    QVERIFY(SetDPILevels(a, b, 4, 3, 3));
    const QByteArray levels = bytesOf(CurrentFlashDataCopy());
    QCOMPARE(levels.mid(15 + 6 * 3, 6), QByteArray("\x01\x02\x03\x04\x05\x06", 6));
    QCOMPARE(levels.mid(15 + 6 * 4, 6), QByteArray("\x07\x08\x09\x0A\x0B\x0C", 6));
    QCOMPARE(int(levels.at(2)), 3);
    QCOMPARE(int(levels.at(1)), 4);

    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(simtest::flash(), levels);
}

void TestSetters::lightModeZeroKeepsTheEffect()
{
    QVERIFY(SetDPILightMode(3));
    QVERIFY(SetDPILightMode(0));
    FlashDataMap image = CurrentFlashDataCopy();
    QCOMPARE(int(image.DpiLedMode), 3);
    QCOMPARE(int(image.DpiLedOn), 0);
    QVERIFY(SetDPILightMode(5));
    image = CurrentFlashDataCopy();
    QCOMPARE(int(image.DpiLedMode), 5);
    QCOMPARE(int(image.DpiLedOn), 1);

    QVERIFY(SetLightMode(2));
    QVERIFY(SetLightMode(0));
    image = CurrentFlashDataCopy();
    QCOMPARE(int(image.LightMode), 2);
    QCOMPARE(int(image.LightOn), 0);
    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(simtest::flash(), bytesOf(image));
}

void TestSetters::keyAndMacroRecordsReachTheDevice()
{
    KeyRecord keys{};
    keys.EventCount = 2;
    keys.Events[0] = MakeKeyEvent(0, 2, 0x00E2, 10);
    keys.Events[1] = MakeKeyEvent(1, 2, 0x00E2, 10);
    QVERIFY(SetButtonKeys(2, ButtonFunctionCode{5, 0, 0}, keys));

    MacroRecord macro{};
    SetMacroRecordName(macro, "Combo");
    for (int i = 0; i < kMacroRecordEvents; ++i)
        QVERIFY(AppendMacroEvent(macro, MakeKeyEvent(i % 2, 1, quint16(4 + i), i == kMacroRecordEvents - 1 ? 0 : 25)));
    QVERIFY(SetButtonMacro(3, ButtonFunctionCode{6, 1, 0}, macro));

    const QByteArray image = bytesOf(CurrentFlashDataCopy());
    QCOMPARE(image.mid(124 + 52 * 2, 20),
             QByteArray("\x02\0\0\0" "\0\x02\xE2\0\x0A\0\0\0" "\x01\x02\xE2\0\x0A\0\0\0", 20));
    QCOMPARE(image.mid(74 + 3 * 2, 3), QByteArray("\x05\0\0", 3));
    QCOMPARE(image.mid(956 + 592 * 3, 6), QByteArray("\x05" "Combo", 6));
    QCOMPARE(int(quint8(image.at(956 + 592 * 3 + 31))), kMacroRecordEvents);
    // The last event of a full macro sits in the last 8 bytes of the record.
    QCOMPARE(image.mid(956 + 592 * 4 - 8, 8), QByteArray("\x01\x01\x49\0\0\0\0\0", 8));
    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(simtest::flash(), image);
}

void TestSetters::outOfRangeArgumentsSendNothing_data()
{
    QTest::addColumn<int>("call");
    QTest::newRow("button slot 16") << 0;
    QTest::newRow("button slot -1") << 1;
    QTest::newRow("key slot 16") << 2;
    QTest::newRow("macro slot -3") << 3;
    QTest::newRow("dpi value level 8") << 4;
    QTest::newRow("dpi colour level -1") << 5;
    QTest::newRow("dpi levels n 8") << 6;
    QTest::newRow("dpi levels index 9") << 7;
    QTest::newRow("level count 9") << 8;
    QTest::newRow("level count 0") << 9;
    QTest::newRow("current level 8") << 10;
    // The mouse keeps no macro past slot 9: accepting one would report a
    // macro stored that the device drops.
    QTest::newRow("macro slot 10") << 11;
    QTest::newRow("macro slot 15") << 12;
}

void TestSetters::outOfRangeArgumentsSendNothing()
{
    QFETCH(int, call);
    const KeyRecord keys{};
    const MacroRecord macro{};
    const DpiLevelEntry entry{};
    const FlashDataMap before = CurrentFlashDataCopy();
    QSignalSpy offline(PostMsg::instance(), &PostMsg::SigMouseOffLineo);
    bool result = true;
    switch (call) {
    case 0: result = SetButtonFunction(16, 1, 1, 0); break;
    case 1: result = SetButtonFunction(-1, 1, 1, 0); break;
    case 2: result = SetButtonKeys(16, ButtonFunctionCode{5, 0, 0}, keys); break;
    case 3: result = SetButtonMacro(-3, ButtonFunctionCode{6, 0, 0}, macro); break;
    case 4: result = SetDPILevelValue(8, 1, 1, 0); break;
    case 5: result = SetDPILevelColor(-1, 1, 1, 1); break;
    case 6: result = SetDPILevels(entry, entry, 0, 1, 8); break;
    case 7: result = SetDPILevels(entry, entry, 9, 1, 2); break;
    case 8: result = SetDPILevelCount(9); break;
    case 9: result = SetDPILevelCount(0); break;
    case 10: result = SetCurrentDPILevel(8); break;
    case 11: result = SetButtonMacro(10, ButtonFunctionCode{6, 0, 0}, macro); break;
    case 12: result = SetButtonMacro(15, ButtonFunctionCode{6, 0, 0}, macro); break;
    }
    QVERIFY(!result);
    QCOMPARE(bytesOf(CurrentFlashDataCopy()), bytesOf(before));
    QCOMPARE(offline.count(), 0);
    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("ProtocolDataUpdate")), 0);
}

void TestSetters::absentMouseRaisesOneNoticePerCall()
{
    QVERIFY(SimControl_SetAwake("Mouse1", false));
    const FlashDataMap before = CurrentFlashDataCopy();
    QSignalSpy offline(PostMsg::instance(), &PostMsg::SigMouseOffLineo);
    QVERIFY(!SetReportRate(16));
    QCOMPARE(offline.count(), 1);
    QCOMPARE(offline.at(0).at(0).toInt(), 0);
    QVERIFY(!SetButtonFunction(0, 1, 2, 0));
    QCOMPARE(offline.count(), 2);
    QVERIFY(!CheckDeviceOnLine());
    QCOMPARE(offline.count(), 3);
    QCOMPARE(bytesOf(CurrentFlashDataCopy()), bytesOf(before));
    QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("ProtocolDataUpdate")), 0);

    QVERIFY(SimControl_SetAwake("Mouse1", true));
    QVERIFY(CheckDeviceOnLine());
    QCOMPARE(offline.count(), 3);
}

void TestSetters::noNoticeWhileAPageFills()
{
    QVERIFY(SimControl_SetAwake("Mouse1", false));
    QSignalSpy offline(PostMsg::instance(), &PostMsg::SigMouseOffLineo);
    SensorPageUpdating = 1;
    QVERIFY(!SetSleepTime(60));
    SensorPageUpdating = 0;
    ButtonPageUpdating = 1;
    QVERIFY(!SetSleepTime(60));
    QVERIFY(!CheckDeviceOnLine());
    ButtonPageUpdating = 0;
    QCOMPARE(offline.count(), 0);
}

void TestSetters::nothingIsSentBeforeTheDeviceConfigurationArrived()
{
    // A newly chosen device whose configuration has not come yet: what the
    // program holds belongs to the previous device and must not be written.
    const DeviceAllInfo rec = linktest::recordOf("Receiver1");
    PostMsg::instance()->EmitSelectMouseInfo(rec);
    QSignalSpy offline(PostMsg::instance(), &PostMsg::SigMouseOffLineo);
    QVERIFY(!SetReportRate(2));
    QCOMPARE(offline.count(), 1);
    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("ProtocolDataUpdate")), 0);
    QVERIFY(DumpCacheFileName().isEmpty());
}

QTEST_MAIN(TestSetters)
#include "tst_setters.moc"

#include "core/DeviceAllInfo.h"
#include "core/PostMsg.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

class TestDeviceRecord : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { RegisterBusTypes(); }
    void defaultRecordIsEmpty();
    void restrictedKinds_data();
    void restrictedKinds();
    void versionTexts_data();
    void versionTexts();
    void copiesAreIndependent();
    void recordTravelsOnTheBus();
};

void TestDeviceRecord::defaultRecordIsEmpty()
{
    const DeviceAllInfo info;
    QCOMPARE(info.DevicePath, QString());
    QCOMPARE(info.Vid, QString("0"));
    QCOMPARE(info.Pid, QString("0"));
    QCOMPARE(int(info.Cid) + int(info.Mid) + int(info.DeviceKind) + info.DriveIndex, 0);
    QVERIFY(!info.Online && !info.RestrictedKind);
    QVERIFY(info.UsbAddress.isEmpty() && info.VersionText.isEmpty() && info.UsbVersionText.isEmpty());
}

void TestDeviceRecord::restrictedKinds_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("restricted");
    for (int kind : {0, 1, 4, 5})
        QTest::addRow("kind %d", kind) << kind << false;
    for (int kind : {2, 3, 6, 7, 8, 9, 0x10, 0x81, 0xFF})
        QTest::addRow("kind %d", kind) << kind << true;
}

void TestDeviceRecord::restrictedKinds()
{
    QFETCH(int, kind);
    QFETCH(bool, restricted);
    DeviceAllInfo info;
    info.SetDeviceKind(quint8(kind));
    QCOMPARE(int(info.DeviceKind), kind);
    QCOMPARE(info.RestrictedKind, restricted);
    // Setting a harmless kind afterwards clears the flag again.
    info.SetDeviceKind(1);
    QVERIFY(!info.RestrictedKind);
}

void TestDeviceRecord::versionTexts_data()
{
    QTest::addColumn<uint>("word");
    QTest::addColumn<QString>("text");
    QTest::newRow("decimal high, hex low") << 0x0312u << "v3.12";
    QTest::newRow("hex letter") << 0x010Au << "v1.a";
    QTest::newRow("mouse firmware") << 0x0105u << "v1.5";
    QTest::newRow("high byte above 9") << 0x0C00u << "v12.0";
    QTest::newRow("all ones") << 0xFFFFu << "v255.ff";
}

void TestDeviceRecord::versionTexts()
{
    QFETCH(uint, word);
    QFETCH(QString, text);
    QCOMPARE(DeviceAllInfo::VersionTextOf(word), text);
}

void TestDeviceRecord::copiesAreIndependent()
{
    DeviceAllInfo a;
    a.DevicePath = "/sim/1";
    a.UsbAddress = QByteArray::fromHex("0A0B0C");
    a.VersionText = "v1.5";
    DeviceAllInfo b = a;
    b.UsbAddress[0] = 0x7F;
    b.DevicePath = "/sim/2";
    QCOMPARE(a.UsbAddress, QByteArray::fromHex("0A0B0C"));
    QCOMPARE(a.DevicePath, QString("/sim/1"));
    b = b;
    QCOMPARE(b.DevicePath, QString("/sim/2"));

    StoreCurrentDeviceInfo(a);
    QCOMPARE(CurrentDeviceInfoCopy().UsbAddress, a.UsbAddress);
    StoreCurrentDeviceInfo(DeviceAllInfo());
    QVERIFY(CurrentDeviceInfoCopy().DevicePath.isEmpty());
}

void TestDeviceRecord::recordTravelsOnTheBus()
{
    QSignalSpy spy(PostMsg::instance(), &PostMsg::SigSelectMouseInfo);
    DeviceAllInfo info;
    info.DevicePath = "/sim/receiver4k";
    info.Cid = 33;
    info.SetDeviceKind(1);
    info.UsbAddress = QByteArray::fromHex("010203");
    PostMsg::instance()->EmitSelectMouseInfo(info);
    QCOMPARE(spy.count(), 1);
    const DeviceAllInfo got = spy.at(0).at(0).value<DeviceAllInfo>();
    QCOMPARE(got.DevicePath, info.DevicePath);
    QCOMPARE(int(got.Cid), 33);
    QCOMPARE(got.UsbAddress, info.UsbAddress);
}

QTEST_GUILESS_MAIN(TestDeviceRecord)
#include "tst_devicerecord.moc"

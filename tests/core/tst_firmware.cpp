#include "core/Firmware.h"

#include <QTest>

// The firmware facts that need no file: version texts and the receiver table.
class TestFirmware : public QObject
{
    Q_OBJECT

private slots:
    void versionTexts();
    void receiverClassesAndKeys();
    void receiverTableByKind();
};

void TestFirmware::versionTexts()
{
    QCOMPARE(core::firmwareVersionText(0x0103), QStringLiteral("v1.3"));
    QCOMPARE(core::firmwareVersionText(0x010A), QStringLiteral("v1.a"));
    QCOMPARE(core::firmwareVersionText(0x0110), QStringLiteral("v1.10"));
    QCOMPARE(core::firmwareVersionText(0x0100), QStringLiteral("v1.0"));
    QCOMPARE(core::firmwareVersionText(0x01FF), QStringLiteral("v1.ff"));
}

void TestFirmware::receiverClassesAndKeys()
{
    QCOMPARE(core::receiverClassOfKind(0), 1);
    QCOMPARE(core::receiverClassOfKind(4), 2);
    QCOMPARE(core::receiverClassOfKind(1), 4);
    QCOMPARE(core::receiverClassOfKind(5), 8);
    QCOMPARE(core::receiverClassOfKind(2), 0);
    QCOMPARE(core::receiverImageKey(2), QStringLiteral("D2M"));
    QVERIFY(core::receiverImageKey(0).isEmpty());
    QVERIFY(core::receiverImageKey(3).isEmpty());
}

void TestFirmware::receiverTableByKind()
{
    QCOMPARE(core::receiverClassOfKind(0), 1);
    QCOMPARE(core::receiverClassOfKind(4), 2);
    QCOMPARE(core::receiverClassOfKind(1), 4);
    QCOMPARE(core::receiverClassOfKind(5), 8);
    QCOMPARE(core::receiverImageKeyOfKind(0), QString("DM"));
    QCOMPARE(core::receiverImageKeyOfKind(4), QString("D2M"));
    QCOMPARE(core::receiverImageKeyOfKind(1), QString("D4M"));
    QCOMPARE(core::receiverImageKeyOfKind(5), QString("D8M"));
    for (int kind : {2, 3, 6, 7, 8, 255}) {
        QCOMPARE(core::receiverClassOfKind(kind), 0);
        QVERIFY(core::receiverImageKeyOfKind(kind).isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestFirmware)
#include "tst_firmware.moc"

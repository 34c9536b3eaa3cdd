#include "buttons/ButtonLabels.h"
#include "core/KeyTable.h"

#include <QtTest>

#include <cstring>

using namespace buttons;

class TestButtonLabels : public QObject
{
    Q_OBJECT

private slots:
    void codeRules_data();
    void codeRules();
    void consumerLowByteOnly();
    void comboUsesRealPresses();
    void macroName();
    void slotCountClamped_data();
    void slotCountClamped();
};

void TestButtonLabels::codeRules_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("param1");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("widget");
    const int unchanged = int(LabelKind::Unchanged);
    const int widget = int(LabelKind::Widget);
    QTest::newRow("no function") << 0 << 7 << widget << "DPI_5";
    QTest::newRow("middle") << 1 << 4 << widget << "MidKey";
    QTest::newRow("two bits") << 1 << 3 << unchanged << "";
    QTest::newRow("DPI down") << 2 << 3 << widget << "VolumeUp_10";
    QTest::newRow("tilt right") << 3 << 2 << widget << "VolumeDown_2";
    QTest::newRow("fire") << 4 << 50 << widget << "DPI_6";
    QTest::newRow("keys") << 5 << 0 << int(LabelKind::Keys) << "";
    QTest::newRow("macro") << 6 << 2 << int(LabelKind::Macro) << "";
    QTest::newRow("light value 2") << 8 << 2 << unchanged << "";
    QTest::newRow("light strip") << 8 << 3 << widget << "VolumeUp_6";
    QTest::newRow("config") << 9 << 0 << widget << "DPI_3";
    QTest::newRow("DPI lock") << 10 << 15 << int(LabelKind::DpiLock) << "";
    QTest::newRow("wheel down") << 11 << 2 << widget << "VolumeDown_14";
    QTest::newRow("unknown type") << 12 << 1 << unchanged << "";
}

void TestButtonLabels::codeRules()
{
    QFETCH(int, type);
    QFETCH(int, param1);
    QFETCH(int, kind);
    QFETCH(QString, widget);
    const LabelRule rule = labelRule(type, param1);
    QCOMPARE(int(rule.kind), kind);
    QCOMPARE(QString::fromLatin1(rule.widget), widget);
}

void TestButtonLabels::consumerLowByteOnly()
{
    QCOMPARE(QString::fromLatin1(consumerButton(0x1B5 & 0xFF)), QStringLiteral("BackMusic_2"));
    QCOMPARE(QString::fromLatin1(consumerButton(0x83)), QStringLiteral("Player"));
    QVERIFY(!consumerButton(0x01));
}

void TestButtonLabels::comboUsesRealPresses()
{
    KeyRecord record = core::BuildKeyCombo(QStringLiteral("Ctrl+Alt+A"));
    QCOMPARE(comboLabel(record), QStringLiteral("Ctrl+Alt+A"));
    record.EventCount = 1;
    QCOMPARE(comboLabel(record), QString());
    // A count past the record names no more than the record holds.
    record.EventCount = 200;
    QCOMPARE(comboLabel(record).count(QLatin1Char('+')), kKeyRecordEvents / 2 - 1);
}

void TestButtonLabels::macroName()
{
    MacroRecord record{};
    SetMacroRecordName(record, QByteArray("Burst"));
    QCOMPARE(macroRecordName(record), QByteArray("Burst"));
    std::memset(record.Name, 'x', kMacroNameBytes);
    QCOMPARE(macroRecordName(record), QByteArray(kMacroNameBytes, 'x'));
}

void TestButtonLabels::slotCountClamped_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::newRow("missing") << "" << 0;
    QTest::newRow("six") << "6" << 6;
    QTest::newRow("above the image") << "20" << 16;
    QTest::newRow("negative") << "-3" << 0;
    QTest::newRow("not a number") << "six" << 0;
}

void TestButtonLabels::slotCountClamped()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QCOMPARE(slotCount(text), count);
}

QTEST_APPLESS_MAIN(TestButtonLabels)
#include "tst_buttonlabels.moc"

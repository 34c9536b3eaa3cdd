// DPI values and the three bytes a stage stores for them, the DPI ranges read
// from Config.ini, and the snapping and stepping of the DPI editor.
#include "sensor/SensorDpiCodes.h"

#include <QtTest>

using namespace sensor;

namespace {

QStringList items(const char* list)
{
    QStringList out = QString::fromLatin1(list).split(QLatin1Char(','));
    for (QString& item : out)
        item = item.trimmed();
    return out;
}

DpiRangeSet rangesOf(const char* list)
{
    return readDpiRanges(items(list), DpiRangeSet());
}

core::SensorDefines tableModelM()
{
    return core::ParseSensorDefinitions("#define SENSOR_M_DPI_400\t0x07\n#define SENSOR_M_DPI_800\t0x0F\n");
}

} // namespace

class TestDpiCodes : public QObject
{
    Q_OBJECT

private slots:
    void stageBytesRoundTrip_data();
    void stageBytesRoundTrip();
    void codesThatDoNotFitAreClamped_data();
    void codesThatDoNotFitAreClamped();
    void rangeLists_data();
    void rangeLists();
    void snapAndStep_data();
    void snapAndStep();
};

void TestDpiCodes::stageBytesRoundTrip_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<QString>("ranges");
    QTest::addColumn<bool>("table");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("b0");
    QTest::addColumn<int>("b2");
    const QString one = QStringLiteral("50, 26000, 50, 0");
    const QString two = QStringLiteral("100, 10000, 50, 10100, 26000, 100, 22");
    const QString doubled = QStringLiteral("100, 10000, 50, 10100, 26000, 100, 11");
    const QString four = QStringLiteral("100, 1000, 50, 1100, 5000, 100, 5200, 10000, 200, 10400, 20000, 400, 33");
    QTest::newRow("no table, 50 units") << "X" << one << false << 1200 << 23 << 0x00;
    QTest::newRow("TV3395 below 12800") << "TV3395" << one << false << 12000 << 239 << 0x00;
    QTest::newRow("TV3395 bits 8-9 = 2") << "TV3395" << one << false << 26000 << 7 << 0x88;
    QTest::newRow("TV3395 bits 8-9 = 1") << "TV3395" << one << false << 16000 << 63 << 0x44;
    QTest::newRow("3395 as older files name it") << "3395" << one << false << 26000 << 7 << 0x88;
    QTest::newRow("TV3950 at 30000") << "TV3950" << "50, 30000, 50, 0" << false << 30000 << 87 << 0x88;
    QTest::newRow("0x22 above first range") << "X" << two << false << 20000 << 199 << 0x22;
    QTest::newRow("0x22 inside first range") << "X" << two << false << 5000 << 99 << 0x00;
    QTest::newRow("0x11 above first range") << "X" << doubled << false << 20000 << 199 << 0x11;
    QTest::newRow("0x33 fourth range") << "X" << four << false << 24000 << 119 << 0x33;
    QTest::newRow("0x33 third range") << "X" << four << false << 15000 << 149 << 0x11;
    QTest::newRow("0x33 second range") << "X" << four << false << 8000 << 79 << 0x22;
    QTest::newRow("table entry") << "M" << one << true << 800 << 15 << 0x00;
}

void TestDpiCodes::stageBytesRoundTrip()
{
    QFETCH(QString, model);
    QFETCH(QString, ranges);
    QFETCH(bool, table);
    QFETCH(int, dpi);
    QFETCH(int, b0);
    QFETCH(int, b2);
    const core::SensorDefines defines = table ? tableModelM() : core::SensorDefines();
    const DpiRangeSet set = rangesOf(ranges.toLatin1().constData());
    const StageCode code = dpiToStageCode(defines, model, set, 0, dpi);
    QCOMPARE(int(code.b0), b0);
    QCOMPARE(int(code.b1), b0);
    QCOMPARE(int(code.b2), b2);
    QCOMPARE(stageCodeToDpi(defines, model, code.b0, code.b2), dpi);
}

void TestDpiCodes::codesThatDoNotFitAreClamped_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("b0");
    QTest::addColumn<int>("b2");
    QTest::newRow("0 DPI") << "X" << 0 << 0 << 0x00;
    QTest::newRow("49 DPI, ten-bit") << "TV3395" << 49 << 0 << 0x00;
    QTest::newRow("8-bit model above 12800") << "X" << 26000 << 255 << 0x00;
    // 1023 is the largest ten-bit code: bits 8-9 both set, no flag bit touched.
    QTest::newRow("ten-bit above 51200") << "TV3950" << 60000 << 255 << 0xCC;
}

void TestDpiCodes::codesThatDoNotFitAreClamped()
{
    QFETCH(QString, model);
    QFETCH(int, dpi);
    QFETCH(int, b0);
    QFETCH(int, b2);
    const StageCode code = dpiToStageCode(core::SensorDefines(), model, rangesOf("50, 26000, 50, 0"), 0, dpi);
    QCOMPARE(int(code.b0), b0);
    QCOMPARE(int(code.b2), b2);
}

void TestDpiCodes::rangeLists_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("sliderMin");
    QTest::addColumn<QString>("sliderMax");
    QTest::newRow("two ranges") << "100, 800, 50, 900, 2000, 100, 0" << 2 << "100" << "2000";
    QTest::newRow("empty list keeps the slider") << "" << 0 << "100" << "26000";
    QTest::newRow("three items") << "50, 26000, 50" << 0 << "100" << "26000";
    QTest::newRow("step 0") << "100, 800, 0, 22" << 0 << "100" << "26000";
    QTest::newRow("step not a number") << "100, 800, x, 0" << 0 << "100" << "26000";
    QTest::newRow("five ranges") << "1,2,1,3,4,1,5,6,1,7,8,1,9,10,1,0" << 0 << "100" << "26000";
    // The "+" button adds the step to the value: numbers no sensor reaches would overflow.
    QTest::newRow("step beyond any sensor") << "100, 800, 2147483647, 0" << 0 << "100" << "26000";
    QTest::newRow("maximum beyond any sensor") << "100, 2147483647, 50, 0" << 0 << "100" << "26000";
    QTest::newRow("negative minimum") << "-2147483647, 800, 50, 0" << 0 << "100" << "26000";
}

void TestDpiCodes::rangeLists()
{
    QFETCH(QString, list);
    QFETCH(int, count);
    QFETCH(QString, sliderMin);
    QFETCH(QString, sliderMax);
    const QStringList read = list.isEmpty() ? QStringList() : items(list.toLatin1().constData());
    const DpiRangeSet set = readDpiRanges(read, DpiRangeSet());
    QCOMPARE(set.DpiRangeCount, count);
    QCOMPARE(set.DpiRangeMaximums.size(), count);
    QCOMPARE(set.SliderMinimumText, sliderMin);
    QCOMPARE(set.SliderMaximumText, sliderMax);
    // A refused list leaves no range to snap to, none to divide by its step
    // and none whose maximum would choose flags.
    if (count == 0) {
        QCOMPARE(snapDpi(set, 437).value, 437);
        QCOMPARE(stepDpi(set, 437, DpiStep::Add), 437);
        QCOMPARE(int(dpiToStageCode(core::SensorDefines(), "X", set, 0, 20000).b2), 0);
    }
}

void TestDpiCodes::snapAndStep_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("snapped");
    QTest::addColumn<int>("pageStep");
    QTest::addColumn<int>("added");
    QTest::addColumn<int>("reduced");
    QTest::newRow("gap") << 850 << 900 << 100 << 900 << 900;
    QTest::newRow("second range") << 949 << 900 << 100 << 1049 << 849;
    QTest::newRow("first range") << 799 << 750 << 50 << 849 << 749;
    QTest::newRow("first maximum") << 800 << 800 << 50 << 900 << 750;
    QTest::newRow("inside first") << 750 << 750 << 50 << 800 << 700;
    QTest::newRow("second minimum") << 900 << 900 << 100 << 1000 << 800;
    QTest::newRow("last maximum") << 2000 << 2000 << 100 << 2100 << 1900;
    QTest::newRow("above") << 2100 << 2100 << 0 << 2100 << 2100;
    QTest::newRow("below") << 60 << 60 << 0 << 60 << 60;
}

void TestDpiCodes::snapAndStep()
{
    QFETCH(int, value);
    QFETCH(int, snapped);
    QFETCH(int, pageStep);
    QFETCH(int, added);
    QFETCH(int, reduced);
    const DpiRangeSet set = rangesOf("100, 800, 50, 900, 2000, 100, 0");
    const DpiSnap snap = snapDpi(set, value);
    QCOMPARE(snap.value, snapped);
    QCOMPARE(snap.pageStep, pageStep);
    QCOMPARE(stepDpi(set, value, DpiStep::Add), added);
    QCOMPARE(stepDpi(set, value, DpiStep::Reduce), reduced);
}

QTEST_GUILESS_MAIN(TestDpiCodes)
#include "tst_dpicodes.moc"

#include "core/AppPaths.h"
#include "core/ConfigIni.h"
#include "core/DpiCodes.h"
#include "core/SensorDefines.h"

#include <QtTest>

using namespace core;

namespace {

SensorDefines tableOf(const QVector<QString>& names, const QVector<int>& values)
{
    SensorDefines defines;
    defines.names = names;
    defines.values = values;
    return defines;
}

} // namespace

class TestDpi : public QObject
{
    Q_OBJECT

private slots:
    void definitionLines_data();
    void definitionLines();
    void featureLinesFillFeaturesOnly();
    void lastLineWithoutLineBreakCounts();
    void crlfAndDuplicates();
    void hostileInputNeverFails();
    void missingFileGivesEmptyTable();
    void featureMembershipComparesWholeModels();
    void lookupsWithoutFamily();
    void lookupsWithFamily();
    void lookupsWithFamilyMissingTheEntry();
    void dpiIsReadAfterTheFamilyPrefix();
    void shippedFileMatchesTheDeviceTable();
    void indexedLookupsAgreeWithTheFullSearch_data();
    void indexedLookupsAgreeWithTheFullSearch();
    void hostileDefinitionsStayCheapAndBounded_data();
    void hostileDefinitionsStayCheapAndBounded();
};

void TestDpi::definitionLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("name");  // empty: no definition taken
    QTest::addColumn<int>("value");
    QTest::newRow("hex") << QByteArray("#define SENSOR_X_DPI_1600\t0x1F\n") << "SENSOR_X_DPI_1600" << 31;
    QTest::newRow("decimal") << QByteArray("#define FOO\t12\n") << "FOO" << 12;
    QTest::newRow("not a number") << QByteArray("#define FOO\tabc\n") << "FOO" << 0;
    QTest::newRow("several tabs") << QByteArray("#define FOO\t\t\t12\n") << "FOO" << 12;
    QTest::newRow("tab comment after value") << QByteArray("#define FOO\t12\t//c\n") << "" << 0;
    QTest::newRow("no value") << QByteArray("#define GUARD_H\n") << "" << 0;
    QTest::newRow("not a define") << QByteArray("#undef FOO\t12\n") << "" << 0;
    QTest::newRow("commented, any first word") << QByteArray("#xyz BAR\t7 //seven\n") << "BAR" << 7;
    QTest::newRow("commented hex") << QByteArray("#define BAR\t0x10 //sixteen\n") << "BAR" << 16;
    QTest::newRow("comment without slashes") << QByteArray("#define BAR\t7 seven\n") << "" << 0;
    QTest::newRow("commented, three tab parts") << QByteArray("#define BAR\t7\t8 //x\n") << "" << 0;
    QTest::newRow("four tokens") << QByteArray("#define BAR\t7 // two words\n") << "" << 0;
    QTest::newRow("blank line") << QByteArray("\n") << "" << 0;
}

void TestDpi::definitionLines()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, name);
    QFETCH(int, value);
    const SensorDefines defines = ParseSensorDefinitions(line);
    if (name.isEmpty()) {
        QVERIFY2(defines.names.isEmpty(), qPrintable(defines.names.value(0)));
        return;
    }
    QCOMPARE(defines.names, QVector<QString>{name});
    QCOMPARE(defines.values, QVector<int>{value});
}

void TestDpi::featureLinesFillFeaturesOnly()
{
    const SensorDefines defines = ParseSensorDefinitions(
        "#define SUPPORT_LOD_CAL\tTV3395,TV3950\n"
        "#define SUPPORT_RIPPLE\tTV3395\n"
        "xx SUPPORT_RIPPLE\tTV3950\n"  // first word is not looked at; a later line replaces
        "#define SUPPORT_MOUSEPAD_CAL\n"  // no list: nothing
        "#define SUPPORT_MOTION_SYNC_AND_SUPPORT_FIXLINE\tM1\n");  // the first name in test order wins
    QVERIFY(defines.names.isEmpty());
    QCOMPARE(defines.featureText(SensorFeature::LodCal), QStringLiteral("TV3395,TV3950"));
    QCOMPARE(defines.featureText(SensorFeature::Ripple), QStringLiteral("TV3950"));
    QCOMPARE(defines.featureText(SensorFeature::MousepadCal), QString());
    QCOMPARE(defines.featureText(SensorFeature::FixLine), QStringLiteral("M1"));
    QCOMPARE(defines.featureText(SensorFeature::MotionSync), QString());
    QCOMPARE(defines.featureText(SensorFeature::SensorModeSel), QString());
}

void TestDpi::lastLineWithoutLineBreakCounts()
{
    const SensorDefines defines = ParseSensorDefinitions("#define A\t1\n#define B\t2");
    QCOMPARE(defines.names, QVector<QString>({"A", "B"}));
    QCOMPARE(defines.values, QVector<int>({1, 2}));
}

void TestDpi::crlfAndDuplicates()
{
    const SensorDefines defines = ParseSensorDefinitions("#define A\t1\r\n#define A\t0x2\r\n#define SUPPORT_LOD_CAL\tM\r\n");
    QCOMPARE(defines.names, QVector<QString>({"A", "A"}));
    QCOMPARE(defines.values, QVector<int>({1, 2}));
    QCOMPARE(defines.valueOf(QStringLiteral("A")), std::optional<int>(1));
    QCOMPARE(defines.valueOf(QStringLiteral("B")), std::optional<int>());
    QCOMPARE(defines.featureText(SensorFeature::LodCal), QStringLiteral("M"));
}

void TestDpi::hostileInputNeverFails()
{
    QByteArray noise;
    for (int i = 0; i < 70000; ++i)
        noise.append(char((i * 7919) % 256));
    const SensorDefines defines = ParseSensorDefinitions(noise);
    QCOMPARE(defines.names.size(), defines.values.size());

    // Input beyond the bound is not read.
    QByteArray big(int(kMaxSensorDefineBytes), ' ');
    big.append("\n#define LATE\t1\n");
    QVERIFY(ParseSensorDefinitions(big).names.isEmpty());
}

void TestDpi::missingFileGivesEmptyTable()
{
    SensorDefines defines = ParseSensorDefinitions("#define A\t1\n");
    QString error;
    QVERIFY(!LoadSensorDefinitions(QStringLiteral("/nonexistent/driver_sensor.h"), &defines, &error));
    QVERIFY(defines.isEmpty());
    QVERIFY(!error.isEmpty());
}

void TestDpi::featureMembershipComparesWholeModels()
{
    const SensorDefines defines = ParseSensorDefinitions("#define SUPPORT_LOD_CAL\tTV3395,TV3950\n");
    QVERIFY(defines.hasFeature(SensorFeature::LodCal, QStringLiteral("TV3950")));
    QVERIFY(defines.hasFeature(SensorFeature::LodCal, QStringLiteral("TV3395")));
    QVERIFY(!defines.hasFeature(SensorFeature::LodCal, QStringLiteral("TV39")));
    QVERIFY(!defines.hasFeature(SensorFeature::LodCal, QString()));
    QVERIFY(!defines.hasFeature(SensorFeature::Ripple, QStringLiteral("TV3395")));
}

void TestDpi::lookupsWithoutFamily()
{
    const SensorDefines empty;
    QCOMPARE(DpiToSensorCode(empty, QStringLiteral("3395"), 1600), 31);
    QCOMPARE(SensorCodeToDpi(empty, QStringLiteral("3395"), 31), 1600);
    QCOMPARE(SensorCodeToDpi(empty, QStringLiteral("3395"), 0), 50);

    // Other models' tables do not count for this one.
    const SensorDefines other = tableOf({"SENSOR_3950_DPI_1600", "SENSOR_3395_CPI"}, {99, 5});
    QCOMPARE(DpiToSensorCode(other, QStringLiteral("3395"), 1600), 31);
    QCOMPARE(SensorCodeToDpi(other, QStringLiteral("3395"), 31), 1600);
    QCOMPARE(DpiToSensorCode(other, QStringLiteral("3395"), 100), 1);
    QCOMPARE(SensorCodeToDpi(other, QStringLiteral("3395"), 23), 1200);
}

void TestDpi::lookupsWithFamily()
{
    const SensorDefines defines =
        tableOf({"SENSOR_3950_DPI_1600", "SENSOR_3395_DPI_800", "SENSOR_3395_DPI_1600", "SENSOR_3395_DPI_3200"},
                {0x40, 0x0F, 0x1F, 0x1F});
    QCOMPARE(DpiToSensorCode(defines, QStringLiteral("3395"), 1600), 31);
    QCOMPARE(SensorCodeToDpi(defines, QStringLiteral("3395"), 31), 1600);  // first match wins
    QCOMPARE(SensorCodeToDpi(defines, QStringLiteral("3395"), 0x0F), 800);
    QCOMPARE(SensorCodeToDpi(defines, QStringLiteral("3950"), 0x40), 1600);
}

void TestDpi::lookupsWithFamilyMissingTheEntry()
{
    const SensorDefines defines = tableOf({"SENSOR_3395_DPI_800"}, {0x0F});
    QCOMPARE(DpiToSensorCode(defines, QStringLiteral("3395"), 1600), 32);
    QCOMPARE(SensorCodeToDpi(defines, QStringLiteral("3395"), 31), 0);
}

void TestDpi::dpiIsReadAfterTheFamilyPrefix()
{
    const SensorDefines defines = tableOf({"SENSOR_PIX3389_DPI_800"}, {15});
    QCOMPARE(SensorCodeToDpi(defines, QStringLiteral("PIX3389"), 15), 800);
    QCOMPARE(DpiToSensorCode(defines, QStringLiteral("PIX3389"), 800), 15);
}

void TestDpi::shippedFileMatchesTheDeviceTable()
{
    SensorDefines defines;
    QString error;
    QVERIFY2(LoadSensorDefinitions(AppDir() + QStringLiteral("/driver_sensor.h"), &defines, &error), qPrintable(error));
    QCOMPARE(SharedSensorDefines().names, defines.names);

    ConfigIni config(ConfigIniPath());
    QVERIFY2(config.IsLoaded(), qPrintable(ConfigIniPath()));
    const int total = config.GetInt(QStringLiteral("Option"), QStringLiteral("DeviceTotal"));
    QVERIFY(total >= 1);
    for (int n = 1; n <= total; ++n) {
        const QString group = QStringLiteral("Drive%1").arg(n);
        const QString model = config.GetValue(group, QStringLiteral("Sensor"));
        QVERIFY2(!model.isEmpty(), qPrintable(group));
        // The range the file gives for the sensor is the range the device offers.
        const auto minimum = defines.valueOf(QStringLiteral("SENSOR_%1_MIN_DPI").arg(model));
        const auto maximum = defines.valueOf(QStringLiteral("SENSOR_%1_MAX_DPI").arg(model));
        QVERIFY2(minimum && maximum, qPrintable(model));
        const QStringList range = config.GetValueList(group, QStringLiteral("DPIRange"));
        QVERIFY2(range.size() >= 4, qPrintable(group));
        const int ranges = (range.size() - 1) / 3;
        QCOMPARE(range.at(0).trimmed().toInt(), *minimum);
        QCOMPARE(range.at(3 * (ranges - 1) + 1).trimmed().toInt(), *maximum);
        // The sensors count in steps: every DPI-lock choice goes there and back.
        QVERIFY(!defines.hasDpiTable(model));
        for (int dpi = 100; dpi <= 1200; dpi += 100)
            QCOMPARE(SensorCodeToDpi(defines, model, DpiToSensorCode(defines, model, dpi)), dpi);
        QVERIFY(defines.hasFeature(SensorFeature::LodCal, model));
        QVERIFY(defines.hasFeature(SensorFeature::SensorModeSel, model));
    }
}

void TestDpi::hostileDefinitionsStayCheapAndBounded_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("dpi");  // what code 1 of the model reads as
    const QByteArray longModel(30000, 'Q');
    QTest::newRow("one long name of many pairs")
        << QByteArray("#define " + QByteArray("SENSOR_").repeated(400) + QByteArray("_DPI").repeated(400) + "_400\t1\n")
        << "X" << 100;
    QTest::newRow("one long name, no end to its models")
        << QByteArray("#define " + QByteArray("SENSOR_").repeated(20000) + QByteArray(100000, 'x') + "\t1\n") << "X"
        << 100;
    QTest::newRow("long model") << QByteArray("#define SENSOR_" + longModel + "_DPI_400\t1\n")
                                << QString::fromLatin1(longModel) << 400;
    QTest::newRow("DPI beyond any sensor") << QByteArray("#define SENSOR_X_DPI_2147483647\t1\n") << "X" << 0;
    QTest::newRow("negative DPI") << QByteArray("#define SENSOR_X_DPI_-400\t1\n") << "X" << 0;
    QTest::newRow("sane DPI") << QByteArray("#define SENSOR_X_DPI_400\t1\n") << "X" << 400;
}

// A shipped file someone edited by hand must not stall the start nor hand out numbers that
// overflow when the sensor page doubles them.
void TestDpi::hostileDefinitionsStayCheapAndBounded()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, model);
    QFETCH(int, dpi);
    QElapsedTimer clock;
    clock.start();
    const SensorDefines parsed = ParseSensorDefinitions(text);
    QCOMPARE(parsed.names.size(), 1);
    QCOMPARE(parsed.hasDpiTable(model), tableOf(parsed.names, parsed.values).hasDpiTable(model));
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(SensorCodeToDpi(parsed, model, 1), dpi);
}

QTEST_GUILESS_MAIN(TestDpi)
#include "tst_dpi.moc"

void TestDpi::indexedLookupsAgreeWithTheFullSearch_data()
{
    QTest::addColumn<QString>("query");  // a model for the table test, a name for the value test
    // A parsed table answers from its own index; the same names filled in by hand are searched in
    // full. Both must give the same answers, odd names included.
    for (const char* model : {"3395", "X", "TV3950", "3950", "39", "", "DPI", "A_B", "Y_DPI_Z", "SENSOR_X", "Q"})
        QTest::newRow(qPrintable(QStringLiteral("model ") + QLatin1String(model))) << QString::fromLatin1(model);
    for (const char* name : {"SENSOR_X_DPI_400", "SENSOR_X_DPI_1600", "DUP", "SENSOR_3395_MIN_DPI", "NONE", ""})
        QTest::newRow(qPrintable(QStringLiteral("name ") + QLatin1String(name))) << QString::fromLatin1(name);
}

void TestDpi::indexedLookupsAgreeWithTheFullSearch()
{
    QFETCH(QString, query);
    const SensorDefines parsed = ParseSensorDefinitions(
        "#define SENSOR_X_DPI_400\t1\n#define SENSOR_X_DPI_1600\t4\n#define DUP\t1\n#define DUP\t2\n"
        "#define SENSOR_3395_MIN_DPI\t50\n#define SENSOR_SENSOR_X_DPI_Y_DPI_Z_DPI\t9\n#define SENSOR__DPI\t3\n"
        "#define PRE_SENSOR_A_B_DPI_7\t7\n#define SENSOR_TV3950\t5\n");
    QVERIFY(!parsed.firstIndex.isEmpty());
    const SensorDefines byHand = tableOf(parsed.names, parsed.values);
    QCOMPARE(parsed.hasDpiTable(query), byHand.hasDpiTable(query));
    QCOMPARE(parsed.valueOf(query), byHand.valueOf(query));
}

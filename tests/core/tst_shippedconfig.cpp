#include "core/AppPaths.h"
#include "core/ConfigIni.h"
#include "core/ShippedData.h"
#include "core/Skin.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

constexpr const char* kColourKeys[] = {"LabelColor",      "ButtonColor",           "SliderColor",
                                       "ComboxTextColor", "ComboxSelectColor",     "ComboxBackGroundColor",
                                       "LinEditColor",    "LinEditColorSecond"};

} // namespace

// Checks the device table shipped beside the program: the pages and the device
// search read these keys without further checks, so a typo here would only
// show as a device that is never found or a page that stays empty.
class TestShippedConfig : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void searchIdentifiersMatchTheSupportedDevices();
    void colourKeysAreRgbTriples();
    void missingColoursFallBackToTheShippedOnes();
    void everyDriveGroupIsComplete_data();
    void everyDriveGroupIsComplete();
    void oneMalformedLineLeavesTheTableUsable();

private:
    static bool isByteList(const QStringList& items, int count);
    std::unique_ptr<const ConfigIni> m_ini;
};

void TestShippedConfig::initTestCase()
{
    QVERIFY2(QFile::exists(ConfigIniPath()), qPrintable(ConfigIniPath()));
    m_ini = std::make_unique<const ConfigIni>(ConfigIniPath());
    QVERIFY(m_ini->IsLoaded());
    // The program's own table is read from a Config.ini without colours.
    QTemporaryDir bare;
    QVERIFY(QDir(bare.path()).mkpath("usersetting"));
    QFile ini(bare.path() + "/usersetting/Config.ini");
    QVERIFY(ini.open(QIODevice::WriteOnly) && ini.write("[Option]\nDeviceTotal=0\n") > 0);
    ini.close();
    qputenv("TALVO_APP_DIR", bare.path().toUtf8());
    const bool colourless = ConfigIni::GetInstance()->IsLoaded()
                            && ConfigIni::GetInstance()->GetValueList("Option", "LabelColor").isEmpty();
    qunsetenv("TALVO_APP_DIR");
    QVERIFY(colourless);
}

bool TestShippedConfig::isByteList(const QStringList& items, int count)
{
    if (items.size() != count)
        return false;
    for (const QString& item : items) {
        bool ok = false;
        const int v = item.trimmed().toInt(&ok);
        if (!ok || v < 0 || v > 255)
            return false;
    }
    return true;
}

void TestShippedConfig::searchIdentifiersMatchTheSupportedDevices()
{
    QCOMPARE(m_ini->GetValue("Option", "CID"), QString("33"));
    QCOMPARE(m_ini->GetValue("Option", "VID"), QString("0x3A2F"));
    QCOMPARE(m_ini->GetValue("Option", "InterfaceId"), QString("1"));
    QCOMPARE(m_ini->GetValue("Option", "DeviceId"), QString("2"));
    QCOMPARE(m_ini->GetValueList("Option", "USB_PID"), QStringList({"0x4101", "0x4201"}));
    QCOMPARE(m_ini->GetValueList("Option", "Wireless_PID"), QStringList({"0x4111", "0x4211"}));
    QCOMPARE(m_ini->GetValueList("Option", "Wireless2_PID"), QStringList({"0x4121", "0x4221"}));
    QCOMPARE(m_ini->GetValueList("Option", "Wireless4_PID"), QStringList({"0x4141", "0x4241"}));
    QCOMPARE(m_ini->GetValueList("Option", "Wireless8_PID"), QStringList({"0x4181", "0x4281"}));
    QCOMPARE(m_ini->GetInt("Option", "DeviceTotal", -1), 2);
    QVERIFY(m_ini->Contains("Option", "Transition"));
    QCOMPARE(m_ini->GetInt("Option", "ShowBatteryValue", -1), 1);
}

void TestShippedConfig::colourKeysAreRgbTriples()
{
    for (const char* key : kColourKeys)
        QVERIFY2(isByteList(m_ini->GetValueList("Option", key), 3), key);
}

// Without its colours in Config.ini, each widget keeps the look the skin ships with.
void TestShippedConfig::missingColoursFallBackToTheShippedOnes()
{
    for (const char* key : kColourKeys) {
        QStringList shipped = m_ini->GetValueList("Option", key);
        for (QString& part : shipped)
            part = part.trimmed();
        QCOMPARE(core::optionColour(key), shipped.join(','));
    }
}

void TestShippedConfig::everyDriveGroupIsComplete_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("mid");
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<QString>("prefix");
    QTest::newRow("Drive1") << "Drive1" << 1 << "TV3395" << "R430K";
    QTest::newRow("Drive2") << "Drive2" << 2 << "TV3950" << "R430KPro";
}

void TestShippedConfig::everyDriveGroupIsComplete()
{
    QFETCH(QString, group);
    QFETCH(int, mid);
    QFETCH(QString, sensor);
    QFETCH(QString, prefix);
    QCOMPARE(m_ini->GetInt(group, "MID", -1), mid);
    QCOMPARE(m_ini->GetValue(group, "Sensor"), sensor);
    QCOMPARE(m_ini->GetValue(group, "MM"), prefix + "_M");
    QCOMPARE(m_ini->GetValue(group, "DM"), prefix + "_D1K");
    QCOMPARE(m_ini->GetValue(group, "D2M"), prefix + "_D2K");
    QCOMPARE(m_ini->GetValue(group, "D4M"), prefix + "_D4K");
    QCOMPARE(m_ini->GetValue(group, "D8M"), prefix + "_D8K");

    const int keys = m_ini->GetInt(group, "KeyNumber");
    QCOMPARE(keys, 6);
    for (int k = 1; k <= keys; ++k) {
        const QStringList param = m_ini->GetValueList(group, QStringLiteral("KeyParam%1").arg(k));
        QVERIFY2(param.size() >= 3 && param.first().startsWith("0x"), qPrintable(group + QString::number(k)));
    }

    // min, max, step triples followed by the hexadecimal range flags.
    const QStringList range = m_ini->GetValueList(group, "DPIRange");
    QVERIFY(range.size() >= 4 && (range.size() - 1) % 3 == 0);
    for (int i = 0; i + 2 < range.size() - 1; i += 3) {
        const int min = range[i].toInt(), max = range[i + 1].toInt(), step = range[i + 2].toInt();
        QVERIFY(min > 0 && max > min && step > 0 && (max - min) % step == 0);
    }
    bool flagsOk = false;
    range.last().trimmed().toInt(&flagsOk, 16);
    QVERIFY(flagsOk);

    const int grades = m_ini->GetInt(group, "DPIMaxGrade");
    QVERIFY(grades >= 1 && grades <= 8);
    QVERIFY(isByteList(m_ini->GetValueList(group, "DPIColor"), 24));
    const QStringList stageTexts = m_ini->GetValueList(group, "DPIGrade");
    QVERIFY(stageTexts.size() >= 8);
    for (const QString& text : stageTexts) {
        const int dpi = text.toInt();
        QVERIFY2(dpi >= range.first().toInt() && dpi <= range[range.size() - 3].toInt(), qPrintable(text));
    }
    bool modeOk = false;
    m_ini->GetValue(group, "XIn1").toInt(&modeOk);
    QVERIFY(modeOk);
    QCOMPARE(m_ini->GetValueList(group, "Adveanced").size(), 9);
}

// A hand edit that leaves one line QSettings cannot read: every device is still listed, so the
// table is not named damaged at start.
void TestShippedConfig::oneMalformedLineLeavesTheTableUsable()
{
    QFile shipped(ConfigIniPath());
    QVERIFY(shipped.open(QIODevice::ReadOnly));
    const QByteArray bytes = shipped.readAll().replace("[Option]", "[Option]\nno entry on this line");
    QTemporaryDir app;
    QVERIFY(QDir(app.path()).mkpath("usersetting"));
    QFile ini(app.path() + "/usersetting/Config.ini");
    QVERIFY(ini.open(QIODevice::WriteOnly) && ini.write(bytes) == bytes.size());
    ini.close();
    // Read once, as at start: QSettings keeps a parse for the next reader of the file.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("device table is malformed, read what could be parsed"));
    qputenv("TALVO_APP_DIR", app.path().toUtf8());
    const QStringList missing = MissingShippedData();
    qunsetenv("TALVO_APP_DIR");
    const ConfigIni edited(ini.fileName());
    QCOMPARE(edited.GetInt("Option", "DeviceTotal"), m_ini->GetInt("Option", "DeviceTotal"));
    QVERIFY2(!missing.contains("/usersetting/Config.ini"), qPrintable(missing.join(", ")));
}

QTEST_GUILESS_MAIN(TestShippedConfig)
#include "tst_shippedconfig.moc"

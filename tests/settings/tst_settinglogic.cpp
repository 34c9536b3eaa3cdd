// The settings page's rules without widgets: layouts, sleep entries,
// per-language placement, version texts, the autostart entry, the mouse
// settings launcher and the web profile.
#include "settings/SettingLogic.h"
#include "support/hostile_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

class TestSettingLogic : public QObject
{
    Q_OBJECT

private slots:
    void layoutsAndSleepEntries();
    void languagePlacement_data();
    void languagePlacement();
    void advancedItems();
    void versions_data();
    void versions();
    void autostartEntry();
    void autostartFailureIsReported();
    void launcherWithoutTools();
    void netProfile_data();
    void netProfile();
};

void TestSettingLogic::layoutsAndSleepEntries()
{
    const settings::PageLayout base = settings::pageLayout(false);
    QCOMPARE(base.contentHeight, 710);
    QCOMPARE(base.webLink, QPoint(610, 620));
    QCOMPARE(base.companyLine, QPoint(490, 640));
    const settings::PageLayout light = settings::pageLayout(true);
    QCOMPARE(light.contentHeight, 860);
    QCOMPARE(light.webLink, QPoint(610, 790));
    QCOMPARE(light.companyLine, QPoint(490, 810));
    // Without any advanced row the links close up under the last row of the page.
    const settings::PageLayout bare = settings::pageLayout(false, false);
    QCOMPARE(bare.contentHeight, 630);
    QCOMPARE(bare.webLink, QPoint(610, 540));
    QCOMPARE(bare.companyLine, QPoint(490, 560));

    QCOMPARE(settings::sleepIndexForSeconds(10), 0);
    QCOMPARE(settings::sleepIndexForSeconds(600), 4);
    QCOMPARE(settings::sleepIndexForSeconds(2400), 10);
    for (int seconds : {0, 20, 120, 2401, -10})
        QCOMPARE(settings::sleepIndexForSeconds(seconds), -1);
}

void TestSettingLogic::languagePlacement_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("valueX");
    QTest::addColumn<bool>("moves");
    QTest::addColumn<QPoint>("button");
    QTest::addColumn<int>("points");
    QTest::newRow("English") << 0 << 200 << true << QPoint(280, 170) << 10;
    QTest::newRow("Traditional") << 2 << 150 << true << QPoint(330, 170) << 10;
    QTest::newRow("Russian") << 4 << 280 << true << QPoint(330, 170) << 10;
    QTest::newRow("Japanese") << 5 << 280 << false << QPoint() << 7;
    QTest::newRow("unknown") << 7 << 235 << true << QPoint(285, 155) << 10;
    QTest::newRow("negative") << -1 << 235 << true << QPoint(285, 155) << 10;
}

void TestSettingLogic::languagePlacement()
{
    QFETCH(int, index);
    const settings::LanguagePlacement place = settings::languagePlacement(index);
    QTEST(place.valueX, "valueX");
    QTEST(place.moveUpdateButton, "moves");
    if (place.moveUpdateButton)
        QTEST(place.updateButton, "button");
    QTEST(place.updatePoints, "points");
}

void TestSettingLogic::advancedItems()
{
    const QStringList list{QStringLiteral("-1"), QStringLiteral("2")};
    QVERIFY(settings::advancedFeatureMissing(list, 0));
    QVERIFY(!settings::advancedFeatureMissing(list, 1));
    // A short list says nothing about the feature: it is not offered.
    QVERIFY(settings::advancedFeatureMissing({QStringLiteral("0")}, 1));
    QVERIFY(settings::advancedFeatureMissing({}, 0));
}

namespace {

DeviceAllInfo record(quint8 kind, bool online, const char* usb, const char* mouse, bool address)
{
    DeviceAllInfo info;
    info.SetDeviceKind(kind);
    info.Online = online;
    info.UsbVersionText = QString::fromLatin1(usb);
    info.VersionText = QString::fromLatin1(mouse);
    if (address)
        info.UsbAddress = QByteArray("\x01\x02\x03", 3);
    return info;
}

} // namespace

void TestSettingLogic::versions_data()
{
    QTest::addColumn<DeviceAllInfo>("current");
    QTest::addColumn<QList<DeviceAllInfo>>("found");
    QTest::addColumn<QString>("receiver");
    QTest::addColumn<QString>("mouse");
    QTest::addColumn<int>("receiverClass");
    const DeviceAllInfo cable = record(2, true, "", "v1.5", false);
    const DeviceAllInfo dongle = record(4, true, "v1.3", "", true);
    QTest::newRow("receiver online") << record(1, true, "v1.3", "v1.5", true) << QList<DeviceAllInfo>()
                                     << "v1.3" << "v1.5" << 4;
    QTest::newRow("receiver offline") << record(5, false, "v1.3", "v1.5", true) << QList<DeviceAllInfo>() << "v1.3"
                                      << "" << 8;
    QTest::newRow("cable, two found") << cable << QList<DeviceAllInfo>{cable, dongle} << "v1.3" << "v1.5" << 2;
    QTest::newRow("cable, three found") << cable << QList<DeviceAllInfo>{cable, dongle, dongle} << "" << "v1.5"
                                        << 0;
    QTest::newRow("cable, no address") << cable << QList<DeviceAllInfo>{cable, record(4, true, "v1.3", "", false)}
                                       << "" << "v1.5" << 0;
}

void TestSettingLogic::versions()
{
    QFETCH(DeviceAllInfo, current);
    QFETCH(QList<DeviceAllInfo>, found);
    const settings::VersionTexts texts = settings::composeVersions(current, found);
    QTEST(texts.receiver, "receiver");
    QTEST(texts.mouse, "mouse");
    QTEST(texts.receiverClass, "receiverClass");
}

void TestSettingLogic::autostartEntry()
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    const QString path = settings::autostartEntryPath();
    QCOMPARE(path, home.path() + QStringLiteral("/autostart/talvo-r430k.desktop"));
    QVERIFY(settings::setAutostartEntry(true, QStringLiteral("/opt/my app/talvo \"x\"")));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY2(text.contains("\nExec=\"/opt/my app/talvo \\\\\"x\\\\\"\"\n"), text.constData());
    QVERIFY(text.startsWith("[Desktop Entry]\n"));
    file.close();
    QVERIFY(settings::autostartEntryExists());
    QVERIFY(settings::setAutostartEntry(false, QString()));
    QVERIFY(!QFileInfo::exists(path));
    // Removing what is not there is no failure.
    QVERIFY(settings::setAutostartEntry(false, QString()));
    qunsetenv("XDG_CONFIG_HOME");
}

void TestSettingLogic::autostartFailureIsReported()
{
    QTemporaryDir home;
    // The autostart folder's place is taken by a file: nothing can be written.
    QFile blocker(home.path() + QStringLiteral("/autostart"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    QString error;
    QVERIFY(!settings::setAutostartEntry(true, QStringLiteral("/bin/true"), &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!settings::autostartEntryExists());
    qunsetenv("XDG_CONFIG_HOME");
}

void TestSettingLogic::launcherWithoutTools()
{
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "");
    int started = 0;
    QVERIFY(!settings::openMouseSettings([&started](const QString&, const QStringList&) { return ++started, true; }));
    QCOMPARE(started, 0);
    // A tool that is found but does not start lets the next one try.
    QTemporaryDir bin;
    for (const char* name : {"kcmshell5", "xfce4-mouse-settings"}) {
        QFile tool(bin.path() + QLatin1Char('/') + QLatin1String(name));
        QVERIFY(tool.open(QIODevice::WriteOnly));
        tool.close();
        tool.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    }
    qputenv("PATH", bin.path().toUtf8());
    QStringList tried;
    QVERIFY(settings::openMouseSettings([&tried](const QString& program, const QStringList& arguments) {
        tried << QFileInfo(program).fileName() + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
        return tried.size() == 2;
    }));
    QCOMPARE(tried, QStringList({QStringLiteral("kcmshell5 mouse"), QStringLiteral("xfce4-mouse-settings ")}));
    qputenv("PATH", path);
}

void TestSettingLogic::netProfile_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("read");
    QTest::addColumn<QString>("company");
    QTest::addColumn<QString>("web");
    const QByteArray both = "<Profile><Chinese><CompanyName>C</CompanyName><CompanyWebcn>cn</CompanyWebcn>"
                            "<CompanyWeben>x</CompanyWeben></Chinese>"
                            "<English><CompanyName>E</CompanyName><CompanyWeben>en</CompanyWeben>"
                            "<CompanyWebcn>y</CompanyWebcn><Deep><CompanyName>no</CompanyName></Deep></English>"
                            "<Other><CompanyName>no</CompanyName></Other></Profile>";
    QTest::newRow("English") << both << 0 << true << "E" << "en";
    QTest::newRow("Traditional") << both << 2 << true << "C" << "cn";
    QTest::newRow("Japanese keeps the link") << both << 5 << true << "E" << "";
    QTest::newRow("unknown index reads English") << both << 7 << true << "E" << "";
    QTest::newRow("Web for all") << QByteArray("<Profile><Web><CompanyWeben>w</CompanyWeben></Web></Profile>") << 3
                                 << true << "" << "w";
    QTest::newRow("wrong root") << QByteArray("<Total><English><CompanyName>E</CompanyName></English></Total>") << 0
                                << false << "" << "";
    // Special and huge files read as missing: no wait on a FIFO, no reading of 600 MB.
    QTest::newRow("FIFO") << QByteArray("fifo") << 0 << false << "" << "";
    QTest::newRow("huge") << QByteArray("huge") << 0 << false << "" << "";
}

void TestSettingLogic::netProfile()
{
    QFETCH(QByteArray, xml);
    QFETCH(int, index);
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/Net.xml");
    std::unique_ptr<hostile::Fifo> fifo(xml == "fifo" ? new hostile::Fifo(path) : nullptr);
    if (xml == "huge")
        xml = "<Profile><English><CompanyName>" + QByteArray(2 << 20, 'E') + "</CompanyName></English></Profile>";
    if (!fifo)
        QVERIFY(hostile::makeSparseFile(path, xml.size(), xml));
    settings::NetTexts texts;
    QTEST(settings::readNetProfile(path, index, &texts), "read");
    if (fifo)
        QVERIFY2(!fifo->hadToRelease(), "the reader blocked on the FIFO");
    QTEST(texts.company, "company");
    QTEST(texts.web, "web");
    QVERIFY(!settings::readNetProfile(dir.path() + QStringLiteral("/none.xml"), 0, &texts));
}


QTEST_GUILESS_MAIN(TestSettingLogic)
#include "tst_settinglogic.moc"

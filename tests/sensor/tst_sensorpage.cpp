// The sensor page on the simulated mouse: what it shows of the mouse's image
// and that reading the mouse never writes to it; the user's own choices do.
#include "core/AppPaths.h"
#include "core/DeviceParam.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "devicelib/SimControl.h"
#include "sensor/Sensor.h"
#include "sensor/SensorPageRules.h"
#include "support/link_helpers.h"
#include "support/full_disk.h"
#include "support/hostile_files.h"
#include "support/sim_helpers.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

template <typename T>
T* child(const QWidget* root, const char* name)
{
    T* found = root->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("%s has no child %s", qPrintable(root->objectName()), name);
    return found;
}

int flashByte(int offset)
{
    if (!linktest::waitSimIdle())
        return -1;
    return quint8(simtest::flash().at(offset));
}

int imagesSent()
{
    return simtest::countCalls(simtest::callLog(), QStringLiteral("ProtocolDataUpdate"));
}

} // namespace

class TestSensorPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { RegisterBusTypes(); }
    void init()
    {
        m_pages = linktest::openFreshDefaultMouse();
        QVERIFY(m_pages);
        DeviceWriteReady = 1;
        m_pages->sensor->show();
    }
    void cleanup() { m_pages.reset(); }

    void modeChoiceRule_data();
    void modeChoiceRule();
    void shownValues();
    void stagesOfTheImage();
    void readingNeverWrites();
    void resetShowsOneValue_data();
    void resetShowsOneValue();
    void storedModeOutsideTheChoice();
    void userChoicesReachTheMouse();
    void levelFileGivesTheStageCount_data();
    void levelFileGivesTheStageCount();
    void levelFileWriteOnAFullDiskKeepsTheOldOne();

private:
    void fill(const FlashDataMap& image)
    {
        QVERIFY(linktest::runOffGuiThread([&] { PostMsg::instance()->EmitUpDataLightSensor(image); }));
    }
    std::unique_ptr<linktest::LinkPages> m_pages;
};

void TestSensorPage::modeChoiceRule_data()
{
    QTest::addColumn<int>("step");  // 0 fill, 1 reported rate, 2 hide model
    QTest::addColumn<bool>("listed");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("restricted");
    QTest::addColumn<int>("arg");
    QTest::addColumn<int>("choice");
    using M = sensor::ModeChoice;
    QTest::newRow("fill 8000 Hz kind 5") << 0 << true << 5 << 0 << 64 << int(M::Locked);
    QTest::newRow("fill 500 Hz kind 5") << 0 << true << 5 << 0 << 2 << int(M::Free);
    QTest::newRow("fill 8000 Hz kind 0") << 0 << true << 0 << 0 << 64 << int(M::Free);
    QTest::newRow("fill restricted 1000 Hz") << 0 << true << 7 << 1 << 1 << int(M::Locked);
    QTest::newRow("fill unlisted") << 0 << false << 5 << 0 << 64 << int(M::Off);
    QTest::newRow("report high") << 1 << true << 5 << 0 << 32 << int(M::Locked);
    QTest::newRow("report low") << 1 << true << 5 << 0 << 1 << int(M::Free);
    QTest::newRow("report restricted") << 1 << true << 7 << 1 << 1 << int(M::Keep);
    QTest::newRow("report unknown code") << 1 << true << 5 << 0 << 3 << int(M::Keep);
    QTest::newRow("report unlisted") << 1 << false << 5 << 0 << 1 << int(M::Keep);
    QTest::newRow("hide 0") << 2 << true << 4 << 0 << 0 << int(M::Free);
    QTest::newRow("hide 0 restricted") << 2 << true << 7 << 1 << 0 << int(M::Keep);
    QTest::newRow("hide 1 kind 4") << 2 << true << 4 << 0 << 1 << int(M::Locked);
    QTest::newRow("hide 1 kind 2") << 2 << true << 2 << 0 << 1 << int(M::Keep);
    QTest::newRow("hide 1 unlisted") << 2 << false << 4 << 0 << 1 << int(M::Keep);
}

void TestSensorPage::modeChoiceRule()
{
    QFETCH(int, step);
    QFETCH(bool, listed);
    QFETCH(int, kind);
    QFETCH(int, restricted);
    QFETCH(int, arg);
    QFETCH(int, choice);
    const sensor::ModeState state = step == 0   ? sensor::fillModeChoice(listed, kind, restricted, arg)
                                    : step == 1 ? sensor::reportedRateModeChoice(listed, restricted, arg)
                                                : sensor::hideModelChoice(listed, kind, restricted, arg);
    QCOMPARE(int(state.choice), choice);
}

void TestSensorPage::shownValues()
{
    // Brightness bytes between the table's values show the nearest level.
    const int bytes[][2] = {{16, 1}, {100, 4}, {110, 5}, {255, 10}, {0, 1}};
    for (const auto& row : bytes)
        QCOMPARE(sensor::brightnessLevelFor(row[0]), row[1]);
    QCOMPARE(sensor::performanceIndexForCode(12), 2);
    QCOMPARE(sensor::performanceIndexForCode(120), -1);
    QCOMPARE(sensor::performanceCodeAt(5), 90);
    QCOMPARE(sensor::performanceCodeAt(6), -1);
    // count, level, DPIMaxGrade -> grades, count, current
    const int stages[][6] = {{4, 3, 8, 8, 4, 3}, {0, 9, 8, 8, 1, 0}, {12, 9, 10, 8, 8, 7}, {6, 5, 4, 4, 4, 3},
                             {3, 1, 0, 0, 3, 1}};
    for (const auto& row : stages) {
        const sensor::StageView view = sensor::stageViewFor(row[0], row[1], row[2]);
        QCOMPARE(view.grades, row[3]);
        QCOMPARE(view.count, row[4]);
        QCOMPARE(view.current, row[5]);
    }
}

void TestSensorPage::stagesOfTheImage()
{
    FlashDataMap image = CurrentFlashDataCopy();
    image.DpiLevelCount = 4;
    image.CurrentDpiLevel = 3;
    image.ReportRate = 2;
    SimControl_ClearCallLog();
    fill(image);
    QWidget* page = m_pages->sensor.get();
    QVERIFY(child<QAbstractButton>(page, "YellowButton")->isChecked());
    QVERIFY(child<QWidget>(page, "YellowButton")->isVisible());
    QVERIFY(!child<QWidget>(page, "GreenButton")->isVisible());
    const int dpi = child<QAbstractButton>(page, "YellowButton")->text().toInt();
    QVERIFY(dpi > 0);
    QCOMPARE(child<QSpinBox>(page, "spinBoxA")->value(), dpi);
    QCOMPARE(child<QSlider>(page, "horizontalSliderC")->value(), dpi);
    QVERIFY(child<QAbstractButton>(page, "Button500HZ")->isChecked());
    QCOMPARE(int(SensorPageUpdating), 0);
    QCOMPARE(int(SensorPageFilled), 1);
    QCOMPARE(imagesSent(), 0);
}

void TestSensorPage::readingNeverWrites()
{
    SimControl_ClearCallLog();
    // A DPI-light report: steady, brightness 100 (no level of its own), speed 0.
    // The link stores it in the mouse once; the page only shows it.
    unsigned char frame[8] = {1, 100, 0, 1, 0, 0, 0, 0};
    for (int i = 0; i < 7; ++i)
        frame[7] = quint8(frame[7] + frame[i]);
    QVERIFY(SimControl_SendReport(8, 0x4C, frame, 8));
    QVERIFY(linktest::waitSimIdle());
    QTRY_COMPARE(int(CurrentFlashDataCopy().DpiLedBrightness), 100);
    QCOMPARE(child<QSlider>(m_pages->sensor.get(), "LightH")->value(), 4);
    QCOMPARE(flashByte(0x40), 100);
    QCOMPARE(flashByte(0x41), 0);
    QCOMPARE(imagesSent(), 1);
    const QByteArray before = simtest::flash();
    SimControl_ClearCallLog();

    // An imported image out of every range, a stage the mouse cannot have, a reset.
    FlashDataMap broken = CurrentFlashDataCopy();
    broken.DpiLevelCount = 0;
    broken.CurrentDpiLevel = 9;
    broken.SensorMode = 7;
    m_pages->sensor->SlotUpDataSenSorUIB(broken);
    m_pages->sensor->SlotUpDataDPI(9);
    QCOMPARE(int(DeviceWriteReady), 1);
    m_pages->sensor->SlotFormReset();
    QCOMPARE(int(SensorPageUpdating), 0);
    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(imagesSent(), 0);
    QCOMPARE(simtest::flash(), before);
}

void TestSensorPage::resetShowsOneValue_data()
{
    QTest::addColumn<int>("stageBefore");
    QTest::newRow("stage 2 checked before") << 1;
    QTest::newRow("stage 4 checked before") << 3;
}

void TestSensorPage::resetShowsOneValue()
{
    QFETCH(int, stageBefore);
    FlashDataMap image = CurrentFlashDataCopy();
    image.DpiLevelCount = 6;
    image.CurrentDpiLevel = quint8(stageBefore);
    fill(image);
    SimControl_ClearCallLog();
    m_pages->sensor->SlotFormReset();
    QWidget* page = m_pages->sensor.get();
    auto* stage = child<QAbstractButton>(page, "BrightRedButton");
    QVERIFY(stage->isChecked());
    QCOMPARE(stage->text(), QStringLiteral("1200"));
    QCOMPARE(child<QSlider>(page, "horizontalSliderC")->value(), 1200);
    QCOMPARE(child<QSpinBox>(page, "spinBoxA")->value(), 1200);
    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(simtest::callsStartingWith(simtest::callLog(), {"ProtocolDataUpdate", "UsbServer_Set"}), QStringList());
}

void TestSensorPage::storedModeOutsideTheChoice()
{
    QVERIFY(SetSensorMode(3));
    QVERIFY(SetReportRate(1));
    QVERIFY(linktest::waitSimIdle());
    fill(CurrentFlashDataCopy());
    SimControl_ClearCallLog();
    auto* mode = child<QComboBox>(m_pages->sensor.get(), "ModelChoose");
    const int shown = mode->currentIndex();
    child<QAbstractButton>(m_pages->sensor.get(), "Button500HZ")->click();
    QCOMPARE(flashByte(0x00), 2);
    QCOMPARE(flashByte(0x0E), 3);
    QCOMPARE(mode->currentIndex(), shown);
}

void TestSensorPage::userChoicesReachTheMouse()
{
    QVERIFY(SetReportRate(1));
    QVERIFY(linktest::waitSimIdle());
    fill(CurrentFlashDataCopy());
    QWidget* page = m_pages->sensor.get();
    auto* mode = child<QComboBox>(page, "ModelChoose");
    QVERIFY(mode->isEnabled());  // the default mouse's sensor offers the choice
    mode->setCurrentIndex(1);
    QCOMPARE(flashByte(0x0E), 1);
    SimControl_ClearCallLog();
    mode->setCurrentIndex(2);
    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(imagesSent(), 0);

    auto* performance = child<QCheckBox>(page, "Performance");
    auto* time = child<QComboBox>(page, "PerformanceOpen");
    if (performance->isChecked())
        performance->click();
    performance->click();
    QCOMPARE(flashByte(0x0C), 1);
    QVERIFY(time->isEnabled());
    time->setCurrentIndex(time->currentIndex() == 2 ? 3 : 2);
    time->setCurrentIndex(2);
    QCOMPARE(flashByte(0x0D), 12);
}

void TestSensorPage::levelFileWriteOnAFullDiskKeepsTheOldOne()
{
    const QString path = UserDataDir() + QStringLiteral("/usersetting/SensorPage/Level.ini");
    QVERIFY(m_pages->sensor->WriteLevel(4));
    {
        hostile::FullDisk full;
        QVERIFY(!m_pages->sensor->WriteLevel(12));
    }
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("4"));
}

void TestSensorPage::levelFileGivesTheStageCount_data()
{
    QTest::addColumn<QByteArray>("content");  // "fifo", "huge", "missing" or the file's bytes
    QTest::addColumn<int>("count");
    QTest::newRow("number") << QByteArray("3") << 3;
    QTest::newRow("first line only") << QByteArray(" 5\r\n7\n") << 5;
    QTest::newRow("not a number") << QByteArray("x") << 0;
    QTest::newRow("empty") << QByteArray() << 1;
    QTest::newRow("missing") << QByteArray("missing") << 1;
    QTest::newRow("FIFO") << QByteArray("fifo") << 1;
    QTest::newRow("huge") << QByteArray("huge") << 1;
}

// A FIFO would block the page's construction for ever and a huge file would be read whole to
// find its first line: both count as no file.
void TestSensorPage::levelFileGivesTheStageCount()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Level.ini"));
    std::unique_ptr<hostile::Fifo> fifo(content == "fifo" ? new hostile::Fifo(path) : nullptr);
    if (content == "huge")
        QVERIFY(hostile::makeSparseFile(path, qint64(1) << 30, "4\n"));
    else if (!fifo && content != "missing")
        QVERIFY(hostile::makeSparseFile(path, content.size(), content));
    if (fifo || content == "huge")
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^DPI level file ignored: "));
    QTEST(sensor::stageCountFromLevelFile(path), "count");
    if (fifo)
        QVERIFY2(!fifo->hadToRelease(), "the reader blocked on the FIFO");
}

QTEST_MAIN(TestSensorPage)
#include "tst_sensorpage.moc"

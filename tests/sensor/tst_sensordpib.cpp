// The per-stage DPI editor on the simulated mouse: the owner's values never
// go back to the mouse, every user edit does, snapped to the device's ranges.
#include "core/DeviceParam.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "devicelib/SimControl.h"
#include "sensor/SensorDPIB.h"
#include "sensor/SensorDpiCodes.h"
#include "support/link_helpers.h"
#include "support/sim_helpers.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

namespace {

constexpr const char* kLetters = "ABCDEFGH";

template <typename T>
T* child(const QWidget* root, const QString& name)
{
    T* found = root->findChild<T*>(name);
    if (!found)
        qFatal("the editor has no child %s", qPrintable(name));
    return found;
}

QSlider* slider(const QWidget* editor, int stage)
{
    return child<QSlider>(editor, QStringLiteral("horizontalSlider") + QLatin1Char(kLetters[stage]));
}

QSpinBox* spin(const QWidget* editor, int stage)
{
    return child<QSpinBox>(editor, QStringLiteral("spinBox") + QLatin1Char(kLetters[stage]));
}

QCheckBox* check(const QWidget* editor, int stage)
{
    return child<QCheckBox>(editor, QStringLiteral("M") + QLatin1Char(kLetters[stage]));
}

FlashDataMap idleFlash()
{
    return linktest::waitSimIdle() ? linktest::imageOf(simtest::flash()) : EmptyFlashDataMap();
}

int imagesSent()
{
    linktest::waitSimIdle();
    return simtest::countCalls(simtest::callLog(), QStringLiteral("ProtocolDataUpdate"));
}

QByteArray levelBytes(const FlashDataMap& image, int level)
{
    return QByteArray(reinterpret_cast<const char*>(&image.DpiLevel[level]), int(sizeof(DpiLevelEntry)));
}

QStringList rangeItems(const QString& list)
{
    return list.isEmpty() ? QStringList() : list.split(QLatin1Char(','));
}

} // namespace

class TestSensorDpiB : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { RegisterBusTypes(); }
    void init();
    void cleanup();

    void sliderEditsSnapAndSend_data();
    void sliderEditsSnapAndSend();
    void stageCountSwapsTheCutCurrentStage();
    void currentStageAndColour();

private:
    // What an owner does with the mouse's image: shows it without sending.
    void fill();

    std::unique_ptr<linktest::LinkPages> m_pages;
    std::unique_ptr<SensorDPIB> m_editor;
};

void TestSensorDpiB::init()
{
    m_pages = linktest::openFreshDefaultMouse();
    QVERIFY(m_pages);
    DeviceWriteReady = 1;
    m_editor = std::make_unique<SensorDPIB>();
}

void TestSensorDpiB::cleanup()
{
    m_editor.reset();
    m_pages.reset();
    sensor::LoadDpiRanges();
}

void TestSensorDpiB::fill()
{
    const FlashDataMap image = CurrentFlashDataCopy();
    SensorPageUpdating = 1;
    m_editor->ClearStageCountItems();
    for (int k = 0; k < SensorDPIB::kStages; ++k) {
        m_editor->InsertStageCountItem(k, QString::number(k + 1));
        const quint8* rgb = image.DpiLevel[k].DpiColor;
        m_editor->SetStageColor(k, QColor(rgb[0], rgb[1], rgb[2]).name());
        m_editor->SetStageValue(k, QString::number((k + 1) * 400));
    }
    m_editor->ApplyAllStageColours();
    m_editor->SetCurrentStage(image.CurrentDpiLevel);
    m_editor->SetStageCount(image.DpiLevelCount);
    SensorPageUpdating = 0;
    QCOMPARE(imagesSent(), 0);
}

void TestSensorDpiB::sliderEditsSnapAndSend_data()
{
    QTest::addColumn<QString>("ranges");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("shown");
    QTest::addColumn<int>("pageStep");
    QTest::newRow("one range: down to the step") << "100,26000,50,0" << 437 << 400 << 50;
    QTest::newRow("one range: below it kept") << "100,26000,50,0" << 75 << 75 << 50;
    QTest::newRow("gap: next minimum") << "100,400,50,500,900,100,0" << 450 << 500 << 100;
    QTest::newRow("second range") << "100,400,50,500,900,100,0" << 650 << 600 << 100;
    QTest::newRow("above every range") << "100,400,50,500,900,100,0" << 950 << 950 << 50;
    QTest::newRow("no usable ranges") << "" << 437 << 437 << 50;
    QTest::newRow("step 0 is no range") << "100,26000,0,0" << 437 << 437 << 50;
}

void TestSensorDpiB::sliderEditsSnapAndSend()
{
    QFETCH(QString, ranges);
    QFETCH(int, value);
    QFETCH(int, shown);
    QFETCH(int, pageStep);
    sensor::LoadDpiRanges(rangeItems(ranges));
    fill();
    // The owner's value, unblocked, is shown and not sent.
    m_editor->SetStageValue(2, QStringLiteral("800"));
    QCOMPARE(spin(m_editor.get(), 2)->value(), 800);
    QCOMPARE(imagesSent(), 0);

    // The first edit after construction already goes to the mouse.
    const QByteArray before = levelBytes(idleFlash(), 2);
    slider(m_editor.get(), 2)->setValue(value);
    QCOMPARE(spin(m_editor.get(), 2)->value(), shown);
    QCOMPARE(slider(m_editor.get(), 2)->pageStep(), pageStep);
    QCOMPARE(imagesSent(), 1);
    const FlashDataMap after = idleFlash();
    if (shown == 400)
        QCOMPARE(sensor::StageCodeToDpi(after.DpiLevel[2].DpiValue[0], after.DpiLevel[2].DpiValue[2]), 400);
    QVERIFY(levelBytes(after, 2).mid(3) == before.mid(3));
}

void TestSensorDpiB::stageCountSwapsTheCutCurrentStage()
{
    QVERIFY(SetDPILevelCount(8));
    QVERIFY(SetCurrentDPILevel(5));
    QVERIFY(linktest::waitSimIdle());
    SimControl_ClearCallLog();
    fill();
    const FlashDataMap before = idleFlash();
    const QString colour2 = m_editor->stageColour(2);
    const QString colour5 = m_editor->stageColour(5);
    auto* count = child<QComboBox>(m_editor.get(), QStringLiteral("ChooseEvent"));

    count->setCurrentIndex(2);
    QCOMPARE(m_editor->stageColour(2), colour5);
    QCOMPARE(m_editor->stageColour(5), colour2);
    QCOMPARE(spin(m_editor.get(), 2)->value(), 2400);
    QCOMPARE(spin(m_editor.get(), 5)->value(), 1200);
    QVERIFY(check(m_editor.get(), 2)->isChecked());
    QCOMPARE(m_editor->currentStage(), 2);
    QCOMPARE(m_editor->stageCount(), 3);
    FlashDataMap after = idleFlash();
    QCOMPARE(levelBytes(after, 2), levelBytes(before, 5));
    QCOMPARE(levelBytes(after, 5), levelBytes(before, 2));
    QCOMPARE(int(after.CurrentDpiLevel), 2);
    QCOMPARE(int(after.DpiLevelCount), 3);
    for (int k = 0; k < SensorDPIB::kStages; ++k)
        QCOMPARE(slider(m_editor.get(), k)->isHidden(), k > 2);

    // A count that keeps the current stage sends the count alone.
    m_editor->SetCurrentStage(1);
    SimControl_ClearCallLog();
    count->setCurrentIndex(4);
    QCOMPARE(imagesSent(), 1);
    after = idleFlash();
    QCOMPARE(int(after.DpiLevelCount), 5);
    QCOMPARE(int(after.CurrentDpiLevel), 2);
    QCOMPARE(m_editor->currentStage(), 1);
    QVERIFY(!spin(m_editor.get(), 4)->isHidden());
}

void TestSensorDpiB::currentStageAndColour()
{
    fill();
    check(m_editor.get(), 3)->click();
    QCOMPARE(int(idleFlash().CurrentDpiLevel), 3);
    QCOMPARE(m_editor->currentStage(), 3);
    check(m_editor.get(), 3)->click();  // the checked box stays checked
    QVERIFY(check(m_editor.get(), 3)->isChecked());

    child<QToolButton>(m_editor.get(), QStringLiteral("YellowButtonA"))->click();
    auto* dialog = m_editor->findChild<QColorDialog*>();
    QVERIFY(dialog && dialog->isVisible());
    emit dialog->colorSelected(QColor(5, 10, 255));
    dialog->hide();
    QCOMPARE(m_editor->stageColour(3), QStringLiteral("#050aff"));
    const FlashDataMap flash = idleFlash();
    const quint8* rgb = flash.DpiLevel[3].DpiColor;
    QCOMPARE(qRgb(rgb[0], rgb[1], rgb[2]), qRgb(5, 10, 255));
    QVERIFY(child<QToolButton>(m_editor.get(), QStringLiteral("YellowButtonA"))->styleSheet().contains(
        QStringLiteral("#050aff")));
}

QTEST_MAIN(TestSensorDpiB)
#include "tst_sensordpib.moc"

// The DPI stage editor on the simulated mouse: what the user does reaches
// the mouse's flash, what the sensor page fills in never does.
#include "core/DeviceParam.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "devicelib/SimControl.h"
#include "sensor/SensorDPI.h"
#include "sensor/SensorDpiCodes.h"
#include "support/link_helpers.h"
#include "support/sim_helpers.h"

#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

#include <cstring>

namespace {

constexpr const char* kStageButtons[] = {"BlueButton",  "BrightRedButton", "RedButton",       "YellowButton",
                                         "GreenButton", "PurpleButton",    "LightBlueButton", "LightYellowButton"};

template <typename T>
T* child(const QWidget* root, const QString& name)
{
    T* found = root->findChild<T*>(name);
    if (!found)
        qFatal("%s has no child %s", qPrintable(root->objectName()), qPrintable(name));
    return found;
}

QToolButton* stageButton(const QWidget* editor, int stage)
{
    return child<QToolButton>(editor, QLatin1String(kStageButtons[stage]));
}

FlashDataMap idleFlash()
{
    return linktest::waitSimIdle() ? linktest::imageOf(simtest::flash()) : EmptyFlashDataMap();
}

QByteArray levelBytes(const FlashDataMap& image, int level)
{
    return QByteArray(reinterpret_cast<const char*>(&image.DpiLevel[level]), int(sizeof(DpiLevelEntry)));
}

int imagesSent()
{
    return simtest::countCalls(simtest::callLog(), QStringLiteral("ProtocolDataUpdate"));
}

// What the sensor page does with the editor when the mouse's image arrives.
void fill(SensorDPI& editor, const FlashDataMap& image)
{
    const int count = image.DpiLevelCount;
    const int current = image.CurrentDpiLevel;
    editor.ClearStageCountItems();
    editor.BlockSliderSignals(true);
    SensorPageUpdating = 1;
    editor.SetStageCount(count);
    editor.SetCurrentStage(current);
    sensor::LoadCurrentSensorModel();
    editor.BlockComboSignals(true);
    for (int i = 0; i < SensorDPI::kStages; ++i) {
        const quint8* rgb = image.DpiLevel[i].DpiColor;
        editor.SetStageColor(i, QColor(rgb[0], rgb[1], rgb[2]).name());
        editor.InsertStageCountItem(i, QString::number(i + 1));
    }
    editor.BlockComboSignals(false);
    editor.HighlightStageBar(current);
    sensor::LoadDpiRanges();
    editor.SetSliderMaximum(sensor::CurrentDpiRanges().SliderMaximumText.toInt());
    editor.SetSliderMinimum(sensor::CurrentDpiRanges().SliderMinimumText.toInt());
    for (int i = 0; i < SensorDPI::kStages; ++i) {
        const int dpi = sensor::StageCodeToDpi(image.DpiLevel[i].DpiValue[0], image.DpiLevel[i].DpiValue[2]);
        editor.SetStageText(i, QString::number(dpi));
        if (i == current) {
            editor.SetSliderValue(dpi);
            editor.SetSpinValue(dpi);
        }
    }
    editor.ShowStages(count - 1);
    editor.SetStageCountIndex(count - 1);
    editor.MoveLevelMarker(current + 1);
    editor.CheckStageButton(current);
    editor.BlockSliderSignals(false);
    SensorPageUpdating = 0;
}

// A mouse event at a point of the editor, delivered to the marker as the
// window system would while the marker holds the mouse; the marker passes
// it on to the editor.
void mouseAt(SensorDPI& editor, QEvent::Type type, const QPoint& at, Qt::MouseButtons held)
{
    QLabel* marker = child<QLabel>(&editor, QStringLiteral("label_8"));
    const QPoint local = marker->mapFrom(&editor, at);
    QMouseEvent event(type, local, marker->mapToGlobal(local), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(marker, &event);
}

} // namespace

class TestSensorDpi : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { RegisterBusTypes(); }
    void init();
    void cleanup();

    void userEditsReachTheMouseFillsDoNot();
    void stageClickSendsOnlyTheCurrentStage();
    void stageCountSwapsTheDroppedCurrentStage();
    void markerDrops_data();
    void markerDrops();
    void colourGoesToTheCheckedBar();
    void badValuesAreIgnored();

private:
    void prepareMouse(int count, int current);

    std::unique_ptr<linktest::LinkPages> m_pages;
    std::unique_ptr<SensorDPI> m_editor;
};

void TestSensorDpi::init()
{
    m_pages = linktest::openFreshDefaultMouse();
    QVERIFY(m_pages);
    DeviceWriteReady = 1;
    m_editor = std::make_unique<SensorDPI>();
    m_editor->show();
}

void TestSensorDpi::cleanup()
{
    m_editor.reset();
    m_pages.reset();
    ParamProgressSuppressed = 0;
}

// The mouse holds `count` stages with `current` current, and the editor
// shows them; nothing of the fill went to the mouse.
void TestSensorDpi::prepareMouse(int count, int current)
{
    QVERIFY(SetDPILevelCount(quint8(count)));
    QVERIFY(SetCurrentDPILevel(quint8(current)));
    QVERIFY(linktest::waitSimIdle());
    SimControl_ClearCallLog();
    fill(*m_editor, CurrentFlashDataCopy());
    QCOMPARE(imagesSent(), 0);
    QVERIFY(stageButton(m_editor.get(), current)->isChecked());
}

void TestSensorDpi::userEditsReachTheMouseFillsDoNot()
{
    prepareMouse(4, 1);
    auto* slider = child<QSlider>(m_editor.get(), QStringLiteral("horizontalSliderC"));
    auto* spin = child<QSpinBox>(m_editor.get(), QStringLiteral("spinBoxA"));
    QCOMPARE(spin->value(), 800);

    // The first change after the fill is sent, once, snapped to the 50 grid.
    slider->setValue(1234);
    QCOMPARE(levelBytes(idleFlash(), 1).left(3), QByteArray("\x17\x17\x00", 3));
    QCOMPARE(imagesSent(), 1);
    QCOMPARE(spin->value(), 1200);
    QCOMPARE(stageButton(m_editor.get(), 1)->text(), QStringLiteral("1200"));

    child<QToolButton>(m_editor.get(), QStringLiteral("AddLevelA"))->click();
    QCOMPARE(int(idleFlash().DpiLevel[1].DpiValue[0]), 24);
    child<QToolButton>(m_editor.get(), QStringLiteral("ReduceLevelA"))->click();
    QCOMPARE(int(idleFlash().DpiLevel[1].DpiValue[0]), 23);

    // The shipped TV3395 keeps code bits 8-9.
    slider->setValue(16000);
    QCOMPARE(levelBytes(idleFlash(), 1).left(3), QByteArray("\x3F\x3F\x44", 3));

    // Shown but not sent while the button page imports; an absent mouse
    // gets the offline notice instead.
    SimControl_ClearCallLog();
    ParamProgressSuppressed = 1;
    slider->setValue(3200);
    QCOMPARE(spin->value(), 3200);
    ParamProgressSuppressed = 0;
    QSignalSpy offline(PostMsg::instance(), &PostMsg::SigMouseOffLineo);
    QVERIFY(SimControl_SetAwake("Mouse1", false));
    slider->setValue(4010);
    QCOMPARE(spin->value(), 4010);
    QCOMPARE(offline.count(), 1);
    QCOMPARE(imagesSent(), 0);
}

void TestSensorDpi::stageClickSendsOnlyTheCurrentStage()
{
    prepareMouse(4, 1);
    const FlashDataMap before = idleFlash();
    QTest::mouseClick(stageButton(m_editor.get(), 2), Qt::LeftButton);
    FlashDataMap after = idleFlash();
    QCOMPARE(int(after.CurrentDpiLevel), 2);
    QCOMPARE(imagesSent(), 1);
    after.CurrentDpiLevel = before.CurrentDpiLevel;
    QVERIFY(std::memcmp(&after, &before, sizeof after) == 0);
    QCOMPARE(child<QSpinBox>(m_editor.get(), QStringLiteral("spinBoxA"))->value(), 1600);
    QVERIFY(child<QToolButton>(m_editor.get(), QStringLiteral("RedButtonA"))->isChecked());
    QCOMPARE(child<QLabel>(m_editor.get(), QStringLiteral("label_8"))->pos(), QPoint(209, 154));
}

void TestSensorDpi::stageCountSwapsTheDroppedCurrentStage()
{
    prepareMouse(8, 5);
    const FlashDataMap before = idleFlash();
    auto* count = child<QComboBox>(m_editor.get(), QStringLiteral("ChooseEvent"));
    count->setCurrentIndex(2);
    FlashDataMap after = idleFlash();
    QCOMPARE(levelBytes(after, 2), levelBytes(before, 5));
    QCOMPARE(levelBytes(after, 5), levelBytes(before, 2));
    QCOMPARE(int(after.CurrentDpiLevel), 2);
    QCOMPARE(int(after.DpiLevelCount), 3);
    QCOMPARE(stageButton(m_editor.get(), 2)->text(), QStringLiteral("12800"));
    QCOMPARE(stageButton(m_editor.get(), 5)->text(), QStringLiteral("1600"));
    QVERIFY(stageButton(m_editor.get(), 2)->isChecked());
    QVERIFY(stageButton(m_editor.get(), 3)->isHidden());

    // Raising the count moves no record.
    count->setCurrentIndex(4);
    const FlashDataMap raised = idleFlash();
    QCOMPARE(int(raised.DpiLevelCount), 5);
    after.DpiLevelCount = 5;
    QVERIFY(std::memcmp(&raised, &after, sizeof raised) == 0);
    QVERIFY(!stageButton(m_editor.get(), 4)->isHidden());
}

void TestSensorDpi::markerDrops_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("dropX");
    QTest::addColumn<int>("current");  // CurrentDpiLevel afterwards
    QTest::addColumn<bool>("sent");
    QTest::addColumn<int>("markerX");
    // The marker stands under stage 2 (x 118); the press is 5 px into it.
    QTest::newRow("onto stage 3") << 8 << 210 << 2 << true << 209;
    QTest::newRow("short of stage 3") << 8 << 170 << 1 << false << 118;
    QTest::newRow("back to stage 1") << 8 << 40 << 0 << true << 27;
    QTest::newRow("click without moving") << 8 << 123 << 1 << false << 118;
    QTest::newRow("beyond the shown stages") << 4 << 350 << 1 << true << 118;
    QTest::newRow("out of the editor") << 8 << 800 << 1 << false << 118;
    QTest::newRow("no stage count") << 0 << 210 << 1 << false << 118;
}

void TestSensorDpi::markerDrops()
{
    QFETCH(int, count);
    QFETCH(int, dropX);
    QFETCH(int, current);
    QFETCH(bool, sent);
    QFETCH(int, markerX);
    prepareMouse(count == 0 ? 8 : count, 1);
    if (count == 0)
        m_editor->ClearStageCountItems();
    auto* marker = child<QLabel>(m_editor.get(), QStringLiteral("label_8"));
    mouseAt(*m_editor, QEvent::MouseButtonPress, QPoint(123, 160), Qt::LeftButton);
    mouseAt(*m_editor, QEvent::MouseMove, QPoint(dropX, 160), Qt::LeftButton);
    // Leaving the editor ended the drag: the marker no longer follows.
    if (dropX > m_editor->width())
        mouseAt(*m_editor, QEvent::MouseMove, QPoint(300, 160), Qt::LeftButton);
    mouseAt(*m_editor, QEvent::MouseButtonRelease, QPoint(dropX, 160), Qt::NoButton);
    QCOMPARE(marker->pos(), QPoint(markerX, 154));
    QCOMPARE(int(idleFlash().CurrentDpiLevel), current);
    QCOMPARE(imagesSent() > 0, sent);
}

void TestSensorDpi::colourGoesToTheCheckedBar()
{
    m_editor->SetColor(QColor(1, 2, 3));
    QCOMPARE(imagesSent(), 0);
    prepareMouse(4, 1);
    // A click on the bar of stage 4 makes it current and asks for a colour.
    auto* bar = child<QToolButton>(m_editor.get(), QStringLiteral("YellowButtonA"));
    QTest::mouseClick(bar, Qt::LeftButton);
    QCOMPARE(int(idleFlash().CurrentDpiLevel), 3);
    auto* dialog = m_editor->findChild<QColorDialog*>();
    QVERIFY(dialog && dialog->isVisible());
    dialog->setCurrentColor(QColor(5, 10, 255));
    dialog->accept();
    QCOMPARE(levelBytes(idleFlash(), 3).mid(3), QByteArray("\x05\x0A\xFF", 3));
    QVERIFY(bar->styleSheet().contains(QStringLiteral("rgb(5,10,255)")));
}

void TestSensorDpi::badValuesAreIgnored()
{
    prepareMouse(4, 1);
    auto* marker = child<QLabel>(m_editor.get(), QStringLiteral("label_8"));
    m_editor->SetCurrentStage(-1);
    m_editor->SetCurrentStage(9);
    m_editor->CheckStageButton(8);
    m_editor->SetStageText(9, QStringLiteral("x"));
    m_editor->MoveLevelMarker(0);
    m_editor->ShowStages(8);
    m_editor->SetStageColor(1, QStringLiteral("#12345"));
    QCOMPARE(marker->pos(), QPoint(118, 154));
    QVERIFY(stageButton(m_editor.get(), 1)->isChecked());
    QVERIFY(stageButton(m_editor.get(), 7)->isHidden());

    // The current stage is still stage 2: lowering the count to 3 keeps it.
    const FlashDataMap before = idleFlash();
    m_editor->on_ChooseEvent_currentIndexChanged(-1);
    child<QComboBox>(m_editor.get(), QStringLiteral("ChooseEvent"))->setCurrentIndex(2);
    const FlashDataMap after = idleFlash();
    QCOMPARE(int(after.DpiLevelCount), 3);
    QCOMPARE(int(after.CurrentDpiLevel), 1);
    QCOMPARE(levelBytes(after, 1), levelBytes(before, 1));
}

QTEST_MAIN(TestSensorDpi)
#include "tst_sensordpi.moc"

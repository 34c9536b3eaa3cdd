// The lighting page on the simulated mouse: fills and the reset show the
// mouse's values and send nothing; the user's edits, the presets and the
// colour board reach the flash.
#include "core/DeviceParam.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "devicelib/SimControl.h"
#include "light/LampLight.h"
#include "light/ScreenSampler.h"
#include "support/link_helpers.h"
#include "support/sim_helpers.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

namespace {

template <typename T>
T* child(const QWidget* root, const char* name)
{
    T* found = root->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("the page has no child %s", name);
    return found;
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

struct FakeScreen final : light::ScreenSampler
{
    QPoint cursor;
    double factor = 1.0;
    std::optional<QColor> colour;
    QVector<QPoint> asked;

    QPoint cursorPos() const override { return cursor; }
    double scale() const override { return factor; }
    std::optional<QColor> sampleAt(QPoint point) override
    {
        asked << point;
        return colour;
    }
};

} // namespace

class TestLampLight : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { RegisterBusTypes(); }
    void init();
    void cleanup();

    void constructionSendsNothing();
    void fillShowsTheModeControls_data();
    void fillShowsTheModeControls();
    void fillValuesAndSliderEdits();
    void resetSendsNothing();
    void colourBoxesStepsAndPresets();
    void colourBoard();

private:
    QRgb boxes() const;
    void setBoxes(int red, int green, int blue);
    void pressBoard();

    std::unique_ptr<linktest::LinkPages> m_pages;
    std::unique_ptr<LampLight> m_page;
    FakeScreen* m_screen = nullptr;
};

void TestLampLight::init()
{
    m_pages = linktest::openFreshDefaultMouse();
    QVERIFY(m_pages);
    DeviceWriteReady = 1;
    m_page = std::make_unique<LampLight>();
    auto screen = std::make_unique<FakeScreen>();
    m_screen = screen.get();
    m_page->setScreenSampler(std::move(screen));
}

void TestLampLight::cleanup()
{
    m_page.reset();
    m_pages.reset();
}

QRgb TestLampLight::boxes() const
{
    return qRgb(child<QSpinBox>(m_page.get(), "RSpinBox")->value(), child<QSpinBox>(m_page.get(), "GSpinBox")->value(),
                child<QSpinBox>(m_page.get(), "BSpinBox")->value());
}

// The colour as a fill would show it: on the boxes, not on the mouse.
void TestLampLight::setBoxes(int red, int green, int blue)
{
    FlashDataMap image = CurrentFlashDataCopy();
    image.LightOn = 1;
    image.LightMode = 2;
    image.LightColor[0] = quint8(red);
    image.LightColor[1] = quint8(green);
    image.LightColor[2] = quint8(blue);
    m_page->SlotUpDataLightUILight(image);
    SimControl_ClearCallLog();
}

void TestLampLight::pressBoard()
{
    const QWidget* board = child<QLabel>(m_page.get(), "label_7");
    const QPoint at = board->parentWidget()->mapTo(m_page.get(), board->geometry().center());
    QTest::mousePress(m_page.get(), Qt::LeftButton, Qt::NoModifier, at);
}

void TestLampLight::constructionSendsNothing()
{
    QVERIFY(SetLightMode(3));
    QVERIFY(linktest::waitSimIdle());
    SimControl_ClearCallLog();
    LampLight page;
    QCOMPARE(imagesSent(), 0);
    QCOMPARE(int(idleFlash().LightOn), 1);
    QVERIFY(child<QWidget>(&page, "line")->isVisibleTo(&page));
    QVERIFY(!child<QWidget>(&page, "horizontalLight")->isVisibleTo(&page));
}

void TestLampLight::fillShowsTheModeControls_data()
{
    QTest::addColumn<int>("on");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("entry");
    // line, line_2, colour group, brightness, speed slider, speed number
    QTest::addColumn<QString>("shown");
    QTest::newRow("off keeps any mode") << 0 << 3 << 0 << "110000";
    QTest::newRow("flow") << 1 << 1 << 1 << "000111";
    QTest::newRow("breathing") << 1 << 2 << 2 << "001111";
    QTest::newRow("steady") << 1 << 3 << 3 << "011100";
    QTest::newRow("mixed breathing") << 1 << 5 << 5 << "000111";
}

void TestLampLight::fillShowsTheModeControls()
{
    QFETCH(int, on);
    QFETCH(int, mode);
    QFETCH(int, entry);
    QFETCH(QString, shown);
    QSignalSpy offline(PostMsg::instance(), &PostMsg::SigMouseOffLineo);
    FlashDataMap image = CurrentFlashDataCopy();
    // Through another entry first, so the fill's own change of entry runs.
    image.LightMode = mode == 1 ? 4 : 1;
    image.LightOn = 1;
    m_page->SlotUpDataLightUILight(image);
    image.LightOn = quint8(on);
    image.LightMode = quint8(mode);
    m_page->SlotUpDataLightUILight(image);
    QCOMPARE(child<QComboBox>(m_page.get(), "LightMod")->currentIndex(), entry);
    const char* const names[] = {"line", "line_2", "RSpinBox", "horizontalLight", "horizontalSpeed", "SpeedSpinBox_2"};
    QString seen;
    for (const char* name : names)
        seen += child<QWidget>(m_page.get(), name)->isVisibleTo(m_page.get()) ? QLatin1Char('1') : QLatin1Char('0');
    QCOMPARE(seen, shown);
    QCOMPARE(child<QWidget>(m_page.get(), "toolButtonColorN")->isVisibleTo(m_page.get()), shown[2] == '1');
    QCOMPARE(child<QWidget>(m_page.get(), "LightSpinBox_2")->isVisibleTo(m_page.get()), shown[3] == '1');
    QCOMPARE(imagesSent(), 0);
    QCOMPARE(offline.count(), 0);
    QCOMPARE(int(LightPageUpdating), 0);
}

void TestLampLight::fillValuesAndSliderEdits()
{
    auto* brightness = child<QSlider>(m_page.get(), "horizontalLight");
    auto* speed = child<QSlider>(m_page.get(), "horizontalSpeed");
    auto* idle = child<QComboBox>(m_page.get(), "StopClose");
    FlashDataMap image = CurrentFlashDataCopy();
    image.LightBrightness = 0;
    image.LightSpeed = 9;
    image.SleepTime = 6;
    image.LightRippleControl = 1;
    m_page->SlotUpDataLightUIA(image);
    QCOMPARE(brightness->value(), 1);
    QCOMPARE(child<QSpinBox>(m_page.get(), "LightSpinBox_2")->value(), 1);
    QCOMPARE(speed->value(), 10);
    QCOMPARE(idle->currentIndex(), 2);
    QVERIFY(child<QToolButton>(m_page.get(), "RippeControl")->isChecked());
    QVERIFY(!brightness->isEnabled() && !speed->isEnabled());

    image.SleepTime = 7;  // 70 s: no entry
    image.LightBrightness = 9;
    m_page->SlotUpDataLightUILight(image);
    QCOMPARE(idle->currentIndex(), 2);
    QCOMPARE(brightness->value(), 10);
    QVERIFY(brightness->isEnabled() && speed->isEnabled());
    QCOMPARE(imagesSent(), 0);

    brightness->setValue(7);
    QCOMPARE(int(idleFlash().LightBrightness), 6);
    speed->setValue(3);
    QCOMPARE(int(idleFlash().LightSpeed), 2);
    child<QToolButton>(m_page.get(), "RippeControl")->click();
    QCOMPARE(int(idleFlash().LightRippleControl), 0);
}

void TestLampLight::resetSendsNothing()
{
    setBoxes(1, 2, 3);
    m_page->SlotFormResetLight();
    QCOMPARE(child<QComboBox>(m_page.get(), "LightMod")->currentIndex(), 1);
    QCOMPARE(child<QSlider>(m_page.get(), "horizontalLight")->value(), 10);
    QCOMPARE(child<QSlider>(m_page.get(), "horizontalSpeed")->value(), 8);
    QCOMPARE(child<QSpinBox>(m_page.get(), "SpeedSpinBox_2")->value(), 8);
    QVERIFY(child<QToolButton>(m_page.get(), "RippeControl")->isChecked());
    QCOMPARE(child<QComboBox>(m_page.get(), "StopClose")->currentIndex(), 2);
    QCOMPARE(boxes(), qRgb(1, 2, 3));
    QCOMPARE(imagesSent(), 0);
    QCOMPARE(int(LightPageUpdating), 0);
}

void TestLampLight::colourBoxesStepsAndPresets()
{
    auto* presetA = child<QToolButton>(m_page.get(), "toolButtonColorA");
    setBoxes(0, 0, 0);
    presetA->click();
    QCOMPARE(imagesSent(), 1);
    FlashDataMap flash = idleFlash();
    QCOMPARE(qRgb(flash.LightColor[0], flash.LightColor[1], flash.LightColor[2]), qRgb(255, 0, 0));

    // Each box that changes sends: three images, the last one the preset.
    setBoxes(0, 255, 255);
    presetA->click();
    QCOMPARE(imagesSent(), 3);
    flash = idleFlash();
    QCOMPARE(qRgb(flash.LightColor[0], flash.LightColor[1], flash.LightColor[2]), qRgb(255, 0, 0));

    setBoxes(255, 0, 9);
    child<QToolButton>(m_page.get(), "AddR")->click();
    child<QToolButton>(m_page.get(), "ReduceG")->click();
    QCOMPARE(imagesSent(), 0);
    child<QToolButton>(m_page.get(), "AddB")->click();
    QCOMPARE(int(idleFlash().LightColor[2]), 10);

    auto* red = child<QSpinBox>(m_page.get(), "RSpinBox");
    red->selectAll();
    QTest::keyClick(red, Qt::Key_1);
    QCOMPARE(int(idleFlash().LightColor[0]), 1);
    QTest::keyClick(red, Qt::Key_2);
    QCOMPARE(int(idleFlash().LightColor[0]), 12);
}

void TestLampLight::colourBoard()
{
    setBoxes(1, 2, 3);
    m_screen->cursor = QPoint(100, 201);
    m_screen->factor = 1.5;
    m_screen->colour = QColor(10, 20, 30);
    pressBoard();
    QCOMPARE(m_screen->asked, QVector<QPoint>{QPoint(150, 301)});
    QCOMPARE(boxes(), qRgb(10, 20, 30));
    FlashDataMap flash = idleFlash();
    QCOMPARE(qRgb(flash.LightColor[0], flash.LightColor[1], flash.LightColor[2]), qRgb(10, 20, 30));

    // No colour off the screen: the boxes keep theirs and nothing is sent.
    const QString preview = child<QLabel>(m_page.get(), "labelPreView")->styleSheet();
    SimControl_ClearCallLog();
    m_screen->colour.reset();
    pressBoard();
    QCOMPARE(m_screen->asked.size(), 2);
    QCOMPARE(boxes(), qRgb(10, 20, 30));
    QCOMPARE(child<QLabel>(m_page.get(), "labelPreView")->styleSheet(), preview);
    QCOMPARE(imagesSent(), 0);

    // The board hides in mode 1; its place picks nothing.
    FlashDataMap image = CurrentFlashDataCopy();
    image.LightOn = 1;
    image.LightMode = 1;
    m_page->SlotUpDataLightUILight(image);
    m_screen->colour = QColor(40, 50, 60);
    pressBoard();
    QCOMPARE(m_screen->asked.size(), 2);

    // An absent mouse: the offline notice only.
    setBoxes(1, 2, 3);
    QSignalSpy offline(PostMsg::instance(), &PostMsg::SigMouseOffLineo);
    QVERIFY(SimControl_SetAwake("Mouse1", false));
    pressBoard();
    QCOMPARE(offline.count(), 1);
    QCOMPARE(offline.first().first().toInt(), 0);
    QCOMPARE(m_screen->asked.size(), 2);
    QCOMPARE(boxes(), qRgb(1, 2, 3));
    QCOMPARE(imagesSent(), 0);
}

QTEST_MAIN(TestLampLight)
#include "tst_lamplight.moc"

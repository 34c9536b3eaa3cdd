// The sensor option widgets on the simulated mouse: each user action writes
// its byte to the mouse's flash, and nothing set from code, no emptied
// selection and no closed gate writes anything.
#include "option_forms.h"

#include "core/DeviceParam.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "devicelib/SimControl.h"
#include "support/link_helpers.h"
#include "support/sim_helpers.h"

#include <QCheckBox>
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
        qFatal("%s has no child %s", qPrintable(root->objectName()), name);
    return found;
}

// Flash offsets, written out from the layout rather than taken from the struct.
constexpr int kRateByte = 0x00;
constexpr int kLiftOffByte = 0x05;
constexpr int kDebounceByte = 0x06;
constexpr int kSleepByte = 0x08;
constexpr int kLedModeByte = 0x3F;
constexpr int kLedBrightnessByte = 0x40;
constexpr int kLedSpeedByte = 0x41;
constexpr int kLedOnByte = 0x42;

// The mouse's flash byte once the bus is idle; -1 when it never got idle.
int flashByte(int offset)
{
    if (!linktest::waitSimIdle())
        return -1;
    const FlashDataMap image = linktest::imageOf(simtest::flash());
    return reinterpret_cast<const quint8*>(&image)[offset];
}

int imagesSent()
{
    return simtest::countCalls(simtest::callLog(), QStringLiteral("ProtocolDataUpdate"));
}

template <class T>
std::unique_ptr<T> shown()
{
    auto widget = std::make_unique<T>();
    widget->show();
    return widget;
}

} // namespace

class TestOptionWidgets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { RegisterBusTypes(); }
    void init()
    {
        m_pages = linktest::openFreshDefaultMouse();
        QVERIFY(m_pages);
        DeviceWriteReady = 1;
    }
    void cleanup() { m_pages.reset(); }

    void switchesSendOnlyClicks_data();
    void switchesSendOnlyClicks();
    void rateButtonsSendTheirCode_data();
    void rateButtonsSendTheirCode();
    void rateGatesAndClasses();
    void lightEffectWritesModeSpeedAndLevel();
    void lightEffectCheckBoxes();
    void liftOffFollowsTheEntryCount();
    void liftOffCheckBoxes();
    void sleepTimeList();
    void sleepTimeSlider();
    void debounceForms();

private:
    std::unique_ptr<linktest::LinkPages> m_pages;
};

void TestOptionWidgets::switchesSendOnlyClicks_data()
{
    QTest::addColumn<int>("form");
    QTest::addColumn<QString>("toggle");
    QTest::addColumn<int>("offset");
    QTest::newRow("RippeControl") << 0 << "RippeControl_2" << 0x0A;
    QTest::newRow("StraightLine") << 1 << "StraightLine_2" << 0x09;
    QTest::newRow("MotionSync") << 2 << "MotionSync_2" << 0x07;
    QTest::newRow("RippeControlB") << 3 << "RippeControl_2" << 0x0A;
    QTest::newRow("StraightLineB") << 4 << "StraightLine_2" << 0x09;
    QTest::newRow("MotionSyncB") << 5 << "MotionSync_2" << 0x07;
}

void TestOptionWidgets::switchesSendOnlyClicks()
{
    QFETCH(int, form);
    QFETCH(QString, toggle);
    QFETCH(int, offset);
    std::unique_ptr<QWidget> widget(optiontest::kForms[form].make());
    widget->show();
    auto* option = qobject_cast<sensor::OptionSwitch*>(widget.get());
    QVERIFY(option);
    auto* button = child<QToolButton>(widget.get(), toggle.toLatin1().constData());
    option->SetChecked(true);
    option->SetChecked(false);
    option->SetChecked(true);
    QCOMPARE(imagesSent(), 0);

    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(flashByte(offset), 0);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(flashByte(offset), 1);
    QCOMPARE(imagesSent(), 2);

    DeviceWriteReady = 0;
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(!button->isChecked());
    QCOMPARE(imagesSent(), 2);

    option->SetToolTipText(QStringLiteral("why"));
    QCOMPARE(child<QLabel>(widget.get(), "label")->toolTip(), QStringLiteral("why"));
    QVERIFY(button->toolTip().isEmpty());
}

void TestOptionWidgets::rateButtonsSendTheirCode_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("high");
    QTest::newRow("125 Hz") << "Button125HZ" << 8 << 0;
    QTest::newRow("250 Hz") << "Button250HZ" << 4 << 0;
    QTest::newRow("500 Hz") << "Button500HZ" << 2 << 0;
    QTest::newRow("1000 Hz") << "Button1000HZ" << 1 << 0;
    QTest::newRow("2000 Hz") << "Button2000HZ" << 16 << 1;
    QTest::newRow("4000 Hz") << "Button4000HZ" << 32 << 1;
    QTest::newRow("8000 Hz") << "Button8000HZ" << 64 << 1;
}

void TestOptionWidgets::rateButtonsSendTheirCode()
{
    QFETCH(QString, button);
    QFETCH(int, code);
    QFETCH(int, high);
    const auto strip = shown<SensorRate>();
    const auto boxes = shown<SensorRateB>();
    for (QWidget* form : {static_cast<QWidget*>(strip.get()), static_cast<QWidget*>(boxes.get())}) {
        SimControl_ClearCallLog();
        QSignalSpy hide(PostMsg::instance(), &PostMsg::SigHideModel);
        child<QAbstractButton>(form, button.toLatin1().constData())->click();
        QCOMPARE(flashByte(kRateByte), code);
        QCOMPARE(imagesSent(), 1);
        QCOMPARE(hide.count(), 1);
        QCOMPARE(hide.at(0).at(0).toInt(), high);
    }
}

void TestOptionWidgets::rateGatesAndClasses()
{
    const auto strip = shown<SensorRate>();
    auto* rate1000 = child<QToolButton>(strip.get(), "Button1000HZ");
    auto* rate500 = child<QToolButton>(strip.get(), "Button500HZ");
    QSignalSpy hide(PostMsg::instance(), &PostMsg::SigHideModel);
    QSignalSpy offline(PostMsg::instance(), &PostMsg::SigMouseOffLineo);

    strip->SetRate(3);
    strip->SetRate(7);
    strip->SetRate(-1);
    QVERIFY(rate1000->isChecked());
    strip->SetButtonsShown(3);
    strip->SetButtonsShown(4);
    QVERIFY(!child<QWidget>(strip.get(), "Button8000HZ")->isHidden());
    strip->SetButtonsShown(0);
    for (const char* upper : {"Button2000HZ", "Button4000HZ", "Button8000HZ"})
        QVERIFY(child<QWidget>(strip.get(), upper)->isHidden());
    QVERIFY(!rate1000->isHidden());

    DeviceWriteReady = 0;
    QTest::mouseClick(rate500, Qt::LeftButton);
    QVERIFY(rate500->isChecked());
    DeviceWriteReady = 1;
    QVERIFY(SimControl_SetAwake("Mouse1", false));
    QTest::mouseClick(rate1000, Qt::LeftButton);
    QCOMPARE(offline.count(), 1);
    QCOMPARE(offline.at(0).at(0).toInt(), 0);
    QCOMPARE(imagesSent(), 0);
    QCOMPARE(hide.count(), 0);

    // The rate already checked is sent again.
    QVERIFY(SimControl_SetAwake("Mouse1", true));
    QTest::mouseClick(rate1000, Qt::LeftButton);
    QTest::mouseClick(rate1000, Qt::LeftButton);
    QCOMPARE(imagesSent(), 2);
    QCOMPARE(hide.count(), 2);
}

void TestOptionWidgets::lightEffectWritesModeSpeedAndLevel()
{
    QVERIFY(SetDPILightMode(2));
    SimControl_ClearCallLog();
    const auto effect = shown<SensorEffect>();
    auto* mode = child<QComboBox>(effect.get(), "Model");
    auto* light = child<QSlider>(effect.get(), "LightH");
    SensorPageUpdating = 1;
    effect->SetModel(2);
    SensorPageUpdating = 0;

    mode->setCurrentIndex(0);
    QCOMPARE(flashByte(kLedOnByte), 0);
    QCOMPARE(flashByte(kLedModeByte), 2);
    mode->setCurrentIndex(1);
    QCOMPARE(flashByte(kLedOnByte), 1);
    QCOMPARE(flashByte(kLedModeByte), 1);
    mode->setCurrentIndex(1);
    QVERIFY(light->isVisible());
    QVERIFY(!child<QSlider>(effect.get(), "SpeedH")->isVisible());
    QCOMPARE(imagesSent(), 2);

    for (const auto& [level, byte] : {std::pair{5, 128}, {10, 255}, {1, 16}}) {
        light->setValue(level);
        QCOMPARE(flashByte(kLedBrightnessByte), byte);
    }
    effect->SetSliderA(7);
    QCOMPARE(child<QSlider>(effect.get(), "SpeedH")->value(), 5);
    QCOMPARE(flashByte(kLedSpeedByte), 5);

    // A drag shows each level on the way and sends once, on release.
    light->setValue(2);
    SimControl_ClearCallLog();
    light->setSliderDown(true);
    for (int level = 3; level <= 8; ++level) {
        light->setSliderPosition(level);
        QCOMPARE(child<QSpinBox>(effect.get(), "LightSpinBox")->value(), level);
    }
    QCOMPARE(imagesSent(), 0);
    light->setSliderDown(false);
    QCOMPARE(flashByte(kLedBrightnessByte), 210);
    QCOMPARE(imagesSent(), 1);

    // A mode the list does not hold selects nothing and sends nothing.
    effect->SetModel(3);
    QCOMPARE(mode->currentIndex(), -1);
    QCOMPARE(flashByte(kLedModeByte), 1);
    QCOMPARE(imagesSent(), 1);
}

void TestOptionWidgets::lightEffectCheckBoxes()
{
    const auto effect = shown<SensorEffectB>();
    child<QCheckBox>(effect.get(), "MM3")->click();
    QCOMPARE(flashByte(kLedOnByte), 0);
    child<QCheckBox>(effect.get(), "MM2")->click();
    QCOMPARE(flashByte(kLedModeByte), 2);
    QVERIFY(child<QSlider>(effect.get(), "SpeedH")->isVisible());
    effect->SetModel(1);
    QVERIFY(child<QCheckBox>(effect.get(), "MM1")->isChecked());
    QCOMPARE(imagesSent(), 2);
}

void TestOptionWidgets::liftOffFollowsTheEntryCount()
{
    const auto lod = shown<SensorLOD>();
    auto* box = child<QComboBox>(lod.get(), "LOD");
    box->setCurrentIndex(1);
    QCOMPARE(flashByte(kLiftOffByte), 2);
    box->setCurrentIndex(0);
    QCOMPARE(flashByte(kLiftOffByte), 1);
    lod->SetLOD(2);
    QCOMPARE(box->currentIndex(), -1);
    QCOMPARE(imagesSent(), 2);

    SensorPageUpdating = 1;
    lod->AddLowLOD();
    lod->AddLowLOD();
    SensorPageUpdating = 0;
    QCOMPARE(box->count(), 3);
    for (const auto& [entry, code] : {std::pair{0, 3}, {1, 1}, {2, 2}}) {
        box->setCurrentIndex(entry);
        QCOMPARE(flashByte(kLiftOffByte), code);
    }
    lod->SetLOD(5);
    QCOMPARE(box->currentIndex(), 2);
    SensorPageUpdating = 1;
    lod->SetLOD(2);
    SensorPageUpdating = 0;
    QCOMPARE(box->currentText(), QStringLiteral("0.7mm"));
    QCOMPARE(imagesSent(), 5);
}

void TestOptionWidgets::liftOffCheckBoxes()
{
    const auto lod = shown<SensorLODB>();
    for (const auto& [name, code] : {std::pair{"MM0", 3}, {"MM1", 1}, {"MM2", 2}}) {
        child<QCheckBox>(lod.get(), name)->click();
        QCOMPARE(flashByte(kLiftOffByte), code);
    }
    lod->SetEnabled(false);
    QVERIFY(child<QCheckBox>(lod.get(), "MM0")->isEnabled());
    lod->RemoveLowLOD();
    lod->SetLOD(2);
    QVERIFY(!child<QCheckBox>(lod.get(), "MM0")->isChecked());
    QCOMPARE(imagesSent(), 3);
}

void TestOptionWidgets::sleepTimeList()
{
    const auto sleep = shown<StopCloseTime>();
    auto* box = child<QComboBox>(sleep.get(), "StopClose");
    emit box->activated(10);
    QCOMPARE(flashByte(kSleepByte), 240);
    emit box->activated(10);
    QCOMPARE(imagesSent(), 2);

    ButtonPageUpdating = 1;
    emit box->activated(3);
    ButtonPageUpdating = 0;
    sleep->SetCurrentIndex(4);
    QCOMPARE(box->currentIndex(), 4);
    QCOMPARE(imagesSent(), 2);
    QCOMPARE(flashByte(kSleepByte), 240);
}

void TestOptionWidgets::sleepTimeSlider()
{
    const auto sleep = shown<StopCloseTimeB>();
    auto* number = child<QSpinBox>(sleep.get(), "spinBoxA");
    sleep->SetItemText(0, QStringLiteral("10秒"));
    sleep->SetItemText(5, QStringLiteral("15分钟"));
    sleep->SetCurrentIndex(2);
    QCOMPARE(number->value(), 1);
    QCOMPARE(number->suffix(), QStringLiteral("分钟"));
    sleep->SetCurrentIndex(1);
    QCOMPARE(number->text(), QStringLiteral("30秒"));
    QCOMPARE(imagesSent(), 0);

    auto* slider = child<QSlider>(sleep.get(), "StopClose");
    slider->setValue(11);
    QCOMPARE(flashByte(kSleepByte), 240);
    LightPageUpdating = 1;
    slider->setValue(4);
    LightPageUpdating = 0;
    QCOMPARE(imagesSent(), 1);
}

void TestOptionWidgets::debounceForms()
{
    const auto list = shown<DebounceTime>();
    auto* box = child<QComboBox>(list.get(), "Debunce");
    box->setCurrentIndex(20);
    QCOMPARE(flashByte(kDebounceByte), 20);
    // A device value above 20 has no entry: the mouse keeps its own.
    list->SetCurrentIndex(25);
    QCOMPARE(box->currentIndex(), -1);
    QCOMPARE(flashByte(kDebounceByte), 20);
    QCOMPARE(imagesSent(), 1);

    const auto stepper = shown<DebouncetimeC>();
    QTest::mouseClick(child<QToolButton>(stepper.get(), "ReduceLevelA"), Qt::LeftButton);
    QCOMPARE(child<QSpinBox>(stepper.get(), "spinBoxA")->value(), 0);
    QCOMPARE(flashByte(kDebounceByte), 0);
    stepper->SetValue(20);
    QTest::mouseClick(child<QToolButton>(stepper.get(), "AddLevelA"), Qt::LeftButton);
    QCOMPARE(imagesSent(), 2);

    const auto slider = shown<DebouncetimeB>();
    slider->SetValue(7);
    QCOMPARE(imagesSent(), 2);
    child<QSlider>(slider.get(), "Debunce")->setValue(12);
    QCOMPARE(flashByte(kDebounceByte), 12);
}

QTEST_MAIN(TestOptionWidgets)
#include "tst_optionwidgets.moc"

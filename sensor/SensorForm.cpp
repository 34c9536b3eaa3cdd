#include "sensor/SensorForm.h"

#include "dialogs/DialogFrame.h"
#include "sensor/MotionSync.h"
#include "sensor/RippeControl.h"
#include "sensor/SensorDPI.h"
#include "sensor/SensorEffect.h"
#include "sensor/SensorLOD.h"
#include "sensor/SensorRate.h"
#include "sensor/StraightLine.h"
#include "shell/common/MyConmboBox.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QToolButton>

#include <type_traits>

namespace {

template <typename T>
T* place(QWidget* parent, const char* name, const QRect& rect)
{
    auto* widget = new T(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(rect);
    if constexpr (std::is_base_of_v<QFrame, T> && !std::is_same_v<T, QLabel>) {
        widget->setFrameShape(QFrame::NoFrame);
    }
    return widget;
}

QToolButton* marker(QWidget* parent, const char* name, const QRect& rect)
{
    auto* button = place<QToolButton>(parent, name, rect);
    button->setEnabled(false);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(true);
    return button;
}

constexpr const char* kPerformanceTimes[] = {"30秒", "1分钟", "2分钟", "5分钟", "10分钟", "15分钟"};
constexpr const char* kSensorModes[] = {"LP", "HP", "Corded"};

} // namespace

void Ui_Sensor::setupUi(QWidget* page)
{
    if (page->objectName().isEmpty())
        page->setObjectName(QStringLiteral("Sensor"));
    page->setWindowTitle(QStringLiteral("Form"));
    page->setFixedSize(883, 630);
    auto* grid = new QGridLayout(page);
    grid->setSpacing(0);
    grid->setContentsMargins(0, 0, 0, 0);
    SenSorPage = new QFrame(page);
    SenSorPage->setObjectName(QStringLiteral("SenSorPage"));
    SenSorPage->setFixedSize(883, 630);
    SenSorPage->setFrameShape(QFrame::NoFrame);
    grid->addWidget(SenSorPage, 0, 0);

    QWidget* p = SenSorPage;
    frameDpi = place<SensorDPI>(p, "frameDpi", {65, 26, 728, 194});
    TitleButton = marker(p, "TitleButton", {40, 33, 16, 10});
    TitleButton_2 = marker(p, "TitleButton_2", {40, 220, 16, 10});
    frameRate = place<SensorRate>(p, "frameRate", {80, 208, 725, 82});
    label_5 = place<QLabel>(p, "label_5", {80, 316, 211, 21});
    TitleButton_4 = marker(p, "TitleButton_4", {40, 323, 16, 10});
    frame = place<RippeControl>(p, "frame", {640, 340, 204, 31});
    label_11 = place<QLabel>(p, "label_11", {80, 360, 171, 17});
    frameLOD = place<SensorLOD>(p, "frameLOD", {255, 360, 131, 61});
    Performance = place<QCheckBox>(p, "Performance", {430, 360, 201, 17});
    frame_4 = place<StraightLine>(p, "frame_4", {640, 370, 204, 31});
    ModelChoose = place<MyConmboBox>(p, "ModelChoose", {80, 390, 130, 30});
    PerformanceOpen = place<MyConmboBox>(p, "PerformanceOpen", {430, 390, 130, 30});
    frame_3 = place<MotionSync>(p, "frame_3", {640, 400, 204, 31});
    frameEffect = place<SensorEffect>(p, "frameEffect", {80, 456, 439, 96});
    TitleButton_3 = marker(p, "TitleButton_3", {40, 463, 16, 10});

    for (QWidget* w : std::initializer_list<QWidget*>{Performance, PerformanceOpen, label_11, label_5, ModelChoose})
        w->setFont(dialogs::DialogFrame::dialogFont(11));
    label_5->setText(QStringLiteral("Sensor设置"));
    label_11->setText(QStringLiteral("模式选择"));
    label_11->setToolTip(QStringLiteral("LP:普通模式; HP:高性能模式; corded:超性能模式"));
    label_11->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Performance->setText(QStringLiteral("性能全开"));
    Performance->setFocusPolicy(Qt::NoFocus);
    for (const char* mode : kSensorModes)
        ModelChoose->addItem(QString::fromLatin1(mode));
    for (const char* time : kPerformanceTimes)
        PerformanceOpen->addItem(QString::fromUtf8(time));
    for (MyConmboBox* box : {ModelChoose, PerformanceOpen}) {
        box->setEnabled(false);
        box->setFocusPolicy(Qt::NoFocus);
    }
    PerformanceOpen->setEditable(false);
    PerformanceOpen->setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
}

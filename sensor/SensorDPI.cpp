#include "sensor/SensorDPI.h"

#include "core/ConfigIni.h"
#include "core/DeviceAllInfo.h"
#include "core/DeviceParam.h"
#include "core/FlashDataMap.h"
#include "core/ProcessState.h"
#include "dialogs/DialogFrame.h"
#include "sensor/OptionStyle.h"
#include "sensor/SensorDpiCodes.h"
#include "shell/common/ButtonStyle.h"
#include "ui_SensorDPI.h"
#include "shell/common/PictureCheck.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QSignalBlocker>

#include <algorithm>
#include <iterator>

namespace {

Q_LOGGING_CATEGORY(lcDpiEditor, "app.sensor.dpieditor")

struct StageRow
{
    const char* button;
    const char* bar;
    const char* colour;  // default stage colour, "r,g,b"
    int snapX;           // marker position under the stage
};

constexpr StageRow kStageRows[SensorDPI::kStages] = {
    {"BlueButton", "BlueButtonA", "255,0,0", 27},        {"BrightRedButton", "BrightRedButtonA", "0,0,255", 118},
    {"RedButton", "RedButtonA", "0,255,0", 209},         {"YellowButton", "YellowButtonA", "255,255,0", 300},
    {"GreenButton", "GreenButtonA", "0,255,255", 391},   {"PurpleButton", "PurpleButtonA", "255,0,255", 483},
    {"LightBlueButton", "LightBlueButtonA", "159,0,0", 573},
    {"LightYellowButton", "LightYellowButtonA", "0,212,252", 664},
};
constexpr int kSnapY = 154;
constexpr int kStagePitch = 91;  // horizontal distance of two stages

// A drop of the marker d pixels right of its stage's snap point moves the
// current stage by `move` when d lies in [from, to].
struct DropRow
{
    int move;
    int from;
    int to;
};
constexpr DropRow kDropRows[] = {
    {1, 78, 129},   {2, 168, 214},   {3, 264, 317},   {4, 361, 389},   {5, 443, 495},   {6, 538, 591},
    {7, 623, 669},  {-1, -102, -51}, {-2, -192, -144}, {-3, -284, -236}, {-4, -369, -327}, {-5, -465, -411},
    {-6, -556, -504}, {-7, -646, -599},
};
// Right end of the drop area by the stage-count index: a drop beyond the
// last shown stage is refused.
constexpr int kDropLimits[SensorDPI::kStages] = {69, 160, 251, 342, 433, 524, 612, 706};
constexpr int kDropLeft = 15;
constexpr int kDropRight = 706;

int dropMove(int d)
{
    for (const DropRow& row : kDropRows) {
        if (d >= row.from && d <= row.to)
            return row.move;
    }
    return 0;
}

bool validStage(int stage)
{
    return stage >= 0 && stage < SensorDPI::kStages;
}

// "#rrggbb" as "r,g,b" in decimal; empty for any other text.
QString decimalTriple(const QString& colour)
{
    if (colour.size() != 7 || !colour.startsWith(QLatin1Char('#')))
        return {};
    QStringList parts;
    for (int at = 1; at < 7; at += 2) {
        bool ok = false;
        const int value = colour.mid(at, 2).toInt(&ok, 16);
        if (!ok)
            return {};
        parts << QString::number(value);
    }
    return parts.join(QLatin1Char(','));
}

QString deviceGroup()
{
    return QStringLiteral("Drive") + QString::number(CurrentDeviceInfoCopy().DriveIndex + 1);
}

void keepPlaceWhenHidden(QWidget* widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

} // namespace

SensorDPI::SensorDPI(QWidget* parent)
    : QFrame(parent)
    , ui(std::make_unique<Ui::SensorDPI>())
    , PictureDir(sensor::pictureFolder("Sensor"))
    , DragArea(0, 0, 728, 194)
{
    ui->setupUi(this);
    for (int k = 0; k < kStages; ++k) {
        m_stageButtons[size_t(k)] = findChild<QToolButton*>(QLatin1String(kStageRows[k].button));
        m_stageBars[size_t(k)] = findChild<QToolButton*>(QLatin1String(kStageRows[k].bar));
        StageSnapPoints[size_t(k)] = QPoint(kStageRows[k].snapX, kSnapY);
        StageColours << QString::fromLatin1(kStageRows[k].colour);
    }
    ButtonColorText = sensor::optionColour("ButtonColor");
    setupStyles();
    setupGroups();
    connectSlots();
}

SensorDPI::~SensorDPI() = default;

void SensorDPI::setupStyles()
{
    ui->label->setFont(dialogs::DialogFrame::dialogFont(11));
    for (QWidget* widget : {static_cast<QWidget*>(ui->ChooseEvent), static_cast<QWidget*>(ui->spinBoxA)})
        widget->setFont(dialogs::DialogFrame::dialogFont(10));
    ui->label->setStyleSheet(sensor::labelStyle());
    const QString marker = QStringLiteral("border:0px;background-position:center;background-repeat:no-repeat;"
                                          "background-image: url(");
    ui->label_8->setStyleSheet(shell::pictureSheet(QStringLiteral("#label_8{") + marker + PictureDir
                                                   + QStringLiteral("Level.png);}") + QStringLiteral("#label_8:hover{")
                                                   + marker + PictureDir + QStringLiteral("LevelHover.png);}")));
    shell::styleCombo(ui->ChooseEvent, PictureDir, false);
    ui->ChooseEvent->setMaxVisibleItems(5);
    ui->horizontalSliderC->setStyleSheet(sensor::sliderStyle(PictureDir));
    ui->spinBoxA->setStyleSheet(sensor::numberBoxStyle("LinEditColorSecond", true));
    ui->ReduceLevelA->setStyleSheet(sensor::pictureButtonStyle(QStringLiteral("ReduceLevelA"), PictureDir, "Reduce.png",
                                                                            "ReduceHover.png"));
    ui->AddLevelA->setStyleSheet(sensor::pictureButtonStyle(QStringLiteral("AddLevelA"), PictureDir, "Add.png", "AddHover.png"));
    for (int k = 0; k < kStages; ++k) {
        stageButton(k)->setFont(dialogs::DialogFrame::dialogFont(10));
        stageButton(k)->setStyleSheet(stageStyle("MinA.png"));
        stageBar(k)->setStyleSheet(barStyle(k, "MinB.png"));
        keepPlaceWhenHidden(stageButton(k));
    }
    for (QWidget* widget : {static_cast<QWidget*>(ui->horizontalSliderC), static_cast<QWidget*>(ui->spinBoxA),
                            static_cast<QWidget*>(ui->ReduceLevelA), static_cast<QWidget*>(ui->AddLevelA)})
        keepPlaceWhenHidden(widget);
}

void SensorDPI::setupGroups()
{
    StageButtonGroup = new QButtonGroup(this);
    StageBarGroup = new QButtonGroup(this);
    StageButtonGroup->setExclusive(true);
    StageBarGroup->setExclusive(true);
    ColourDialog = new QColorDialog(this);
    for (int k = 0; k < kStages; ++k) {
        StageHomeRects[size_t(k)] = stageButton(k)->geometry();
        StageHomeRects[size_t(kStages + k)] = stageBar(k)->geometry();
        StageButtonGroup->addButton(stageButton(k), k);
        StageBarGroup->addButton(stageBar(k), k);
    }
}

void SensorDPI::connectSlots()
{
    connect(ColourDialog, &QColorDialog::colorSelected, this, &SensorDPI::SetColor);
    connect(ui->ChooseEvent, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SensorDPI::on_ChooseEvent_currentIndexChanged);
    connect(ui->horizontalSliderC, &QSlider::valueChanged, this, &SensorDPI::on_horizontalSliderC_valueChanged);
    connect(ui->horizontalSliderC, &QSlider::sliderMoved, this, &SensorDPI::on_horizontalSliderC_sliderMoved);
    connect(ui->ReduceLevelA, &QToolButton::clicked, this, &SensorDPI::on_ReduceLevelA_clicked);
    connect(ui->AddLevelA, &QToolButton::clicked, this, &SensorDPI::on_AddLevelA_clicked);
    for (int k = 0; k < kStages; ++k) {
        connect(stageButton(k), &QToolButton::toggled, this, [this, k](bool on) { stageToggled(k, on); });
        // A click shows the stage's DPI again (after the toggle, if any).
        connect(stageButton(k), &QToolButton::clicked, this, [this, k] { showStageDpi(k); });
        connect(stageBar(k), &QToolButton::toggled, this, [this, k](bool on) { barToggled(k, on); });
        // A click on a bar selects its stage through the toggle, then asks for its colour.
        connect(stageBar(k), &QToolButton::clicked, ColourDialog, &QColorDialog::show);
    }
}

int SensorDPI::checkedStage() const
{
    return StageButtonGroup->checkedId();
}

int SensorDPI::checkedBar() const
{
    return StageBarGroup->checkedId();
}

void SensorDPI::SetTitleText(const QString& text)
{
    ui->label->setText(text);
}

void SensorDPI::BlockComboSignals(bool on)
{
    ui->ChooseEvent->blockSignals(on);
}

void SensorDPI::ClearStageCountItems()
{
    const QSignalBlocker blocker(ui->ChooseEvent);
    ui->ChooseEvent->clear();
}

void SensorDPI::InsertStageCountItem(int index, const QString& text)
{
    ui->ChooseEvent->insertItem(index, text);
}

void SensorDPI::SetStageCountIndex(int index)
{
    ui->ChooseEvent->setCurrentIndex(index);
}

void SensorDPI::BlockSliderSignals(bool on)
{
    ui->horizontalSliderC->blockSignals(on);
}

void SensorDPI::SetSliderEnabled(bool enabled)
{
    ui->horizontalSliderC->setEnabled(enabled);
}

// A new range may move the value; that is no edit of the user's.
void SensorDPI::SetSliderMinimum(int value)
{
    const QSignalBlocker blocker(ui->horizontalSliderC);
    ui->horizontalSliderC->setMinimum(value);
}

void SensorDPI::SetSliderMaximum(int value)
{
    const QSignalBlocker blocker(ui->horizontalSliderC);
    ui->horizontalSliderC->setMaximum(value);
}

// A value the page sets is never sent back to the mouse. Unless the page has
// blocked the slider (its fills write every stage's own text), the checked
// stage shows the value, as it does after a move of the user's, so that
// slider, number and stage never disagree.
void SensorDPI::SetSliderValue(int value)
{
    const bool shown = !ui->horizontalSliderC->signalsBlocked();
    {
        const QSignalBlocker blocker(ui->horizontalSliderC);
        ui->horizontalSliderC->setValue(value);
    }
    if (shown)
        showDpi(ui->horizontalSliderC->value());
}

void SensorDPI::SetSpinValue(int value)
{
    ui->spinBoxA->setValue(value);
}

void SensorDPI::SetStageText(int stage, const QString& text)
{
    if (validStage(stage))
        stageButton(stage)->setText(text);
}

void SensorDPI::SetStageColor(int stage, const QString& colour)
{
    const QString triple = decimalTriple(colour);
    if (!validStage(stage) || triple.isEmpty())
        return;
    StageColours[stage] = triple;
}

// Fills pass the current level byte of cached and imported images too; a
// stage beyond the eight would later index the stage records.
void SensorDPI::SetCurrentStage(int stage)
{
    if (validStage(stage))
        CurrentStage = stage;
}

void SensorDPI::SetStageCount(int count)
{
    StageCount = count;
}

void SensorDPI::CheckStageButton(int stage)
{
    if (validStage(stage))
        stageButton(stage)->setChecked(true);
}

void SensorDPI::MoveLevelMarker(int stageNumber)
{
    if (validStage(stageNumber - 1))
        moveMarkerTo(stageNumber - 1);
}

void SensorDPI::ShowStages(int lastIndex)
{
    if (!validStage(lastIndex))
        return;
    for (int k = 0; k < kStages; ++k) {
        stageButton(k)->setVisible(k <= lastIndex);
        stageBar(k)->setVisible(k <= lastIndex);
    }
}

void SensorDPI::HighlightStageBar(int stage)
{
    for (int k = 0; k < kStages; ++k) {
        if (k == stage) {
            stageBar(k)->setStyleSheet(barStyle(k, "MaxB.png"));
        } else {
            stageBar(k)->setGeometry(StageHomeRects[size_t(kStages + k)]);
            stageBar(k)->setStyleSheet(barStyle(k, "MinB.png"));
        }
    }
}

void SensorDPI::LoadStageSettings()
{
    const ConfigIni* config = ConfigIni::GetInstance();
    const QStringList colours = config->GetValueList(deviceGroup(), QStringLiteral("DPIColor"));
    for (int i = 0; i + 2 < colours.size() && i / 3 < kStages; i += 3) {
        QStringList triple;
        for (int j = i; j < i + 3; ++j) {
            bool ok = false;
            const int value = colours.at(j).trimmed().toInt(&ok);
            if (ok && value >= 0 && value <= 255)
                triple << QString::number(value);
        }
        if (triple.size() == 3)
            StageColours[i / 3] = triple.join(QLatin1Char(','));
        else
            qCWarning(lcDpiEditor) << "DPIColor of" << deviceGroup() << "has no colour for stage" << i / 3 + 1;
    }
    const QStringList grades = config->GetValueList(deviceGroup(), QStringLiteral("DPIGrade"));
    if (grades.size() < kStages)
        return;
    for (int k = 0; k < kStages; ++k) {
        stageBar(k)->setGeometry(StageHomeRects[size_t(kStages + k)]);
        stageBar(k)->setStyleSheet(barStyle(k, k == kStages - 1 ? "MaxB.png" : "MinB.png"));
        stageButton(k)->setText(grades.at(k).trimmed());
    }
}

void SensorDPI::BlockValueSignals(bool on)
{
    for (QWidget* widget : valueWidgets())
        widget->blockSignals(on);
    ui->spinBoxA->blockSignals(on);
}

void SensorDPI::BlockAllSignals(bool on)
{
    for (QWidget* widget : valueWidgets())
        widget->blockSignals(on);
    ui->ChooseEvent->blockSignals(on);
}

QList<QWidget*> SensorDPI::valueWidgets() const
{
    QList<QWidget*> widgets{ui->horizontalSliderC};
    for (int k = 0; k < kStages; ++k)
        widgets << stageButton(k) << stageBar(k);
    return widgets;
}

QString SensorDPI::stageStyle(const char* image) const
{
    const QString sheet = QStringLiteral("QToolButton{border:0px;border-radius:3px;background-position:center;"
                                         "background-repeat:no-repeat;color: rgb(")
                          + ButtonColorText + QStringLiteral(";);background-image: url(") + PictureDir
                          + QLatin1String(image) + QStringLiteral(");}");
    // Only a stage in its small look can be picked; it lights under the pointer.
    if (qstrcmp(image, "MinA.png") != 0)
        return shell::pictureSheet(sheet);
    return shell::pictureSheet(sheet) + shell::hoverFaceRule(QStringLiteral("QToolButton"), PictureDir + QStringLiteral("MinAHover.png"));
}

QString SensorDPI::barStyle(int stage, const char* image) const
{
    return shell::pictureSheet(QStringLiteral("QToolButton{border:0px;border-radius:3px;background-position:center;"
                                              "background-repeat:no-repeat;background-color:rgb(")
                               + StageColours.at(stage) + QStringLiteral(");background-image: url(") + PictureDir
                               + QLatin1String(image) + QStringLiteral(");}"));
}

void SensorDPI::setStageLook(int stage, bool large)
{
    const QRect home = StageHomeRects[size_t(stage)];
    stageButton(stage)->setGeometry(large ? QRect(home.topLeft() - QPoint(7, 7), QSize(68, 70)) : home);
    stageButton(stage)->setStyleSheet(stageStyle(large ? "MaxA.png" : "MinA.png"));
}

void SensorDPI::setBarLook(int stage, bool large)
{
    const QRect home = StageHomeRects[size_t(kStages + stage)];
    stageBar(stage)->setGeometry(large ? QRect(home.topLeft() + QPoint(-8, 6), QSize(66, 14)) : home);
    stageBar(stage)->setStyleSheet(barStyle(stage, large ? "MaxB.png" : "MinB.png"));
}

void SensorDPI::ApplyStageBarStyle(int stage)
{
    stageBar(stage)->setStyleSheet(barStyle(stage, stageBar(stage)->isChecked() ? "MaxB.png" : "MinB.png"));
}

void SensorDPI::stageToggled(int stage, bool checked)
{
    setStageLook(stage, checked);
    if (!checked)
        return;
    stageBar(stage)->setChecked(true);
    if (DeviceWriteReady != 0 && SensorPageUpdating == 0) {
        CurrentStage = stage;
        moveMarkerTo(stage);
        SetCurrentDPILevel(quint8(stage));
    }
}

void SensorDPI::barToggled(int stage, bool checked)
{
    setBarLook(stage, checked);
    if (!checked)
        return;
    stageButton(stage)->setChecked(true);
    showStageDpi(stage);
}

// Selecting a stage shows its DPI; sending it back would only repeat what
// the mouse holds. So the slider takes the value with its signals blocked,
// and every value change that does reach the slot is the user's.
void SensorDPI::showStageDpi(int stage)
{
    {
        const QSignalBlocker blocker(ui->horizontalSliderC);
        ui->horizontalSliderC->setValue(stageButton(stage)->text().toInt());
    }
    showDpi(ui->horizontalSliderC->value());
}

int SensorDPI::snapped(int value)
{
    const sensor::DpiSnap snap = sensor::snapDpi(sensor::CurrentDpiRanges(), value);
    if (snap.pageStep > 0)
        ui->horizontalSliderC->setPageStep(snap.pageStep);
    return snap.value;
}

int SensorDPI::showDpi(int value)
{
    const int dpi = snapped(value);
    if (const int stage = checkedStage(); validStage(stage))
        stageButton(stage)->setText(QString::number(dpi));
    ui->spinBoxA->setValue(dpi);
    return dpi;
}

void SensorDPI::on_horizontalSliderC_valueChanged(int value)
{
    if (DeviceWriteReady != 0 && SensorPageUpdating == 0 && !CheckDeviceOnLine()) {
        ui->spinBoxA->setValue(value);
        return;
    }
    const int dpi = showDpi(value);
    // The button page is importing or resetting: the mouse gets its stages
    // from that image.
    if (ParamProgressSuppressed != 0)
        return;
    sensor::DPIToSensorCode(checkedStage(), dpi);
}

void SensorDPI::on_horizontalSliderC_sliderMoved(int position)
{
    ui->spinBoxA->setValue(snapped(position));
}

void SensorDPI::stepDpi(bool add)
{
    if (DeviceWriteReady != 0 && !CheckDeviceOnLine())
        return;
    const auto direction = add ? sensor::DpiStep::Add : sensor::DpiStep::Reduce;
    ui->horizontalSliderC->setValue(sensor::stepDpi(sensor::CurrentDpiRanges(), ui->spinBoxA->value(), direction));
}

void SensorDPI::on_ReduceLevelA_clicked()
{
    stepDpi(false);
}

void SensorDPI::on_AddLevelA_clicked()
{
    stepDpi(true);
}

void SensorDPI::on_ChooseEvent_currentIndexChanged(int index)
{
    // An emptied list reports -1: no stage count the user chose.
    if (SensorPageUpdating != 0 || !validStage(index))
        return;
    StageAtCountChange = CurrentStage;
    if (CurrentStage > index)
        swapStages(CurrentStage, index);
    ShowStages(index);
    if (DeviceWriteReady != 0)
        SetDPILevelCount(quint8(index + 1));
}

// The current stage `from` is dropped from the shown stages: it trades
// colour and DPI with the last kept stage `to`, which becomes current.
void SensorDPI::swapStages(int from, int to)
{
    const QString fromColour = StageColours.at(from);
    const QString fromText = stageButton(from)->text();
    StageColours[from] = StageColours.at(to);
    stageButton(from)->setText(stageButton(to)->text());
    ApplyStageBarStyle(from);
    StageColours[to] = fromColour;
    stageButton(to)->setText(fromText);
    ApplyStageBarStyle(to);
    moveMarkerTo(to);
    stageButton(to)->setChecked(true);
    StageCount = to + 1;
    CurrentStage = to;
    if (DeviceWriteReady == 0)
        return;
    const FlashDataMap image = CurrentFlashDataCopy();
    SetDPILevels(image.DpiLevel[to], image.DpiLevel[from], to, from, quint8(to));
}

void SensorDPI::moveMarkerTo(int stage)
{
    ui->label_8->move(StageSnapPoints[size_t(stage)]);
}

void SensorDPI::mousePressEvent(QMouseEvent* event)
{
    if (event->buttons() != Qt::NoButton && ui->label_8->geometry().contains(event->pos())) {
        m_dragging = true;
        m_dragOffset = event->pos() - ui->label_8->pos();
    }
    QFrame::mousePressEvent(event);
}

void SensorDPI::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging && event->buttons() != Qt::NoButton) {
        // Leaving the editor ends the drag as if the button were let go there.
        if (DragArea.contains(event->pos()))
            ui->label_8->move(event->pos() - m_dragOffset);
        else
            dropMarker(event->pos());
    }
    QFrame::mouseMoveEvent(event);
}

void SensorDPI::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_dragging)
        dropMarker(event->pos());
    QFrame::mouseReleaseEvent(event);
}

void SensorDPI::dropMarker(const QPoint& at)
{
    m_dragging = false;
    const int current = CurrentStage;
    const int index = std::min(ui->ChooseEvent->currentIndex(), kStages - 1);
    const int move = dropMove(at.x() - StageSnapPoints[size_t(current)].x());
    // Without a stage count there is no stage to drop on.
    if (!ui->label_8->geometry().contains(at) || at.x() < kDropLeft || at.x() > kDropRight || index < 0) {
        moveMarkerTo(current);
        return;
    }
    if (at.x() > kDropLimits[index]) {
        moveMarkerTo(current);
        if (DeviceWriteReady != 0)
            SetCurrentDPILevel(quint8(current));
        return;
    }
    if (move == 0 || !validStage(current + move)) {
        moveMarkerTo(current);
        return;
    }
    ui->label_8->move(StageSnapPoints[size_t(current)] + QPoint(kStagePitch * move, 0));
    CurrentStage = current + move;
    SelectStage(CurrentStage);
    if (DeviceWriteReady != 0)
        SetCurrentDPILevel(quint8(CurrentStage));
}

void SensorDPI::SelectStage(int stage)
{
    if (DeviceWriteReady != 0 && SensorPageUpdating == 0 && !CheckDeviceOnLine())
        return;
    CheckStageButton(stage);
}

void SensorDPI::SetColor(QColor color)
{
    const int stage = checkedBar();
    if (!validStage(stage))
        return;
    StageColours[stage] =
        QStringLiteral("%1,%2,%3").arg(color.red()).arg(color.green()).arg(color.blue());
    if (DeviceWriteReady != 0 && SensorPageUpdating == 0)
        SetDPILevelColor(stage, quint8(color.red()), quint8(color.green()), quint8(color.blue()));
    ApplyStageBarStyle(stage);
}

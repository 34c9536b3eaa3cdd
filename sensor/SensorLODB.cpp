#include "sensor/SensorLODB.h"

#include "core/DeviceParam.h"
#include "core/ProcessState.h"
#include "sensor/OptionCodes.h"
#include "sensor/OptionForm.h"
#include "sensor/OptionStyle.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>

#include <iterator>

namespace {

struct LodBox
{
    const char* name;
    const char* text;
    quint8 code;
    int v;  // device code - 1, as SetLOD takes it
};

constexpr LodBox kBoxes[] = {
    {"MM0", "0mm", sensor::kLiftOff07mm, 2},
    {"MM1", "1mm", sensor::kLiftOff1mm, 0},
    {"MM2", "2mm", sensor::kLiftOff2mm, 1},
};
constexpr int kLowBox = 0;
constexpr int kBoxX[] = {80, 165, 250};

} // namespace

SensorLODB::SensorLODB(QWidget* parent)
    : QFrame(parent)
    , m_folder(sensor::pictureFolder("Sensor"))
{
    sensor::setupOptionFrame(this, "SensorLODB", QSize(338, 20), true);
    m_caption = sensor::makeCaption(this, "label", QRect(0, 0, 71, 17), QStringLiteral(" LOD"));
    m_caption->setStyleSheet(sensor::labelStyle());
    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    for (int row = 0; row < int(std::size(kBoxes)); ++row) {
        m_boxes[row] = sensor::makeChoiceBox(this, kBoxes[row].name, QRect(kBoxX[row], 0, 81, 20),
                                             QString::fromLatin1(kBoxes[row].text), 11);
        m_group->addButton(m_boxes[row]);
        connect(m_boxes[row], &QCheckBox::clicked, this, [this, row] { boxClicked(row); });
        // The 0.7 mm box keeps Qt's own look.
        if (row != kLowBox)
            m_boxes[row]->setStyleSheet(sensor::choiceBoxStyle(m_folder));
    }
}

SensorLODB::~SensorLODB() = default;

void SensorLODB::AddLowLOD()
{
    m_boxes[kLowBox]->show();
    for (int row = 0; row < int(std::size(kBoxes)); ++row)
        m_boxes[row]->move(kBoxX[row], 0);
}

void SensorLODB::RemoveLowLOD()
{
    m_boxes[kLowBox]->hide();
    m_boxes[1]->move(kBoxX[0], 0);
    m_boxes[2]->move(kBoxX[1], 0);
}

void SensorLODB::SetEnabled(bool enabled)
{
    m_boxes[1]->setEnabled(enabled);
    m_boxes[2]->setEnabled(enabled);
}

void SensorLODB::SetLOD(int v)
{
    for (int row = 0; row < int(std::size(kBoxes)); ++row) {
        if (kBoxes[row].v != v)
            continue;
        if (row != kLowBox || !m_boxes[kLowBox]->isHidden())
            m_boxes[row]->setChecked(true);
        return;
    }
}

void SensorLODB::SetLabelText(const QString& text)
{
    m_caption->setText(text);
}

void SensorLODB::SetToolTipText(const QString& text)
{
    m_caption->setToolTip(text);
}

void SensorLODB::boxClicked(int row)
{
    if (DeviceWriteReady == 0 || SensorPageUpdating != 0)
        return;
    SetLiftOffDistance(kBoxes[row].code);
}

#include "sensor/SensorEffectB.h"

#include "sensor/OptionCodes.h"
#include "sensor/OptionForm.h"
#include "sensor/OptionStyle.h"

#include <QButtonGroup>
#include <QCheckBox>

#include <iterator>

namespace {

const sensor::EffectForm kForm = {
    "SensorEffectB",        QSize(400, 143),          QRect(0, 0, 181, 21),     QRect(10, 90, 81, 20),
    QRect(10, 120, 81, 20), QRect(99, 90, 241, 20),   QRect(99, 120, 241, 20),  QRect(99, 100, 241, 3),
    QRect(99, 130, 241, 3), QRect(340, 90, 50, 20),   QRect(340, 120, 50, 20),
};

struct ModeBox
{
    const char* name;
    const char* text;
    int mode;
    int x;
};

constexpr ModeBox kModeBoxes[] = {
    {"MM1", "常亮", 1, 10},
    {"MM2", "呼吸", 2, 120},
    {"MM3", "关闭", 0, 230},
};

} // namespace

SensorEffectB::SensorEffectB(QWidget* parent)
    : DpiLightEffect(kForm, parent)
{
    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    const QString style = sensor::choiceBoxStyle(folder());
    for (int row = 0; row < int(std::size(kModeBoxes)); ++row) {
        m_boxes[row] = sensor::makeChoiceBox(this, kModeBoxes[row].name, QRect(kModeBoxes[row].x, 40, 101, 20),
                                             QString::fromUtf8(kModeBoxes[row].text), 11);
        m_boxes[row]->setStyleSheet(style);
        m_group->addButton(m_boxes[row]);
        connect(m_boxes[row], &QCheckBox::clicked, this, [this, row](bool checked) { modeClicked(row, checked); });
    }
}

void SensorEffectB::SetModel(int mode)
{
    if (QCheckBox* box = boxOfMode(mode))
        box->setChecked(true);
    showModeQuietly(mode);
}

void SensorEffectB::SetItemText(int index, const QString& text)
{
    if (QCheckBox* box = boxOfMode(index))
        box->setText(text);
}

void SensorEffectB::modeClicked(int row, bool checked)
{
    if (!checked)
        return;
    showMode(kModeBoxes[row].mode);
    sendMode(kModeBoxes[row].mode);
}

QCheckBox* SensorEffectB::boxOfMode(int mode) const
{
    for (int row = 0; row < int(std::size(kModeBoxes)); ++row) {
        if (kModeBoxes[row].mode == mode)
            return m_boxes[row];
    }
    return nullptr;
}

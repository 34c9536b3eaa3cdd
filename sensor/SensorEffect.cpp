#include "sensor/SensorEffect.h"

#include "dialogs/DialogFrame.h"
#include "sensor/OptionStyle.h"
#include "shell/common/ButtonStyle.h"

#include <QComboBox>
#include <QSlider>

namespace {

const sensor::EffectForm kForm = {
    "SensorEffect",       QSize(439, 96),       QRect(0, 0, 131, 21),  QRect(141, 44, 81, 20),
    QRect(141, 74, 81, 20), QRect(230, 44, 151, 20), QRect(230, 74, 151, 20), QRect(230, 54, 151, 3),
    QRect(230, 84, 151, 3), QRect(381, 44, 50, 20), QRect(381, 74, 50, 20),
};

} // namespace

SensorEffect::SensorEffect(QWidget* parent)
    : DpiLightEffect(kForm, parent)
{
    m_model = new QComboBox(this);
    m_model->setObjectName(QStringLiteral("Model"));
    m_model->setGeometry(0, 44, 130, 30);
    m_model->setFixedSize(130, 30);
    m_model->setFocusPolicy(Qt::NoFocus);
    m_model->setFont(dialogs::DialogFrame::dialogFont(11));
    m_model->addItems({QStringLiteral("关闭"), QStringLiteral("常亮"), QStringLiteral("呼吸")});
    shell::styleCombo(m_model, folder(), false);
    connect(m_model, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SensorEffect::on_Model_currentIndexChanged);
}

void SensorEffect::SetModel(int mode)
{
    m_model->setCurrentIndex(mode);
    showModeQuietly(mode);
}

void SensorEffect::SetSliderA(int value)
{
    speedSlider()->setValue(value);
}

void SensorEffect::SetSliderB(int value)
{
    lightSlider()->setValue(value);
}

void SensorEffect::SetItemText(int index, const QString& text)
{
    m_model->setItemText(index, text);
}

void SensorEffect::on_Model_currentIndexChanged(int index)
{
    showMode(index);
    sendMode(index);
}

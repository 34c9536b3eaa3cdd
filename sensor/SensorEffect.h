#pragma once

#include "sensor/DpiLightEffect.h"
#include "sensor/OptionCodes.h"

class QComboBox;

// The DPI light effect of the sensor page, its mode chosen from a list.
class SensorEffect final : public sensor::DpiLightEffect
{
    Q_OBJECT

public:
    explicit SensorEffect(QWidget* parent = nullptr);

    // Selects mode entry `mode`. Signals stay open: a changed entry goes
    // through the mode handler, write gate included.
    void SetModel(int mode);
    // Move the sliders (held within their ranges). A changed value is sent
    // like a user's under the write gate: callers that only show device data
    // set SensorPageUpdating around the calls.
    void SetSliderA(int value);
    void SetSliderB(int value);
    void SetItemText(int index, const QString& text);

public slots:
    void on_Model_currentIndexChanged(int index);

private:
    QComboBox* m_model = nullptr;
};

#pragma once

#include "sensor/DpiLightEffect.h"

class QButtonGroup;
class QCheckBox;

// The DPI light effect with the mode as three exclusive check boxes.
class SensorEffectB final : public sensor::DpiLightEffect
{
    Q_OBJECT

public:
    explicit SensorEffectB(QWidget* parent = nullptr);

    // Checks the box of mode 0..2 without sending (no click is emitted).
    void SetModel(int mode);
    // Text of the box of mode `index`.
    void SetItemText(int index, const QString& text);

private:
    void modeClicked(int row, bool checked);
    QCheckBox* boxOfMode(int mode) const;

    QCheckBox* m_boxes[3] = {};  // MM1, MM2, MM3
    QButtonGroup* m_group = nullptr;
};

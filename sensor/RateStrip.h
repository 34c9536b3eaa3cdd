#pragma once

#include "sensor/OptionCodes.h"

#include <QFrame>

class QAbstractButton;
class QButtonGroup;
class QLabel;

namespace sensor {

// What tells the two report-rate strips apart.
struct RateStripForm
{
    const char* frame;
    QSize size;
    QRect caption;
    // Makes the control of rate row `row`, named and placed.
    QAbstractButton* (*makeButton)(QWidget* parent, int row);
    // The controls' style sheet for the picture folder.
    QString (*buttonStyle)(const QString& folder);
};

// A caption and seven exclusive report-rate controls, 125 Hz to 8000 Hz.
// Pressing one sends its rate and, once the mouse took it, tells the sensor
// page whether a high rate (2000 Hz and up) is now in force.
class RateStrip : public QFrame
{
    Q_OBJECT

public:
    ~RateStrip() override;

    // Shows the upper rates the device's rate class offers; other values
    // change nothing. A hidden control keeps its check: the mouse keeps its
    // rate even where the control cannot be shown.
    void SetButtonsShown(int rateClass);
    void SetLabelText(const QString& text);

protected:
    RateStrip(const RateStripForm& form, QWidget* parent);

    QAbstractButton* rateButton(int row) const { return m_buttons[row]; }

private:
    void rateClicked(int row, bool checked);

    QLabel* m_caption = nullptr;
    QAbstractButton* m_buttons[kReportRateCount] = {};
    QButtonGroup* m_group = nullptr;
    QString m_folder;
};

} // namespace sensor

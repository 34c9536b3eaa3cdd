#pragma once

#include "sensor/OptionCodes.h"

#include <QFrame>

class QSlider;
class QSpinBox;

// The sleep time as a slider over the eleven sleep times, with the time
// shown beside it in seconds or minutes.
class StopCloseTimeB final : public QFrame
{
    Q_OBJECT

public:
    explicit StopCloseTimeB(QWidget* parent = nullptr);
    ~StopCloseTimeB() override;

    // The number shown at slider position 1..11 (10, 30, then minutes).
    static int ShownNumber(int position);

    // Shows entry `index` (position index + 1) without sending.
    void SetCurrentIndex(int index);
    // Takes the unit words from the list texts: entry 0 ("10秒") gives the
    // seconds suffix, entry 5 ("15分钟") the minutes suffix; other entries
    // are ignored.
    void SetItemText(int index, const QString& text);

public slots:
    void on_StopClose_sliderMoved(int position);
    // The value settles on release; only then is it sent.
    void on_StopClose_valueChanged(int value);

private:
    void showPosition(int position);

    QSlider* m_slider = nullptr;
    QSpinBox* m_number = nullptr;
    QString m_folder;
    QString SecondsSuffix;
    QString MinutesSuffix;
};

#pragma once

#include <QFrame>

class QSlider;
class QSpinBox;

// The debounce time as a slider from 1 to 20 with its number beside it.
class DebouncetimeB final : public QFrame
{
    Q_OBJECT

public:
    explicit DebouncetimeB(QWidget* parent = nullptr);
    ~DebouncetimeB() override;

    // Shows a value without sending it.
    void SetValue(int value);
    void SetSuffix(const QString& suffix);

public slots:
    void on_Debunce_sliderMoved(int position);
    // The value settles on release; only then is it sent.
    void on_Debunce_valueChanged(int value);

private:
    QSlider* m_slider = nullptr;
    QSpinBox* m_number = nullptr;
    QString m_folder;
};

#pragma once

#include <QFrame>

class MyConmboBox;

// The debounce time of the mouse's buttons, 0 to 20 ms, as a list. The
// button page places it and names its entries.
class DebounceTime final : public QFrame
{
    Q_OBJECT

public:
    explicit DebounceTime(QWidget* parent = nullptr);
    ~DebounceTime() override;

    // Selects entry `index`. Signals stay open: the button page means its
    // reset and its device value to reach the mouse. An index without an
    // entry selects none and sends nothing.
    void SetCurrentIndex(int index);
    // Entry `index` reads the decimal index followed by `suffix`.
    void SetItemTexts(int index, const QString& suffix);

public slots:
    void on_Debunce_currentIndexChanged(int index);

private:
    MyConmboBox* m_box = nullptr;
    QString m_folder;
};

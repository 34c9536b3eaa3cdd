#pragma once

#include "sensor/OptionCodes.h"

#include <QFrame>

class MyConmboBox;

// The mouse's sleep time, 10 seconds to 40 minutes, as a list. The settings
// and lighting pages place it and name its entries.
class StopCloseTime final : public QFrame
{
    Q_OBJECT

public:
    explicit StopCloseTime(QWidget* parent = nullptr);
    ~StopCloseTime() override;

    // Selects entry `index` without sending.
    void SetCurrentIndex(int index);
    void SetItemText(int index, const QString& text);

public slots:
    // Every pick sends, the entry already selected included.
    void on_StopClose_activated(int index);

private:
    MyConmboBox* m_box = nullptr;
    QString m_folder;
};

#pragma once

#include <QFrame>

class QSpinBox;
class QToolButton;

// The debounce time as a number with a plus and a minus button.
class DebouncetimeC final : public QFrame
{
    Q_OBJECT

public:
    explicit DebouncetimeC(QWidget* parent = nullptr);
    ~DebouncetimeC() override;

    // Shows a value without sending it.
    void SetValue(int value);
    void SetSuffix(const QString& suffix);

public slots:
    void on_AddLevelA_clicked();
    void on_ReduceLevelA_clicked();

private:
    void sendShown();

    QToolButton* m_add = nullptr;
    QToolButton* m_reduce = nullptr;
    QSpinBox* m_number = nullptr;
    QString m_folder;
};

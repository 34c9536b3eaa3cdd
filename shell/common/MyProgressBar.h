#pragma once

#include <QProgressBar>
#include <QVector>

class QTimer;

// A progress bar that advances in steps: it creeps towards one below the next
// step's target and waits there until the owner reports the step done
// (mUpdate), then catches up quickly.
class MyProgressBar final : public QProgressBar
{
    Q_OBJECT

public:
    explicit MyProgressBar(QWidget* parent = nullptr);

    // Shows value with the percentage written with one decimal ("25.0%").
    void SetProgressValue(int value);
    // Starts a run of the given number of steps, creeping every intervalMs.
    void Start(int steps, int intervalMs);

    // Targets of a run of the given number of steps: 0, equal parts, 100.
    static QVector<int> stepTargets(int steps);
    const QVector<int>& targets() const { return m_targets; }

public slots:
    void mUpdate();

private:
    void creep();
    void catchUp();

    QVector<int> m_targets;
    int m_step = 0;
    QTimer* m_stepTimer = nullptr;
    QTimer* m_catchUpTimer = nullptr;
};

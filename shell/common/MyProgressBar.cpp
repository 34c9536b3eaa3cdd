#include "shell/common/MyProgressBar.h"

#include <QTimer>

namespace {
constexpr int kCatchUpMs = 5;
}

MyProgressBar::MyProgressBar(QWidget* parent)
    : QProgressBar(parent)
    , m_stepTimer(new QTimer(this))
    , m_catchUpTimer(new QTimer(this))
{
    setOrientation(Qt::Horizontal);
    setRange(0, 100);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SetProgressValue(0);
    connect(m_stepTimer, &QTimer::timeout, this, &MyProgressBar::creep);
    connect(m_catchUpTimer, &QTimer::timeout, this, &MyProgressBar::catchUp);
}

void MyProgressBar::SetProgressValue(int value)
{
    setValue(value);
    const int span = maximum() - minimum();
    const double percent = span == 0 ? 0.0 : (value - minimum()) * 100.0 / span;
    setFormat(QStringLiteral("%1%").arg(QString::number(percent, 'f', 1)));
}

QVector<int> MyProgressBar::stepTargets(int steps)
{
    QVector<int> targets{0};
    if (steps >= 2) {
        const int part = 100 / steps;
        for (int i = 1; i < steps; ++i)
            targets.append(targets.last() + part);
    }
    targets.append(100);
    return targets;
}

void MyProgressBar::Start(int steps, int intervalMs)
{
    m_targets.clear();
    m_step = 0;
    SetProgressValue(0);
    m_targets = stepTargets(steps);
    m_stepTimer->start(intervalMs);
}

void MyProgressBar::creep()
{
    if (m_step + 1 < m_targets.size() && value() <= m_targets.at(m_step + 1) - 2)
        SetProgressValue(value() + 1);
}

void MyProgressBar::mUpdate()
{
    if (m_step + 1 >= m_targets.size())
        return;
    ++m_step;
    m_catchUpTimer->start(kCatchUpMs);
    if (m_targets.at(m_step) == m_targets.last())
        m_stepTimer->stop();
}

void MyProgressBar::catchUp()
{
    if (value() >= m_targets.at(m_step))
        m_catchUpTimer->stop();
    else
        SetProgressValue(value() + 1);
}

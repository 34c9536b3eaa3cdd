#pragma once

#include <QSlider>

// A slider that jumps straight to the clicked position instead of paging
// towards it, then tells its parent (event type QEvent::User + 1).
class MySlider final : public QSlider
{
public:
    explicit MySlider(QWidget* parent = nullptr);

    // Value a press at x on a slider of the given width stands for.
    static int valueAt(int minimum, int maximum, int x, int width);

    static constexpr int kJumpEventType = 1001;

protected:
    void mousePressEvent(QMouseEvent* e) override;
};

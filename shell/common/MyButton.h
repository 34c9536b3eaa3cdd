#pragma once

#include <QPushButton>

// A push button that shows the pointing-hand cursor while the pointer is over it.
class MyButton final : public QPushButton
{
public:
    explicit MyButton(QWidget* parent = nullptr);

protected:
    void enterEvent(QEvent* e) override;
    void leaveEvent(QEvent* e) override;
};

#pragma once

#include <QLineEdit>

// A line edit that ignores typing: its owner captures keys itself and sets
// the text, so the keyboard must never change it.
class MyLineEdit final : public QLineEdit
{
public:
    explicit MyLineEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
};

#pragma once

#include <QToolButton>

// A tool button that acts on the press: a left press checks it and emits
// clicked(false), a left double click checks it and emits clicked(true), so
// the owner can tell a double click from a single press.
class MyToolButton final : public QToolButton
{
    Q_OBJECT

public:
    explicit MyToolButton(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
};

#pragma once

#include <QPointer>
#include <QString>
#include <QVector>
#include <QWidget>

namespace shell {

// Decoded pictures cost what a window's pixels cost (a full-window background 2.8 MB), and the style
// engine decodes every picture a style sheet names as soon as the sheet is set, shown or not. A
// part of the window that waits hidden (the frame behind the choice page) parks its pictures: the
// style sheets that name a picture are taken off its widgets and put back, word for word, before it
// shows. A style sheet set on a parked widget meanwhile is the newer one and is kept.
class PictureParking
{
public:
    // Takes the picture-naming style sheets off `root` and every widget under it; parking twice
    // keeps what the first parking took.
    void park(QWidget* root);
    // Puts every parked style sheet back (not over one set meanwhile); nothing when none is parked.
    void restore();
    bool isParked() const { return !m_parked.isEmpty(); }

private:
    struct Parked {
        QPointer<QWidget> widget;
        QString styleSheet;
    };
    QVector<Parked> m_parked;
};

} // namespace shell

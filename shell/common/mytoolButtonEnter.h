#pragma once

#include <QToolButton>

// A device tile of the choice page. Its object name is "btn" + the tile's
// number; when the pointer enters, it reports that number so the page can
// refresh the tile's device record and picture.
class mytoolButtonEnter final : public QToolButton
{
    Q_OBJECT

public:
    explicit mytoolButtonEnter(QWidget* parent = nullptr);

    // The number in a tile name: "btn12" gives 12; a name without a number gives 0.
    static int tileNumber(const QString& objectName);

signals:
    void entered(int tile);

protected:
    void enterEvent(QEvent* e) override;
    void leaveEvent(QEvent* e) override;
};

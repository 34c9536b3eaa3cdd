#pragma once

#include <QComboBox>

// A combo box whose closed face shows its text and icon centred, and which
// remembers the index it held when the user last pressed it.
class MyConmboBox final : public QComboBox
{
public:
    explicit MyConmboBox(QWidget* parent = nullptr);

    // The current index as it stood at the most recent mouse press.
    int indexAtPress() const { return m_indexAtPress; }

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    int m_indexAtPress = 0;
};

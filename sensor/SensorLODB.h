#pragma once

#include <QFrame>

class QButtonGroup;
class QCheckBox;
class QLabel;

// The lift-off distance as three exclusive check boxes; the 0.7 mm box is
// shown only for the sensors that offer it.
class SensorLODB final : public QFrame
{
    Q_OBJECT

public:
    explicit SensorLODB(QWidget* parent = nullptr);
    ~SensorLODB() override;

    void AddLowLOD();
    void RemoveLowLOD();
    // The 0.7 mm box stays as it is: it is shown only where it applies.
    void SetEnabled(bool enabled);
    // v = device code - 1; 2 (0.7 mm) only while that box is shown.
    void SetLOD(int v);
    void SetLabelText(const QString& text);
    void SetToolTipText(const QString& text);

private:
    // A click sends its box's code, also on the box already checked.
    void boxClicked(int row);

    QLabel* m_caption = nullptr;
    QCheckBox* m_boxes[3] = {};  // MM0, MM1, MM2
    QButtonGroup* m_group = nullptr;
    QString m_folder;
};

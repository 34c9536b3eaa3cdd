#pragma once

#include "sensor/OptionCodes.h"

#include <QFrame>

class MyConmboBox;
class QLabel;

// The lift-off distance list: 1 mm and 2 mm, and for some sensors 0.7 mm as
// a first entry that comes and goes with the device.
class SensorLOD final : public QFrame
{
    Q_OBJECT

public:
    explicit SensorLOD(QWidget* parent = nullptr);
    ~SensorLOD() override;

    // Adds "0.7mm" in front of a two-entry list; any other list stays.
    void AddLowLOD();
    // Drops the first entry of a three-entry list; any other list stays.
    void RemoveLowLOD();
    void SetEnabled(bool enabled);
    // Selects the entry of v = device code - 1 (see sensor::liftOffEntryFor).
    void SetLOD(int v);
    void SetLabelText(const QString& text);
    void SetToolTipText(const QString& text);

public slots:
    // Sends the code of the entry now shown, also when adding or removing
    // the 0.7 mm entry moved it; never while the sensor page fills itself.
    void on_LOD_currentIndexChanged(int index);

private:
    QLabel* m_caption = nullptr;
    MyConmboBox* m_box = nullptr;
    QString m_folder;
};

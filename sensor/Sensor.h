#pragma once

#include "core/FlashDataMap.h"

#include <QWidget>

// The sensor page. So far it carries what the device link needs of it: its
// bus slots take the device's values with the page flags set around each
// refill.
class Sensor final : public QWidget
{
    Q_OBJECT

public:
    explicit Sensor(QWidget* parent = nullptr);

    void SlotUpDataSenSorUISensor(FlashDataMap DataMap);
    void SlotUpDataSenSorUIB(FlashDataMap DataMap);
    void SlotFormReset();
    void SlotUpDataReportRate(int index);
    void SlotUpDataDPI(int index);
    void SlotUpDataDPILed(FlashDataMap DataMap);
    void SlotHideModel(int index);

    const FlashDataMap& ShownImage() const { return m_image; }
    int RefillCount() const { return m_refills; }
    int ResetCount() const { return m_resets; }
    int ReportRate() const { return m_reportRate; }
    int DpiStage() const { return m_dpiStage; }
    int HideModel() const { return m_hideModel; }

private:
    FlashDataMap m_image;
    int m_refills = 0;
    int m_resets = 0;
    int m_reportRate = 0;
    int m_dpiStage = 0;
    int m_hideModel = 0;
};

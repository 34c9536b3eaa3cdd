#include "sensor/Sensor.h"

#include "core/PostMsg.h"
#include "core/ProcessState.h"

Sensor::Sensor(QWidget* parent)
    : QWidget(parent)
    , m_image(EmptyFlashDataMap())
{
    PostMsg* bus = PostMsg::instance();
    const auto blocking = Qt::BlockingQueuedConnection;
    connect(bus, &PostMsg::SigUpDataLightSensor, this, &Sensor::SlotUpDataSenSorUISensor, blocking);
    connect(bus, &PostMsg::SigFormReset, this, &Sensor::SlotFormReset, blocking);
    connect(bus, &PostMsg::SigUpDataReportRate, this, &Sensor::SlotUpDataReportRate, blocking);
    connect(bus, &PostMsg::SigUpDataDPI, this, &Sensor::SlotUpDataDPI, blocking);
    connect(bus, &PostMsg::SigUpDataDPILed, this, &Sensor::SlotUpDataDPILed, blocking);
    connect(bus, &PostMsg::SigUpDataSensorUIB, this, &Sensor::SlotUpDataSenSorUIB);
    connect(bus, &PostMsg::SigHideModel, this, &Sensor::SlotHideModel);
}

void Sensor::SlotUpDataSenSorUISensor(FlashDataMap DataMap)
{
    SensorPageUpdating = 1;
    SensorPageFilled = 0;
    m_image = DataMap;
    ++m_refills;
    SensorPageUpdating = 0;
    SensorPageFilled = 1;
}

void Sensor::SlotUpDataSenSorUIB(FlashDataMap DataMap)
{
    SensorPageUpdating = 1;
    m_image = DataMap;
    ++m_refills;
    SensorPageUpdating = 0;
}

void Sensor::SlotFormReset()
{
    SensorPageUpdating = 1;
    m_image = EmptyFlashDataMap();
    ++m_resets;
    SensorPageUpdating = 0;
}

void Sensor::SlotUpDataReportRate(int index)
{
    m_reportRate = index;
    m_image.ReportRate = quint8(index);
}

void Sensor::SlotUpDataDPI(int index)
{
    DeviceWriteReady = 0;
    m_dpiStage = index;
    m_image.CurrentDpiLevel = quint8(index);
    DeviceWriteReady = 1;
}

void Sensor::SlotUpDataDPILed(FlashDataMap DataMap)
{
    // Only the four DPI-light bytes are new; the rest the page keeps.
    m_image.DpiLedMode = DataMap.DpiLedMode;
    m_image.DpiLedBrightness = DataMap.DpiLedBrightness;
    m_image.DpiLedSpeed = DataMap.DpiLedSpeed;
    m_image.DpiLedOn = DataMap.DpiLedOn;
}

void Sensor::SlotHideModel(int index)
{
    m_hideModel = index;
}

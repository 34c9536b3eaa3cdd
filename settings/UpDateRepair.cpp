#include "settings/UpDateRepair.h"

#include "core/Firmware.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"

UpDateRepair::UpDateRepair(QWidget* parent)
    : QDialog(parent)
{
    connect(PostMsg::instance(), &PostMsg::SigRepairCheckUpdate, this, &UpDateRepair::SlotRepairCheckUpdate);
}

bool UpDateRepair::FindFirmwareFile(quint8 imageKind, const QString& version, const QString& imageName, quint8 cid,
                                    quint8 mid)
{
    return core::findUpdateFile(core::ImageUse::Repair, imageKind, version, imageName, cid, mid);
}

QList<QByteArray> UpDateRepair::RepairImageList()
{
    return core::imageList(core::ImageUse::Repair);
}

void UpDateRepair::ResetUi()
{
    hide();
}

void UpDateRepair::StartAutoRepair(int index)
{
    m_autoRepairIndex = index;
}

void UpDateRepair::SlotRepairCheckUpdate()
{
}

bool UpDateRepair::WaitsForCheck() const
{
    return isVisible() && UpdateCheckRunning == 0;
}

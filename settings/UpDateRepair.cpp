#include "settings/UpDateRepair.h"

#include "core/AppPaths.h"
#include "core/PostMsg.h"
#include "settings/FormSettingFirmware.h"

#include <mutex>

namespace {

struct ImageList {
    std::mutex lock;
    QList<QByteArray> images;
};

ImageList& repairImages()
{
    static ImageList list;
    return list;
}

} // namespace

UpDateRepair::UpDateRepair(QWidget* parent)
    : QDialog(parent)
{
    connect(PostMsg::instance(), &PostMsg::SigRepairCheckUpdate, this, &UpDateRepair::SlotRepairCheckUpdate);
}

bool UpDateRepair::FindFirmwareFile(quint8 imageKind, const QString& version, const QString& imageName, quint8 cid,
                                    quint8 mid)
{
    QByteArray image;
    const bool found =
        settings::findFirmwareImage(AppDir(), settings::FirmwareQuery{imageKind, version, imageName, cid, mid}, &image)
        == settings::SearchOutcome::Found;
    std::lock_guard<std::mutex> guard(repairImages().lock);
    repairImages().images.clear();
    if (found)
        repairImages().images.append(image);
    return found;
}

QList<QByteArray> UpDateRepair::RepairImageList()
{
    std::lock_guard<std::mutex> guard(repairImages().lock);
    return repairImages().images;
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

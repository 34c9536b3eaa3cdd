#include "settings/FormSetting.h"

#include "core/AppPaths.h"
#include "core/ConfigIni.h"
#include "core/DeviceAllInfo.h"
#include "core/PostMsg.h"
#include "settings/FormSettingFirmware.h"
#include "settings/UpDateRepair.h"

#include <mutex>

std::atomic<quint8> MouseUpdateAvailable{0};
UpDateRepair* UpdateRepairDialog = nullptr;
QString WiredModeText;

namespace {

struct ImageList {
    std::mutex lock;
    QList<QByteArray> images;
};

ImageList& updateImages()
{
    static ImageList list;
    return list;
}

settings::FirmwareQuery query(quint8 kind, const QString& version, const QString& name, quint8 cid, quint8 mid)
{
    return settings::FirmwareQuery{kind, version, name, cid, mid};
}

} // namespace

FormSetting::FormSetting(QWidget* parent)
    : QWidget(parent)
{
    if (!UpdateRepairDialog)
        UpdateRepairDialog = new UpDateRepair(nullptr);
    PostMsg* bus = PostMsg::instance();
    connect(bus, &PostMsg::SigRGBValue, this, &FormSetting::SlotRGBValue, Qt::BlockingQueuedConnection);
    connect(bus, &PostMsg::SigLongRangeMode, this, &FormSetting::SlotLongRangeMode, Qt::BlockingQueuedConnection);
    connect(bus, &PostMsg::SigForm, this, &FormSetting::SlotForm, Qt::BlockingQueuedConnection);
    connect(bus, &PostMsg::SigFormReset, this, &FormSetting::SlotFormResetForm, Qt::BlockingQueuedConnection);
    connect(bus, &PostMsg::SigFormB, this, &FormSetting::SlotFormB);
    connect(bus, &PostMsg::SigLabelTextB, this, &FormSetting::SlotLabelTextB);
    connect(bus, &PostMsg::SigSetver, this, &FormSetting::SetVer);
    connect(bus, &PostMsg::SigCheckUpdate, this, &FormSetting::SlotCheckUpdate);
    connect(bus, &PostMsg::SigLightToFrom, this, &FormSetting::SlotLightToFrom);
    connect(bus, &PostMsg::SigLanguageSameB, this, &FormSetting::SlotLanguageSameB);
}

FormSetting::~FormSetting()
{
    if (UpdateRepairDialog) {
        delete UpdateRepairDialog;
        UpdateRepairDialog = nullptr;
    }
}

bool FormSetting::FindUpdateFile(quint8 imageKind, const QString& version, const QString& imageName, quint8 cid,
                                 quint8 mid)
{
    QByteArray image;
    const bool found = settings::findFirmwareImage(AppDir(), query(imageKind, version, imageName, cid, mid), &image)
                       == settings::SearchOutcome::Found;
    std::lock_guard<std::mutex> guard(updateImages().lock);
    updateImages().images.clear();
    if (found)
        updateImages().images.append(image);
    return found;
}

bool FormSetting::FindNewerFile(quint8 imageKind, const QString& version, const QString& imageName, quint8 cid,
                                quint8 mid)
{
    if (version.isEmpty())
        return false;
    QByteArray image;
    return settings::findFirmwareImage(AppDir(), query(imageKind, version, imageName, cid, mid), &image)
           == settings::SearchOutcome::Found;
}

bool FormSetting::CheckUpdateFile(quint8 imageKind, const QString& version, int receiverClass)
{
    const ConfigIni* config = ConfigIni::GetInstance();
    const QString group = QStringLiteral("Drive%1").arg(CurrentDeviceInfoCopy().DriveIndex + 1);
    const QString key =
        imageKind == settings::kMouseImage ? QStringLiteral("MM") : settings::receiverImageKey(receiverClass);
    if (key.isEmpty())
        return false;
    const QString name = config->GetValue(group, key);
    const int cid = config->GetValue(QStringLiteral("Option"), QStringLiteral("CID")).toInt();
    const int mid = config->GetValue(group, QStringLiteral("MID")).toInt();
    return FindNewerFile(imageKind, version, name, quint8(cid), quint8(mid));
}

QList<QByteArray> FormSetting::UpdateImageList()
{
    std::lock_guard<std::mutex> guard(updateImages().lock);
    return updateImages().images;
}

void FormSetting::SlotRGBValue(DongleRGB* Rgb)
{
    m_dongleLightMode = Rgb ? Rgb->Mode : 0;
}

void FormSetting::SlotLongRangeMode(bool Select)
{
    m_longRange = Select;
}

void FormSetting::SlotForm()
{
    ++m_formCount;
}

void FormSetting::SlotFormResetForm()
{
    ++m_formResetCount;
}

void FormSetting::SlotFormB()
{
}

void FormSetting::SlotLabelTextB(QString TextA, QString Text)
{
    m_receiverText = TextA;
    m_receiverOffer = Text == QLatin1String("true");
}

void FormSetting::SetVer(int index)
{
    if (index == 4)
        return;
    const DeviceAllInfo info = CurrentDeviceInfoCopy();
    m_mouseText = info.VersionText;
    m_receiverText = info.UsbVersionText;
}

void FormSetting::SlotCheckUpdate()
{
}

void FormSetting::SlotLightToFrom(int index)
{
    m_sleepSeconds = index;
}

void FormSetting::SlotLanguageSameB(int)
{
}

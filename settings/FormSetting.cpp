#include "settings/FormSetting.h"

#include "core/DeviceAllInfo.h"
#include "core/Firmware.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "settings/UpDateRepair.h"

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
    return core::findUpdateFile(core::ImageUse::Update, imageKind, version, imageName, cid, mid);
}

bool FormSetting::FindNewerFile(quint8 imageKind, const QString& version, const QString& imageName, quint8 cid,
                                quint8 mid)
{
    return core::findNewerFile(imageKind, version, imageName, cid, mid);
}

bool FormSetting::CheckUpdateFile(quint8 imageKind, const QString& version, int receiverClass)
{
    return core::checkUpdateFile(imageKind, version, receiverClass);
}

QList<QByteArray> FormSetting::UpdateImageList()
{
    return core::imageList(core::ImageUse::Update);
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
    // The worker asks after every rescan of the open device's bus; the check
    // is only wanted while the repair dialog shows and is not already busy.
    if (!UpdateRepairDialog || !UpdateRepairDialog->WaitsForCheck())
        return;
}

void FormSetting::SlotLightToFrom(int index)
{
    m_sleepSeconds = index;
}

void FormSetting::SlotLanguageSameB(int)
{
}

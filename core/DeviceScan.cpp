#include "core/DeviceScan.h"

#include "core/ConfigIni.h"
#include "core/ProcessState.h"
#include "devicelib/HIDUsb.h"

#include <QMutexLocker>

namespace core {

namespace {

constexpr int kHotPlugSettleMs = 600;
constexpr int kPathRoom = 5;
constexpr int kIdentityAttempts = 10;
constexpr int kAddressBytes = 3;
constexpr int kConfigInterface = 1;

const QString kOption = QStringLiteral("Option");

const ConfigIni* config()
{
    return ConfigIni::GetInstance();
}

std::atomic<HotPlugOwner> s_shownPage{HotPlugOwner::ChoicePage};

void choicePageHotPlug()
{
    hotPlugChanged();
}

void workerHotPlug()
{
    hotPlugChanged();
}

} // namespace

ProductIds ProductIds::read()
{
    ProductIds ids;
    ids.usb = config()->GetValueList(kOption, QStringLiteral("USB_PID"));
    ids.w1k = config()->GetValueList(kOption, QStringLiteral("Wireless_PID"));
    ids.w2k = config()->GetValueList(kOption, QStringLiteral("Wireless2_PID"));
    ids.w4k = config()->GetValueList(kOption, QStringLiteral("Wireless4_PID"));
    ids.w8k = config()->GetValueList(kOption, QStringLiteral("Wireless8_PID"));
    return ids;
}

QStringList ProductIds::searchOrder() const
{
    QStringList order;
    for (const QStringList* list : {&usb, &w1k, &w2k, &w4k, &w8k})
        for (const QString& pid : *list)
            if (!pid.isEmpty())
                order.append(pid);
    return order;
}

QString vendorId()
{
    return config()->GetValue(kOption, QStringLiteral("VID"));
}

QList<QByteArray> findDevicePaths(const QString& vid, const QString& pid, PathSearch how)
{
    const QByteArray vidText = vid.toLatin1();
    const QByteArray pidText = pid.toLatin1();
    int count = kPathRoom;
    const char** found = how == PathSearch::DefaultDeviceId
                             ? UsbFinderC_FindHidDevicesByDefaultDeviceId(vidText.constData(), pidText.constData(),
                                                                          &count)
                             : UsbFinderC_FindHidDevicesByDeviceId(vidText.constData(), pidText.constData(),
                                                                   kConfigInterface, kPathRoom, &count);
    QList<QByteArray> paths;
    // The array is the library's and is reused by its next search: copy now.
    for (int i = 0; found && i < qBound(0, count, kPathRoom); ++i)
        if (found[i])
            paths.append(QByteArray(found[i]));
    return paths;
}

DeviceAllInfo foundDevice(const QByteArray& path, const QString& vid, const QString& pid)
{
    DeviceAllInfo device;
    device.DevicePath = QString::fromLatin1(path);
    device.Vid = vid;
    device.Pid = pid;
    unsigned char attribute[12] = {};
    UsbFinderC_GetUsbDeviceAttribute(path.constData(), attribute);
    device.UsbVersionText = DeviceAllInfo::VersionTextOf(quint32(attribute[8]) | (quint32(attribute[9]) << 8));
    return device;
}

Identity askIdentity(const QByteArray& path)
{
    Identity identity;
    for (int attempt = 0; attempt < kIdentityAttempts && !identity.answered; ++attempt) {
        identity.id = UsbFinderC_GetDeviceInfo(path.constData());
        identity.answered = identity.id.Cid != 0 || identity.id.Mid != 0;
    }
    return identity;
}

int driveTotal()
{
    return config()->GetInt(kOption, QStringLiteral("DeviceTotal"), 0);
}

int driveIndexOf(const HidDeviceIdentity& id)
{
    if (id.Cid != config()->GetInt(kOption, QStringLiteral("CID"), -1))
        return -1;
    const int total = driveTotal();
    for (int index = 0; index < total; ++index) // not n <= total: ++n would overflow at INT_MAX
        if (id.Mid == config()->GetInt(QStringLiteral("Drive%1").arg(index + 1), QStringLiteral("MID"), -1))
            return index;
    return -1;
}

LinkState readLink(const QByteArray& path)
{
    unsigned char buffer[10] = {};
    UsbFinderC_GetDeviceOnLineWithUsbAddress(path.constData(), buffer);
    LinkState link;
    link.online = buffer[6] == 1;
    link.address = QByteArray(reinterpret_cast<const char*>(buffer + 7), kAddressBytes);
    return link;
}

bool pathOnBus(const DeviceAllInfo& device)
{
    const QByteArray wanted = device.DevicePath.toLatin1();
    return findDevicePaths(device.Vid, device.Pid, PathSearch::DefaultDeviceId).contains(wanted);
}

void handHotPlugTo(HotPlugOwner owner)
{
    StartUsbChanged(owner == HotPlugOwner::Worker ? &workerHotPlug : &choicePageHotPlug, kHotPlugSettleMs);
}

void setHotPlugPage(HotPlugOwner page)
{
    s_shownPage = page;
}

HotPlugOwner hotPlugPage()
{
    return s_shownPage.load();
}

void hotPlugChanged()
{
    hotPlugCoalescer(hotPlugPage()).notify();
}

void HotPlugCoalescer::attach(QObject* context, std::function<void()> rescan)
{
    QMutexLocker lock(&m_lock);
    m_context = context;
    m_rescan = std::move(rescan);
    m_pending = false;
}

void HotPlugCoalescer::detach(const QObject* context)
{
    QMutexLocker lock(&m_lock);
    if (m_context != context)
        return;
    m_context = nullptr;
    m_rescan = nullptr;
    // A rescan queued for this context dies with it; the next one attached
    // must not take it as still pending.
    m_pending = false;
}

void HotPlugCoalescer::notify()
{
    if (LinkClosing.load() || m_pending.exchange(true))
        return;
    QMutexLocker lock(&m_lock);
    if (!m_context) {
        m_pending = false;
        return;
    }
    QMetaObject::invokeMethod(m_context, [this] { runQueued(); }, Qt::QueuedConnection);
}

void HotPlugCoalescer::runQueued()
{
    m_pending = false;
    // Queued while the other page showed: the page that shows now rescans.
    HotPlugCoalescer& shown = hotPlugCoalescer(hotPlugPage());
    if (&shown != this) {
        shown.notify();
        return;
    }
    std::function<void()> rescan;
    {
        QMutexLocker lock(&m_lock);
        rescan = m_rescan;
    }
    if (rescan && !LinkClosing.load())
        rescan();
}

HotPlugCoalescer& hotPlugCoalescer(HotPlugOwner owner)
{
    static HotPlugCoalescer choicePage;
    static HotPlugCoalescer worker;
    return owner == HotPlugOwner::Worker ? worker : choicePage;
}

} // namespace core

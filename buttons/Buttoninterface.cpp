#include "buttons/Buttoninterface.h"

#include "core/AppPaths.h"
#include "core/ConfigIni.h"
#include "core/DeviceAllInfo.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Worker.h"
#include "devicelib/HIDUsb.h"

#include <QLoggingCategory>
#include <QDir>
#include <QFileInfo>

Q_LOGGING_CATEGORY(lcButtons, "app.buttons")

namespace {

// A pass that waits on the GUI gets this long to finish when the page goes.
constexpr int kWorkerStopBoundMs = 5000;
// The sleep byte counts in tens of seconds.
constexpr int kSleepUnitSeconds = 10;
constexpr int kResetSleepSeconds = 60;

} // namespace

Buttoninterface::Buttoninterface(QWidget* parent)
    : QWidget(parent)
    , m_image(EmptyFlashDataMap())
{
    if (!WorkerInstance)
        WorkerInstance = new Worker();
    PostMsg* bus = PostMsg::instance();
    connect(bus, &PostMsg::SigUpDataLightUIButton, this, &Buttoninterface::SlotUpDataButtonUIButton,
            Qt::BlockingQueuedConnection);
    connect(bus, &PostMsg::SigUpDataConfigUI, this, &Buttoninterface::SlotUpDataConfigUI,
            Qt::BlockingQueuedConnection);
    connect(bus, &PostMsg::SigFormReset, this, &Buttoninterface::SlotFormResetButton, Qt::BlockingQueuedConnection);
    connect(bus, &PostMsg::SigUpDataButtonUIC, this, &Buttoninterface::SlotUpDataButtonUIB);
    connect(bus, &PostMsg::SigAddMacroButton, this, &Buttoninterface::SlotAddMacroButton);
}

Buttoninterface::~Buttoninterface()
{
    Worker* worker = WorkerInstance;
    if (!worker)
        return;
    worker->ResetRunFlag();
    const bool ended = worker->Shutdown(kWorkerStopBoundMs);
    StopUsbChanged();
    WorkerInstance = nullptr;
    if (ended)
        delete worker;
    else
        qCWarning(lcButtons) << "device worker did not end; left running";
}

void Buttoninterface::refill(const FlashDataMap& image)
{
    m_image = image;
    ++m_refills;
    const int drive = CurrentDeviceInfoCopy().DriveIndex + 1;
    m_sensorName = ConfigIni::GetInstance()->GetValue(QStringLiteral("Drive%1").arg(drive), QStringLiteral("Sensor"));
    PostMsg::instance()->EmitLightToFrom(kSleepUnitSeconds * image.SleepTime);
}

void Buttoninterface::SlotUpDataButtonUIButton(FlashDataMap DataMap)
{
    ButtonPageUpdating = 1;
    ButtonPageFilled = 0;
    refill(DataMap);
    ButtonPageUpdating = 0;
    ButtonPageFilled = 1;
}

void Buttoninterface::SlotUpDataButtonUIB(FlashDataMap DataMap)
{
    ButtonPageUpdating = 1;
    refill(DataMap);
    ButtonPageUpdating = 0;
}

void Buttoninterface::SlotFormResetButton()
{
    ButtonPageUpdating = 1;
    m_image = EmptyFlashDataMap();
    ++m_resets;
    PostMsg::instance()->EmitMouseIndex(0);
    PostMsg::instance()->EmitLightToFrom(kResetSleepSeconds);
    ButtonPageUpdating = 0;
}

void Buttoninterface::SlotUpDataConfigUI(int ToTalItem, int SelectIndex, bool ItemEnable)
{
    m_configItems = ToTalItem;
    m_configIndex = SelectIndex;
    m_configEnabled = ItemEnable;
}

void Buttoninterface::SlotAddMacroButton()
{
    const QDir folder(UserDataDir() + QStringLiteral("/usersetting/MacroPage"));
    m_macroButtons.clear();
    for (const QFileInfo& file : folder.entryInfoList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name))
        m_macroButtons.append(file.completeBaseName());
}

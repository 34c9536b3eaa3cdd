#include "dialogs/UpDataParam.h"

#include "core/ConfigIni.h"
#include "core/DeviceAllInfo.h"
#include "core/DeviceInfoFile.h"
#include "core/DeviceParam.h"
#include "core/EventWait.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "dialogs/InportFail.h"
#include "dialogs/MakeMacro.h"
#include "dialogs/SaveFileChoice.h"
#include "dialogs/UpDataParamImport.h"
#include "shell/common/LanguageFile.h"

#include <HIDUsb.h>

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLoggingCategory>

namespace {
Q_LOGGING_CATEGORY(lcParam, "app.dialogs.param")
} // namespace

namespace {

constexpr int kJobDelayMs = 2500;
constexpr int kPagePasses = 12;
constexpr int kPassWaitMs = 500;
constexpr int kReloadSettleMs = 2000;
constexpr int kImportShowPasses = 5;

// A notice without buttons: it closes itself when its job is done.
const dialogs::FrameLayout kLayout = {"UpDataParam",
                                  "UpDataParamA",
                                  "UpDataParam",
                                  {"label", QRect(0, 30, 301, 61), "Please wait, we are updating the setting"},
                                  {},
                                  {},
                                  {},
                                  dialogs::NoOption,
                                  QSize(300, 140)};

QString s_nextImportFile;
bool s_nextImportFileSet = false;
QString s_nextExportFile;
bool s_nextExportFileSet = false;

QString driveGroup()
{
    return QStringLiteral("Drive%1").arg(CurrentDeviceInfoCopy().DriveIndex + 1);
}

// What a settings file is checked against: the open device's sensor name and its number of DPI
// levels.
struct DeviceModel {
    QString sensor;
    int dpiMaxGrade = 0;
};

DeviceModel openDeviceModel()
{
    const ConfigIni* config = ConfigIni::GetInstance();
    const QString group = driveGroup();
    return {config->GetValue(group, QStringLiteral("Sensor")), config->GetInt(group, QStringLiteral("DPIMaxGrade"), 0)};
}

// The image a settings file may keep: the mouse's own configuration, as read from it in this
// session or, while it sleeps, as its cache keeps it; and only one the import takes back. An
// image the mouse never filled (all zeros) would be refused by every import.
bool exportableImage(const DeviceModel& model, FlashDataMap* image, QString* why)
{
    if (core::imageFromOpenDevice())
        *image = CurrentFlashDataCopy();
    else if (!ReadDeviceInfoFile(CacheFileName(), image)) {
        *why = QStringLiteral("no configuration read from the mouse or kept in its cache");
        return false;
    }
    FlashDataMap back;
    if (dialogs::parseSettingsFile(dialogs::settingsFileBytes(model.sensor, *image), model.sensor, model.dpiMaxGrade,
                                   &back)
        != dialogs::ImportAccepted) {
        *why = QStringLiteral("the configuration would not import back");
        return false;
    }
    return true;
}

bool openDeviceAnswers()
{
    return UsbFinderC_GetDeviceOnLine(CurrentDevicePath().c_str());
}

QString askImportFile(QWidget* page)
{
    if (s_nextImportFileSet) {
        s_nextImportFileSet = false;
        return s_nextImportFile;
    }
    return QFileDialog::getOpenFileName(page, QStringLiteral("SelectFile"), QDir::homePath(),
                                        QStringLiteral("File(*.bin)"));
}

QString askExportFile(QWidget* page)
{
    if (s_nextExportFileSet) {
        s_nextExportFileSet = false;
        return s_nextExportFile;
    }
    return dialogs::askSaveFileName(page, QStringLiteral("FileSave"), QDir::homePath(), QStringLiteral("File(*.bin)"),
                                    QStringLiteral("bin"));
}

} // namespace

UpDataParam::UpDataParam(QWidget* parent)
    : DialogFrame(kLayout, parent)
{
    m_timer.setParent(this);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &UpDataParam::onTimeupDestroy);
    loadCurrentLanguage();
}

UpDataParam::~UpDataParam() = default;

void UpDataParam::StartTimer()
{
    m_timer.setSingleShot(true);
    m_timer.start(kJobDelayMs);
}

void UpDataParam::setReload()
{
    IsReload = true;
    ButtonPageFilled = 0;
    SensorPageFilled = 0;
}

void UpDataParam::applyLanguage(const shell::LanguageElement& texts)
{
    QString text;
    if (texts.find(ImportRunning ? QStringLiteral("label_1") : QStringLiteral("label"), &text))
        label()->setText(text);
}

void UpDataParam::onTimeupDestroy()
{
    if (m_jobRunning) {
        m_jobQueued = true;
        return;
    }
    m_jobRunning = true;
    do {
        m_jobQueued = false;
        runJob();
    } while (m_jobQueued);
    m_jobRunning = false;
}

void UpDataParam::runJob()
{
    PostMsg::instance()->EmitSetver(4);
    if (IsReload)
        runReload();
    else if (IsImport)
        runImport();
    else if (SessionOnline)
        runNormalWait();
    else
        runOfflineFallback();
}

// Each pass looks at the flags before it waits, so flags set during the last wait are not seen.
bool UpDataParam::waitForPages(bool clearWhenSeen)
{
    for (int pass = 0; pass < kPagePasses; ++pass) {
        if (ButtonPageFilled && SensorPageFilled) {
            if (clearWhenSeen) {
                ButtonPageFilled = 0;
                SensorPageFilled = 0;
            }
            return true;
        }
        WaitProcessingEvents(kPassWaitMs);
    }
    return false;
}

void UpDataParam::runReload()
{
    const bool seen = waitForPages(false);
    // The mouse needs a moment after a reset before it takes requests again; the window stays live.
    WaitProcessingEvents(kReloadSettleMs);
    // One reload is one job: the next open of this notice is an ordinary wait again.
    IsReload = false;
    close();
    if (!seen)
        PostMsg::instance()->EmitMouseOffLineo(0);
}

void UpDataParam::runImport()
{
    FlashDataMap image;
    ImportResult = ImportParamFile(ImportFile, &image);
    IsImport = false;
    if (ImportResult != dialogs::ImportAccepted) {
        showImportFailure();
        close();
        return;
    }
    // The mouse may have gone between the opener's check and now: nothing is taken over unless it
    // answers and the image was really sent.
    const bool sent = openDeviceAnswers() && core::changeAndSendImage([&image](FlashDataMap& current) {
        current = image;
        return true;
    });
    if (!sent) {
        ImportResult = dialogs::ImportDeviceOffline;
        qCWarning(lcParam) << "import not sent: the mouse does not answer";
        close();
        PostMsg::instance()->EmitMouseOffLineo(0);
        return;
    }
    emitPageRefill(image);
    for (int pass = 0; pass < kImportShowPasses; ++pass)
        WaitProcessingEvents(kPassWaitMs);
    close();
}

void UpDataParam::runNormalWait()
{
    const bool seen = waitForPages(true);
    close();
    if (!seen) {
        PostMsg::instance()->EmitMouseOffLineo(1);
        return;
    }
    // A first cache file, written only once the pages show what the mouse itself sent.
    FlashDataMap cached;
    if (WorkerOnline && core::imageFromOpenDevice() && !ReadDeviceInfoFile(CacheFileName(), &cached)) {
        QString error;
        if (!WriteDeviceInfoFile(DumpCacheFileName(), CurrentFlashDataCopy(), &error))
            qCWarning(lcParam) << "device cache not written:" << DumpCacheFileName() << error;
    }
}

void UpDataParam::runOfflineFallback()
{
    FlashDataMap image;
    if (ReadDeviceInfoFile(CacheFileName(), &image))
        emitPageRefill(image);
    PostMsg::instance()->EmitMouseOffLineo(0);
    close();
}

void UpDataParam::emitPageRefill(const FlashDataMap& image)
{
    PostMsg* bus = PostMsg::instance();
    bus->EmitUpDataLightUIA(image);
    bus->EmitUpDataSensorUIB(image);
    bus->EmitUpDataButtonUIC(image);
    bus->EmitFormB();
}

void UpDataParam::showImportFailure()
{
    InportFail notice(nullptr);
    notice.placeOver(this, 0, 0);
    notice.exec();
}

int UpDataParam::ImportParamFile(const QString& path, FlashDataMap* out)
{
    const DeviceModel model = openDeviceModel();
    return dialogs::readSettingsFile(path, model.sensor, model.dpiMaxGrade, out);
}

int UpDataParam::RunImport(QWidget* page)
{
    if (!openDeviceAnswers()) {
        PostMsg::instance()->EmitMouseOffLineo(0);
        return -1;
    }
    ParamProgressSuppressed = 1;
    const QString path = askImportFile(page);
    int result = -1;
    if (!path.isEmpty()) {
        ImportRunning = 1;
        UpDataParam notice(nullptr);
        notice.StartTimer();
        notice.IsImport = true;
        notice.ImportFile = path;
        notice.SlotChangeLanguage(shell::LanguageFile::currentIndex()); // now with the import text
        notice.placeOver(page, -75, -65);
        notice.exec();
        ImportRunning = 0;
        result = ImportResult;
    }
    ParamProgressSuppressed = 0;
    return result;
}

bool UpDataParam::RunExport(QWidget* page)
{
    const QString path = askExportFile(page);
    if (path.isEmpty())
        return false;
    // No device needed: a sleeping mouse's cache is exported too.
    const DeviceModel model = openDeviceModel();
    FlashDataMap image = EmptyFlashDataMap();
    QString error;
    if (!exportableImage(model, &image, &error) || !dialogs::writeSettingsFile(path, model.sensor, image, &error)) {
        qCWarning(lcParam) << "settings not exported to" << path << ":" << error;
        MakeMacro notice(nullptr, MakeMacro::Text::FileNotSaved);
        notice.placeOver(page, -75, -65);
        notice.exec();
        return false;
    }
    return true;
}

void UpDataParam::setNextExportFileForTesting(const QString& path)
{
    s_nextExportFile = path;
    s_nextExportFileSet = true;
}

void UpDataParam::setNextImportFileForTesting(const QString& path)
{
    s_nextImportFile = path;
    s_nextImportFileSet = true;
}

#include "shell/DialogMain.h"

#include "core/AppPaths.h"
#include "core/ConfigIni.h"
#include "core/DeviceReport.h"
#include "core/DeviceScan.h"
#include "core/EventWait.h"
#include "core/FileNotices.h"
#include "core/Firmware.h"
#include "core/MacroIni.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Product.h"
#include "core/Registry.h"
#include "core/ShippedData.h"
#include "core/StartUp.h"
#include "core/Worker.h"
#include "dialogs/ContainReset.h"
#include "dialogs/MouseOffLine.h"
#include "dialogs/UpDateWarning.h"
#include "settings/UpDateRepair.h"
#include "shell/common/LanguageFile.h"
#include "shell/common/QtTranslation.h"
#include "shell/Dialog.h"
#include "shell/DialogChange.h"
#include "shell/DialogChangeFirmware.h"
#include "shell/DialogChangeLogic.h"
#include "shell/FileNoticeQueue.h"
#include "shell/pairing/Match.h"
#include "shell/common/PictureCheck.h"

#include <HIDUsb.h>

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLoggingCategory>
#include <QMenu>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>

#include <utility>

namespace {
Q_LOGGING_CATEGORY(lcMain, "app.shell.main")
} // namespace

namespace {

constexpr int kWidth = 1020;
const QEvent::Type kBuildFrameEvent = static_cast<QEvent::Type>(QEvent::registerEventType());
constexpr int kHeight = 700;
constexpr int kLibraryGoneMs = 100;
constexpr int kQuitWaitMs = 200;
constexpr int kWorkerStopBoundMs = 3000;
int s_trayAvailable = -1;

bool trayAvailable()
{
    return s_trayAvailable >= 0 ? s_trayAvailable == 1 : QSystemTrayIcon::isSystemTrayAvailable();
}

} // namespace

DialogMain::DialogMain(QWidget* parent)
    : QDialog(parent)
{
    setupForm();
    connect(PostMsg::instance(), &PostMsg::SigChangeLanguage, this, &DialogMain::SlotChangeLanguage);
    takeOverInstallerLanguage();
    m_skinDir = AppDir() + QStringLiteral("/Picture/Dialog/");
    // The frame and its four pages are not on the first screen: they are built right after the
    // window's first paint (or as soon as something needs them), which halves the time to it.
    m_choicePage = new DialogChange(this);
    m_stack->addWidget(m_choicePage);
    m_stack->setCurrentWidget(m_choicePage);
    connect(m_choicePage, &DialogChange::deviceOpening, this, &DialogMain::ensureFrame);
    qApp->installEventFilter(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    setFixedSize(size());

    PostMsg* bus = PostMsg::instance();
    connect(bus, &PostMsg::SigChangeMainDialog, this, &DialogMain::SlotChangeMainDialog);
    connect(bus, &PostMsg::SigChangeSize, this, &DialogMain::SlotChangeSize);
    connect(bus, &PostMsg::SigMouseOffLineo, this, &DialogMain::SlotMouseOffLine);
    connect(bus, &PostMsg::SigUpPageLight, this, &DialogMain::SlotUpPageLight);
    setupTray();
    m_fileNotices = new shell::FileNoticeQueue(this);
    SlotChangeLanguage(MacroIni::Instance()->LanguageIndex());
    // The library's first hot-plug call comes only after its settle time; the tiles should not
    // wait for it when the window first shows. (Scanning after the first paint instead leaves
    // Qt with a stale window position under a reparenting window manager: popups open offset.)
    QTimer::singleShot(0, m_choicePage, &DialogChange::Rescan);
}

DialogMain::~DialogMain() = default;

void DialogMain::setTrayAvailableForTesting(int available)
{
    s_trayAvailable = available;
}

Dialog* DialogMain::frame()
{
    ensureFrame();
    return m_frame;
}

void DialogMain::ensureFrame()
{
    if (m_frame)
        return;
    qApp->removeEventFilter(this);
    // Built before the first paint: the start-up notices no longer wait for that paint.
    if (!m_firstPaintSeen)
        QTimer::singleShot(0, this, &DialogMain::showStartNotices);
    m_frame = new Dialog(this);
    m_stack->addWidget(m_frame);
    // Building the pages leaves freed image and style buffers on the heap: give them back.
    core::releaseFreeHeap();
}

bool DialogMain::eventFilter(QObject* watched, QEvent* event)
{
    // The first paint of this window: the frame is built once that paint has reached the screen.
    if (event->type() == QEvent::Paint && watched->isWidgetType() && static_cast<QWidget*>(watched)->window() == this) {
        qApp->removeEventFilter(this);
        m_firstPaintSeen = true;
        // Low priority: whatever else that paint left queued (its flush, a stamp) goes first.
        QCoreApplication::postEvent(this, new QEvent(kBuildFrameEvent), Qt::LowEventPriority);
    }
    return QDialog::eventFilter(watched, event);
}

bool DialogMain::event(QEvent* event)
{
    if (event->type() == kBuildFrameEvent) {
        ensureFrame();
        // Built ahead of need: until a mouse is opened its pictures are only memory.
        if (!frameShowing()) {
            m_frame->parkPictures();
            core::releaseFreeHeap();
        }
        showStartNotices();
        return true;
    }
    return QDialog::event(event);
}

// Once, one after the other, never one notice over another.
void DialogMain::showStartNotices()
{
    if (!std::exchange(m_startNoticesDue, false))
        return;
    reportMissingData();
    m_fileNotices->tellSetAside(core::takeSetAsideStores());
    // A store set aside from now on (another writer made it too large or no file) is told when
    // it happens, with those set aside together.
    core::setSetAsideReceiver(this, [this](const QVector<core::SetAsideStore>& stores) {
        m_fileNotices->tellSetAside(stores);
    });
    // A write that failed before now is told after those, and at most one per run.
    core::setUnsavedWriteReceiver(this, [this](const QString& path) { m_fileNotices->tellUnsavedWrite(path); });
}

void DialogMain::setupForm()
{
    setObjectName(QStringLiteral("DialogMain"));
    setFixedSize(kWidth, kHeight);
    m_form = new QFrame(this);
    m_form->setObjectName(QStringLiteral("frame"));
    m_form->setGeometry(0, 0, kWidth, kHeight);
    m_form->setFrameShape(QFrame::StyledPanel);
    m_form->setFrameShadow(QFrame::Raised);
    m_stack = new QStackedWidget(m_form);
    m_stack->setObjectName(QStringLiteral("stackedWidgetMain"));
    m_stack->setGeometry(0, 0, kWidth, kHeight);
    m_stack->setStyleSheet(QStringLiteral("#stackedWidgetMain{background-color: rgb(21, 23, 28);}"));
    setWindowTitle(tr("TALVO R430K mouse\n"));
}

// The installer leaves the language the user picked during setup; it is taken over once.
void DialogMain::takeOverInstallerLanguage()
{
    const QString key = Registry::InstallerKey();
    const int index = Registry::Value(key, QStringLiteral("LanguageIndex")).toInt();
    if (index == 0) {
        Registry::Remove(key, QStringLiteral("LanguageIndex"));
        return;
    }
    // Handed over only once it is kept: the installer's choice is not lost on a full disk.
    if (MacroIni::Instance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), QString::number(index)))
        Registry::Remove(key, QStringLiteral("LanguageIndex"));
    else
        core::noteUnsavedWrite(MacroIni::Instance()->FilePath());
}

void DialogMain::setupTray()
{
    m_tray = new QSystemTrayIcon(this);
    m_tray->setIcon(shell::pictureIcon(m_skinDir + QStringLiteral("Logo.png")));
    m_tray->setToolTip(QString::fromUtf8(ProductName));
    // Connected once here, not at each hide: one activation must run the slot once.
    connect(m_tray, &QSystemTrayIcon::activated, this, &DialogMain::on_activatedSysTrayIcon);
}

void DialogMain::SlotChangeLanguage(int index)
{
    shell::useQtTranslation(index);
    const shell::LanguageElement texts = shell::LanguageFile::cachedElement(index, QStringLiteral("DialogMain"));
    texts.find(QStringLiteral("MainForm"), &m_mainFormText);
    texts.find(QStringLiteral("Exit"), &m_exitText);
    texts.find(QStringLiteral("DataMissing"), &m_dataMissingText);
}

// Copied away from its data the program still starts, with blank buttons and built-in texts;
// the user is told once which shipped file or folder is missing, then it goes on as it is.
void DialogMain::reportMissingData()
{
    QStringList missing = MissingShippedData();
    // A picture refused by the check counts as missing too; a handful are named, not a folder's worth.
    constexpr int kNamedPictures = 3;
    if (!missing.contains(QStringLiteral("/Picture"))) {
        const QString app = AppDir();
        // The pages have checked their pictures by now; the rest (dialogs not yet made) are checked here.
        shell::checkPictureFolder(app + QStringLiteral("/Picture"));
        QStringList refused;
        for (const QString& path : shell::refusedPictures()) {
            if (path.startsWith(app + QStringLiteral("/Picture/")))
                refused << path.mid(app.size());
        }
        missing += refused.mid(0, kNamedPictures);
        if (refused.size() > kNamedPictures)
            missing << QStringLiteral("\u2026");
    }
    if (missing.isEmpty())
        return;
    const QString names = missing.join(QStringLiteral(", "));
    qCWarning(lcMain, "shipped data missing beside %s: %s", qPrintable(AppDir()), qPrintable(names));
    UpDateWarning notice(nullptr);
    notice.fitStartUpNotice(missing.contains(QStringLiteral("/Picture"))
                            || !missing.filter(QStringLiteral("/Picture/WarningDialog/")).isEmpty());
    QString text = m_dataMissingText;
    if (text.isEmpty()) {
        // No language text to say it with (often the language files are what is missing).
        text = QStringLiteral("Program files are missing: %1. Please reinstall the program.");
        notice.okButton()->setText(QStringLiteral("OK"));
    }
    notice.SetText(notice.withNames(text.contains(QLatin1String("%1")) ? text : text + QStringLiteral(" %1"), {names}));
    placeCentred(&notice, 0, 0);
    notice.exec();
}

void DialogMain::SlotUpPageLight() {}

bool DialogMain::frameShowing() const
{
    return m_frame && m_stack->currentWidget() == m_frame;
}

void DialogMain::SlotChangeMainDialog(int index)
{
    DeviceWriteReady = 1;
    if (index == 0) {
        PostMsg::instance()->EmitSecondPageChange();
        MainPageIndex = 0;
        PostMsg::instance()->EmitMainPageChange();
        UsbServer_Exit();
        WaitProcessingEvents(kLibraryGoneMs);
        m_stack->setCurrentWidget(m_choicePage);
        core::setHotPlugPage(core::HotPlugOwner::ChoicePage);
        core::handHotPlugTo(core::HotPlugOwner::ChoicePage);
    } else if (index == 1) {
        ensureFrame();
        m_stack->setCurrentWidget(m_frame);
        core::setHotPlugPage(core::HotPlugOwner::Worker);
        core::handHotPlugTo(core::HotPlugOwner::Worker);
    }
}

void DialogMain::SlotChangeSize(int index)
{
    if (index == 0 || index == 1)
        UsbServer_SetPCDriverStatus(0);
    if (index == 0 || index == 2)
        hideToTray();
    if (index == 1 || index == 3)
        quitProgram();
}

void DialogMain::hideToTray()
{
    if (!trayAvailable()) {
        // Without a tray there would be no way back to a hidden window: minimise instead.
        showMinimized();
        return;
    }
    hide();
    // Hours in the tray are spent without the window's decoded pictures; they come back on show.
    m_parkedPictures.park(this);
    core::releaseFreeHeap();
    QMenu* old = m_trayMenu;
    m_showAction = new QAction(m_mainFormText, this);
    m_exitAction = new QAction(m_exitText, this);
    // Queued: an entry is chosen inside the tray icon's own click handling (the menu's exec), and
    // both entries hide the icon, which destroys the icon's window under that handler.
    connect(m_showAction, &QAction::triggered, this, &DialogMain::slotActionMain, Qt::QueuedConnection);
    connect(m_exitAction, &QAction::triggered, this, &DialogMain::slotActionExitApp, Qt::QueuedConnection);
    m_trayMenu = new QMenu(this);
    m_trayMenu->addAction(m_showAction);
    m_trayMenu->addSeparator();
    m_trayMenu->addAction(m_exitAction);
    m_tray->setContextMenu(m_trayMenu);
    if (old)
        old->deleteLater();
    m_tray->show();
}

void DialogMain::showFromTray(bool tellDevice)
{
    m_parkedPictures.restore();
    showNormal();
    if (tellDevice && frameShowing())
        UsbServer_SetPCDriverStatus(1);
    // A click on the icon arrives inside the icon window's own mouse handling; hiding the icon
    // destroys that window, so it waits until the handling has returned.
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            m_tray->hide();
    });
}

// One quit sequence for the close buttons and the tray's Exit: the device is told the tool is
// gone, its cache written, hot-plug stopped and the library left before the event loop ends.
void DialogMain::quitProgram()
{
    if (m_quitting)
        return;
    m_quitting = true;
    qCDebug(lcMain) << "close";
    m_fileNotices->stop();
    LinkClosing = true;
    StopUsbChanged();
    WaitProcessingEvents(kQuitWaitMs);
    UsbServer_Exit();
    if (WorkerInstance)
        WorkerInstance->Shutdown(kWorkerStopBoundMs);
    m_tray->hide();
    close();
    // Other parentless windows (a notice, the repair dialog) must not keep the program alive.
    QCoreApplication::quit();
}

void DialogMain::reject()
{
    // The frame's close also writes the open mouse's cache before it asks to quit.
    if (!m_quitting) {
        if (frameShowing())
            m_frame->on_CloseButton_clicked();
        else
            SlotChangeSize(3);
    }
    // The quit sequence's own close() is swallowed while this close is under way: hide here.
    if (m_quitting)
        QDialog::reject();
}

void DialogMain::slotActionExitApp()
{
    if (frameShowing()) {
        UsbServer_SetPCDriverStatus(0);
        m_frame->saveDeviceCache();
    }
    quitProgram();
}

void DialogMain::on_activatedSysTrayIcon(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Context:
        if (m_trayMenu)
            m_trayMenu->exec(QCursor::pos());
        break;
    case QSystemTrayIcon::DoubleClick:
        showFromTray(false);
        break;
    case QSystemTrayIcon::Trigger:
        showFromTray(true);
        break;
    default:
        break;
    }
}

void DialogMain::slotActionMain()
{
    showFromTray(true);
}

void DialogMain::placeCentred(QWidget* dialog, int dx, int dy) const
{
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    dialog->move(origin.x() + (width() - dialog->width()) / 2 + dx,
                 origin.y() + (height() - dialog->height()) / 2 + dy);
}

void DialogMain::SlotMouseOffLine(int index)
{
    OffLineNoticeIndex = index;
    OfflineAtStart = 1;
    RestartRequest = 1;
    // The notice sits 20 pixels above the window's centre; while one is open a second report
    // only updates its texts instead of stacking another notice.
    MouseOffLine::showOnce(this, 0, -20);
}

void DialogMain::mousePressEvent(QMouseEvent* event)
{
    m_pressGlobal = event->globalPos();
    m_pressWindow = pos();
    m_dragOffset = m_pressGlobal - m_pressWindow;
}

void DialogMain::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() != Qt::LeftButton || isMaximized() || m_dragOffset.isNull())
        return;
    move(event->globalPos() - m_dragOffset);
}

void DialogMain::mouseReleaseEvent(QMouseEvent*)
{
    m_dragOffset = QPoint();
}

void DialogMain::keyPressEvent(QKeyEvent* event)
{
    if (MacroRecording)
        return;
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_F12:
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        PostMsg::instance()->EmitEnterKey();
        return;
    case Qt::Key_Space:
        if (frameShowing())
            openPairing(true);
        else
            spaceOnChoicePage();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void DialogMain::openPairing(bool requested)
{
    Match pairing(nullptr);
    PairRequested = requested ? 1 : 0;
    pairing.InitPairInfo();
    placeCentred(&pairing, 0, 0);
    pairing.exec();
    const std::string path = CurrentDevicePath();
    UsbServerC_Start(path.c_str(), path.c_str(), &OnDeviceReport);
}

// Space on the choice page checks the single listed mouse's firmware and offers pairing or an
// update; it never opens the configuration frame.
void DialogMain::spaceOnChoicePage()
{
    if (TileDeviceList.size() != 1 || TileDeviceList.first().RestrictedKind)
        return;
    const DeviceAllInfo device = TileDeviceList.first();
    ConfigIni* config = ConfigIni::GetInstance();
    const QString group = QStringLiteral("Drive%1").arg(device.DriveIndex + 1);
    const QString cidText = QString::number(config->GetInt(QStringLiteral("Option"), QStringLiteral("CID")));
    const QString midText = config->GetValue(group, QStringLiteral("MID"));
    const QString version = Registry::Value(Registry::DriveTestKey(), QStringLiteral("MouseVer") + cidText + midText);
    if (version.isEmpty()) {
        openPairing(false);
        return;
    }
    const quint8 cid = quint8(cidText.toInt());
    const quint8 mid = quint8(midText.toInt());
    // The same lookups as the choice page's own open procedure, so both decide alike.
    const bool mouseNewer = shell::mouseImageOffered(version, config->GetValue(group, QStringLiteral("MM")), cid, mid);
    const QString receiverName = config->GetValue(group, core::receiverImageKeyOfKind(device.DeviceKind));
    const bool receiverNewer =
        !receiverName.isEmpty() && shell::receiverImageOffered(device.UsbVersionText, receiverName, cid, mid);

    if (receiverNewer && !mouseNewer) {
        ContainReset question(nullptr);
        question.SetText(MouseIsNewTipsText);
        placeCentred(&question, -20, 0);
        question.exec();
        if (question.isConfirmed()) {
            UpDateRepair repair(nullptr);
            placeCentred(&repair, 0, 0);
            repair.StartAutoRepair(0);
            repair.exec();
        }
    } else if (mouseNewer && !receiverNewer) {
        UpDateWarning warning(nullptr);
        warning.SetText(shell::wiredModeText());
        placeCentred(&warning, -20, 0);
        warning.exec();
    } else {
        openPairing(false);
    }
}

#include "support/choice_helpers.h"
#include "support/full_disk.h"
#include "support/modal_helpers.h"
#include "support/sim_helpers.h"

#include "core/DeviceScan.h"
#include "core/MacroIni.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Registry.h"
#include "core/Worker.h"
#include "devicelib/HIDUsb.h"
#include "devicelib/SimControl.h"
#include "settings/FormSetting.h"
#include "settings/UpDateRepair.h"
#include "shell/common/mytoolButtonEnter.h"
#include "shell/DialogChange.h"
#include "shell/pairing/Match.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QScopeGuard>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <memory>
#include <thread>

using modaltest::ModalDriver;

// Finds a child by object name, failing the test with the name when missing.
#define CHILD(Type, root, name)                                                                    \
    ([&]() {                                                                                       \
        auto* found = (root)->findChild<Type*>(QStringLiteral(name));                              \
        if (!found)                                                                                \
            qWarning("missing child %s", name);                                                    \
        return found;                                                                              \
    }())

namespace {

const char* const kMouseOnCable = R"([Mouse1]
Model=1
Cable=true
CableKind=2
Awake=true
[Receiver1]
Class=4
Mouse=Mouse1
)";

QString simPath(const char* name)
{
    return QString::fromLatin1(SimControl_DevicePath(name));
}

QStringList tilePaths()
{
    QStringList paths;
    for (const DeviceAllInfo& d : TileDeviceList)
        paths << d.DevicePath;
    return paths;
}

} // namespace

class TestChoice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void emptyBusShowsTheHint();
    void tilesPagesAndArrows_data();
    void tilesPagesAndArrows();
    void cableMouseAndItsReceiverMakeOneTile();
    void refreshedRecordKeepsItsFoundEntry();
    void duplicateReceiversOpenOneNotice();
    void sleepingMouseTileWakesOnHover();
    void unplugRebuildsTheTiles();
    void hotPlugBurstGivesOneRescan();
    void changeDuringARescanGetsItsOwn();
    void changeQueuedForTheFrameIsListedOnTheTiles();
    void identityOnTheTenthAnswerCounts();
    void unmatchedReceiverPairs();
    void unmatchedCableTileDoesNothing();
    void storedVersionAsksBeforePairing();
    void twoReceiverCaseChecksFirmware_data();
    void twoReceiverCaseChecksFirmware();
    void enterOpensRepairOnlyWhenShown();
    void choosingATileOpensTheDevice();
    void languageChoiceSpreadsAndIsKept();
    void listFollowsALanguageChangeFromAnywhere_data();
    void listFollowsALanguageChangeFromAnywhere();

private:
    void rescan();

    QString m_appDir;
    std::unique_ptr<DialogChange> m_page;
};

void TestChoice::initTestCase()
{
    m_appDir = choicetest::prepareAppDir();
    RegisterBusTypes();
}

void TestChoice::init()
{
    core::resetDeviceLinkState();
    PairRequested = 0;
    PairDeviceInfo = DeviceAllInfo();
    StoreCurrentDeviceInfo(DeviceAllInfo());
    Registry::Remove(Registry::DriveTestKey(), QStringLiteral("UpdateFailInfo"));
    QDir(m_appDir + QStringLiteral("/bin")).removeRecursively();
    QDir().mkpath(m_appDir + QStringLiteral("/bin"));
    m_page = std::make_unique<DialogChange>();
    m_page->show();
}

void TestChoice::cleanup()
{
    m_page.reset();
    QCOMPARE(ChoicePage, nullptr);
}

// The page rescans on the library's hot-plug call; the tests rescan at once
// after changing the bus, so they do not wait for it.
void TestChoice::rescan()
{
    QVERIFY(SimControl_WaitIdle(5000));
    m_page->Rescan();
}

void TestChoice::emptyBusShowsTheHint()
{
    QVERIFY(simtest::loadScenario("[Receiver1]\nClass=4\nPlugged=false\n"));
    rescan();
    QVERIFY(TileDeviceList.isEmpty());
    QVERIFY(FoundDeviceList.isEmpty());
    QVERIFY(!CHILD(QLabel, m_page, "label_2")->isHidden());
    QVERIFY(CHILD(QLabel, m_page, "label_3")->isHidden());
    QCOMPARE(CHILD(QStackedWidget, m_page, "stackedWidget")->count(), 0);
    QVERIFY(CHILD(QToolButton, m_page, "RightButton")->isHidden());
}

void TestChoice::tilesPagesAndArrows_data()
{
    QTest::addColumn<int>("devices");
    QTest::addColumn<int>("pages");
    QTest::newRow("three: one full page") << 3 << 1;
    QTest::newRow("four: a last page of one") << 4 << 2;
    QTest::newRow("seven: three pages") << 7 << 3;
}

void TestChoice::tilesPagesAndArrows()
{
    QFETCH(int, devices);
    QFETCH(int, pages);
    QVERIFY(simtest::loadScenario(choicetest::unpairedReceivers(devices)));
    rescan();
    QCOMPARE(TileDeviceList.size(), devices);
    auto* stack = CHILD(QStackedWidget, m_page, "stackedWidget");
    auto* left = CHILD(QToolButton, m_page, "LeftButton");
    auto* right = CHILD(QToolButton, m_page, "RightButton");
    QCOMPARE(stack->count(), pages);
    QCOMPARE(stack->currentIndex(), 0);
    QVERIFY(CHILD(QLabel, m_page, "label_2")->isHidden());
    QVERIFY(left->isHidden());
    QCOMPARE(right->isHidden(), pages == 1);
    // Every tile of an unpaired receiver is an unknown device.
    auto* first = CHILD(mytoolButtonEnter, m_page, "btn0");
    QVERIFY(first->styleSheet().contains("Unknow.png"));
    QVERIFY(first->isVisible());
    QVERIFY(CHILD(QLabel, m_page, "Rate0")->isVisible());
    QCOMPARE(first->size(), QSize(284, 360));

    if (devices == 4) {
        QCOMPARE(CHILD(mytoolButtonEnter, m_page, "btn3")->pos(), QPoint(305, 0));
        QCOMPARE(CHILD(QLabel, m_page, "UsbWifi3")->pos(), QPoint(530, 20));
    }
    // Walk to the last page and back: each page shows the ways that exist.
    for (int page = 1; page < pages; ++page) {
        QTest::mouseClick(right, Qt::LeftButton);
        QCOMPARE(stack->currentIndex(), page);
        QVERIFY(!left->isHidden());
        QCOMPARE(right->isHidden(), page == pages - 1);
    }
    for (int page = pages - 2; page >= 0; --page) {
        QTest::mouseClick(left, Qt::LeftButton);
        QCOMPARE(stack->currentIndex(), page);
        QCOMPARE(left->isHidden(), page == 0);
        QVERIFY(!right->isHidden());
    }
}

void TestChoice::cableMouseAndItsReceiverMakeOneTile()
{
    QVERIFY(simtest::loadScenario(kMouseOnCable));
    rescan();
    QCOMPARE(tilePaths(), QStringList{simPath("Mouse1")});
    QCOMPARE(FoundDeviceList.size(), 2);
    QVERIFY(TileDeviceList[0].RestrictedKind);
    QCOMPARE(TileDeviceList[0].DriveIndex, 0);
    auto* badge = CHILD(QLabel, m_page, "UsbWifi0");
    QVERIFY(badge->styleSheet().contains("OnLineUsb.png"));
    QVERIFY(!badge->isHidden());
    QVERIFY(CHILD(mytoolButtonEnter, m_page, "btn0")->styleSheet().contains("OnLine0.png"));
    // A cable id carries no rate badge.
    QVERIFY(!m_page->findChild<QLabel*>("Rate0"));
}

void TestChoice::refreshedRecordKeepsItsFoundEntry()
{
    QVERIFY(simtest::loadScenario(QString(kMouseOnCable) + "[Receiver2]\nClass=1\nMouse=\n"));
    rescan();
    QCOMPARE(tilePaths(), (QStringList{simPath("Mouse1"), simPath("Receiver2")}));
    QCOMPARE(FoundDeviceList.size(), 3);
    const int receiver1 = [] {
        for (int i = 0; i < FoundDeviceList.size(); ++i)
            if (FoundDeviceList[i].DevicePath == simPath("Receiver1"))
                return i;
        return -1;
    }();
    QVERIFY(receiver1 >= 0);
    QVERIFY(m_page->UpdateDeviceIcon(1));
    QVERIFY(m_page->RefreshDeviceOnline(1));
    QCOMPARE(FoundDeviceList[receiver1].DevicePath, simPath("Receiver1"));
    QSet<QString> distinct;
    for (const DeviceAllInfo& d : FoundDeviceList)
        distinct.insert(d.DevicePath);
    QCOMPARE(distinct.size(), 3);
    // Out-of-range tiles change nothing.
    QVERIFY(m_page->UpdateDeviceIcon(7));
    QVERIFY(!m_page->RefreshDeviceOnline(-1));
}

void TestChoice::duplicateReceiversOpenOneNotice()
{
    QVERIFY(simtest::loadScenario("[Mouse1]\nModel=1\n[Mouse2]\nModel=1\n"
                                     "[Receiver1]\nClass=4\nMouse=Mouse1\n[Receiver2]\nClass=4\nMouse=Mouse2\n"));
    int openNotices = 0;
    int shown = 0;
    ModalDriver watcher([&](QWidget* notice) {
        // Another hot-plug change while the notice is open must not stack a
        // second notice on it; it waits, and its rescan finds the same
        // duplicates once the notice is gone.
        if (++shown == 1)
            m_page->Rescan();
        const QWidgetList windows = QApplication::topLevelWidgets();
        openNotices = std::max(openNotices, int(std::count_if(windows.begin(), windows.end(), [](QWidget* w) {
            return w->isVisible() && QString(w->metaObject()->className()) == "QuestiondialogB";
        })));
        notice->close();
    });
    // The library's hot-plug call for the new devices makes the first rescan:
    // a rescan of the test's own would race with it and meet a third notice.
    QTRY_COMPARE(watcher.seen(), (QStringList{"QuestiondialogB", "QuestiondialogB"}));
    QTest::qWait(100);
    QCOMPARE(watcher.seen().size(), 2);
    QCOMPARE(openNotices, 1);
    QCOMPARE(CHILD(QStackedWidget, m_page, "stackedWidget")->count(), 0);
    QVERIFY(!CHILD(QLabel, m_page, "label_2")->isHidden());
    QVERIFY(CHILD(QLabel, m_page, "label_3")->isHidden());
    QVERIFY(CHILD(QToolButton, m_page, "RightButton")->isHidden());
}

void TestChoice::sleepingMouseTileWakesOnHover()
{
    QVERIFY(simtest::loadScenario("[Mouse1]\nModel=1\nAwake=false\n[Receiver1]\nClass=4\nMouse=Mouse1\n"));
    rescan();
    QCOMPARE(TileDeviceList.size(), 1);
    auto* tile = CHILD(mytoolButtonEnter, m_page, "btn0");
    auto* offline = CHILD(QLabel, m_page, "label0");
    auto* link = CHILD(QLabel, m_page, "UsbWifi0");
    QVERIFY(tile->styleSheet().contains("DisOnlin0.png"));
    QVERIFY(!offline->isHidden());
    QVERIFY(link->isHidden());
    QVERIFY(offline->toolTip().contains('\n'));
    QVERIFY(link->styleSheet().contains("OnLineWifi.png"));
    QVERIFY(CHILD(QLabel, m_page, "Rate0")->styleSheet().contains("4KHz.png"));

    QVERIFY(SimControl_SetAwake("Mouse1", true));
    QVERIFY(SimControl_WaitIdle(5000));
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(tile, &enter);
    QVERIFY(tile->styleSheet().contains("OnLine0.png"));
    QVERIFY(offline->isHidden());
    QVERIFY(!link->isHidden());
    QVERIFY(TileDeviceList[0].Online);
}

void TestChoice::unplugRebuildsTheTiles()
{
    QVERIFY(simtest::loadScenario(""));
    // The library's own hot-plug call brings the tiles.
    QTRY_COMPARE_WITH_TIMEOUT(TileDeviceList.size(), 1, 10000);
    QTRY_COMPARE(CHILD(QStackedWidget, m_page, "stackedWidget")->count(), 1);
    QVERIFY(SimControl_Plug("Receiver1", false));
    QTRY_VERIFY_WITH_TIMEOUT(TileDeviceList.isEmpty(), 10000);
    QTRY_COMPARE(CHILD(QStackedWidget, m_page, "stackedWidget")->count(), 0);
    QVERIFY(!CHILD(QLabel, m_page, "label_2")->isHidden());
    QVERIFY(SimControl_Plug("Receiver1", true));
    QTRY_COMPARE_WITH_TIMEOUT(TileDeviceList.size(), 1, 10000);
}

void TestChoice::hotPlugBurstGivesOneRescan()
{
    QVERIFY(simtest::loadScenario(""));
    rescan();
    // The library stays quiet; the burst below stands for its calls.
    QVERIFY(simtest::hotPlugBarrier(0));
    SimControl_ClearCallLog();
    std::thread library([] {
        for (int i = 0; i < 5; ++i)
            DialogChange::OnUsbChanged();
    });
    library.join();
    const auto scans = [] {
        QByteArray log(1 << 16, '\0');
        log.truncate(SimControl_CallLog(log.data(), log.size()));
        return log.count("FindHidDevices(0x3A2F, 0x4141)");
    };
    QTRY_COMPARE(scans(), 1);
    // Every call came before the rescan ran: nothing further is queued.
    QCoreApplication::processEvents();
    QCOMPARE(scans(), 1);
    QCOMPARE(TileDeviceList.size(), 1);
}

// A device plugged while a rescan reads the bus is told during that rescan, which cannot list it.
void TestChoice::changeDuringARescanGetsItsOwn()
{
    QVERIFY(simtest::hotPlugBarrier(0));  // the library stays quiet; the calls below stand for its own
    auto& coalescer = core::hotPlugCoalescer(core::HotPlugOwner::ChoicePage);
    QObject page;
    int rescans = 0;
    coalescer.attach(&page, [&] {
        if (++rescans == 1)
            coalescer.notify();
    });
    const auto detach = qScopeGuard([&] { coalescer.detach(&page); });
    coalescer.notify();
    QTRY_COMPARE(rescans, 2);
    QCoreApplication::processEvents();
    QCOMPARE(rescans, 2);
}

// The library told a change while the frame showed, and the frame went back to the tiles before
// the rescan it brings ran: the tiles list what it found.
void TestChoice::changeQueuedForTheFrameIsListedOnTheTiles()
{
    QVERIFY(simtest::loadScenario(""));
    rescan();
    QVERIFY(simtest::hotPlugBarrier(0));  // the library stays quiet; the call below stands for its own
    QObject frame;
    int frameRescans = 0;
    core::hotPlugCoalescer(core::HotPlugOwner::Worker).attach(&frame, [&frameRescans] { ++frameRescans; });
    const auto tiles = qScopeGuard([&frame] {
        core::hotPlugCoalescer(core::HotPlugOwner::Worker).detach(&frame);
        core::setHotPlugPage(core::HotPlugOwner::ChoicePage);
    });
    core::setHotPlugPage(core::HotPlugOwner::Worker);
    QVERIFY(SimControl_Plug("Mouse1", true));
    std::thread([] { Worker::OnUsbChanged(); }).join();
    core::setHotPlugPage(core::HotPlugOwner::ChoicePage);
    QTRY_COMPARE(tilePaths(), QStringList{simPath("Mouse1")});
    QCOMPARE(frameRescans, 0);
}

void TestChoice::identityOnTheTenthAnswerCounts()
{
    // The choice page asks as the worker does: the tenth answer still counts.
    QVERIFY(simtest::loadScenario(""));
    for (int zeros : {9, 10}) {
        QVERIFY(SimControl_AnswerAfter("Receiver1", zeros));
        DeviceAllInfo device;
        device.DevicePath = QString::fromLatin1(SimControl_DevicePath("Receiver1"));
        QVERIFY(m_page->IdentifyDevice(device));
        QCOMPARE(device.DriveIndex, zeros < 10 ? 0 : ConfiguredDriveCount);
    }
}

void TestChoice::unmatchedReceiverPairs()
{
    QVERIFY(simtest::loadScenario("[Simulator]\nPairDelayMs=300\n[Mouse1]\nModel=1\nAwake=true\nPairable=true\n"
                                     "[Receiver1]\nClass=4\nMouse=\n"));
    rescan();
    QCOMPARE(TileDeviceList.size(), 1);
    QCOMPARE(TileDeviceList[0].DriveIndex, ConfiguredDriveCount);
    QSignalSpy frame(PostMsg::instance(), &PostMsg::SigChangeMainDialog);
    bool stayedOpen = false;
    bool disabledAfter = false;
    ModalDriver watcher([&](QWidget* dialog) {
        auto* match = qobject_cast<Match*>(dialog);
        if (!match) {
            dialog->close();
            return;
        }
        QCOMPARE(PairRequested.load(), quint8(1));
        QCOMPARE(PairDeviceInfo.DevicePath, simPath("Receiver1"));
        auto* button = CHILD(QToolButton, match, "MatchButton");
        QTRY_VERIFY(button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(PairState.load(), 1);
        // Neither Escape nor the close button ends a running pairing.
        QTest::keyClick(match, Qt::Key_Escape);
        QTest::mouseClick(CHILD(QToolButton, match, "CloseButton"), Qt::LeftButton);
        stayedOpen = match->isVisible();
        QTRY_COMPARE_WITH_TIMEOUT(PairState.load(), 2, 10000);
        QTRY_VERIFY(!button->isEnabled());
        QTest::qWait(150);  // the bus-watch tick must not enable it again
        disabledAfter = !button->isEnabled();
        QTest::mouseClick(CHILD(QToolButton, match, "CloseButton"), Qt::LeftButton);
    });
    m_page->OpenTile(0);
    QCOMPARE(watcher.seen(), QStringList{"Match"});
    QVERIFY(stayedOpen);
    QVERIFY(disabledAfter);
    QCOMPARE(frame.count(), 0);
    QVERIFY(SimControl_IsPairedWith("Mouse1", "Receiver1"));
}

void TestChoice::unmatchedCableTileDoesNothing()
{
    // The simulator has no mouse model outside the table, so the record of
    // such a mouse on its cable is made here.
    DeviceAllInfo stranger;
    stranger.DevicePath = "sim:stranger";
    stranger.Pid = "0x4101";
    stranger.Cid = 33;
    stranger.Mid = 9;
    stranger.SetDeviceKind(2);
    stranger.DriveIndex = ConfiguredDriveCount;
    TileDeviceList = {stranger};
    ModalDriver watcher;
    QSignalSpy frame(PostMsg::instance(), &PostMsg::SigChangeMainDialog);
    m_page->OpenTile(0);
    QTest::qWait(50);
    QVERIFY(watcher.seen().isEmpty());
    QCOMPARE(frame.count(), 0);
}

void TestChoice::storedVersionAsksBeforePairing()
{
    QVERIFY(simtest::loadScenario("[Receiver1]\nClass=4\nMouse=\n"));
    rescan();
    // The unmatched receiver names no group, so its version key has no MID.
    QVERIFY(Registry::SetValue(Registry::DriveTestKey(), "MouseVer33", "v1.5"));
    {
        ModalDriver cancel;
        m_page->OpenTile(0);
        QCOMPARE(cancel.seen(), QStringList{"RePair"});
    }
    ModalDriver confirm([](QWidget* dialog) {
        if (auto* ok = dialog->findChild<QToolButton*>("OK"))
            QTest::mouseClick(ok, Qt::LeftButton);
        else
            dialog->close();
    });
    m_page->OpenTile(0);
    QCOMPARE(confirm.seen(), (QStringList{"RePair", "Match"}));
    QCOMPARE(PairRequested.load(), quint8(1));
    Registry::Remove(Registry::DriveTestKey(), "MouseVer33");
}

void TestChoice::twoReceiverCaseChecksFirmware_data()
{
    QTest::addColumn<QString>("seenVersion");
    QTest::addColumn<bool>("mouseImage");
    QTest::addColumn<bool>("receiverImage");
    QTest::addColumn<QStringList>("dialogs");
    QTest::addColumn<bool>("opens");
    QTest::newRow("never seen: pairing") << QString() << true << true << QStringList{"Match"} << false;
    QTest::newRow("both images: question") << "v1.5" << true << true << QStringList{"RePair"} << false;
    QTest::newRow("no image: question") << "v1.5" << false << false << QStringList{"RePair"} << false;
    QTest::newRow("mouse image only: notice") << "v1.5" << true << false << QStringList{"UpDateWarning"} << false;
    QTest::newRow("receiver image only: opens") << "v1.5" << false << true << QStringList{} << true;
}

void TestChoice::twoReceiverCaseChecksFirmware()
{
    QFETCH(QString, seenVersion);
    QFETCH(bool, mouseImage);
    QFETCH(bool, receiverImage);
    QFETCH(QStringList, dialogs);
    QFETCH(bool, opens);
    const QString bin = m_appDir + "/bin";
    if (mouseImage)
        QVERIFY(choicetest::writeFirmwareImage(bin, "mouse.bin", 210, 33, 1, "R430K_M", 0x0107));
    if (receiverImage)
        QVERIFY(choicetest::writeFirmwareImage(bin, "rx4.bin", 211, 33, 1, "R430K_D4K", 0x0104));
    if (seenVersion.isEmpty())
        Registry::Remove(Registry::DriveTestKey(), "MouseVer331");
    else
        QVERIFY(Registry::SetValue(Registry::DriveTestKey(), "MouseVer331", seenVersion));
    // Two receivers of one model: the class-4 one has lost its mouse.
    QVERIFY(simtest::loadScenario("[Mouse1]\nModel=1\nAwake=false\n[Mouse2]\nModel=1\nAwake=true\n"
                                     "[Receiver1]\nClass=4\nMouse=Mouse1\n[Receiver2]\nClass=2\nMouse=Mouse2\n"));
    rescan();
    QCOMPARE(TileDeviceList.size(), 2);
    const int asleep = TileDeviceList[0].DevicePath == simPath("Receiver1") ? 0 : 1;
    QSignalSpy frame(PostMsg::instance(), &PostMsg::SigChangeMainDialog);
    ModalDriver watcher;
    m_page->OpenTile(asleep);
    QCOMPARE(watcher.seen(), dialogs);
    QCOMPARE(frame.count(), opens ? 1 : 0);
    Registry::Remove(Registry::DriveTestKey(), "MouseVer331");
}

void TestChoice::enterOpensRepairOnlyWhenShown()
{
    auto repair = std::make_unique<UpDateRepair>();
    UpdateRepairDialog = repair.get();
    // Also when a check fails early: the next test's page must not reach a dialog that went.
    const auto forget = qScopeGuard([] { UpdateRepairDialog = nullptr; });
    auto* button = CHILD(QPushButton, m_page, "Repair");
    QVERIFY(button->isHidden());
    m_page->SlotEnterKey();
    QVERIFY(!repair->isVisible());

    QSignalSpy check(PostMsg::instance(), &PostMsg::SigRepairCheckUpdate);
    PostMsg::instance()->EmitUpDateButton(false);
    QVERIFY(!button->isHidden());
    QCOMPARE(CHILD(QLabel, m_page, "label_2")->text(), RepairDeviceText);
    PostMsg::instance()->EmitEnterKey();
    QVERIFY(repair->isVisible());
    QVERIFY(repair->isModal());
    QCOMPARE(check.count(), 1);
    // A rescan asks again, but not while the dialog writes firmware.
    rescan();
    QCOMPARE(check.count(), 2);
    RepairUpgrading = 1;
    rescan();
    RepairUpgrading = 0;
    QCOMPARE(check.count(), 2);
    // Told that an update could not start, the dialog keeps saying so through the rescan that
    // follows, though a record stands that its check would answer.
    QVERIFY(Registry::SetValue(Registry::DriveTestKey(), QStringLiteral("UpdateFailInfo"), QStringLiteral("211,4,33,1")));
    repair->ShowNotRecorded();
    const QString notRecorded = CHILD(QLabel, repair, "ToolText_2")->text();
    rescan();
    Registry::Remove(Registry::DriveTestKey(), QStringLiteral("UpdateFailInfo"));
    QCOMPARE(check.count(), 3);
    QCOMPARE(CHILD(QLabel, repair, "ToolText_2")->text(), notRecorded);
    repair->hide();

    // The notice panel takes Enter first.
    CHILD(QFrame, m_page, "FindVer")->show();
    m_page->SlotEnterKey();
    QVERIFY(CHILD(QFrame, m_page, "FindVer")->isHidden());
    QVERIFY(!repair->isVisible());
    PostMsg::instance()->EmitUpDateButton(true);
    QVERIFY(button->isHidden());
    QCOMPARE(CHILD(QLabel, m_page, "label_2")->text(), NoDeviceText);
}

void TestChoice::choosingATileOpensTheDevice()
{
    auto worker = std::make_unique<Worker>();
    WorkerInstance = worker.get();
    QVERIFY(simtest::loadScenario(""));
    rescan();
    QCOMPARE(TileDeviceList.size(), 1);
    const QString path = simPath("Receiver1");
    QStringList order;
    PostMsg* bus = PostMsg::instance();
    connect(bus, &PostMsg::SigSetver, this, [&](int i) { order << QString("Setver(%1)").arg(i); });
    connect(bus, &PostMsg::SigMouseIndex, this, [&](int i) { order << QString("MouseIndex(%1)").arg(i); });
    connect(bus, &PostMsg::SigSelectMouseInfo, this, [&](DeviceAllInfo d) { order << "SelectMouseInfo:" + d.DevicePath; });
    connect(bus, &PostMsg::SigLabelTextB, this, [&](QString a, QString) { order << "LabelTextB:" + a; });
    connect(bus, &PostMsg::SigChangeMainDialog, this, [&](int i) { order << QString("ChangeMainDialog(%1)").arg(i); });
    SimControl_ClearCallLog();
    m_page->OpenTile(0);
    disconnect(bus, nullptr, this, nullptr);
    QCOMPARE(order, (QStringList{"Setver(6)", "MouseIndex(0)", "SelectMouseInfo:" + path, "LabelTextB:v1.3",
                                 "ChangeMainDialog(1)"}));
    QCOMPARE(MainPageIndex.load(), 1);
    QCOMPARE(CurrentDeviceInfoCopy().DevicePath, path);
    QVERIFY(worker->wait(10000));
    QByteArray log(1 << 16, '\0');
    log.truncate(SimControl_CallLog(log.data(), log.size()));
    QVERIFY2(log.contains("UsbServer_ReadAllFlashData"), log.constData());
    QVERIFY(log.contains(path.toLatin1()));
    // While the frame shows, hot-plug belongs to the worker: the page keeps its tiles.
    m_page->Rescan();
    QCOMPARE(TileDeviceList.size(), 1);
    worker->Shutdown(5000);
    WorkerInstance = nullptr;
}

void TestChoice::languageChoiceSpreadsAndIsKept()
{
    QSignalSpy same(PostMsg::instance(), &PostMsg::SigLanguageSameB);
    QSignalSpy change(PostMsg::instance(), &PostMsg::SigChangeLanguage);
    m_page->on_comboBox_activated(3);
    QCOMPARE(change.count(), 1);
    QCOMPARE(same.count(), 1);
    QCOMPARE(same.at(0).at(0).toInt(), 3);
    QVERIFY(!CHILD(QLabel, m_page, "label_3")->text().isEmpty());
    QVERIFY(CHILD(QLabel, m_page, "label_3")->text() != QStringLiteral("点击图案进入使用"));
    const QString korean = CHILD(QLabel, m_page, "label_3")->text();
    // A page made later starts in the kept language.
    m_page = std::make_unique<DialogChange>();
    QCOMPARE(CHILD(QLabel, m_page, "label_3")->text(), korean);
    PostMsg::instance()->EmitLanguageSameA(0);
    QCOMPARE(CHILD(QComboBox, m_page, "comboBox")->currentIndex(), 0);
    QCOMPARE(change.count(), 1);
    m_page->on_comboBox_activated(0);

    // Nothing can be stored (a full disk): each choice is told, in the language just chosen,
    // and the box shows what is kept.
    auto* noAgain = CHILD(QCheckBox, m_page, "NoApear");
    QStringList notices;
    {
        hostile::FullDisk full;
        modaltest::ModalDriver driver(modaltest::keepNoticeText(&notices));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^cannot write: ")));
        m_page->on_comboBox_activated(5);
        noAgain->setChecked(true);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^cannot write: ")));
        m_page->on_NoApear_clicked(true);
    }
    QCOMPARE(notices, QStringList({QStringLiteral("MakeMacro: 言語の選択を保存できませんでした。プログラムを閉じるまでのみ有効です"),
                                   QStringLiteral("MakeMacro: この選択を保存できませんでした")}));
    QVERIFY(!noAgain->isChecked());
    QCOMPARE(MacroIni(MacroIni::Instance()->FilePath()).LanguageIndex(), 0);
    m_page->on_comboBox_activated(0);
}

// However the language changed, the list shows it when the page is seen again, and following it
// announces nothing.
void TestChoice::listFollowsALanguageChangeFromAnywhere_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<bool>("sameA");  // the settings page's list also sends its own follow-up
    QTest::addColumn<int>("shown");
    QTest::newRow("settings page list") << 4 << true << 4;
    QTest::newRow("language change alone") << 5 << false << 5;
    QTest::newRow("no such language: English") << 9 << false << 0;
}

void TestChoice::listFollowsALanguageChangeFromAnywhere()
{
    QFETCH(int, language);
    QFETCH(bool, sameA);
    QFETCH(int, shown);
    const auto english = qScopeGuard([] { PostMsg::instance()->EmitChangeLanguage(0); });
    auto* list = CHILD(QComboBox, m_page, "comboBox");
    QSignalSpy changes(PostMsg::instance(), &PostMsg::SigChangeLanguage);
    QSignalSpy sameB(PostMsg::instance(), &PostMsg::SigLanguageSameB);
    PostMsg::instance()->EmitChangeLanguage(language);
    if (sameA)
        PostMsg::instance()->EmitLanguageSameA(language);
    QCOMPARE(list->currentIndex(), shown);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(sameB.count(), 0);
}

QTEST_MAIN(TestChoice)
#include "tst_choice.moc"

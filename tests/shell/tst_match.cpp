#include "support/choice_helpers.h"
#include "support/sim_helpers.h"

#include "core/ConfigIni.h"
#include "core/PostMsg.h"
#include "core/DeviceScan.h"
#include "core/ProcessState.h"
#include "core/Worker.h"
#include "devicelib/HIDUsb.h"
#include "devicelib/SimControl.h"
#include "shell/DialogChange.h"
#include "shell/pairing/Match.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTextEdit>
#include <QToolButton>

#include <memory>

namespace {

DeviceAllInfo receiverRecord(const char* name, const char* pid)
{
    DeviceAllInfo d;
    d.DevicePath = QString::fromLatin1(SimControl_DevicePath(name));
    d.Vid = ConfigIni::GetInstance()->GetValue("Option", "VID");
    d.Pid = QString::fromLatin1(pid);
    d.SetDeviceKind(1);
    return d;
}

void report(unsigned char type, std::initializer_list<unsigned char> data, int headerLen = 8)
{
    unsigned char header[8] = {0x08, type, 0, 0, 0, 0, 0, 0};
    header[5] = static_cast<unsigned char>(data.size());
    Match::OnPairReport(header, headerLen, data.begin(), int(data.size()));
}

QString callLog()
{
    QByteArray log(1 << 16, '\0');
    log.truncate(SimControl_CallLog(log.data(), log.size()));
    return QString::fromLatin1(log);
}

} // namespace

class TestMatch : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void onlyPairStatusResultsCount();
    void successLocksTheButton();
    void vanishingReceiverFailsAndRestoresTheFrame();
    void missingDeviceEndsPairingOnTheNextCheck();
    void cableDeviceCannotPair();
    void textAnimationCycles();
    void closingFromTheChoicePageRescansIt();

private:
    std::unique_ptr<Match> makeMatch(const DeviceAllInfo& device);
    QToolButton* button(Match* match) { return match->findChild<QToolButton*>("MatchButton"); }
};

void TestMatch::init()
{
    RegisterBusTypes();
    core::resetDeviceLinkState();
    PairingActive = 0;
    PairState = 0;
    RestoreMainPage = 0;
    PairRequested = 0;
    StoreCurrentDeviceInfo(DeviceAllInfo());
    QVERIFY(simtest::loadScenario(""));
    QVERIFY(SimControl_WaitIdle(5000));
}

void TestMatch::cleanup()
{
    PairingActive = 0;
    UsbServer_Exit();
}

std::unique_ptr<Match> TestMatch::makeMatch(const DeviceAllInfo& device)
{
    PairRequested = 1;
    PairDeviceInfo = device;
    auto match = std::make_unique<Match>();
    match->InitPairInfo();
    match->show();
    return match;
}

void TestMatch::onlyPairStatusResultsCount()
{
    auto match = makeMatch(receiverRecord("Receiver1", "0x4141"));
    QVERIFY(match->PairAllowed());
    QCOMPARE(button(match.get())->text(), QString("Pair"));
    QTest::mouseClick(button(match.get()), Qt::LeftButton);
    QCOMPARE(PairState.load(), 1);
    QCOMPARE(PairingActive.load(), quint8(1));
    report(6, {1});
    report(6, {3}, 1);      // header too short to carry a type
    report(4, {3});         // a battery report
    report(6, {});
    QCOMPARE(PairState.load(), 1);
    QCOMPARE(PairingActive.load(), quint8(1));
    // The pairing was started from the choice page: the frame mark stays down.
    report(6, {2});
    QCOMPARE(PairState.load(), 3);
    QCOMPARE(PairingActive.load(), quint8(0));
    QCOMPARE(MainPageIndex.load(), 0);
    QTRY_COMPARE(button(match.get())->text(), QString("Pairing failed"));
    QVERIFY(button(match.get())->isEnabled());
}

void TestMatch::successLocksTheButton()
{
    auto match = makeMatch(receiverRecord("Receiver1", "0x4141"));
    QTest::mouseClick(button(match.get()), Qt::LeftButton);
    report(6, {3});
    QCOMPARE(PairState.load(), 2);
    QTRY_VERIFY(!button(match.get())->isEnabled());
    QCOMPARE(button(match.get())->text(), QString("Paired"));
    SimControl_ClearCallLog();
    match->on_MatchButton_clicked();
    QCOMPARE(PairState.load(), 2);
    QVERIFY(!callLog().contains("EnterDonglePair"));
    QTest::qWait(250);
    QVERIFY(!button(match.get())->isEnabled());
}

void TestMatch::vanishingReceiverFailsAndRestoresTheFrame()
{
    auto worker = std::make_unique<Worker>();
    WorkerInstance = worker.get();
    const DeviceAllInfo receiver = receiverRecord("Receiver1", "0x4141");
    StoreCurrentDeviceInfo(receiver);
    MainPageIndex = 1;
    core::setHotPlugPage(core::HotPlugOwner::Worker);  // the frame shows
    auto match = std::make_unique<Match>();
    match->InitPairInfo();
    match->show();
    QCOMPARE(match->PairDevice().DevicePath, receiver.DevicePath);
    QTest::mouseClick(button(match.get()), Qt::LeftButton);
    QCOMPARE(MainPageIndex.load(), 0);
    QCOMPARE(RestoreMainPage.load(), quint8(1));
    QVERIFY(SimControl_Plug("Receiver1", false));
    QTRY_COMPARE_WITH_TIMEOUT(PairState.load(), 3, 5000);
    QCOMPARE(PairingActive.load(), quint8(0));
    QCOMPARE(MainPageIndex.load(), 1);
    QCOMPARE(RestoreMainPage.load(), quint8(0));
    QTRY_COMPARE(button(match.get())->text(), QString("Pairing failed"));

    // Closed, hot-plug goes back to the worker, whose rescan announces itself.
    QSignalSpy setver(PostMsg::instance(), &PostMsg::SigSetver);
    QTest::mouseClick(match->findChild<QToolButton*>("CloseButton"), Qt::LeftButton);
    QVERIFY(!match->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!setver.isEmpty(), 5000);
    QCOMPARE(setver.first().at(0).toInt(), 4);
    worker->Shutdown(5000);
    WorkerInstance = nullptr;
    StopUsbChanged();
    core::setHotPlugPage(core::HotPlugOwner::ChoicePage);
}

void TestMatch::missingDeviceEndsPairingOnTheNextCheck()
{
    // A receiver the bus no longer lists sends no result of its own.
    DeviceAllInfo gone = receiverRecord("Receiver1", "0x4141");
    gone.DevicePath = "sim:gone";
    auto match = makeMatch(gone);
    PairingActive = 1;
    PairState = 1;
    RestoreMainPage = 1;
    MainPageIndex = 0;
    match->onPairTimeupDestroy();
    QCOMPARE(PairState.load(), 3);
    QCOMPARE(PairingActive.load(), quint8(0));
    QCOMPARE(MainPageIndex.load(), 1);
    QCOMPARE(button(match.get())->text(), QString("Pairing failed"));
    // The device is on the bus: a running pairing goes on.
    MainPageIndex = 0;
    auto present = makeMatch(receiverRecord("Receiver1", "0x4141"));
    PairingActive = 1;
    PairState = 1;
    present->onPairTimeupDestroy();
    QCOMPARE(PairState.load(), 1);
    QCOMPARE(PairingActive.load(), quint8(1));
}

void TestMatch::cableDeviceCannotPair()
{
    DeviceAllInfo cable = receiverRecord("Mouse1", "0x4101");
    cable.SetDeviceKind(2);
    auto match = makeMatch(cable);
    QVERIFY(!match->PairAllowed());
    QVERIFY(!match->findChild<QLabel*>("label")->isHidden());
    QVERIFY(match->findChild<QTextEdit*>("textEdit")->isHidden());
    QVERIFY(!button(match.get())->isEnabled());
    match->on_MatchButton_clicked();
    QCOMPARE(PairState.load(), 0);

    // Nothing chosen and nothing on the page: nothing to pair with.
    PairRequested = 0;
    TileDeviceList.clear();
    Match empty;
    empty.InitPairInfo();
    QVERIFY(!empty.PairAllowed());
    empty.on_MatchButton_clicked();
    QCOMPARE(PairingActive.load(), quint8(0));
}

void TestMatch::textAnimationCycles()
{
    auto match = makeMatch(receiverRecord("Receiver1", "0x4141"));
    QStringList texts;
    for (int tick = 0; tick < 6; ++tick) {
        match->onTextTimeupDestroy();
        texts << button(match.get())->text();
    }
    QCOMPARE(texts, (QStringList{"Pairing", "Pairing.", "Pairing..", "Pairing...", "Pairing...", "Pairing"}));
    QCOMPARE(PairTextStep.load(), 1);
}

void TestMatch::closingFromTheChoicePageRescansIt()
{
    DialogChange page;
    QTRY_COMPARE_WITH_TIMEOUT(TileDeviceList.size(), 1, 5000);
    // The frame held hot-plug for a moment and let it go; the choice page's
    // own calls are all done, so only the pairing dialog can give it back.
    QVERIFY(simtest::hotPlugBarrier(50));
    TileDeviceList.clear();
    auto match = makeMatch(receiverRecord("Receiver1", "0x4141"));
    QTest::keyClick(match.get(), Qt::Key_Escape);
    QVERIFY(!match->isVisible());
    QTRY_COMPARE_WITH_TIMEOUT(TileDeviceList.size(), 1, 5000);
    StopUsbChanged();
}

QTEST_MAIN(TestMatch)
#include "tst_match.moc"

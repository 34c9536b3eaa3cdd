// The settings page on the simulated receiver: its rows follow the device,
// device data make it write only the long-range mode back, and its texts,
// auto-start box, mouse-settings link and new-firmware notice behave.
#include "core/DeviceAllInfo.h"
#include "core/DeviceReport.h"
#include "core/DeviceScan.h"
#include "core/MacroIni.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "devicelib/HIDUsb.h"
#include "dialogs/UpDateWarning.h"
#include "settings/FindNewVer.h"
#include "settings/FormSetting.h"
#include "settings/SettingLogic.h"
#include "support/full_disk.h"
#include "support/link_helpers.h"
#include "support/modal_helpers.h"
#include "support/sim_helpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

namespace {

template <typename T>
T* child(const QWidget* root, const char* name)
{
    T* found = root->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("%s has no child %s", qPrintable(root->objectName()), name);
    return found;
}

int calls(const char* name)
{
    linktest::waitSimIdle();
    return simtest::countCalls(simtest::callLog(), QLatin1String(name));
}

void setKind(quint8 kind)
{
    DeviceAllInfo info = CurrentDeviceInfoCopy();
    info.SetDeviceKind(kind);
    StoreCurrentDeviceInfo(info);
}

QString autoStartValue()
{
    return MacroIni::Instance()->GetValue(QStringLiteral("AutoStart"), QStringLiteral("Enable"));
}

} // namespace

class TestSettingsPage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { RegisterBusTypes(); }
    void init()
    {
        m_pages = linktest::openFreshDefaultMouse();
        QVERIFY(m_pages);
        DeviceWriteReady = 1;
        page()->show();
    }
    void cleanup() { m_pages.reset(); }

    void rowsFollowTheDevice();
    void receiverLightStaysOffered_data();
    void receiverLightStaysOffered();
    void deviceDataEchoOnlyTheLongRangeMode();
    void userTogglesWrite();
    void textsAndPlacement_data();
    void textsAndPlacement();
    void autoStartReflectsTheEntry();
    void missingMouseSettingsToolIsTold();
    void newFirmwareNotice();
    void languageListStoresAndAnnounces();
    void pairingGivesHotPlugBackToTheWorker();

private:
    FormSetting* page() const { return m_pages->settings.get(); }
    std::unique_ptr<linktest::LinkPages> m_pages;
};

void TestSettingsPage::rowsFollowTheDevice()
{
    QCOMPARE(int(CurrentDeviceInfoCopy().DeviceKind), 1);
    auto* longRange = child<QCheckBox>(page(), "checkBox_2");
    auto* lightBox = child<QCheckBox>(page(), "ReUntil_2");
    auto* web = child<QPushButton>(page(), "pushButton_3");
    auto* company = child<QPushButton>(page(), "pushButton_4");
    // From a reset on: the receiver has not reported its light since.
    QVERIFY(linktest::runOffGuiThread([] {
        PostMsg::instance()->EmitFormReset();
        PostMsg::instance()->EmitForm();
    }));
    QVERIFY(longRange->isVisible());
    QVERIFY(!lightBox->isVisible());
    QCOMPARE(page()->ContentHeight(), 710);
    QCOMPARE(web->pos(), QPoint(610, 620));

    DongleRGB rgb{2, {}};
    QVERIFY(linktest::runOffGuiThread([&rgb] { PostMsg::instance()->EmitRGBValue(&rgb); }));
    QVERIFY(lightBox->isVisible());
    QVERIFY(lightBox->isChecked());
    QCOMPARE(page()->ContentHeight(), 860);
    QCOMPARE(web->pos(), QPoint(610, 790));
    QCOMPARE(company->pos(), QPoint(490, 810));

    // The pinned driver version stays 10 px below its place in the view.
    auto* version = child<QLabel>(page(), "label");
    const int top = version->y();
    QScrollBar* bar = child<QScrollArea>(page(), "scrollArea")->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() >= 80);
    bar->setValue(80);
    QCOMPARE(version->y(), top + 90);

    // A reset hides the rows; a receiver of another kind shows no light rows.
    QVERIFY(linktest::runOffGuiThread([] { PostMsg::instance()->EmitFormReset(); }));
    QVERIFY(!longRange->isVisible());
    QCOMPARE(page()->ContentHeight(), 630);
    QCOMPARE(web->pos(), QPoint(610, 540));
    setKind(4);
    rgb.Mode = 3;
    QVERIFY(linktest::runOffGuiThread([&rgb] { PostMsg::instance()->EmitRGBValue(&rgb); }));
    QVERIFY(!lightBox->isVisible());
    QVERIFY(!child<QCheckBox>(page(), "ReUntil_3")->isChecked());
    QCOMPARE(page()->ContentHeight(), 630);

    PostMsg::instance()->EmitLightToFrom(600);
    QCOMPARE(page()->SleepSeconds(), 600);
    PostMsg::instance()->EmitLightToFrom(120);
    QCOMPARE(page()->SleepSeconds(), 600);
}

void TestSettingsPage::receiverLightStaysOffered_data()
{
    QTest::addColumn<QString>("then");
    QTest::addColumn<bool>("shown");
    QTest::newRow("read") << "" << true;
    QTest::newRow("import") << "import" << true;
    QTest::newRow("reset") << "reset" << false;
    QTest::newRow("another connection") << "reconnect" << false;
    QTest::newRow("receiver of another kind") << "kind 4" << false;
}

void TestSettingsPage::receiverLightStaysOffered()
{
    QFETCH(QString, then);
    QFETCH(bool, shown);
    // Reading the mouse, the receiver reported its light (mode 1) before the
    // layout for the device came.
    QCOMPARE(page()->FormCount(), 1);
    QVERIFY(child<QCheckBox>(page(), "ReUntil")->isChecked());
    if (then == QLatin1String("import")) {
        PostMsg::instance()->EmitFormB();
    } else if (!then.isEmpty()) {
        if (then == QLatin1String("reconnect"))
            core::beginLinkGeneration();
        if (then == QLatin1String("kind 4"))
            setKind(4);
        QVERIFY(linktest::runOffGuiThread([then] {
            if (then == QLatin1String("reset"))
                PostMsg::instance()->EmitFormReset();
            PostMsg::instance()->EmitForm();
        }));
    }
    QCOMPARE(child<QCheckBox>(page(), "ReUntil_3")->isVisible(), shown);
    QCOMPARE(child<QLabel>(page(), "label_14")->isVisible(), shown);
    QCOMPARE(page()->ContentHeight(), shown ? 860 : 710);
    QCOMPARE(child<QPushButton>(page(), "pushButton_4")->y(), shown ? 810 : 640);
    QCOMPARE(calls("UsbFinderC_Set4KDongleRGB"), 0);
}

void TestSettingsPage::deviceDataEchoOnlyTheLongRangeMode()
{
    QSignalSpy offline(PostMsg::instance(), &PostMsg::SigMouseOffLineo);
    const QString call = QStringLiteral("UsbFinderC_SetLongRangeMode(") + QString::fromStdString(CurrentDevicePath());
    const auto longRangeCalls = [] {
        linktest::waitSimIdle();
        return simtest::callsStartingWith(simtest::callLog(), {QStringLiteral("UsbFinderC_SetLongRangeMode")});
    };
    // The reported mode goes back to the receiver once, when the box changes.
    QVERIFY(linktest::runOffGuiThread([] {
        PostMsg::instance()->EmitForm();
        PostMsg::instance()->EmitLongRangeMode(true);
        PostMsg::instance()->EmitLongRangeMode(true);
    }));
    QVERIFY(child<QCheckBox>(page(), "checkBox_2")->isChecked());
    QCOMPARE(longRangeCalls(), QStringList{call + ", 1)"});
    DongleRGB rgb{1, {}};
    QVERIFY(linktest::runOffGuiThread([&rgb] {
        PostMsg::instance()->EmitRGBValue(&rgb);
        PostMsg::instance()->EmitFormReset();
    }));
    QVERIFY(!child<QCheckBox>(page(), "checkBox_2")->isChecked());
    QCOMPARE(longRangeCalls(), (QStringList{call + ", 1)", call + ", 0)"}));
    QCOMPARE(calls("UsbFinderC_Set4KDongleRGB"), 0);
    QCOMPARE(offline.count(), 0);
}

void TestSettingsPage::userTogglesWrite()
{
    QVERIFY(linktest::runOffGuiThread([] { PostMsg::instance()->EmitForm(); }));
    DongleRGB rgb{1, {}};
    QVERIFY(linktest::runOffGuiThread([&rgb] { PostMsg::instance()->EmitRGBValue(&rgb); }));
    QSignalSpy offline(PostMsg::instance(), &PostMsg::SigMouseOffLineo);

    DongleRGBBuffer()->Mode = 0;
    child<QCheckBox>(page(), "ReUntil_3")->click();
    QCOMPARE(calls("UsbFinderC_Set4KDongleRGB"), 1);
    QCOMPARE(int(DongleRGBBuffer()->Mode), 3);
    QVERIFY(!child<QCheckBox>(page(), "ReUntil")->isChecked());

    auto* longRange = child<QCheckBox>(page(), "checkBox_2");
    DeviceWriteReady = 0;
    longRange->click();
    QCOMPARE(calls("UsbFinderC_SetLongRangeMode"), 0);
    DeviceWriteReady = 1;
    longRange->click();
    QCOMPARE(calls("UsbFinderC_SetLongRangeMode"), 1);
    QCOMPARE(offline.count(), 0);
}

void TestSettingsPage::textsAndPlacement_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QPoint>("update");
    QTest::addColumn<int>("valueX");
    QTest::addColumn<int>("points");
    QTest::addColumn<QString>("heading");
    QTest::newRow("Traditional") << 2 << QPoint(330, 170) << 150 << 10 << QString::fromUtf8("語言");
    QTest::newRow("unknown reads English") << 7 << QPoint(285, 155) << 235 << 10 << "Language";
    QTest::newRow("Japanese") << 5 << QPoint(123, 45) << 280 << 7 << QString::fromUtf8("言語");
}

void TestSettingsPage::textsAndPlacement()
{
    QFETCH(int, index);
    QFETCH(QPoint, update);
    auto* button = child<QToolButton>(page(), "Receive_2");
    button->move(123, 45);
    page()->SlotChangeLanguage(index);
    QCOMPARE(button->pos(), update);
    QTEST(child<QLabel>(page(), "label_5")->x(), "valueX");
    QTEST(button->font().pointSize(), "points");
    QTEST(child<QLabel>(page(), "label_2")->text(), "heading");
    // The company line is the maker's name, the same in every language.
    QCOMPARE(child<QPushButton>(page(), "pushButton_4")->text(), QStringLiteral("TALVO"));
    QVERIFY(!WiredModeText.isEmpty());
}

void TestSettingsPage::autoStartReflectsTheEntry()
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    auto* box = child<QCheckBox>(page(), "checkBox");
    QVERIFY(!box->isChecked());
    box->click();
    QVERIFY(box->isChecked());
    QVERIFY(settings::autostartEntryExists());
    QCOMPARE(autoStartValue(), QStringLiteral("1"));
    box->click();
    QVERIFY(!settings::autostartEntryExists());
    QCOMPARE(autoStartValue(), QStringLiteral("0"));

    // No place for the entry: the box goes back and the ini keeps its value.
    QTemporaryDir blocked;
    QFile blocker(blocked.path() + QStringLiteral("/autostart"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_CONFIG_HOME", blocked.path().toUtf8());
    const QString told = QStringLiteral("MakeMacro: The start-up choice could not be saved; it stays as it was");
    QStringList texts;
    {
        modaltest::ModalDriver driver(modaltest::keepNoticeText(&texts));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("start with the session not changed")));
        box->click();
    }
    QCOMPARE(texts, QStringList{told});
    QVERIFY(!box->isChecked());
    QCOMPARE(autoStartValue(), QStringLiteral("0"));

    // The entry is made but the choice cannot be stored (no room for the larger store): the
    // entry is taken back.
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    QVERIFY(MacroIni::Instance()->SetValue(QStringLiteral("Test"), QStringLiteral("Padding"), QString(4096, 'p')));
    {
        hostile::FullDisk full(2048);
        modaltest::ModalDriver driver([&](QWidget* modal) {
            full.release();
            modaltest::keepNoticeText(&texts)(modal);
        });
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^cannot write: ")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("start with the session not changed")));
        box->click();
    }
    QCOMPARE(texts, QStringList({told, told}));
    QVERIFY(!box->isChecked());
    QVERIFY(!settings::autostartEntryExists());
    QCOMPARE(autoStartValue(), QStringLiteral("0"));
    QVERIFY(MacroIni::Instance()->RemoveValue(QStringLiteral("Test"), QStringLiteral("Padding")));

    // A stale "1" without the entry does not check the box of a new page.
    MacroIni::Instance()->SetValue(QStringLiteral("AutoStart"), QStringLiteral("Enable"), QStringLiteral("1"));
    FormSetting fresh;
    QVERIFY(!child<QCheckBox>(&fresh, "checkBox")->isChecked());
    qunsetenv("XDG_CONFIG_HOME");
}

void TestSettingsPage::missingMouseSettingsToolIsTold()
{
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", "");
    child<QPushButton>(page(), "pushButton")->click();
    qputenv("PATH", path);
    UpDateWarning* notice = page()->WarningDialog();
    QTRY_VERIFY(notice->isVisible());
    QCOMPARE(notice->label()->text(), QStringLiteral("No mouse settings tool of the desktop was found."));
    notice->close();
}

void TestSettingsPage::newFirmwareNotice()
{
    FindNewVer notice;
    QCOMPARE(notice.label()->text(), QStringLiteral("New firmware found. Please update!"));
    QCOMPARE(notice.noAppearBox()->text(), QStringLiteral("Do not show again"));
    QCOMPARE(notice.size(), QSize(300, 140));
    notice.show();
    notice.noAppearBox()->setChecked(true);
    notice.okButton()->click();
    QTRY_VERIFY(!notice.isVisible());
    QVERIFY(MacroIni::Instance()->GetValue(QStringLiteral("FindNew"), QStringLiteral("IsShow")).isEmpty());
}

void TestSettingsPage::languageListStoresAndAnnounces()
{
    const auto english = qScopeGuard([] {
        MacroIni::Instance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), QStringLiteral("0"));
    });
    auto* list = child<QComboBox>(page(), "comboBox");
    list->setCurrentIndex(0);
    QSignalSpy changed(PostMsg::instance(), &PostMsg::SigChangeLanguage);
    QSignalSpy others(PostMsg::instance(), &PostMsg::SigLanguageSameA);
    QTest::keyClick(list, Qt::Key_Down);  // the user picks the next language
    QCOMPARE(list->currentIndex(), 1);
    QCOMPARE(MacroIni::Instance()->GetValue(QStringLiteral("Language"), QStringLiteral("Language")), QStringLiteral("1"));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toInt(), 1);
    QCOMPARE(others.count(), 1);
    QCOMPARE(others.at(0).at(0).toInt(), 1);

    // A full disk: the language applies for this run, and the user is told it was not kept.
    QStringList texts;
    {
        hostile::FullDisk full;
        modaltest::ModalDriver driver([&](QWidget* modal) {
            full.release();
            modaltest::keepNoticeText(&texts)(modal);
        });
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^cannot write: ")));
        QTest::keyClick(list, Qt::Key_Down);
    }
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(1).at(0).toInt(), 2);
    QCOMPARE(texts, QStringList{QStringLiteral("MakeMacro: 無法儲存語言選擇，該選擇僅在本次執行期間有效")});
    QCOMPARE(MacroIni(MacroIni::Instance()->FilePath()).LanguageIndex(), 1);
    QCOMPARE(MacroIni::Instance()->LanguageIndex(), 2);
}

void TestSettingsPage::pairingGivesHotPlugBackToTheWorker()
{
    StopUsbChanged();
    core::setHotPlugPage(core::HotPlugOwner::Worker);  // the settings page shows in the frame
    QSignalSpy rescans(PostMsg::instance(), &PostMsg::SigSetver);
    modaltest::ModalDriver driver;  // the pairing dialog is closed at once
    child<QPushButton>(page(), "pushButton_2")->click();
    QCOMPARE(driver.seen(), QStringList{"Match"});
    // The worker's own rescan announces itself once its hot-plug call comes.
    QTRY_VERIFY_WITH_TIMEOUT(!rescans.isEmpty(), 5000);
    QCOMPARE(rescans.first().at(0).toInt(), 4);
    StopUsbChanged();
    core::setHotPlugPage(core::HotPlugOwner::ChoicePage);
}

QTEST_MAIN(TestSettingsPage)
#include "tst_settingspage.moc"

#include "buttons/ButtonForm.h"
#include "buttons/ButtonLabels.h"
#include "buttons/Buttoninterface.h"
#include "core/DeviceInfoFile.h"
#include "core/DeviceParam.h"
#include "core/MacroIni.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Worker.h"
#include "devicelib/SimControl.h"
#include "sensor/DebounceTime.h"
#include "shell/common/MyConmboBox.h"
#include "shell/common/MyToolButton.h"
#include "support/link_helpers.h"
#include "support/modal_helpers.h"
#include "support/sim_helpers.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

QString textOf(const Buttoninterface& page, const char* name)
{
    return page.form()->button(name)->text();
}

void setLanguage(int index)
{
    MacroIni::Instance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), QString::number(index));
}

} // namespace

class TestButtonPage : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void formWidgets_data();
    void formWidgets();
    void startState();
    void languageFontsAndTips();
    void firstLabelsNameTheFactoryFunctions_data();
    void firstLabelsNameTheFactoryFunctions();
    void languageKeepsConfigurations_data();
    void languageKeepsConfigurations();
    void deviceDataAndLabels();
    void languageRelabelsOnlyFromAFilledImage_data();
    void languageRelabelsOnlyFromAFilledImage();
    void configReportAndFormReset();
    void configChoiceGoesOutOrIsTakenBack_data();
    void configChoiceGoesOutOrIsTakenBack();
    void resetAsksThenRestoresFactory_data();
    void resetAsksThenRestoresFactory();
};

void TestButtonPage::cleanup()
{
    setLanguage(0);
}

void TestButtonPage::formWidgets_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("cls");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("checkable");
    QTest::addColumn<QString>("text");
    QTest::newRow("number") << "Number4" << "QToolButton" << QSize(38, 38) << false << "4";
    QTest::newRow("selector") << "StartPause" << "QToolButton" << QSize(262, 26) << true << "后退键";
    QTest::newRow("fire key") << "DPI_6" << "MyToolButton" << QSize(164, 22) << true << "";
    QTest::newRow("keys") << "DPI_8" << "MyToolButton" << QSize(164, 22) << true << "";
    QTest::newRow("function") << "DPI_12" << "QToolButton" << QSize(164, 22) << true << "多媒体功能";
    QTest::newRow("choice") << "VolumeUp" << "QToolButton" << QSize(174, 22) << true << "静音";
    QTest::newRow("DPI lock value") << "VolumeUp_22" << "QToolButton" << QSize(174, 22) << true << "800";
    QTest::newRow("action") << "OutputData" << "QToolButton" << QSize(90, 26) << false << "导出";
}

void TestButtonPage::formWidgets()
{
    QFETCH(QString, name);
    QFETCH(QString, cls);
    QFETCH(QSize, size);
    QFETCH(bool, checkable);
    QFETCH(QString, text);
    Buttoninterface page;
    page.form()->retranslateUi();
    QToolButton* b = page.form()->button(name.toLatin1().constData());
    QVERIFY(b);
    QCOMPARE(QString::fromLatin1(b->metaObject()->className()), cls);
    QCOMPARE(b->size(), size);
    QCOMPARE(b->isCheckable(), checkable);
    QCOMPARE(b->text(), text);
}

void TestButtonPage::startState()
{
    Buttoninterface page;
    ButtonForm* ui = page.form();
    QVERIFY(ui->button("DPI_3")->isHidden());
    QVERIFY(ui->button("DPI_9")->isHidden());
    QCOMPARE(ui->stackedWidget->currentWidget(), ui->page);
    QCOMPARE(ui->stackedWidget_2->currentWidget(), ui->page_9);
    QStringList pages;
    for (int i = 0; i < ui->stackedWidget_2->count(); ++i)
        pages << ui->stackedWidget_2->widget(i)->objectName();
    QCOMPARE(pages, QStringList({"page_3", "page_5", "page_6", "page_8", "page_9", "page_4", "page_7", "page_10"}));
    QCOMPARE(ui->stackedWidget->widget(1), ui->page_2);
    QCOMPARE(ui->ProjectChoose->count(), 0);
    QVERIFY(page.Types().isEmpty());
}

void TestButtonPage::languageFontsAndTips()
{
    setLanguage(4);
    {
        Buttoninterface page;
        QCOMPARE(page.form()->button("DPI_4")->font().pointSize(), 7);
        QCOMPARE(page.form()->ImportData->toolTip(), QString());
        auto* list = page.form()->DebunceButton->findChild<QComboBox*>(QStringLiteral("Debunce"));
        QVERIFY(list);
        // The last text child names entries 19 and 20, in the language's own unit.
        QCOMPARE(list->itemText(19), QString::fromUtf8("19 мс"));
        QCOMPARE(list->itemText(20), QString::fromUtf8("20 мс"));
    }
    setLanguage(5);
    Buttoninterface page;
    QCOMPARE(page.form()->button("LeftKey_3")->font().pointSize(), 9);
    QVERIFY(!page.form()->OutputData->text().isEmpty());
    QCOMPARE(page.form()->OutputData->toolTip(), page.form()->OutputData->text());
}

void TestButtonPage::firstLabelsNameTheFactoryFunctions_data()
{
    QTest::addColumn<int>("language");
    for (int i = 0; i < 6; ++i)
        QTest::addRow("language %d", i) << i;
}

// Without device data (a sleeping mouse, or one just reset) the selectors keep
// their language texts: those must name what the mouse does from the factory.
void TestButtonPage::firstLabelsNameTheFactoryFunctions()
{
    QFETCH(int, language);
    setLanguage(language);
    Buttoninterface page;
    for (int slot = 0; slot < buttons::kDefaultSlots; ++slot) {
        const ButtonFunctionCode& code = buttons::kDefaultButtons[slot];
        const buttons::LabelRule rule = buttons::labelRule(code.Type, code.Param1);
        QCOMPARE(rule.kind, buttons::LabelKind::Widget);
        QCOMPARE(textOf(page, buttons::selectorOfSlot(slot)), textOf(page, rule.widget));
    }
}

void TestButtonPage::languageKeepsConfigurations_data()
{
    QTest::addColumn<bool>("cached");
    QTest::newRow("cache file") << true;
    QTest::newRow("no cache file") << false;
}

void TestButtonPage::languageKeepsConfigurations()
{
    QFETCH(bool, cached);
    const QString cacheName = DeviceCacheFileName(0x21, 1);
    SetCacheFileName(cacheName);
    QFile::remove(DeviceCachePath(cacheName));
    if (cached)
        QVERIFY(WriteDeviceInfoFile(cacheName, EmptyFlashDataMap()));
    Buttoninterface page;
    MyConmboBox* box = page.form()->ProjectChoose;
    page.SlotUpDataConfigUI(3, 1, true);
    const QString english = box->itemText(2);
    QSignalSpy activated(box, QOverload<int>::of(&QComboBox::activated));
    QSignalSpy changed(box, QOverload<int>::of(&QComboBox::currentIndexChanged));
    setLanguage(1);
    page.SlotChangeLanguage(1);
    QCOMPARE(box->count(), 3);
    QCOMPARE(box->currentIndex(), 1);
    QCOMPARE(box->itemText(2), cached ? QStringLiteral("配置3") : english);
    QCOMPARE(activated.count() + changed.count(), 0);
}

void TestButtonPage::deviceDataAndLabels()
{
    auto pages = linktest::openFreshDefaultMouse();
    QVERIFY(pages);
    Buttoninterface& page = *pages->buttons;
    QCOMPARE(page.Types().size(), 6);
    QCOMPARE(textOf(page, "BackKey"), textOf(page, "MidKey"));
    QCOMPARE(textOf(page, "BackMusic"), textOf(page, "VolumeUp_8"));

    QSignalSpy sleep(PostMsg::instance(), &PostMsg::SigLightToFrom);
    FlashDataMap image = CurrentFlashDataCopy();
    image.SleepTime = 6;
    image.ButtonFunction[1] = {10, 15, 0};
    image.ButtonFunction[3] = {5, 0, 0};
    image.KeyRecords[3] = KeyRecord{};
    image.KeyRecords[3].EventCount = 2;
    image.KeyRecords[3].Events[0] = MakeKeyEvent(0, 2, 0x1B5, 10);
    image.ButtonFunction[4] = {1, 3, 0};
    const QString before = textOf(page, "StartPause");
    page.SlotUpDataButtonUIB(image);
    QCOMPARE(sleep.count(), 1);
    QCOMPARE(sleep.at(0).at(0).toInt(), 60);
    QCOMPARE(page.Params1().at(1), 15);
    QVERIFY(textOf(page, "RightKey").startsWith(textOf(page, "DPI_4") + QLatin1Char('-')));
    QCOMPARE(textOf(page, "TopMusic"), textOf(page, "BackMusic_2"));
    QCOMPARE(textOf(page, "StartPause"), before);

    // Labels follow the language from the image in memory, without a cache
    // file: the language's own selector text must not stand.
    QVERIFY(SetButtonFunction(1, 10, 15, 0));
    setLanguage(1);
    page.SlotChangeLanguage(1);
    QVERIFY(textOf(page, "RightKey").startsWith(QStringLiteral("DPI锁定-")));
    QCOMPARE(textOf(page, "FireKey"), QStringLiteral("左键"));
}

void TestButtonPage::languageRelabelsOnlyFromAFilledImage_data()
{
    QTest::addColumn<bool>("cached");
    QTest::newRow("sleeping mouse, no cache file") << false;
    QTest::newRow("sleeping mouse, cache file") << true;
}

void TestButtonPage::languageRelabelsOnlyFromAFilledImage()
{
    QFETCH(bool, cached);
    QVERIFY(simtest::loadScenario());
    linktest::LinkPages pages;
    Buttoninterface& page = *pages.buttons;
    const DeviceAllInfo rec = linktest::recordOf("Receiver1");
    const QString cacheName = DeviceCacheFileName(rec.Cid, rec.Mid);
    QFile::remove(DeviceCachePath(cacheName));
    FlashDataMap image = linktest::imageOf(simtest::flash());
    image.ButtonFunction[1] = {10, 15, 0};
    if (cached)
        QVERIFY(WriteDeviceInfoFile(cacheName, image));
    QVERIFY(SimControl_SetAwake("Mouse1", false));
    PostMsg::instance()->EmitSelectMouseInfo(rec);
    WorkerInstance->StartChosenDevice();
    QVERIFY(QTest::qWaitFor([&page] {
        return WorkerBusy == 0 && !WorkerInstance->isRunning() && page.RefillCount() + page.ResetCount() == 1;
    }));
    QVERIFY(!core::imageFromOpenDevice());

    setLanguage(1);
    page.SlotChangeLanguage(1);
    QCOMPARE(page.Types().mid(0, 2), QVector<int>({1, cached ? 10 : 1}));
    QCOMPARE(textOf(page, "FireKey"), QStringLiteral("左键"));
    if (cached)
        QVERIFY(textOf(page, "RightKey").startsWith(QStringLiteral("DPI锁定-")));
    else
        QCOMPARE(textOf(page, "RightKey"), QStringLiteral("右键"));
}

void TestButtonPage::configReportAndFormReset()
{
    auto pages = linktest::openFreshDefaultMouse();
    QVERIFY(pages);
    Buttoninterface& page = *pages->buttons;
    QVERIFY(linktest::runOffGuiThread([] { PostMsg::instance()->EmitUpDataConfigUI(4, 2, true); }));
    QCOMPARE(page.form()->ProjectChoose->count(), 4);
    QCOMPARE(page.ConfigIndex(), 2);
    QVERIFY(page.ConfigEnabled());
    QVERIFY(linktest::runOffGuiThread([] { PostMsg::instance()->EmitUpDataConfigUI(0, 0, false); }));
    QCOMPARE(page.form()->ProjectChoose->count(), 1);
    QVERIFY(!page.ConfigEnabled());

    QSignalSpy sleep(PostMsg::instance(), &PostMsg::SigLightToFrom);
    page.form()->stackedWidget_2->setCurrentIndex(0);
    QVERIFY(linktest::runOffGuiThread([] { PostMsg::instance()->EmitFormReset(); }));
    QCOMPARE(page.Types(), QVector<int>({1, 1, 1, 1, 1, 2}));
    QCOMPARE(page.Params1(), QVector<int>({1, 2, 4, 8, 16, 1}));
    QCOMPARE(sleep.count(), 1);
    QCOMPARE(sleep.at(0).at(0).toInt(), 60);
    QCOMPARE(page.form()->stackedWidget_2->currentWidget(), page.form()->page_9);
    auto* list = page.form()->DebunceButton->findChild<QComboBox*>(QStringLiteral("Debunce"));
    QCOMPARE(list->currentIndex(), 8);

    // Back on the choice page, the menu left open on a chosen button closes.
    page.form()->button("RightKey")->click();
    QCOMPARE(page.form()->stackedWidget->currentWidget(), page.form()->page_2);
    PostMsg::instance()->EmitSecondPageChange();
    QCOMPARE(page.form()->stackedWidget->currentWidget(), page.form()->page);
    QVERIFY(!page.form()->button("RightKey")->isChecked());
}

void TestButtonPage::configChoiceGoesOutOrIsTakenBack_data()
{
    QTest::addColumn<bool>("awake");
    QTest::newRow("mouse online") << true;
    QTest::newRow("mouse asleep") << false;
}

void TestButtonPage::configChoiceGoesOutOrIsTakenBack()
{
    QFETCH(bool, awake);
    auto pages = linktest::openFreshDefaultMouse();
    QVERIFY(pages);
    Buttoninterface& page = *pages->buttons;
    page.SlotUpDataConfigUI(4, 1, true);
    QVERIFY(SimControl_SetAwake("Mouse1", awake));
    QSignalSpy offline(PostMsg::instance(), &PostMsg::SigMouseOffLineo);
    page.form()->ProjectChoose->setCurrentIndex(3);
    page.on_ProjectChoose_activated(3);
    QCOMPARE(offline.count(), awake ? 0 : 1);
    QCOMPARE(page.ConfigIndex(), awake ? 3 : page.form()->ProjectChoose->indexAtPress());
    QCOMPARE(simtest::countCalls(simtest::callLog(), QStringLiteral("UsbServer_SetCurrentConfig")), awake ? 1 : 0);
    if (awake)
        QTRY_COMPARE(SimControl_ActiveProfile("Mouse1"), 3);
}

void TestButtonPage::resetAsksThenRestoresFactory_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::newRow("confirmed") << true;
    QTest::newRow("cancelled") << false;
}

void TestButtonPage::resetAsksThenRestoresFactory()
{
    QFETCH(bool, confirm);
    auto pages = linktest::openFreshDefaultMouse();
    QVERIFY(pages);
    Buttoninterface& page = *pages->buttons;
    const QByteArray factory = simtest::flash();
    QVERIFY(!factory.isEmpty());
    const QVector<int> factoryTypes = page.Types();
    const bool checking = WorkerInstance->OnlineCheckTimer()->isActive();
    QVERIFY(SetButtonFunction(1, 10, 15, 0));
    QVERIFY(linktest::waitSimIdle());
    const QByteArray changed = simtest::flash();
    QVERIFY(changed != factory);
    SimControl_ClearCallLog();
    page.form()->button("RightKey")->click();
    QCOMPARE(page.form()->stackedWidget->currentWidget(), page.form()->page_2);

    // The progress notice closes itself when the reload is done; only the
    // question is answered here.
    modaltest::ModalDriver driver([confirm](QWidget* modal) {
        if (modal->objectName() == QLatin1String("ContainReset"))
            modal->findChild<QAbstractButton*>(QString::fromLatin1(confirm ? "OK" : "Cancel"))->click();
    });
    page.on_Reset_clicked();

    const QStringList log = simtest::callLog();
    // The menu closes with a reset: its checks showed the functions the reset takes away.
    QCOMPARE(page.form()->stackedWidget->currentWidget(), confirm ? page.form()->page : page.form()->page_2);
    if (!confirm) {
        QCOMPARE(driver.seen(), QStringList({"ContainReset"}));
        QCOMPARE(simtest::countCalls(log, QStringLiteral("UsbServer_SetClearSetting")), 0);
        QCOMPARE(simtest::flash(), changed);
        return;
    }
    QCOMPARE(driver.seen(), QStringList({"ContainReset", "UpDataParam"}));
    QCOMPARE(simtest::countCalls(log, QStringLiteral("UsbServer_SetClearSetting")), 1);
    // The image goes out, then the factory reset, then the worker reads the result back.
    const QStringList order = simtest::callsStartingWith(
        log, {"ProtocolDataUpdate", "UsbServer_SetClearSetting", "UsbServer_ReadAllFlashData"});
    QVERIFY2(order.size() >= 3, qPrintable(order.join(", ")));
    QVERIFY2(order.at(0).startsWith("ProtocolDataUpdate") && order.at(1).startsWith("UsbServer_SetClearSetting")
                 && order.at(2).startsWith("UsbServer_ReadAllFlashData"),
             qPrintable(order.join(", ")));
    QVERIFY(linktest::waitSimIdle());
    QCOMPARE(simtest::flash(), factory);
    QCOMPARE(page.Types(), factoryTypes);
    QCOMPARE(WorkerInstance->OnlineCheckTimer()->isActive(), checking);
}

QTEST_MAIN(TestButtonPage)
#include "tst_buttonpage.moc"

#include "core/AppPaths.h"
#include "core/DeviceInfoFile.h"
#include "core/IniStore.h"
#include "core/MacroIni.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Registry.h"
#include "core/Worker.h"
#include "dialogs/MouseOffLine.h"
#include "settings/FormSetting.h"
#include "shell/common/LanguageFile.h"
#include "shell/Dialog.h"
#include "shell/DialogChange.h"
#include "shell/DialogMain.h"
#include "support/full_disk.h"
#include "support/dialogs_helpers.h"
#include "support/modal_helpers.h"
#include "support/sim_helpers.h"

#include <HIDUsb.h>
#include <SimControl.h>

#include <QFrame>
#include <QLabel>
#include <QLibraryInfo>
#include <QAbstractButton>
#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QMenu>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSettings>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

// The whole road on the simulated mouse: start, choose the mouse, see its battery, go back, hide,
// come back, quit. One window for the whole run, as in the program.
class TestMain : public QObject
{
    Q_OBJECT

private:
    DialogMain* m_window = nullptr;

    QStackedWidget* stack() const { return m_window->findChild<QStackedWidget*>(QStringLiteral("stackedWidgetMain")); }
    bool frameShown() const { return stack()->currentWidget() == m_window->frame(); }
    QToolButton* frameButton(const char* name) const
    {
        return m_window->frame()->findChild<QToolButton*>(QLatin1String(name));
    }

    void openTheMouse()
    {
        QTRY_COMPARE_WITH_TIMEOUT(TileDeviceList.size(), 1, 10000);
        m_window->choicePage()->OpenTile(0);
        QTRY_VERIFY(frameShown());
        QTRY_VERIFY_WITH_TIMEOUT(core::imageFromOpenDevice(), 10000);
        // Its pass is over: a request sent while the pass still opens the link would go to a
        // connection about to be replaced.
        QTRY_VERIFY_WITH_TIMEOUT(WorkerBusy == 0 && !WorkerInstance->isRunning(), 15000);
    }

    void backToChoice()
    {
        frameButton("UpArrow")->click();
        QTRY_VERIFY(!frameShown());
    }

private slots:
    void initTestCase()
    {
        RegisterBusTypes();
        // The installer's language choice is taken over once and then removed.
        Registry::SetValue(Registry::InstallerKey(), QStringLiteral("LanguageIndex"), QStringLiteral("3"));
        m_window = new DialogMain;
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
    }

    void cleanupTestCase()
    {
        delete m_window;
    }

    void installerLanguageIsTakenOverOnce()
    {
        QCOMPARE(MacroIni::Instance()->LanguageIndex(), 3);
        QVERIFY(!Registry::Contains(Registry::InstallerKey(), QStringLiteral("LanguageIndex")));
        // Qt's own dialogs speak it from the start.
        if (QFile::exists(QLibraryInfo::location(QLibraryInfo::TranslationsPath) + "/qtbase_ko.qm"))
            QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("취소"));
        MacroIni::Instance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), QStringLiteral("0"));
        PostMsg::instance()->EmitChangeLanguage(0);
    }

    void qtDialogsFollowTheLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("qm");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("simplified Chinese") << 1 << "zh_CN" << QStringLiteral("文件名称(&N)：");
        QTest::newRow("traditional Chinese") << 2 << "zh_TW" << QStringLiteral("檔名(&N)：");
        QTest::newRow("Russian") << 4 << "ru" << QStringLiteral("&Имя файла:");
        QTest::newRow("Japanese") << 5 << "ja" << QStringLiteral("ファイル名(&N):");
        QTest::newRow("no such language") << 7 << "" << "File &name:";
        QTest::newRow("English") << 0 << "" << "File &name:";
    }

    void qtDialogsFollowTheLanguage()
    {
        QFETCH(int, language);
        QFETCH(QString, qm);
        QFETCH(QString, fileName);
        if (!qm.isEmpty() && !QFile::exists(QLibraryInfo::location(QLibraryInfo::TranslationsPath) + "/qtbase_" + qm + ".qm"))
            QSKIP("Qt's translations are not installed");
        // The DPI editor's colour dialog is built with its page, before the change.
        auto* colours = m_window->frame()->findChild<QColorDialog*>();
        QVERIFY(colours);
        PostMsg::instance()->EmitChangeLanguage(language);
        QCOMPARE(QCoreApplication::translate("QFileDialog", "File &name:"), fileName);
        auto* cancel = colours->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel);
        QCOMPARE(cancel->text(), QCoreApplication::translate("QPlatformTheme", "Cancel"));
        QCOMPARE(colours->windowTitle(), QColorDialog::tr("Select Color"));
        // The pages keep the language file's texts: no language change reaches the windows.
        QCoreApplication::processEvents();
        QCOMPARE(m_window->choicePage()->findChild<QComboBox*>(QStringLiteral("comboBox"))->currentIndex(),
                 language == 7 ? 0 : language);
    }

    void theFrameFollowsTheFirstPaintUnasked()
    {
        // Only the choice page is built before the first paint; the frame, its pages and the
        // device link come right after it, with the choice page still in front.
        QTRY_COMPARE(stack()->count(), 2);
        QVERIFY(qobject_cast<Dialog*>(stack()->widget(1)));
        QCOMPARE(stack()->currentIndex(), 0);
        QVERIFY(WorkerInstance);
    }

    void startsOnTheChoicePageWithTheMouse()
    {
        QCOMPARE(m_window->size(), QSize(1020, 700));
        QVERIFY(!frameShown());
        QTRY_COMPARE_WITH_TIMEOUT(TileDeviceList.size(), 1, 10000);
        QCOMPARE(TileDeviceList.first().DriveIndex, 0);
    }

    void choosingTheMouseShowsItsBattery()
    {
        SimControl_SetBattery("Mouse1", 64, false);
        openTheMouse();
        auto* gauge = m_window->frame()->findChild<QProgressBar*>(QStringLiteral("progressBar"));
        QVERIFY(gauge);
        QTRY_COMPARE_WITH_TIMEOUT(gauge->value(), 64, 10000);
        QCOMPARE(MainPageIndex.load(), 1);
    }

    void backWritesTheCacheAndReturns()
    {
        if (!frameShown())
            openTheMouse();
        const QString cache = DeviceCachePath(DeviceCacheFileName(0x21, 1));
        QFile::remove(cache);
        backToChoice();
        QCOMPARE(QFileInfo(cache).size(), 10432);
        QCOMPARE(MainPageIndex.load(), 0);
        // The choice page listens to hot-plug again: unplugging the receiver empties it.
        SimControl_Plug("Receiver1", false);
        QTRY_COMPARE_WITH_TIMEOUT(TileDeviceList.size(), 0, 10000);
        SimControl_Plug("Receiver1", true);
        QTRY_COMPARE_WITH_TIMEOUT(TileDeviceList.size(), 1, 10000);
    }

    // The installer run while the program sits on the choice page: the version record written at
    // the next opening of the mouse keeps the language it left, which the next start takes over.
    void installerLanguageLeftWhileRunningIsTakenOverNextStart()
    {
        const QString version = QStringLiteral("MouseVer331");
        const QString versionAddress = QString(Registry::DriveTestKey()).replace('\\', '/') + '/' + version;
        const QString languageAddress = QString(Registry::InstallerKey()).replace('\\', '/') + "/LanguageIndex";
        Registry::Remove(Registry::DriveTestKey(), version);
        {
            QSettings installer(Registry::FilePath(), QSettings::IniFormat);
            installer.setValue(languageAddress, 2);
            installer.sync();
            QCOMPARE(installer.status(), QSettings::NoError);
        }
        openTheMouse();
        QTRY_VERIFY_WITH_TIMEOUT(core::IniStore(Registry::FilePath(), 1 << 20).contains(versionAddress), 10000);
        backToChoice();

        // The next start: the program itself, in a home of its own that holds this store.
        QTemporaryDir home;
        const QString config = home.filePath("config");
        const QString store = config + '/' + QFileInfo(Registry::FilePath()).fileName();
        QVERIFY(QDir().mkpath(config) && QFile::copy(Registry::FilePath(), store));
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home.path());
        env.insert("XDG_DATA_HOME", home.filePath("data"));
        env.insert("XDG_CONFIG_HOME", config);
        env.insert("TALVO_AUTOCLOSE_MS", "300");
        program.setProcessEnvironment(env);
        program.start(QCoreApplication::applicationDirPath() + "/talvo-r430k", QStringList());
        QVERIFY2(program.waitForFinished(30000), "the program did not end");
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(MacroIni(home.filePath("data/TALVO R430K mouse/Macro.ini")).LanguageIndex(), 2);
        const core::IniStore next(store, 1 << 20);
        QVERIFY(!next.contains(languageAddress));
        QVERIFY(next.contains(versionAddress));
        Registry::Remove(Registry::InstallerKey(), QStringLiteral("LanguageIndex"));
    }

    // The cache is the program's own: on a full disk the old one stays whole, and the user is
    // told at the first such failure of the run only.
    void failedCacheWriteIsToldOncePerRun()
    {
        const QString cache = DeviceCachePath(DeviceCacheFileName(0x21, 1));
        MacroIni::Instance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), QStringLiteral("0"));
        PostMsg::instance()->EmitChangeLanguage(0);
        if (!QFile::exists(cache)) {
            openTheMouse();
            backToChoice();
        }
        QFile file(cache);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray old = file.readAll();
        file.close();
        QStringList texts;
        for (int round = 0; round < 2; ++round) {
            openTheMouse();
            hostile::FullDisk full;
            modaltest::ModalDriver driver([&](QWidget* modal) {
                full.release();
                modaltest::keepNoticeText(&texts)(modal);
            });
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^device cache not written: ")));
            backToChoice();
            full.release();
            // A notice comes queued: what was posted runs before looking.
            QCoreApplication::processEvents();
            QTRY_COMPARE(texts.size(), 1);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), old);
            file.close();
        }
        QCOMPARE(texts, QStringList{QStringLiteral("UpDateWarning: A file the program keeps could not be written: "
                                                   "Device_CID21_MID01.bin. Is the disk full or read-only? The "
                                                   "program goes on without it.")});
    }

    void hidingWithoutATrayMinimises()
    {
        DialogMain::setTrayAvailableForTesting(0);
        PostMsg::instance()->EmitChangeSize(2);
        // Hidden without a tray icon, the window could never come back.
        QVERIFY(m_window->isVisible());
        QTRY_VERIFY(m_window->isMinimized());
        m_window->showNormal();
    }

    void hidingToTheTrayAndBack()
    {
        DialogMain::setTrayAvailableForTesting(1);
        SimControl_ClearCallLog();
        auto* background = m_window->findChild<QFrame*>(QStringLiteral("frameChange"));
        const QString backgroundSheet = background->styleSheet();
        QVERIFY(backgroundSheet.contains(QLatin1String("MainBack.png")));
        for (int i = 0; i < 3; ++i)
            PostMsg::instance()->EmitChangeSize(2);
        // In the tray the window holds no decoded pictures; they come back with it, word for word.
        QVERIFY(background->styleSheet().isEmpty());
        QVERIFY(!m_window->isVisible());
        QVERIFY(m_window->trayIcon()->isVisible());
        QMenu* menu = m_window->trayMenu();
        QVERIFY(menu);
        const QList<QAction*> actions = menu->actions();
        QCOMPARE(actions.size(), 3);
        QVERIFY(actions.at(1)->isSeparator());
        QCOMPARE(actions.at(0)->text(), QStringLiteral("Open main window"));
        QCOMPARE(actions.at(2)->text(), QStringLiteral("Exit"));
        // The choice page hides without telling the library anything.
        QVERIFY(simtest::callsStartingWith(simtest::callLog(), {"UsbServer_SetPCDriverStatus"}).isEmpty());

        actions.at(0)->trigger();
        QTRY_VERIFY(m_window->isVisible());
        QTRY_VERIFY(!m_window->trayIcon()->isVisible());
        QCOMPARE(background->styleSheet(), backgroundSheet);
    }

    // On a real tray the menu runs inside the icon window's click handling, and either entry
    // hides the icon, which destroys that window: the entry must run only once the menu returned.
    void trayMenuEntryRunsAfterTheMenuReturns()
    {
        DialogMain::setTrayAvailableForTesting(1);
        PostMsg::instance()->EmitChangeSize(2);
        QMenu* menu = m_window->trayMenu();
        bool ranInsideMenu = true;
        QTimer::singleShot(0, menu, [&] {
            QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
            ranInsideMenu = m_window->isVisible() || !m_window->trayIcon()->isVisible();
        });
        QTimer::singleShot(10000, menu, &QMenu::close); // a menu left open must not hang the test
        emit m_window->trayIcon()->activated(QSystemTrayIcon::Context);
        QVERIFY(!menu->isVisible());
        QVERIFY(!ranInsideMenu);
        QVERIFY(!m_window->isVisible());
        QTRY_VERIFY(m_window->isVisible());
        QTRY_VERIFY(!m_window->trayIcon()->isVisible());
    }

    void trayClickOnTheFrameTellsTheDeviceOnce()
    {
        DialogMain::setTrayAvailableForTesting(1);
        openTheMouse();
        for (int i = 0; i < 3; ++i)
            PostMsg::instance()->EmitChangeSize(0);
        SimControl_ClearCallLog();
        emit m_window->trayIcon()->activated(QSystemTrayIcon::Trigger);
        QVERIFY(m_window->isVisible());
        // One activation runs the slot once however often the window was hidden.
        QCOMPARE(simtest::callsStartingWith(simtest::callLog(), {"UsbServer_SetPCDriverStatus"}),
                 QStringList{QStringLiteral("UsbServer_SetPCDriverStatus(1)")});
        backToChoice();
    }

    void draggingMovesOnlyWithAPress()
    {
        m_window->move(100, 100);
        const QPoint start = m_window->pos();
        QTest::mousePress(m_window, Qt::LeftButton, Qt::NoModifier, QPoint(500, 20));
        QMouseEvent move(QEvent::MouseMove, QPoint(530, 60), m_window->mapToGlobal(QPoint(530, 60)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_window, &move);
        QCOMPARE(m_window->pos(), start + QPoint(30, 40));
        QTest::mouseRelease(m_window, Qt::LeftButton, Qt::NoModifier, QPoint(530, 60));
        const QPoint after = m_window->pos();
        QMouseEvent stray(QEvent::MouseMove, QPoint(10, 10), m_window->mapToGlobal(QPoint(10, 10)), Qt::NoButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(m_window, &stray);
        QCOMPARE(m_window->pos(), after);
    }

    void returnKeyGoesToTheChoicePage()
    {
        QSignalSpy enter(PostMsg::instance(), &PostMsg::SigEnterKey);
        QTest::keyClick(m_window, Qt::Key_Escape);
        QTest::keyClick(m_window, Qt::Key_Return);
        QCOMPARE(enter.count(), 1);
    }

    void offlineNoticeSitsAboveTheCentre()
    {
        RestartRequest = 0;
        QPoint noticeAt;
        QSize noticeSize;
        modaltest::ModalDriver closer([&](QWidget* notice) {
            noticeAt = notice->pos();
            noticeSize = notice->size();
            notice->close();
        });
        PostMsg::instance()->EmitMouseOffLineo(1);
        QCOMPARE(closer.seen(), QStringList{QStringLiteral("MouseOffLine")});
        QCOMPARE(OffLineNoticeIndex.load(), 1);
        QCOMPARE(int(RestartRequest), 1); // the online check reconnects when the mouse answers
        const QPoint origin = m_window->mapToGlobal(QPoint(0, 0));
        QCOMPARE(noticeAt, QPoint(origin.x() + (1020 - noticeSize.width()) / 2,
                                  origin.y() - 20 + (700 - noticeSize.height()) / 2));
    }

    void spaceOnTheFramePairsThenReconnects()
    {
        openTheMouse();
        SimControl_ClearCallLog();
        modaltest::ModalDriver closer;
        QTest::keyClick(m_window, Qt::Key_Space);
        QCOMPARE(closer.seen(), QStringList{QStringLiteral("Match")});
        QCOMPARE(int(PairRequested), 1);
        const QStringList starts = simtest::callsStartingWith(simtest::callLog(), {"UsbServerC_Start"});
        QVERIFY2(!starts.isEmpty(), "the connection to the mouse is opened again after pairing");
        backToChoice();
    }

    // Whoever opened the pairing dialog on the frame and however it ended, the mouse's own reports
    // reach the pages again once it closes: a battery drop shows on the gauge.
    void pairingOnTheFrameKeepsTheMouseLinked_data()
    {
        QTest::addColumn<bool>("fromSettings");
        QTest::addColumn<bool>("pairs");
        QTest::addColumn<QString>("closedBy");  // the close button, Escape, or closed as a window
        QTest::addColumn<int>("level");
        // The level falls from row to row: the mouse reports a drop, not a rise, while not charging.
        QTest::newRow("Space key, failed") << false << false << "button" << 50;
        QTest::newRow("Space key, paired") << false << true << "button" << 45;
        QTest::newRow("settings page, failed") << true << false << "button" << 40;
        QTest::newRow("settings page, paired") << true << true << "button" << 35;
        QTest::newRow("Space key, Escape") << false << false << "Escape" << 30;
        QTest::newRow("settings page, Escape") << true << true << "Escape" << 25;
        QTest::newRow("Space key, closed as a window") << false << true << "window" << 20;
        QTest::newRow("settings page, closed as a window") << true << false << "window" << 15;
    }

    void pairingOnTheFrameKeepsTheMouseLinked()
    {
        QFETCH(bool, fromSettings);
        QFETCH(bool, pairs);
        QFETCH(QString, closedBy);
        QFETCH(int, level);
        openTheMouse();
        bool ended = false;
        modaltest::ModalDriver driver([pairs, closedBy, &ended](QWidget* dialog) {
            SimControl_SetPairable("Mouse1", pairs);
            dialog->findChild<QToolButton*>(QStringLiteral("MatchButton"))->click();
            const unsigned char failed = 2;
            if (!pairs)
                SimControl_SendReport(6, 0, &failed, 1);
            ended = QTest::qWaitFor([pairs] { return PairState.load() == (pairs ? 2 : 3); }, 20000);
            // The dialog refuses to close while the receiver still pairs; a late result must end
            // the row as a failure, not leave the dialog open for good.
            (void)QTest::qWaitFor([] { return PairingActive.load() == 0; }, 20000);
            if (closedBy == QLatin1String("Escape"))
                QTest::keyClick(dialog, Qt::Key_Escape);
            else if (closedBy == QLatin1String("window"))
                dialog->close();
            else
                dialog->findChild<QToolButton*>(QStringLiteral("CloseButton"))->click();
        });
        if (fromSettings) {
            frameButton("FormSetting")->click();
            auto* settings = m_window->frame()->findChild<FormSetting*>();
            settings->findChild<QPushButton*>(QStringLiteral("pushButton_2"))->click();
        } else {
            QTest::keyClick(m_window, Qt::Key_Space);
        }
        QCOMPARE(driver.seen(), QStringList{QStringLiteral("Match")});
        QVERIFY(ended);
        QCOMPARE(MainPageIndex.load(), 1);
        SimControl_SetBattery("Mouse1", level, false);
        auto* gauge = m_window->frame()->findChild<QProgressBar*>(QStringLiteral("progressBar"));
        QTRY_COMPARE_WITH_TIMEOUT(gauge->value(), level, 10000);
        backToChoice();
    }

    // Closing the pairing dialog on the frame must hand hot-plug back to the worker: with the
    // choice page's handler in its place, unplugging the receiver would leave the frame showing a
    // mouse that is gone.
    void unplugAfterPairingOnTheFrameLeavesTheFrame()
    {
        openTheMouse();
        {
            modaltest::ModalDriver closer;
            QTest::keyClick(m_window, Qt::Key_Space);
            QCOMPARE(closer.seen(), QStringList{QStringLiteral("Match")});
        }
        QVERIFY(frameShown());
        QCOMPARE(MainPageIndex.load(), 1);
        SimControl_Plug("Receiver1", false);
        QTRY_VERIFY_WITH_TIMEOUT(!frameShown(), 10000);
        SimControl_Plug("Receiver1", true);
        QTRY_COMPARE_WITH_TIMEOUT(TileDeviceList.size(), 1, 10000);
    }

    void spaceOnTheChoicePageFollowsTheFirmwareCheck_data()
    {
        QTest::addColumn<QString>("storedMouseVersion");
        QTest::addColumn<QString>("dialog");
        // Never seen: pair. Shipped mouse image newer than the stored version and the receiver
        // image newer too: pair. Mouse up to date but receiver image newer: offer the receiver update.
        QTest::newRow("no stored version") << QString() << "Match";
        QTest::newRow("both newer") << "v1.5" << "Match";
        QTest::newRow("only the receiver newer") << "v1.7" << "ContainReset";
        QTest::newRow("only the receiver newer, updated") << "v1.7" << "ContainReset,UpDateRepair";
    }

    void spaceOnTheChoicePageFollowsTheFirmwareCheck()
    {
        QFETCH(QString, storedMouseVersion);
        QFETCH(QString, dialog);
        QTRY_COMPARE_WITH_TIMEOUT(TileDeviceList.size(), 1, 10000);
        const QString name = QStringLiteral("MouseVer331");
        if (storedMouseVersion.isEmpty())
            Registry::Remove(Registry::DriveTestKey(), name);
        else
            Registry::SetValue(Registry::DriveTestKey(), name, storedMouseVersion);
        // Confirmed, the update runs in its own dialog and says how it ended.
        const bool update = dialog.contains(QLatin1Char(','));
        const auto text = [](const char* child) {
            return dialogtest::shippedText(shell::LanguageFile::currentIndex(), QStringLiteral("AutoRepair"),
                                           QLatin1String(child));
        };
        QString outcome;
        const auto updateAndClose = [&outcome, &text](QWidget* shown) {
            if (auto* ok = shown->findChild<QToolButton*>(QStringLiteral("OK"))) {
                ok->click();
                return;
            }
            auto* line = shown->findChild<QLabel*>(QStringLiteral("ToolText_2"));
            const bool ended =
                QTest::qWaitFor([&] { return RepairUpgrading == 0 && line->text() == text("UpdateSuccess"); }, 20000);
            outcome = QStringLiteral("%1 %2").arg(ended).arg(line->isVisible());
            for (const char* name : {"NewHong_2", "NewHong"})
                if (auto* button = shown->findChild<QToolButton*>(QLatin1String(name)); button->isVisible())
                    outcome += QLatin1Char(' ') + button->text();
            shown->findChild<QToolButton*>(QStringLiteral("NewHong"))->click();
        };
        modaltest::ModalDriver driver(update ? modaltest::ModalDriver::Handler(updateAndClose)
                                             : modaltest::ModalDriver::Handler());
        QTest::keyClick(m_window, Qt::Key_Space);
        QCOMPARE(driver.seen(), dialog.split(QLatin1Char(',')));
        QVERIFY(!frameShown()); // Space never opens the configuration frame
        // Ended, the success shown, both buttons in the user's language.
        if (update)
            QCOMPARE(outcome, QStringLiteral("1 1 ") + text("Confirm") + QLatin1Char(' ') + text("Cancel"));
        Registry::Remove(Registry::DriveTestKey(), name);
    }

    void spaceWithoutExactlyOneTileDoesNothing()
    {
        SimControl_Plug("Receiver1", false);
        QTRY_COMPARE_WITH_TIMEOUT(TileDeviceList.size(), 0, 10000);
        modaltest::ModalDriver closer;
        QTest::keyClick(m_window, Qt::Key_Space);
        QTest::qWait(50);
        QVERIFY(closer.seen().isEmpty());
        SimControl_Plug("Receiver1", true);
        QTRY_COMPARE_WITH_TIMEOUT(TileDeviceList.size(), 1, 10000);
    }

    // Space is the window's key (pairing, the firmware check): no button of the title bar or the
    // choice page may take the keyboard focus and swallow it, before or after Tab.
    void spaceReachesTheWindowOnBothPages()
    {
        QTRY_COMPARE_WITH_TIMEOUT(TileDeviceList.size(), 1, 10000);
        for (const bool onFrame : {false, true}) {
            if (onFrame)
                openTheMouse();
            m_window->activateWindow();
            QTRY_VERIFY(m_window->isActiveWindow());
            for (int press = 0; press < 3; ++press) {
                QWidget* focus = QApplication::focusWidget();
                QVERIFY2(!qobject_cast<QAbstractButton*>(focus), qPrintable(focus ? focus->objectName() : QString()));
                modaltest::ModalDriver closer;
                QTest::keyClick(focus ? focus : m_window, Qt::Key_Space);
                QCOMPARE(closer.seen(), QStringList{QStringLiteral("Match")});
                QVERIFY(m_window->isVisible());
                QCOMPARE(frameShown(), onFrame);
                QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : m_window, Qt::Key_Tab);
            }
        }
        backToChoice();
    }

    // Last: the tray's Exit runs the close sequence, not a bare process exit.
    void trayExitRunsTheQuitSequence()
    {
        openTheMouse();
        const QString cache = DeviceCachePath(DeviceCacheFileName(0x21, 1));
        QFile::remove(cache);
        SimControl_ClearCallLog();
        DialogMain::setTrayAvailableForTesting(1);
        PostMsg::instance()->EmitChangeSize(0);
        SimControl_ClearCallLog();
        // Another parentless window stays open: the event loop must end all the same.
        QWidget stray;
        stray.show();
        QEventLoop loop;
        QTimer::singleShot(0, m_window, [this] { m_window->trayMenu()->actions().at(2)->trigger(); });
        QTimer::singleShot(10000, &loop, [&loop] { loop.exit(99); });
        QCOMPARE(loop.exec(), 0);

        const QStringList calls = simtest::callsStartingWith(
            simtest::callLog(), {"UsbServer_SetPCDriverStatus", "StopUsbChanged", "UsbServer_Exit"});
        QVERIFY2(calls.size() >= 3, qPrintable(calls.join(' ')));
        QVERIFY(calls.at(0).startsWith("UsbServer_SetPCDriverStatus(0"));
        QVERIFY(calls.at(1).startsWith("StopUsbChanged"));
        QVERIFY(calls.at(2).startsWith("UsbServer_Exit"));
        QCOMPARE(QFileInfo(cache).size(), 10432);
        QVERIFY(!m_window->isVisible());
        QVERIFY(!m_window->trayIcon()->isVisible());
    }
};

QTEST_MAIN(TestMain)
#include "tst_main.moc"

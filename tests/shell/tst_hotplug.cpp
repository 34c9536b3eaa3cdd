#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "dialogs/UpDataParam.h"
#include "settings/FormSetting.h"
#include "shell/Dialog.h"
#include "shell/DialogChange.h"
#include "shell/DialogMain.h"
#include "support/sim_helpers.h"

#include <HIDUsb.h>
#include <SimControl.h>

#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>
#include <random>

// Unplug and plug storms on the simulated receiver and mouse cable, whatever the program is doing
// around them: the tiles always end up listing what is attached, and the frame never stays linked
// to a device that is gone. The seed is printed; TALVO_STORM_SEED replays a run.
class TestHotPlug : public QObject
{
    Q_OBJECT

private:
    // Time from the last change to the rescan it brings (the library's settle time), plus room
    // for a loaded machine.
    static constexpr int kRescanMs = 600 + 3400;

    enum class Place { Frame, Choice };
    // HeldPairing: the pairing dialog stays open through the first changes and closes before the
    // others, opened by the Space key or by the settings page.
    enum class Action { None, Export, Import, Pairing, Language, HeldPairing };
    struct Step {
        const char* device;
        bool plugged;
        int gapMs;       // after the step before
        bool sameTurn;   // with no event processed since the step before
    };

    DialogMain* m_window = nullptr;
    QTemporaryDir m_dir;
    std::mt19937 m_random;
    bool m_receiver = true;
    bool m_cable = false;
    int m_battery = 90;
    int m_languageIndex = 0;
    bool m_holdPairing = false;

    int pick(int from, int to) { return std::uniform_int_distribution<int>(from, to)(m_random); }
    bool chance(int percent) { return pick(1, 100) <= percent; }

    QStackedWidget* stack() const { return m_window->findChild<QStackedWidget*>(QStringLiteral("stackedWidgetMain")); }
    bool frameShown() const { return stack()->currentWidget() == m_window->frame(); }
    QToolButton* frameButton(const char* name) const
    {
        return m_window->frame()->findChild<QToolButton*>(QLatin1String(name));
    }
    QString exportFile() const { return m_dir.filePath(QStringLiteral("storm.bin")); }

    void plug(const char* device, bool plugged)
    {
        SimControl_Plug(device, plugged);
        (qstrcmp(device, "Mouse1") == 0 ? m_cable : m_receiver) = plugged;
    }

    // A mouse on its cable hides the tile of its own receiver.
    QStringList expectedTiles() const
    {
        if (m_cable)
            return {QString::fromLatin1(SimControl_DevicePath("Mouse1"))};
        if (m_receiver)
            return {QString::fromLatin1(SimControl_DevicePath("Receiver1"))};
        return {};
    }

    QStringList tiles() const
    {
        QStringList paths;
        for (const DeviceAllInfo& device : TileDeviceList)
            paths << device.DevicePath;
        return paths;
    }

    bool tilesMatch() const
    {
        const auto* pages = m_window->choicePage()->findChild<QStackedWidget*>(QStringLiteral("stackedWidget"));
        return !frameShown() && tiles() == expectedTiles() && pages->count() == (expectedTiles().isEmpty() ? 0 : 1);
    }

    bool attached(const QString& path) const
    {
        return (m_cable && path == QString::fromLatin1(SimControl_DevicePath("Mouse1")))
               || (m_receiver && path == QString::fromLatin1(SimControl_DevicePath("Receiver1")));
    }

    // The frame's link: the path every device call goes to and the device the frame shows.
    bool linkOnAttachedDevice() const
    {
        const QString path = QString::fromStdString(CurrentDevicePath());
        return path == CurrentDeviceInfoCopy().DevicePath && attached(path);
    }

    bool noDialogOpen() const { return !QApplication::activeModalWidget(); }
    bool pairingOpen() const
    {
        const QWidget* modal = QApplication::activeModalWidget();
        return modal && modal->inherits("Match");
    }

    // Lets ms pass on a timer, whatever the program does meanwhile (nested dialogs included).
    bool afterMs(int ms)
    {
        auto done = std::make_shared<bool>(false);
        QTimer::singleShot(ms, this, [done] { *done = true; });
        return QTest::qWaitFor([done] { return *done; }, ms + 30000);
    }

    // Plays the steps on timers, so that they go on inside whatever dialog loop the program runs
    // meanwhile; with a held pairing dialog, the first steps wait for it to show and it is closed
    // before step `released`. Waits for the last step.
    bool runSteps(const QVector<Step>& steps, int released)
    {
        // Shared with the timers, which outlive this call if it times out.
        struct Play {
            int next = 0;
            bool done = false;
        };
        auto state = std::make_shared<Play>();
        auto play = std::make_shared<std::function<void()>>();
        *play = [this, steps, released, state, weak = std::weak_ptr<std::function<void()>>(play)] {
            const auto again = weak.lock();
            if (!again)
                return;
            int& next = state->next;
            if (m_holdPairing && !pairingOpen() && next < released) {
                QTimer::singleShot(5, this, *again);
                return;
            }
            if (next == released && pairingOpen()) {
                // Everything is out: the frame goes back to the tiles under the dialog, and only
                // then is the dialog closed.
                if (!frameShown())
                    m_holdPairing = false;
                QTimer::singleShot(5, this, *again);
                return;
            }
            const int first = next;
            do
                ++next;
            while (next < steps.size() && steps[next].sameTurn && next != released);
            for (int k = first; k < next; ++k)
                plug(steps[k].device, steps[k].plugged);
            if (next < steps.size())
                QTimer::singleShot(steps[next].gapMs, this, *again);
            else
                state->done = true;
        };
        QTimer::singleShot(steps.first().gapMs, this, *play);
        const bool played = QTest::qWaitFor([&] { return state->done && !pairingOpen(); }, 60000);
        m_holdPairing = false;
        return played;
    }

    void openTheFrame()
    {
        if (frameShown())
            return;
        if (!m_cable && !m_receiver)
            plug("Receiver1", true);
        QTRY_COMPARE_WITH_TIMEOUT(tiles(), expectedTiles(), kRescanMs);
        QTRY_VERIFY_WITH_TIMEOUT(noDialogOpen(), 10000);
        m_window->choicePage()->OpenTile(0);
        QVERIFY(frameShown());
    }

    void backToTiles()
    {
        QTRY_VERIFY_WITH_TIMEOUT(noDialogOpen(), 10000);
        if (frameShown())
            frameButton("UpArrow")->click();
    }

    void act(Action action)
    {
        switch (action) {
        case Action::None:
            break;
        case Action::Export:
            UpDataParam::setNextExportFileForTesting(exportFile());
            frameButton("OutputData")->click();
            break;
        case Action::Import:
            UpDataParam::setNextImportFileForTesting(exportFile());
            frameButton("ImportData")->click();
            break;
        case Action::Pairing:
            QTest::keyClick(m_window, Qt::Key_Space);
            break;
        case Action::HeldPairing: {
            m_holdPairing = true;
            const bool fromSettings = chance(50);
            // Posted: the dialog's loop runs while the changes come.
            QTimer::singleShot(0, this, [this, fromSettings] {
                if (!fromSettings) {
                    QTest::keyClick(m_window, Qt::Key_Space);
                    return;
                }
                frameButton("FormSetting")->click();
                m_window->frame()->findChild<FormSetting*>()->findChild<QPushButton*>(QStringLiteral("pushButton_2"))->click();
            });
            break;
        }
        case Action::Language:
            m_languageIndex = 1 - m_languageIndex;
            if (frameShown())
                m_window->frame()->findChild<FormSetting*>()->on_comboBox_activated(m_languageIndex);
            else
                m_window->choicePage()->on_comboBox_activated(m_languageIndex);
            break;
        }
    }

    // With everythingOut, the steps end with the receiver and the cable out.
    QVector<Step> storm(int count, bool everythingOut = false, QVector<Step> steps = {})
    {
        const int before = steps.size();
        if (everythingOut)
            count += 2;
        for (int i = before; i < before + count; ++i) {
            const char* device = chance(75) ? "Receiver1" : "Mouse1";
            bool now = stateAfter(steps, device);
            if (everythingOut && i >= before + count - 2) {
                device = i == before + count - 2 ? "Receiver1" : "Mouse1";
                now = stateAfter(steps, device);
                if (!now)
                    continue;
            }
            const bool sameTurn = i > 0 && chance(35);
            steps.append({device, !now, sameTurn ? 0 : pick(0, 700), sameTurn});
        }
        return steps;
    }

    bool stateAfter(const QVector<Step>& steps, const char* device) const
    {
        bool now = qstrcmp(device, "Mouse1") == 0 ? m_cable : m_receiver;
        for (const Step& s : steps)
            if (qstrcmp(s.device, device) == 0)
                now = s.plugged;
        return now;
    }

    QString describe(Place place, Action action, const QVector<Step>& steps, int released, int backMs) const
    {
        static const char* const actions[] = {"-", "export", "import", "pairing", "language", "held pairing"};
        QStringList parts{place == Place::Frame ? QStringLiteral("frame") : QStringLiteral("tiles"),
                          QString::fromLatin1(actions[int(action)])};
        for (const Step& s : steps) {
            if (&s - steps.data() == released)
                parts << QStringLiteral("pairing closed");
            parts << QStringLiteral("%1 %2 %3")
                         .arg(s.sameTurn ? QStringLiteral("=") : QStringLiteral("+%1ms").arg(s.gapMs),
                              QString::fromLatin1(s.plugged ? "plug" : "unplug"), QString::fromLatin1(s.device));
        }
        if (backMs >= 0)
            parts << QStringLiteral("back +%1ms").arg(backMs);
        return parts.join(QStringLiteral(", "));
    }

    // The frame still shows: its link is on an attached device and the mouse's reports reach it.
    void checkLink()
    {
        QTRY_VERIFY_WITH_TIMEOUT(!frameShown() || linkOnAttachedDevice(), kRescanMs);
        if (!frameShown())
            return;
        QTRY_VERIFY_WITH_TIMEOUT(noDialogOpen(), 10000);
        m_battery = m_battery > 20 ? m_battery - 1 : 90;
        SimControl_SetBattery("Mouse1", m_battery + 1, false);
        SimControl_SetBattery("Mouse1", m_battery, false);
        auto* gauge = m_window->frame()->findChild<QProgressBar*>(QStringLiteral("progressBar"));
        QTRY_VERIFY_WITH_TIMEOUT(!frameShown() || gauge->value() == m_battery, 10000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        RegisterBusTypes();
        QVERIFY(simtest::loadScenario());
        m_window = new DialogMain;
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        openTheFrame();
        // A file to import later.
        QTRY_VERIFY_WITH_TIMEOUT(core::imageFromOpenDevice(), 10000);
        act(Action::Export);
        QVERIFY(QFileInfo::exists(exportFile()));
    }

    void cleanupTestCase() { delete m_window; }

    void tilesFollowEveryUnplugAndPlug()
    {
        bool seeded = false;
        const unsigned seed = qEnvironmentVariableIntValue("TALVO_STORM_SEED", &seeded);
        const unsigned used = seeded ? seed : std::random_device()() & 0x7fffffff;
        qInfo("storm seed %u (TALVO_STORM_SEED=%u replays it)", used, used);
        m_random.seed(used);
        // Dialogs a storm brings up (pairing, offline notice) are closed as soon as they show; the
        // parameter-read dialog closes itself. No nested wait here: a dialog may open inside another.
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal && !qobject_cast<UpDataParam*>(modal) && !(m_holdPairing && modal->inherits("Match")))
                modal->close();
        });
        closer.start(5);
        const int rounds = qEnvironmentVariableIsSet("TALVO_STORM_ROUNDS")
                               ? qEnvironmentVariableIntValue("TALVO_STORM_ROUNDS") : 7;
        for (int round = 0; round < rounds; ++round) {
            // The first round is the one users met: the frame, an export, the receiver out and back
            // in with nothing processed between, and back to the tiles 1.5 s later.
            const bool first = round == 0;
            const Place place = first || chance(60) ? Place::Frame : Place::Choice;
            if (place == Place::Frame) {
                openTheFrame();
                if (QTest::currentTestFailed())
                    return;
            } else {
                backToTiles();
                QTRY_VERIFY_WITH_TIMEOUT(!frameShown(), 10000);
            }
            static const Action frameActions[] = {Action::None,    Action::Export,   Action::Import,
                                                  Action::Pairing, Action::Language, Action::HeldPairing};
            static const Action choiceActions[] = {Action::None, Action::Pairing, Action::Language};
            Action action = place == Place::Frame ? frameActions[pick(0, 5)] : choiceActions[pick(0, 2)];
            QVector<Step> steps = storm(pick(2, 5));
            const bool linkFirst = !first && place == Place::Frame && chance(40);
            int backMs = place == Place::Frame && !linkFirst ? pick(0, 1500) : -1;
            if (first) {
                action = Action::Export;
                steps = {{"Receiver1", false, 0, false}, {"Receiver1", true, 0, true}};
                backMs = 1500;
            }
            int released = -1;
            if (action == Action::HeldPairing) {
                steps = storm(pick(0, 2), true);
                released = steps.size();
                steps = storm(pick(1, 3), false, steps);
            }
            const QString what = describe(place, action, steps, released, backMs);
            qInfo("round %d: %s", round, qPrintable(what));

            act(action);
            QVERIFY(runSteps(steps, released));
            if (linkFirst)
                checkLink();
            if (backMs >= 0)
                QVERIFY(afterMs(backMs));
            backToTiles();
            QTRY_VERIFY2_WITH_TIMEOUT(tilesMatch(), qPrintable(QStringLiteral("round %1 (%2): tiles %3, attached %4")
                                                                   .arg(round)
                                                                   .arg(what, tiles().join(QLatin1Char(' ')),
                                                                        expectedTiles().join(QLatin1Char(' ')))),
                                      kRescanMs);
        }
    }
};

QTEST_MAIN(TestHotPlug)
#include "tst_hotplug.moc"

// The whole program in every language, with the simulated mouse open: each page of the frame
// and each dialog shows all its texts whole, finds every picture its style sheets name, and
// keeps the pages inside the panel the frame's background draws. When TALVO_RENDER_DIR names
// a folder, a PNG of each page and dialog lands there for review (scripts/render_pages.sh).
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "dialogs/AddDelayTime.h"
#include "dialogs/addKey.h"
#include "dialogs/ContainReset.h"
#include "dialogs/DeleteConfirm.h"
#include "dialogs/ExeIsRun.h"
#include "dialogs/FireKey.h"
#include "dialogs/GroupKey.h"
#include "dialogs/GroupMaxThree.h"
#include "dialogs/InportFail.h"
#include "dialogs/KeyNumberLimit.h"
#include "dialogs/LeftButtonOnly.h"
#include "dialogs/MakeMacro.h"
#include "dialogs/MouseOffLine.h"
#include "dialogs/Progress.h"
#include "dialogs/QuestionDialog.h"
#include "dialogs/QuestiondialogB.h"
#include "dialogs/RePair.h"
#include "dialogs/SameMacro.h"
#include "dialogs/UpDataParam.h"
#include "dialogs/UpDataParamImport.h"
#include "dialogs/UpDateWarning.h"
#include "settings/FindNewVer.h"
#include "settings/UpDateRepair.h"
#include "shell/Dialog.h"
#include "shell/DialogChange.h"
#include "shell/DialogMain.h"
#include "shell/common/LanguageNames.h"
#include "shell/pairing/Match.h"
#include "support/dialogs_helpers.h"
#include "support/fit_helpers.h"
#include "support/modal_helpers.h"

#include <QDir>
#include <QStackedWidget>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// The page area the frame's background draws, in the frame's coordinates.
const QRect kPanel(146, 120, 865, 571);

// The mouse drawing's box is placed over the panel's top edge; its picture leaves
// that band clear (the look test checks the drawing itself).
const QStringList kDrawnInside = {QStringLiteral("Buttoninterface/MainWindow/widget")};

struct Page
{
    const char* button; // the frame's page button
    const char* name;   // the page's object name
};

const Page kPages[] = {
    {"ButtonMain", "Buttoninterface"},
    {"MacroButton", "Macro"},
    {"SensorButton", "Sensor"},
    {"FormSetting", "FormSetting"},
};

template <class T>
std::function<std::unique_ptr<QWidget>()> make()
{
    return [] { return std::unique_ptr<QWidget>(new T(nullptr)); };
}

struct Scene
{
    const char* name;
    std::function<std::unique_ptr<QWidget>()> make;
};

// One of every dialog class; the states of the notices are drawn by the dialogs' own test.
const std::vector<Scene>& dialogScenes()
{
    static const std::vector<Scene> list = {
        {"MouseOffLine", make<MouseOffLine>()},   {"LeftButtonOnly", make<LeftButtonOnly>()},
        {"MakeMacro", make<MakeMacro>()},         {"SameMacro", make<SameMacro>()},
        {"GroupMaxThree", make<GroupMaxThree>()},
        {"QuestiondialogB", make<QuestiondialogB>()}, {"ExeIsRun", make<ExeIsRun>()},
        {"KeyNumberLimit", make<KeyNumberLimit>()},
        {"ContainReset", make<ContainReset>()},   {"RePair", make<RePair>()},
        {"DeleteConfirm", make<DeleteConfirm>()}, {"Progress", make<Progress>()},
        {"UpDataParam", make<UpDataParam>()},
        {"GroupKey", make<GroupKey>()},           {"addKey", make<addKey>()},
        {"FireKey", make<FireKey>()},             {"AddDelayTime", make<AddDelayTime>()},
        {"Match", make<Match>()},                 {"UpDateRepair", make<UpDateRepair>()},
        {"FindNewVer", make<FindNewVer>()},
        // These show a text of their caller's choosing; each with one it is opened with.
        {"QuestionDialog", [] {
             auto d = std::make_unique<QuestionDialog>();
             d->SetTipText(false);
             return std::unique_ptr<QWidget>(std::move(d));
         }},
        {"InportFail", [] {
             ImportResult = dialogs::ImportOtherDevice;
             std::unique_ptr<QWidget> d(new InportFail);
             ImportResult = 0;
             return d;
         }},
        {"UpDateWarning", [] {
             auto d = std::make_unique<UpDateWarning>();
             d->SetText(WiredModeText);
             return std::unique_ptr<QWidget>(std::move(d));
         }},
    };
    return list;
}

void save(QWidget* w, int language, const QString& name)
{
    const QString dir = qEnvironmentVariable("TALVO_RENDER_DIR");
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        w->grab().save(QStringLiteral("%1/%2-%3.png").arg(dir).arg(language).arg(name));
    }
}

} // namespace

class TestFinish : public QObject
{
    Q_OBJECT

private:
    DialogMain* m_window = nullptr;
    std::unique_ptr<modaltest::ModalDriver> m_modals;

private slots:
    void initTestCase()
    {
        RegisterBusTypes();
        // The parameter-read notice of opening the mouse closes as it comes.
        m_modals = std::make_unique<modaltest::ModalDriver>();
        m_window = new DialogMain;
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        QTRY_COMPARE_WITH_TIMEOUT(TileDeviceList.size(), 1, 10000);
        m_window->choicePage()->OpenTile(0);
        QTRY_VERIFY_WITH_TIMEOUT(ButtonPageFilled && SensorPageFilled, 20000);
    }

    void cleanupTestCase()
    {
        delete m_window;
        m_modals.reset();
    }

    void everyPageAndDialogShowsWhole_data()
    {
        QTest::addColumn<int>("language");
        for (int lang = 0; lang < shell::kLanguageCount; ++lang)
            QTest::addRow("%d", lang) << lang;
    }

    void everyPageAndDialogShowsWhole()
    {
        QFETCH(int, language);
        dialogtest::chooseLanguage(language);
        PostMsg::instance()->EmitChangeLanguage(language);
        QStringList faults;
        Dialog* frame = m_window->frame();
        for (const Page& page : kPages) {
            frame->findChild<QToolButton*>(QLatin1String(page.button))->click();
            QWidget* shown = frame->findChild<QStackedWidget*>(QStringLiteral("stackedWidgetDialog"))->currentWidget();
            QCOMPARE(shown->objectName(), QLatin1String(page.name));
            QCoreApplication::processEvents();
            save(m_window, language, QLatin1String(page.name));
            faults << fittest::outsidePanel(shown, frame, kPanel, kDrawnInside);
        }
        save(m_window->choicePage(), language, QStringLiteral("DialogChange"));
        // The whole window at once: the choice page, the frame and each page with all it can show.
        faults << fittest::clippedTexts(m_window) << fittest::missingPictures(m_window);
        for (const Scene& scene : dialogScenes()) {
            const std::unique_ptr<QWidget> dialog = scene.make();
            dialog->ensurePolished();
            save(dialog.get(), language, QLatin1String(scene.name));
            for (const QString& f : fittest::clippedTexts(dialog.get()) + fittest::missingPictures(dialog.get()))
                faults << QLatin1String(scene.name) + QLatin1Char(' ') + f;
        }
        faults.removeDuplicates();
        for (const QString& f : faults)
            qWarning("%s", qPrintable(f));
        QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("%1 faults, listed above").arg(faults.size())));
    }
};

QTEST_MAIN(TestFinish)
#include "tst_finish.moc"

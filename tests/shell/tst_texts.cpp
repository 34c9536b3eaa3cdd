// Every page and dialog the program shows, opened the way a user opens it, in each of the six
// languages: no text a user can read is a form's built-in text (mostly Chinese) where the
// language has its own. In English, Korean and Russian no Chinese or Japanese character may
// show at all; in the Chinese languages and Japanese, every text in those scripts must be one
// the language file gives (or one of its texts filled in), so a built-in Chinese text left
// standing where the file says it otherwise is caught. The few built-in English texts are
// caught the same way: outside English, no text may be one of the English file's that the
// language's own file does not hold too.
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/Registry.h"
#include "devicelib/SimControl.h"
#include "dialogs/AddDelayTime.h"
#include "dialogs/ContainReset.h"
#include "dialogs/DeleteConfirm.h"
#include "dialogs/UpDataParam.h"
#include "dialogs/UpDataParamImport.h"
#include "dialogs/addKey.h"
#include "dialogs/ExeIsRun.h"
#include "dialogs/FireKey.h"
#include "dialogs/GroupKey.h"
#include "dialogs/GroupMaxThree.h"
#include "dialogs/InportFail.h"
#include "dialogs/KeyNumberLimit.h"
#include "dialogs/LeftButtonOnly.h"
#include "dialogs/MakeMacro.h"
#include "dialogs/Progress.h"
#include "dialogs/QuestionDialog.h"
#include "dialogs/QuestiondialogB.h"
#include "dialogs/RePair.h"
#include "dialogs/SameMacro.h"
#include "dialogs/UpDateWarning.h"
#include "macro/Macro.h"
#include "buttons/Buttoninterface.h"
#include "settings/FindNewVer.h"
#include "settings/FormSetting.h"
#include "settings/UpDateRepair.h"
#include "sensor/Sensor.h"
#include "shell/Dialog.h"
#include "shell/DialogChange.h"
#include "shell/DialogMain.h"
#include "shell/common/LanguageNames.h"
#include "support/dialogs_helpers.h"
#include "support/fit_helpers.h"
#include "support/modal_helpers.h"

#include <QDomDocument>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// Han and kana: the script of the forms' built-in texts.
const QRegularExpression kBuiltInScript(QStringLiteral("[\\x{3040}-\\x{30FF}\\x{3400}-\\x{9FFF}\\x{F900}-\\x{FAFF}]"));

bool writesInBuiltInScript(int language)
{
    return language == 1 || language == 2 || language == 5;
}

// Every text of the shipped language file `index`, read without the program's loader.
QStringList shippedTexts(int index)
{
    QFile file(QCoreApplication::applicationDirPath() + QString::fromUtf8(shell::languageName(index).file));
    QDomDocument doc;
    QStringList texts;
    if (!file.open(QIODevice::ReadOnly) || !doc.setContent(&file))
        return texts;
    for (QDomElement e = doc.documentElement().firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        for (QDomElement c = e.firstChildElement(); !c.isNull(); c = c.nextSiblingElement())
            texts << c.text();
    return texts;
}

// Whether `text` is a text of the language, as given or with its %1.. filled in, or one
// followed by what the program adds to it (a version, a percentage, dots that move).
bool isLanguageText(const QString& text, const QStringList& texts)
{
    for (const QString& t : texts) {
        if (t.isEmpty())
            continue;
        // What follows a text the program extends is never a text of its own.
        if (text == t || (text.startsWith(t.trimmed()) && !kBuiltInScript.match(text.mid(t.trimmed().size())).hasMatch()))
            return true;
        if (t.contains(QLatin1String("%1"))) {
            QString pattern = QRegularExpression::escape(t.trimmed());
            pattern.replace(QRegularExpression(QStringLiteral("%\\d")), QStringLiteral(".*"));
            if (QRegularExpression(QStringLiteral("^") + pattern + QStringLiteral("$"),
                                   QRegularExpression::DotMatchesEverythingOption)
                    .match(text)
                    .hasMatch())
                return true;
        }
    }
    return false;
}

bool isLanguageName(const QString& text)
{
    for (const shell::LanguageName& name : shell::kLanguageNames) {
        if (text == QString::fromUtf8(name.native))
            return true;
    }
    return false;
}

// The lines of `shown` ("where\ttext") that read in another language than `language`.
QStringList foreignTexts(const QStringList& shown, int language)
{
    static QHash<int, QStringList> cache;
    if (!cache.contains(language))
        cache.insert(language, shippedTexts(language));
    const QStringList& texts = cache[language];
    if (!cache.contains(0))
        cache.insert(0, shippedTexts(0));
    const QStringList& english = cache[0];
    QStringList faults;
    for (const QString& line : shown) {
        const QString text = line.section(QLatin1Char('\t'), -1);
        // A few forms' built-in texts are English, as the English file words them.
        if (language != 0 && english.contains(text) && !texts.contains(text)) {
            faults << line;
            continue;
        }
        if (!kBuiltInScript.match(text).hasMatch() || isLanguageName(text))
            continue;
        if (!writesInBuiltInScript(language) || !isLanguageText(text, texts))
            faults << line;
    }
    return faults;
}

} // namespace

class TestTexts : public QObject
{
    Q_OBJECT

public:
    struct Scene
    {
        const char* name;
        std::function<void(TestTexts*)> open;
    };
    static const std::vector<Scene>& scenes();

private:
    DialogMain* m_window = nullptr;
    QStringList m_shown;

    Dialog* frame() const { return m_window->frame(); }
    bool frameShown() const
    {
        return m_window->findChild<QStackedWidget*>(QStringLiteral("stackedWidgetMain"))->currentWidget() == frame();
    }

    void scan(QWidget* w, const QString& where = QString())
    {
        const QString name = where.isEmpty() ? w->objectName() : where;
        for (const QString& line : fittest::shownTexts(w))
            m_shown << name + QLatin1Char('/') + line;
    }

    // Runs `opener`; every modal dialog it opens is read when it shows and then handed to
    // `then` (which closes it), or closed.
    void throughModals(const std::function<void()>& opener, const std::function<void(QWidget*)>& then = {},
                       const QStringList& expected = {})
    {
        modaltest::ModalDriver driver([this, then](QWidget* dialog) {
            scan(dialog);
            if (then)
                then(dialog);
            else
                dialog->close();
        });
        opener();
        if (!expected.isEmpty())
            QCOMPARE(driver.seen().join(QLatin1Char(',')), expected.join(QLatin1Char(',')));
    }

    // A dialog shown without its own event loop: read, then hidden again.
    void scanShown(QWidget* dialog)
    {
        QVERIFY(dialog);
        QTRY_VERIFY(dialog->isVisible());
        scan(dialog);
        dialog->hide();
    }

    void openTheMouse()
    {
        if (frameShown())
            return;
        QTRY_VERIFY_WITH_TIMEOUT(TileDeviceList.size() == 1, 10000);
        // The parameter read's notice closes as it comes (the scene "opening the mouse" reads it).
        // The pages may still be filled from the mouse opened before: this open is over once its
        // own notice has come and gone, or it would come in the middle of the next scene.
        modaltest::ModalDriver closer;
        // Queued behind the frame's own slot, which shows the notice; a call already queued when
        // this returns finds its flag still there.
        const auto read = std::make_shared<bool>(false);
        const QMetaObject::Connection asked = connect(PostMsg::instance(), &PostMsg::SigUpDataParam, this,
                                                      [read] { *read = true; }, Qt::QueuedConnection);
        const auto forget = qScopeGuard([asked] { disconnect(asked); });
        m_window->choicePage()->OpenTile(0);
        QTRY_VERIFY2_WITH_TIMEOUT(frameShown() && ButtonPageFilled && SensorPageFilled && *read,
                                  qPrintable(closer.seen().join(QLatin1Char(','))), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(!frame()->paramDialog()->isVisible(), 20000);
    }

    void backToChoice()
    {
        if (!frameShown())
            return;
        frame()->findChild<QToolButton*>(QStringLiteral("UpArrow"))->click();
        QTRY_VERIFY(!frameShown());
    }

    template <class T>
    T* showPage(const char* button)
    {
        openTheMouse();
        frame()->findChild<QToolButton*>(QLatin1String(button))->click();
        auto* page = frame()->findChild<T*>();
        auto* stack = frame()->findChild<QStackedWidget*>(QStringLiteral("stackedWidgetDialog"));
        if (stack->currentWidget() != page)
            qWarning("the page of %s did not show", button);
        return page;
    }

    template <class T>
    void construct(const std::function<void(T&)>& state = {})
    {
        T dialog(nullptr);
        if (state)
            state(dialog);
        scan(&dialog);
    }

private slots:
    void initTestCase()
    {
        RegisterBusTypes();
        modaltest::ModalDriver closer; // the parameter read of opening the mouse
        m_window = new DialogMain;
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        openTheMouse();
    }

    void cleanupTestCase() { delete m_window; }

    void everyTextIsTheLanguages_data();
    void everyTextIsTheLanguages();
};

const std::vector<TestTexts::Scene>& TestTexts::scenes()
{
    static const std::vector<Scene> list = {
        // The pages, through the choice page and the frame's buttons.
        {"choice page", [](TestTexts* t) {
             t->backToChoice();
             t->scan(t->m_window->choicePage());
         }},
        // The parameter read's notice, as opening the mouse shows it.
        {"opening the mouse", [](TestTexts* t) {
             t->backToChoice();
             QTRY_VERIFY_WITH_TIMEOUT(TileDeviceList.size() == 1, 10000);
             // It closes itself once the read is done.
             modaltest::ModalDriver reader([t](QWidget* dialog) { t->scan(dialog); });
             t->m_window->choicePage()->OpenTile(0);
             QTRY_COMPARE_WITH_TIMEOUT(reader.seen(), QStringList{QStringLiteral("UpDataParam")}, 20000);
             QTRY_VERIFY_WITH_TIMEOUT(!t->frame()->paramDialog()->isVisible(), 20000);
         }},
        // With buttons that show the names of their functions.
        {"button page", [](TestTexts* t) {
             auto* page = t->showPage<Buttoninterface>("ButtonMain");
             page->AssignMultimediaKey(3, 0xB5);
             page->AssignKeyCombo(4, QStringLiteral("Ctrl+A"));
             t->scan(page);
         }},
        {"macro page", [](TestTexts* t) { t->scan(t->showPage<Macro>("MacroButton")); }},
        {"sensor page", [](TestTexts* t) { t->scan(t->showPage<Sensor>("SensorButton")); }},
        {"settings page", [](TestTexts* t) { t->scan(t->showPage<FormSetting>("FormSetting")); }},
        {"frame", [](TestTexts* t) {
             t->openTheMouse();
             t->scan(t->frame(), QStringLiteral("Dialog"));
         }},
        // The other model, whose pages show their other forms; the default mouse comes back after.
        {"pages of the Pro", [](TestTexts* t) {
             t->backToChoice();
             const char* error = nullptr;
             QVERIFY2(SimControl_LoadScenarioText("[Mouse9]\nModel=2\n[Receiver9]\nClass=8\nMouse=Mouse9\n", &error), error);
             QTRY_VERIFY_WITH_TIMEOUT(TileDeviceList.size() == 1 && TileDeviceList.first().DeviceKind == 5, 10000);
             t->scan(t->showPage<Buttoninterface>("ButtonMain"));
             t->scan(t->showPage<Sensor>("SensorButton"));
             t->scan(t->showPage<FormSetting>("FormSetting"));
             t->backToChoice();
             SimControl_LoadScenario(nullptr, nullptr);
             QTRY_VERIFY_WITH_TIMEOUT(TileDeviceList.size() == 1 && TileDeviceList.first().DeviceKind != 5, 10000);
         }},
        // Dialogs through the buttons and keys that open them.
        {"button page reset", [](TestTexts* t) {
             auto* page = t->showPage<Buttoninterface>("ButtonMain");
             t->throughModals([page] { page->on_Reset_clicked(); }, {}, {QStringLiteral("ContainReset")});
         }},
        {"macro page new macro", [](TestTexts* t) {
             auto* page = t->showPage<Macro>("MacroButton");
             t->throughModals([page] { page->on_NewHong_clicked(); }, {}, {QStringLiteral("QuestionDialog")});
         }},
        {"settings page pairing", [](TestTexts* t) {
             auto* page = t->showPage<FormSetting>("FormSetting");
             t->throughModals([page] { page->on_pushButton_2_clicked(); }, {}, {QStringLiteral("Match")});
         }},
        {"Space on the frame", [](TestTexts* t) {
             t->openTheMouse();
             t->throughModals([t] { QTest::keyClick(t->m_window, Qt::Key_Space); }, {}, {QStringLiteral("Match")});
         }},
        {"mouse offline", [](TestTexts* t) {
             t->openTheMouse();
             for (int why : {0, 1}) {
                 t->throughModals([why] {
                     OffLineNoticeIndex = why;
                     PostMsg::instance()->EmitMouseOffLineo(why);
                 });
             }
         }},
        {"settings page update", [](TestTexts* t) {
             auto* page = t->showPage<FormSetting>("FormSetting");
             page->on_Receive_2_clicked();
             if (UpdateRepairDialog->isVisible())
                 t->scanShown(UpdateRepairDialog);
         }},
        {"choice page repair", [](TestTexts* t) {
             t->backToChoice();
             t->m_window->choicePage()->on_Repair_clicked();
             t->scanShown(UpdateRepairDialog);
         }},
        // Space on the choice page with the receiver behind its image: the question, then the
        // automatic update, read when it shows and again once it has failed.
        {"Space on the choice page", [](TestTexts* t) {
             t->backToChoice();
             QTRY_VERIFY_WITH_TIMEOUT(TileDeviceList.size() == 1, 20000);
             const QString name = QStringLiteral("MouseVer331");
             Registry::SetValue(Registry::DriveTestKey(), name, QStringLiteral("v1.7"));
             SimControl_FailNextUpgrade(50);
             t->throughModals([t] { QTest::keyClick(t->m_window, Qt::Key_Space); },
                              [t](QWidget* dialog) {
                                  if (auto* question = qobject_cast<ContainReset*>(dialog)) {
                                      question->okButton()->click();
                                      return;
                                  }
                                  auto* close = dialog->findChild<QToolButton*>(QStringLiteral("CloseButton"));
                                  if (!QTest::qWaitFor([close] { return close->isEnabled(); }, 20000))
                                      qWarning("the update dialog cannot be closed after its update");
                                  t->scan(dialog);
                                  dialog->hide();
                              },
                              {QStringLiteral("ContainReset"), QStringLiteral("UpDateRepair")});
             Registry::Remove(Registry::DriveTestKey(), name);
             // The failed update left the receiver in its boot loader; the next row needs its tile.
             SimControl_SetBootMode("Receiver1", false);
         }},
        // Dialogs whose openers need what a test cannot easily stage, in each of their states.
        {"notices", [](TestTexts* t) {
             t->construct<LeftButtonOnly>();
             t->construct<SameMacro>();
             t->construct<GroupMaxThree>();
             t->construct<KeyNumberLimit>();
             t->construct<QuestiondialogB>();
             t->construct<RePair>();
             t->construct<DeleteConfirm>();
             t->construct<FindNewVer>();
             t->construct<QuestionDialog>([](QuestionDialog& d) { d.SetTipText(true); });
             t->construct<ExeIsRun>();
             t->construct<ExeIsRun>([](ExeIsRun& d) { d.SetLabelText(); });
             t->construct<ExeIsRun>([](ExeIsRun& d) { d.SetLabelText2(); });
             for (int result : {dialogs::ImportNotSettingsFile, dialogs::ImportOtherDevice}) {
                 ImportResult = result;
                 t->construct<InportFail>();
             }
             ImportResult = 0;
             for (int text = 0; text <= int(MakeMacro::Text::ChoiceNotSaved); ++text) {
                 MakeMacro dialog(nullptr, MakeMacro::Text(text));
                 t->scan(&dialog);
             }
             for (auto state : {Progress::Running, Progress::Failed, Progress::Succeeded}) {
                 t->construct<Progress>([state](Progress& d) { d.SlotProgress(45, state); });
             }
         }},
        {"key dialogs", [](TestTexts* t) {
             t->construct<GroupKey>([](GroupKey& d) { d.UpdateCapslockTip(65, true, false); });
             t->construct<addKey>([](addKey& d) { d.UpdateCapslockTip(161, true, false); });
             t->construct<FireKey>();
             t->construct<AddDelayTime>();
         }},
    };
    return list;
}

void TestTexts::everyTextIsTheLanguages_data()
{
    QTest::addColumn<int>("scene");
    QTest::addColumn<int>("language");
    for (int s = 0; s < int(scenes().size()); ++s)
        for (int lang = 0; lang < shell::kLanguageCount; ++lang)
            QTest::addRow("%s, %d", scenes()[size_t(s)].name, lang) << s << lang;
}

void TestTexts::everyTextIsTheLanguages()
{
    QFETCH(int, scene);
    QFETCH(int, language);
    dialogtest::chooseLanguage(language);
    PostMsg::instance()->EmitChangeLanguage(language);
    m_shown.clear();
    scenes()[size_t(scene)].open(this);
    if (QTest::currentTestFailed())
        return;
    QVERIFY2(!m_shown.isEmpty(), "nothing was read");
    const QStringList faults = foreignTexts(m_shown, language);
    for (const QString& f : faults)
        qWarning("%s", qPrintable(f));
    QVERIFY2(faults.isEmpty(), qPrintable(QStringLiteral("%1 texts in another language, listed above").arg(faults.size())));
}

QTEST_MAIN(TestTexts)
#include "tst_texts.moc"

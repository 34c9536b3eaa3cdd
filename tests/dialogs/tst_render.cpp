// Every notice and entry dialog in every language, in each of its states: its texts fit
// their boxes, and, when TALVO_RENDER_DIR names a folder, a PNG of each lands there for
// review (scripts/render_dialogs.sh).
#include "core/DeviceInfoFile.h"
#include "core/ProcessState.h"
#include "support/dialogs_helpers.h"
#include "support/fit_helpers.h"

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
#include "shell/common/LanguageNames.h"

#include <QDir>
#include <QLabel>
#include <QtTest>

#include <functional>
#include <memory>

using dialogs::DialogFrame;

namespace {

struct Scene
{
    const char* name;
    std::function<std::unique_ptr<DialogFrame>()> make;
};

template <class T>
std::unique_ptr<DialogFrame> plain()
{
    return std::unique_ptr<DialogFrame>(new T(nullptr));
}

// A notice of the main window about its files, naming them as it does.
std::function<std::unique_ptr<DialogFrame>()> fileNotice(const char* child, const QStringList& names)
{
    return [child, names] {
        auto d = std::make_unique<UpDateWarning>();
        d->fitStartUpNotice(false);
        d->SetText(d->withNames(dialogtest::shippedText(shell::LanguageFile::currentIndex(), "DialogMain", child), names));
        return std::unique_ptr<DialogFrame>(std::move(d));
    };
}

// The not-saved notice naming a macro file whose name alone is `from` to `to` pixels wider than
// the notice's text room. No such name in the font leaves the message empty, which fails.
std::function<std::unique_ptr<DialogFrame>()> notSavedNameWider(int from, int to)
{
    return [from, to] {
        auto d = std::make_unique<UpDateWarning>();
        d->fitStartUpNotice(false);
        const QFontMetrics metrics(d->label()->font());
        const int room = d->label()->contentsRect().width();
        QString text;
        for (int wide = 0; wide < 60 && text.isEmpty(); ++wide) {
            for (int narrow = 0; narrow < 12 && text.isEmpty(); ++narrow) {
                const QString name = QString(wide, QLatin1Char('W')) + QString(narrow, QLatin1Char('i')) + ".ini";
                const int over = metrics.horizontalAdvance(name) - room;
                if (over >= from && over <= to)
                    text = d->withNames(
                        dialogtest::shippedText(shell::LanguageFile::currentIndex(), "DialogMain", "NotSaved"), {name});
            }
        }
        d->SetText(text);
        return std::unique_ptr<DialogFrame>(std::move(d));
    };
}

const std::vector<Scene>& scenes()
{
    static const std::vector<Scene> list = {
        {"MouseOffLine-offline", [] { OffLineNoticeIndex = 0; return plain<MouseOffLine>(); }},
        {"MouseOffLine-timeout", [] { OffLineNoticeIndex = 1; return plain<MouseOffLine>(); }},
        {"LeftButtonOnly", plain<LeftButtonOnly>},
        {"MakeMacro", plain<MakeMacro>},
        {"MakeMacro-LanguageNotSaved",
         [] { return std::unique_ptr<DialogFrame>(new MakeMacro(nullptr, MakeMacro::Text::LanguageNotSaved)); }},
        {"SameMacro", plain<SameMacro>},
        {"GroupMaxThree", plain<GroupMaxThree>},
        {"QuestionDialog-new", [] {
             auto d = std::make_unique<QuestionDialog>();
             d->SetTipText(false);
             return std::unique_ptr<DialogFrame>(std::move(d));
         }},
        {"QuestionDialog-rename", [] {
             auto d = std::make_unique<QuestionDialog>();
             d->SetTipText(true);
             return std::unique_ptr<DialogFrame>(std::move(d));
         }},
        {"QuestiondialogB", plain<QuestiondialogB>},
        {"ExeIsRun-running", plain<ExeIsRun>},
        {"ExeIsRun-choose", [] {
             auto d = std::make_unique<ExeIsRun>();
             d->SetLabelText();
             return std::unique_ptr<DialogFrame>(std::move(d));
         }},
        {"ExeIsRun-stop", [] {
             auto d = std::make_unique<ExeIsRun>();
             d->SetLabelText2();
             return std::unique_ptr<DialogFrame>(std::move(d));
         }},
        {"KeyNumberLimit", plain<KeyNumberLimit>},
        {"InportFail-file", [] { ImportResult = dialogs::ImportNotSettingsFile; return plain<InportFail>(); }},
        {"InportFail-device", [] { ImportResult = dialogs::ImportOtherDevice; return plain<InportFail>(); }},
        {"ContainReset", plain<ContainReset>},
        {"RePair", plain<RePair>},
        {"DeleteConfirm", plain<DeleteConfirm>},
        {"Progress-running", [] {
             auto d = std::make_unique<Progress>();
             d->SlotProgress(45, Progress::Running);
             return std::unique_ptr<DialogFrame>(std::move(d));
         }},
        {"Progress-failed", [] {
             auto d = std::make_unique<Progress>();
             d->SlotProgress(45, Progress::Failed);
             return std::unique_ptr<DialogFrame>(std::move(d));
         }},
        {"Progress-done", [] {
             auto d = std::make_unique<Progress>();
             d->SlotProgress(100, Progress::Succeeded);
             return std::unique_ptr<DialogFrame>(std::move(d));
         }},
        {"UpDateWarning", [] {
             auto d = std::make_unique<UpDateWarning>();
             // The settings page's text where it is shipped; the built-in one before.
             const QString wired =
                 dialogtest::shippedText(shell::LanguageFile::currentIndex(), "FormSetting", "WiredMode");
             if (!wired.isEmpty())
                 d->SetText(wired);
             return std::unique_ptr<DialogFrame>(std::move(d));
         }},
        {"UpDateWarning-several", [] {
             auto d = std::make_unique<UpDateWarning>();
             d->SetText(dialogtest::shippedText(shell::LanguageFile::currentIndex(), "FormSetting", "SameDevice"));
             return std::unique_ptr<DialogFrame>(std::move(d));
         }},
        {"GroupKey", [] {
             auto d = std::make_unique<GroupKey>();
             d->UpdateCapslockTip(65, true, false);
             d->UpdateCapslockTip(46, true, false);
             return std::unique_ptr<DialogFrame>(std::move(d));
         }},
        {"addKey", [] {
             auto d = std::make_unique<addKey>();
             d->UpdateCapslockTip(161, true, false);
             return std::unique_ptr<DialogFrame>(std::move(d));
         }},
        {"FireKey", plain<FireKey>},
        {"AddDelayTime", plain<AddDelayTime>},
        // The longest names it can give: a device cache, and a macro of a 30-character name.
        {"UpDateWarning-NotSaved-cache", fileNotice("NotSaved", {DeviceCacheFileName(0xDD, 0xDD)})},
        {"UpDateWarning-NotSaved-macro", fileNotice("NotSaved", {QString(30, QLatin1Char('W')) + ".ini"})},
        // Names at the edge of the room: one a few pixels too wide, one that fits only without
        // the punctuation around it.
        {"UpDateWarning-NotSaved-nameJustWider", notSavedNameWider(2, 4)},
        {"UpDateWarning-NotSaved-nameJustNarrower", notSavedNameWider(-3, 0)},
        {"UpDateWarning-SettingsDamaged",
         fileNotice("SettingsDamaged", {"TALVO R430K mouse.ini, Macro.ini",
                                        "TALVO R430K mouse.ini.damaged2, Macro.ini.damaged2"})},
        {"UpDateWarning-DataMissing",
         fileNotice("DataMissing", {"/usersetting/Config.ini, /Language, /Picture, /driver_sensor.h"})},
        {"UpDateWarning-ScenarioBadLine",
         fileNotice("ScenarioBadLine", {"/home/user/talvo/devicelib/scenarios/timed-events.ini", "12"})},
    };
    return list;
}

} // namespace

class TestRender : public QObject
{
    Q_OBJECT

private slots:
    void textsFitAndRender_data();
    void textsFitAndRender();
};

void TestRender::textsFitAndRender_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("scene");
    for (int lang = 0; lang < shell::kLanguageCount; ++lang)
        for (int s = 0; s < int(scenes().size()); ++s)
            QTest::newRow(qPrintable(QStringLiteral("%1-%2").arg(lang).arg(scenes()[s].name))) << lang << s;
}

void TestRender::textsFitAndRender()
{
    QFETCH(int, language);
    QFETCH(int, scene);
    dialogtest::chooseLanguage(language);
    const std::unique_ptr<DialogFrame> dialog = scenes()[scene].make();
    ImportResult = 0;
    dialog->ensurePolished();
    for (QWidget* w : dialog->findChildren<QWidget*>())
        w->ensurePolished();

    QVERIFY2(!dialog->label()->text().isEmpty(), "empty message");
    // Every text of the dialog, captions of the entry dialogs and the buttons included.
    const QStringList faults = fittest::clippedTexts(dialog.get());
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));

    const QImage image = dialog->grab().toImage();
    QCOMPARE(image.size(), dialog->size());
    const QString dir = qEnvironmentVariable("TALVO_RENDER_DIR");
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        const QString file = QStringLiteral("%1/%2-%3.png").arg(dir).arg(language).arg(scenes()[scene].name);
        QVERIFY2(image.save(file), qPrintable(file));
    }
}

QTEST_MAIN(TestRender)
#include "tst_render.moc"

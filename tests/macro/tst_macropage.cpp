// The macro page on screen (offscreen): editing, saving, recording, the macro
// list and its files, and the page's texts. Rows are written as "vA" (press
// of A), "^A" (release) and "50ms"; "d" stands for any measured delay.
#include "core/KeyTable.h"
#include "core/MacroCodec.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "dialogs/KeyHook.h"
#include "macro/Macro.h"
#include "shell/common/LanguageNames.h"
#include "support/dialogs_helpers.h"
#include "support/full_disk.h"
#include "support/keys_input.h"
#include "support/modal_helpers.h"
#include "support/sync_faults.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>

using dialogtest::widget;

namespace {

QString filePath(const QString& name)
{
    return core::macroFolderPath() + QLatin1Char('/') + name;
}

void writeFile(const QString& name, const QByteArray& bytes)
{
    QFile file(filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray readFile(const QString& name)
{
    QFile file(filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// A macro file of `keys` taps of A: press, 10 ms, release, 10 ms, ...
QByteArray tapsOfA(int keys)
{
    QByteArray text = "1\n";
    for (int i = 0; i < keys; ++i)
        text += (i ? "10ms\n" : "") + QByteArray(i % 2 ? "0x04 1 1\n" : "0x04 1 0\n");
    return text;
}

void clickButton(QWidget* page, const char* name)
{
    widget<QAbstractButton>(page, name)->click();
}

// Runs `act`, answering every dialog it opens with `answer` from inside the
// dialog's exec() and closing it after.
void answering(const std::function<void(QWidget*)>& answer, const std::function<void()>& act)
{
    modaltest::ModalDriver driver([answer](QWidget* modal) {
        answer(modal);
        modal->close();
    });
    act();
}

void typeKey(const keytest::NativeKey& key, const std::function<void()>& act)
{
    answering(
        [key](QWidget* modal) {
            keytest::tapKey(widget<QLineEdit>(modal, "lineEdit"), key);
            clickButton(modal, "NewHong");
        },
        act);
}

void enterDelay(int ms, const std::function<void()>& act)
{
    answering(
        [ms](QWidget* modal) {
            widget<QSpinBox>(modal, "spinBox")->setValue(ms);
            clickButton(modal, "NewHong");
        },
        act);
}

// Runs `act`, answering every name dialog with `name` and closing every
// other dialog; the dialogs that opened, in order.
QStringList withName(const QString& name, const std::function<void()>& act)
{
    modaltest::ModalDriver driver([name](QWidget* modal) {
        if (auto* line = modal->findChild<QLineEdit*>(QStringLiteral("lineEdit"))) {
            line->setText(name);
            clickButton(modal, "NewHong");
        }
        modal->close();
    });
    act();
    return driver.seen();
}

void confirm(const std::function<void()>& act)
{
    answering([](QWidget* modal) { clickButton(modal, "NewHong"); }, act);
}

keytest::NativeKey volumeUp()
{
    return {Qt::Key_VolumeUp, Qt::NoModifier, 123, 0x1008ff13, QString()};
}

QList<QVariantList> argsOf(const QSignalSpy& spy)
{
    return QList<QVariantList>(spy.begin(), spy.end());
}

} // namespace

class TestMacroPage : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Macro> m_page;

    Macro* openPage();
    QListWidget* rows() const { return widget<QListWidget>(m_page.get(), "listWidgetKey"); }
    QListWidget* macros() const { return widget<QListWidget>(m_page.get(), "listWidgetHong"); }
    QComboBox* chooser() const { return widget<QComboBox>(m_page.get(), "ChooseEvent"); }
    QAbstractButton* save() const { return widget<QAbstractButton>(m_page.get(), "Save"); }
    void choose(int index) { emit chooser()->activated(index); }
    void selectMacro(const QString& name);
    void showMacro(const QString& name);
    QString rowsText(bool anyDelay = false) const;
    void runKeys(const QString& script);

private slots:
    void init();
    void cleanup();

    void editAndSaveWritesTheFile();
    void dialogsDoNotEditAnotherMacro();
    void delayOnTheFirstRowStillMarksAChange();
    void insertsStopAtTheEventLimit();
    void failedSaveKeepsTheChange_data();
    void failedSaveKeepsTheChange();
    void saveWithoutAFolderSyncIsASave_data();
    void saveWithoutAFolderSyncIsASave();
    void mouseRowsSurviveALanguageSwitch();

    void recordingTurnsKeysIntoRows_data();
    void recordingTurnsKeysIntoRows();
    void seventiethKeyEndsTheRecording();
    void leavingTheDeviceEndsTheRecording();

    void listShowsTheMacroFiles();
    void repeatLineSelectsTheMode_data();
    void repeatLineSelectsTheMode();
    void newMacroNeedsAFreeSafeName();
    void renameMovesTheFileFirst();
    void failedRenameIsToldAndKeepsTheOldName_data();
    void failedRenameIsToldAndKeepsTheOldName();
    void deleteRemovesTheFileFirst();

    void textsFollowTheLanguage();
    void shippedMouseNamesAreDistinct();
};

Macro* TestMacroPage::openPage()
{
    m_page = std::make_unique<Macro>();
    m_page->show();
    if (!QTest::qWaitForWindowExposed(m_page.get()))
        qWarning("macro page never exposed");
    return m_page.get();
}

void TestMacroPage::selectMacro(const QString& name)
{
    const QList<QListWidgetItem*> found = macros()->findItems(name, Qt::MatchExactly);
    QCOMPARE(found.size(), 1);
    macros()->setCurrentItem(found.first());
}

void TestMacroPage::showMacro(const QString& name)
{
    selectMacro(name);
    const QRect at = macros()->visualItemRect(macros()->currentItem());
    QTest::mouseClick(macros()->viewport(), Qt::LeftButton, {}, at.center());
}

QString TestMacroPage::rowsText(bool anyDelay) const
{
    QStringList texts;
    for (int i = 0; i < rows()->count(); ++i) {
        const QListWidgetItem* item = rows()->item(i);
        if (item->text().endsWith(QLatin1String("ms")))
            texts << (anyDelay ? QStringLiteral("d") : item->text());
        else
            texts << (item->type() == 1 ? QStringLiteral("^") : QStringLiteral("v")) + item->text();
    }
    return texts.join(QLatin1Char(' '));
}

// "A" taps a letter, "A+" presses it, "A*" presses it as a held key repeats,
// "A-" releases it, "V" taps a media key that has no name.
void TestMacroPage::runKeys(const QString& script)
{
    for (const QString& token : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QChar name = token.at(0);
        const keytest::NativeKey key = name == QLatin1Char('V') ? volumeUp() : keytest::letter(name.toLatin1());
        const QChar how = token.size() > 1 ? token.at(1) : QLatin1Char(' ');
        if (how != QLatin1Char('-'))
            keytest::sendKey(m_page.get(), QEvent::KeyPress, key, how == QLatin1Char('*'));
        if (how == QLatin1Char(' ') || how == QLatin1Char('-'))
            keytest::sendKey(m_page.get(), QEvent::KeyRelease, key);
    }
}

void TestMacroPage::init()
{
    dialogtest::chooseLanguage(0);
    MacroRecording = false;
    QDir(core::macroFolderPath()).removeRecursively();
    QVERIFY(QDir().mkpath(core::macroFolderPath()));
}

void TestMacroPage::cleanup()
{
    QVERIFY(!KeyboardHook().IsInstalled() || MacroRecording);
    m_page.reset();
    QVERIFY(!KeyboardHook().IsInstalled());
    QVERIFY(!MacroRecording);
}

void TestMacroPage::editAndSaveWritesTheFile()
{
    Macro* page = openPage();
    withName(QStringLiteral("m1"), [page] { clickButton(page, "NewHong"); });
    QVERIFY(QFile::exists(filePath("m1.ini")));
    QCOMPARE(readFile("m1.ini"), QByteArray());

    typeKey(keytest::letter('A'), [this] { choose(1); });
    typeKey(keytest::letter('A'), [this] { choose(2); });
    QCOMPARE(rowsText(), QStringLiteral("vA 10ms ^A"));
    rows()->setCurrentRow(1);
    enterDelay(50, [page] { clickButton(page, "Amend"); });
    widget<QSpinBox>(page, "NumberEdit")->setValue(3);

    QSignalSpy saved(PostMsg::instance(), &PostMsg::SigUpDataMacro);
    clickButton(page, "Save");
    QCOMPARE(readFile("m1.ini"), QByteArray("3\n0x04 1 0\n50ms\n0x04 1 1\n"));
    QCOMPARE(argsOf(saved), (QList<QVariantList>{{"m1", 0}, {"m1", 1}}));
    QVERIFY(!save()->isEnabled());

    clickButton(page, "ReUntilClick");
    clickButton(page, "Save");
    QVERIFY(readFile("m1.ini").startsWith("255\n"));
    clickButton(page, "ReNumber");
    widget<QSpinBox>(page, "NumberEdit")->setValue(250);
    clickButton(page, "Save");
    QVERIFY(readFile("m1.ini").startsWith("250\n"));
    QCOMPARE(saved.count(), 4);
}

void TestMacroPage::dialogsDoNotEditAnotherMacro()
{
    writeFile("m1.ini", tapsOfA(2));
    writeFile("m2.ini", "1\n0x05 1 0\n");
    Macro* page = openPage();
    showMacro("m1");
    rows()->setCurrentRow(0);
    // While the key dialog runs, another macro is shown (as a refill from the
    // device would do); the key typed must not land in it.
    answering(
        [this, page](QWidget* modal) {
            selectMacro("m2");
            page->on_listWidgetHong_clicked(macros()->currentIndex());
            keytest::tapKey(widget<QLineEdit>(modal, "lineEdit"), keytest::letter('C'));
            clickButton(modal, "NewHong");
        },
        [page] { clickButton(page, "Amend"); });
    QCOMPARE(rowsText(), QStringLiteral("vB"));
    QVERIFY(!save()->isEnabled());
}

void TestMacroPage::delayOnTheFirstRowStillMarksAChange()
{
    writeFile("m1.ini", tapsOfA(2));
    Macro* page = openPage();
    showMacro("m1");
    rows()->setCurrentRow(0);
    enterDelay(99, [this] { choose(3); });
    QCOMPARE(rowsText(), QStringLiteral("vA 10ms ^A"));
    QVERIFY(save()->isEnabled());
    QSignalSpy saved(PostMsg::instance(), &PostMsg::SigUpDataMacro);
    clickButton(page, "Save");
    QCOMPARE(argsOf(saved), (QList<QVariantList>{{"m1", 0}}));
}

void TestMacroPage::insertsStopAtTheEventLimit()
{
    writeFile("m1.ini", tapsOfA(69));
    openPage();
    showMacro("m1");
    {
        modaltest::ModalDriver closer;
        choose(4);  // a click is two events: one too many
        QTRY_COMPARE(closer.seen(), QStringList{QStringLiteral("KeyNumberLimit")});
    }
    QCOMPARE(rows()->count(), 137);
    QVERIFY(!save()->isEnabled());
    typeKey(keytest::letter('B'), [this] { choose(1); });
    QCOMPARE(rows()->count(), 139);
    QCOMPARE(rows()->item(138)->text(), QStringLiteral("B"));
}

void TestMacroPage::failedSaveKeepsTheChange_data()
{
    QTest::addColumn<bool>("fullDisk");  // else a folder in the file's place, which cannot be replaced
    QTest::addColumn<int>("language");   // the notice is in the user's language
    QTest::newRow("folder in the file's place, English") << false << 0;
    QTest::newRow("full disk, Russian") << true << 4;
}

// Nothing on the page may look saved: the edits stay, Save stays armed, the user is told, and the
// file keeps what it had.
void TestMacroPage::failedSaveKeepsTheChange()
{
    QFETCH(bool, fullDisk);
    QFETCH(int, language);
    dialogtest::chooseLanguage(language);
    const QByteArray old = "3\n";
    writeFile("m1.ini", old);
    Macro* page = openPage();
    showMacro("m1");
    choose(5);
    if (!fullDisk) {
        QVERIFY(QFile::remove(filePath("m1.ini")));
        QVERIFY(QDir().mkpath(filePath("m1.ini/x")));
    }
    QSignalSpy saved(PostMsg::instance(), &PostMsg::SigUpDataMacro);
    QStringList texts;
    {
        std::unique_ptr<hostile::FullDisk> full(fullDisk ? new hostile::FullDisk : nullptr);
        modaltest::ModalDriver driver([&](QWidget* modal) {
            full.reset();
            modaltest::keepNoticeText(&texts)(modal);
        });
        clickButton(page, "Save");
        full.reset();
        QCOMPARE(texts, QStringList{"MakeMacro: " + dialogtest::shippedText(language, "MakeMacro", "MacroNotSaved")});
    }
    QVERIFY(save()->isEnabled());
    QCOMPARE(saved.count(), 0);
    QCOMPARE(rows()->count(), 3);
    if (fullDisk)
        QCOMPARE(readFile("m1.ini"), old);
    else
        QVERIFY(QDir(filePath("m1.ini")).removeRecursively());
    clickButton(page, "Save");
    QCOMPARE(readFile("m1.ini"), QByteArray("3\n0x02 4 0\n10ms\n0x02 4 1\n"));
    QCOMPARE(argsOf(saved), (QList<QVariantList>{{"m1", 0}}));
}

void TestMacroPage::saveWithoutAFolderSyncIsASave_data()
{
    QTest::addColumn<int>("answer");  // of a folder's fsync
    QTest::newRow("EOPNOTSUPP") << EOPNOTSUPP;
    QTest::newRow("EPERM") << EPERM;
}

// On a file system that cannot sync a folder (FUSE, network ones), a save is one: no notice, and
// Save goes off.
void TestMacroPage::saveWithoutAFolderSyncIsASave()
{
    QFETCH(int, answer);
    writeFile("m1.ini", "3\n");
    Macro* page = openPage();
    showMacro("m1");
    choose(5);
    QSignalSpy saved(PostMsg::instance(), &PostMsg::SigUpDataMacro);
    QStringList texts;
    {
        hostile::NoFolderSync unsynced(answer);
        modaltest::ModalDriver driver(modaltest::keepNoticeText(&texts));
        clickButton(page, "Save");
    }
    QCOMPARE(texts, QStringList());
    QVERIFY(!save()->isEnabled());
    QCOMPARE(argsOf(saved), (QList<QVariantList>{{"m1", 0}}));
    QCOMPARE(readFile("m1.ini"), QByteArray("3\n0x02 4 0\n10ms\n0x02 4 1\n"));
}

void TestMacroPage::mouseRowsSurviveALanguageSwitch()
{
    writeFile("m1.ini", "");
    Macro* page = openPage();
    showMacro("m1");
    choose(4);
    const QString left = dialogtest::shippedText(0, "Macro", "ChooseEvent4");
    QCOMPARE(rowsText(), QStringLiteral("v%1 10ms ^%1").arg(left));
    dialogtest::chooseLanguage(1);
    PostMsg::instance()->EmitChangeLanguage(1);
    QCOMPARE(LeftButtonName, dialogtest::shippedText(1, "Macro", "ChooseEvent4"));
    clickButton(page, "Save");
    QCOMPARE(readFile("m1.ini"), QByteArray("1\n0x01 4 0\n10ms\n0x01 4 1\n"));
}

void TestMacroPage::recordingTurnsKeysIntoRows_data()
{
    QTest::addColumn<int>("fixedDelay");  // 0: measured
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("recorded");
    QTest::newRow("two keys") << 0 << "A B" << "vA d ^A d vB d ^B";
    QTest::newRow("fixed delay") << 50 << "A B" << "vA 50ms ^A 50ms vB 50ms ^B";
    QTest::newRow("held key") << 0 << "A+ A* A* A-" << "vA d ^A";
    QTest::newRow("unnamed key between") << 0 << "A V B" << "vA d ^A d vB d ^B";
    QTest::newRow("unnamed key last") << 0 << "A V" << "vA d ^A";
}

void TestMacroPage::recordingTurnsKeysIntoRows()
{
    QFETCH(int, fixedDelay);
    QFETCH(QString, keys);
    QFETCH(QString, recorded);
    writeFile("m1.ini", tapsOfA(4));
    Macro* page = openPage();
    showMacro("m1");
    if (fixedDelay) {
        clickButton(page, "DefaultDelay");
        widget<QSpinBox>(page, "DelayTime")->setValue(fixedDelay);
    }
    QSignalSpy lock(PostMsg::instance(), &PostMsg::SigStartRecord);
    clickButton(page, "StartRecord");
    QVERIFY(MacroRecording);
    QVERIFY(!chooser()->isEnabled());
    runKeys(keys);
    clickButton(page, "StopRecord");
    QCOMPARE(rowsText(fixedDelay == 0), recorded);
    QCOMPARE(argsOf(lock), (QList<QVariantList>{{0}, {1}}));
    QVERIFY(!MacroRecording);
    QVERIFY(chooser()->isEnabled());
    QVERIFY(save()->isEnabled());
}

void TestMacroPage::seventiethKeyEndsTheRecording()
{
    writeFile("m1.ini", "");
    Macro* page = openPage();
    showMacro("m1");
    clickButton(page, "StartRecord");
    modaltest::ModalDriver closer;
    QSignalSpy lock(PostMsg::instance(), &PostMsg::SigStartRecord);
    for (int i = 0; i < 40; ++i)
        runKeys(QString(QChar('A' + i % 26)));
    QTRY_COMPARE(closer.seen(), QStringList{QStringLiteral("KeyNumberLimit")});
    QCOMPARE(rows()->count(), 139);
    QVERIFY(!rows()->item(138)->text().endsWith(QLatin1String("ms")));
    QVERIFY(!MacroRecording);
    QVERIFY(!KeyboardHook().IsInstalled());
    clickButton(page, "StopRecord");
    QCOMPARE(argsOf(lock), (QList<QVariantList>{{1}}));
}

void TestMacroPage::leavingTheDeviceEndsTheRecording()
{
    writeFile("m1.ini", "");
    Macro* page = openPage();
    showMacro("m1");
    clickButton(page, "StartRecord");
    runKeys(QStringLiteral("A V"));
    QSignalSpy lock(PostMsg::instance(), &PostMsg::SigStartRecord);
    PostMsg::instance()->EmitSetMacroPage();
    QCOMPARE(argsOf(lock), (QList<QVariantList>{{1}}));
    QVERIFY(!MacroRecording);
    QVERIFY(!KeyboardHook().IsInstalled());
    QVERIFY(chooser()->isEnabled());
    QVERIFY(!save()->isEnabled());
    QCOMPARE(rowsText(true), QStringLiteral("vA d ^A"));
}

void TestMacroPage::listShowsTheMacroFiles()
{
    for (const char* name : {"macro.xml.ini", "xmlx.ini", "notes.txt", "a.ini.ini", "B.ini", "c.ini", "..ini"})
        writeFile(QLatin1String(name), "1\n");
    openPage();
    QStringList listed;
    for (int i = 0; i < macros()->count(); ++i)
        listed << macros()->item(i)->text();
    QCOMPARE(listed, (QStringList{"a", "B", "c", "notes.txt"}));
}

void TestMacroPage::repeatLineSelectsTheMode_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("count");
    QTest::newRow("0") << QByteArray("0") << "ReNumber" << 1;
    QTest::newRow("251") << QByteArray("251") << "ReNumber" << 1;
    QTest::newRow("abc") << QByteArray("abc") << "ReNumber" << 1;
    QTest::newRow("250") << QByteArray("250") << "ReNumber" << 250;
    QTest::newRow("253") << QByteArray("253") << "ReUntil" << 7;
    QTest::newRow("254") << QByteArray("254") << "ReUntilLoose" << 7;
    QTest::newRow("255") << QByteArray("255") << "ReUntilClick" << 7;
}

void TestMacroPage::repeatLineSelectsTheMode()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, mode);
    QFETCH(int, count);
    writeFile("m1.ini", line + "\n0x04 1 0\n");
    Macro* page = openPage();
    widget<QSpinBox>(page, "NumberEdit")->setValue(7);
    clickButton(page, mode == QLatin1String("ReUntil") ? "ReUntilClick" : "ReUntil");
    QSignalSpy saved(PostMsg::instance(), &PostMsg::SigUpDataMacro);
    showMacro("m1");
    QVERIFY(widget<QCheckBox>(page, qPrintable(mode))->isChecked());
    QCOMPARE(widget<QSpinBox>(page, "NumberEdit")->value(), count);
    QCOMPARE(rowsText(), QStringLiteral("vA"));
    QVERIFY(!save()->isEnabled());
}

void TestMacroPage::newMacroNeedsAFreeSafeName()
{
    writeFile("m2.ini", "1\n");
    Macro* page = openPage();
    writeFile("m3.ini", "kept\n");  // made after the list was read
    auto makeMacro = [page](const char* name) {
        return withName(QLatin1String(name), [page] { clickButton(page, "NewHong"); });
    };
    const QStringList asked{QStringLiteral("QuestionDialog")};
    const QStringList refused{QStringLiteral("QuestionDialog"), QStringLiteral("SameMacro")};
    // A name that cannot be a file is told; an empty one is a cancel.
    const QStringList told{QStringLiteral("QuestionDialog"), QStringLiteral("MakeMacro")};
    for (const char* unsafe : {"x.xml", "a.ini", "a/b", "c:d"})
        QCOMPARE(makeMacro(unsafe), told);
    QCOMPARE(makeMacro(""), asked);
    QCOMPARE(makeMacro("m2"), refused);
    QCOMPARE(makeMacro("m3"), refused);
    QCOMPARE(readFile("m3.ini"), QByteArray("kept\n"));
    QCOMPARE(macros()->count(), 1);
    QCOMPARE(makeMacro("m1"), asked);
    QCOMPARE(macros()->count(), 2);
    QCOMPARE(macros()->currentItem()->text(), QStringLiteral("m1"));
    QCOMPARE(readFile("m1.ini"), QByteArray());
}

void TestMacroPage::renameMovesTheFileFirst()
{
    writeFile("m1.ini", "1\n0x04 1 0\n");
    writeFile("m2.ini", "1\n");
    Macro* page = openPage();
    writeFile("m3.ini", "1\n");
    QSignalSpy renamed(PostMsg::instance(), &PostMsg::SigMacroRename);
    for (const char* taken : {"m2", "m3", "m1"}) {
        selectMacro("m1");
        const QStringList seen = withName(QLatin1String(taken), [page] { page->RenameMacro(); });
        QCOMPARE(seen, (QStringList{"QuestionDialog", "SameMacro"}));
    }
    selectMacro("m1");
    QCOMPARE(withName(QStringLiteral("../m5"), [page] { page->RenameMacro(); }),
             (QStringList{"QuestionDialog", "MakeMacro"}));
    QCOMPARE(renamed.count(), 0);
    selectMacro("m1");
    withName(QStringLiteral("m4"), [page] { page->RenameMacro(); });
    QCOMPARE(argsOf(renamed), (QList<QVariantList>{{"m1", "m4"}}));
    QCOMPARE(macros()->item(0)->text(), QStringLiteral("m4"));
    QCOMPARE(readFile("m4.ini"), QByteArray("1\n0x04 1 0\n"));
    QVERIFY(!QFile::exists(filePath("m1.ini")));
}

// The file behind the list may be gone or in use: the user is told, and list, buttons and files
// keep the old name.
void TestMacroPage::failedRenameIsToldAndKeepsTheOldName_data()
{
    QTest::addColumn<int>("language");  // the notice is in the user's language
    QTest::newRow("file removed behind the list, English") << 0;
    QTest::newRow("file removed behind the list, Japanese") << 5;
}

void TestMacroPage::failedRenameIsToldAndKeepsTheOldName()
{
    QFETCH(int, language);
    dialogtest::chooseLanguage(language);
    writeFile("m1.ini", "1\n0x04 1 0\n");
    Macro* page = openPage();
    QVERIFY(QFile::remove(filePath("m1.ini")));
    QSignalSpy renamed(PostMsg::instance(), &PostMsg::SigMacroRename);
    selectMacro("m1");
    QStringList texts;
    modaltest::ModalDriver driver([&texts](QWidget* modal) {
        if (auto* line = modal->findChild<QLineEdit*>(QStringLiteral("lineEdit"))) {
            line->setText(QStringLiteral("m4"));
            clickButton(modal, "NewHong");
        }
        modaltest::keepNoticeText(&texts)(modal);
    });
    page->RenameMacro();
    QCOMPARE(driver.seen(), (QStringList{"QuestionDialog", "MakeMacro"}));
    QCOMPARE(texts.last(), "MakeMacro: " + dialogtest::shippedText(language, "MakeMacro", "NotRenamed"));
    QVERIFY(!texts.last().endsWith(": "));
    QCOMPARE(macros()->count(), 1);
    QCOMPARE(macros()->item(0)->text(), QStringLiteral("m1"));
    QCOMPARE(renamed.count(), 0);
    QVERIFY(!QFile::exists(filePath("m4.ini")));
}

void TestMacroPage::deleteRemovesTheFileFirst()
{
    writeFile("m1.ini", "1\n0x04 1 0\n");
    writeFile("m2.ini", "1\n");
    Macro* page = openPage();
    QSignalSpy deleted(PostMsg::instance(), &PostMsg::SigDeleteMacroButton);
    QVERIFY(QFile::remove(filePath("m2.ini")));
    QVERIFY(QDir().mkpath(filePath("m2.ini/x")));  // cannot be removed as a file
    selectMacro("m2");
    QStringList texts;
    QStringList seen;
    {
        modaltest::ModalDriver driver([&texts](QWidget* modal) {
            const auto* label = modal->findChild<QLabel*>(QStringLiteral("label"));
            texts << (label ? label->text() : QString());
            clickButton(modal, "NewHong");
            modal->close();
        });
        clickButton(page, "DeleteHong");
        seen = driver.seen();
    }
    // Asked, then told that the file stays.
    QCOMPARE(seen, (QStringList{"DeleteConfirm", "MakeMacro"}));
    QCOMPARE(texts.last(), dialogtest::shippedText(0, "MakeMacro", "NotDeleted"));
    QVERIFY(!texts.last().isEmpty());
    QCOMPARE(macros()->count(), 2);
    QCOMPARE(deleted.count(), 0);

    showMacro("m1");
    confirm([page] { clickButton(page, "DeleteHong"); });
    QVERIFY(!QFile::exists(filePath("m1.ini")));
    const QString prefix = dialogtest::shippedText(0, "Macro", "MacroReal");
    QCOMPARE(argsOf(deleted), (QList<QVariantList>{{prefix + "m1"}}));
    QCOMPARE(macros()->count(), 1);
    QCOMPARE(macros()->currentRow(), -1);
    QCOMPARE(rows()->count(), 0);
}

void TestMacroPage::textsFollowTheLanguage()
{
    Macro* page = openPage();
    auto* newHong = widget<QToolButton>(page, "NewHong");
    dialogtest::chooseLanguage(5);
    PostMsg::instance()->EmitChangeLanguage(5);
    QCOMPARE(newHong->text(), dialogtest::shippedText(5, "Macro", "NewHong"));
    QCOMPARE(newHong->toolTip(), newHong->text());
    dialogtest::chooseLanguage(0);
    PostMsg::instance()->EmitChangeLanguage(0);
    QCOMPARE(newHong->toolTip(), QString());

    const QString middle = MiddleButtonName;
    QCOMPARE(middle, dialogtest::shippedText(0, "Macro", "ChooseEvent6"));
    dialogtest::FakeProgramFolder folder;
    folder.write(2, "<Total><Macro><ChooseEvent4>L</ChooseEvent4><Save>S</Save></Macro></Total>");
    PostMsg::instance()->EmitChangeLanguage(2);
    QCOMPARE(LeftButtonName, QStringLiteral("L"));
    QCOMPARE(chooser()->itemText(4), QStringLiteral("L"));
    QCOMPARE(save()->text(), QStringLiteral("S"));
    QCOMPARE(MiddleButtonName, middle);
    QCOMPARE(chooser()->itemText(6), middle);
}

void TestMacroPage::shippedMouseNamesAreDistinct()
{
    const QStringList keyNames = core::KeyRowNames() + core::SideModifierNames();
    for (int index = 0; index < shell::kLanguageCount; ++index) {
        QStringList names;
        for (int item = 4; item <= 8; ++item) {
            const QString name = dialogtest::shippedText(index, "Macro", QStringLiteral("ChooseEvent%1").arg(item));
            QVERIFY2(!name.isEmpty() && !keyNames.contains(name) && !names.contains(name), qPrintable(name));
            names << name;
        }
        QVERIFY(!dialogtest::shippedText(index, "Macro", "Save").isEmpty());
    }
}

QTEST_MAIN(TestMacroPage)
#include "tst_macropage.moc"

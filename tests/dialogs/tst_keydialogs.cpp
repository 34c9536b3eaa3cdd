#include "dialogs/AddDelayTime.h"
#include "dialogs/FireKey.h"
#include "dialogs/GroupKey.h"
#include "dialogs/GroupKeyCapture.h"
#include "dialogs/GroupMaxThree.h"
#include "dialogs/KeyHook.h"
#include "dialogs/addKey.h"

#include "support/dialogs_helpers.h"
#include "support/modal_helpers.h"
#include "support/keys_input.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>


using keytest::NativeKey;
using modaltest::ModalDriver;

namespace {

template <typename T>
T* child(const QObject* parent, const char* name)
{
    auto* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qWarning("%s has no child %s", qPrintable(parent->objectName()), name);
    return found;
}

void click(const QObject* dialog, const char* button)
{
    child<QToolButton>(dialog, button)->click();
}

bool anyHookInstalled()
{
    return GroupKeyHook().IsInstalled() || AddKeyHook().IsInstalled();
}

void press(QWidget* w, const NativeKey& key)
{
    keytest::sendKey(w, QEvent::KeyPress, key);
}

NativeKey keyOf(int qtKey)
{
    return {qtKey, Qt::NoModifier, 0, 0, QString()};
}

// Virtual-key codes used below.
constexpr int A = 65, B = 66, D = 68, X = 88, Y = 89, Z = 90, F1 = 112, F12 = 123, Del = 46, Space = 32,
              LShift = 160;

} // namespace

class TestKeyDialogs : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void captureKeepsThreeKeysWithinTheWindow();
    void captureWindowRunsFromItsFirstKey();
    void captureComparesWholeNames();
    void captureIgnoresReleasesRepeatsAndNamelessKeys();
    void combinationPutsModifiersFirst();
    void pastedLineKeepsOnlyKeyNames();

    void groupKeyFromKeyboard();
    void groupKeyWindowUsesTheInjectedClock();
    void groupKeyFourthKeyOpensTheNotice();
    void groupKeyEmptyOkActsAsCancel();
    void groupKeyEscapeIsCaptured();
    void tabAndSpaceAreCapturedNotPressed();
    void groupKeyTextsFollowTheLanguage();
    void destroyedDialogsLeaveNoHook();

    void addKeyTellsSidesApart();
    void addKeyShowsTheNameOnRelease();
    void addKeyOkAccepts();
    void addKeyWithoutKeyCancels();

    void fireKeyValues();
    void fireKeyCancelKeepsDefaults();
    void delayValues();
};

void TestKeyDialogs::init()
{
    dialogtest::chooseLanguage(0);
}

void TestKeyDialogs::cleanup()
{
    QVERIFY(!anyHookInstalled());
}

void TestKeyDialogs::captureKeepsThreeKeysWithinTheWindow()
{
    GroupKeyCapture capture;
    capture.onKey(A, true, 0);
    capture.onKey(B, true, 300);
    capture.onKey(X, true, 900);
    QCOMPARE(capture.text(), QStringLiteral("A+B+X"));
    capture.onKey(Y, true, 1200);  // a fourth key starts again with itself
    QCOMPARE(capture.text(), QStringLiteral("Y"));
    capture.onKey(Z, true, 2100);  // past the window opened by A, though Y was recent
    QCOMPARE(capture.text(), QStringLiteral("Z"));
}

void TestKeyDialogs::captureWindowRunsFromItsFirstKey()
{
    GroupKeyCapture capture;
    capture.onKey(A, true, 1000);
    capture.onKey(B, true, 3001);
    QCOMPARE(capture.text(), QStringLiteral("B"));
    capture.onKey(X, true, 5001);  // exactly 2000 ms after B: still inside
    QCOMPARE(capture.text(), QStringLiteral("B+X"));

    // A refusal empties the line but does not restart the window.
    capture.clear();
    capture.onKey(Y, true, 5001);
    QCOMPARE(capture.text(), QStringLiteral("Y"));
    capture.onKey(Z, true, 5002);
    QCOMPARE(capture.text(), QStringLiteral("Z"));
}

void TestKeyDialogs::captureComparesWholeNames()
{
    GroupKeyCapture capture;
    capture.onKey(Del, true, 0);
    capture.onKey(D, true, 1);
    QCOMPARE(capture.text(), QStringLiteral("Del+D"));

    GroupKeyCapture f;
    f.onKey(F12, true, 0);
    f.onKey(F1, true, 1);
    QCOMPARE(f.text(), QStringLiteral("F12+F1"));

    GroupKeyCapture g;
    g.onKey(F1, true, 0);
    g.onKey(F12, true, 1);
    QCOMPARE(g.text(), QStringLiteral("F1+F12"));

    GroupKeyCapture numPlus;
    numPlus.onKey(107, true, 0);  // keypad +
    numPlus.onKey(A, true, 1);
    numPlus.onKey(107, true, 2);  // already there
    QCOMPARE(numPlus.keys(), QStringList({"Num+", "A"}));
    numPlus.setText(numPlus.text());
    QCOMPARE(numPlus.keys(), QStringList({"Num+", "A"}));
}

void TestKeyDialogs::captureIgnoresReleasesRepeatsAndNamelessKeys()
{
    GroupKeyCapture capture;
    capture.onKey(A, true, 0);
    capture.onKey(A, false, 10);
    capture.onKey(A, true, 20);
    capture.onKey(A, true, 30);
    QCOMPARE(capture.text(), QStringLiteral("A"));
    capture.onKey(LShift, true, 40);
    capture.onKey(Space, true, 50);
    QCOMPARE(capture.text(), QStringLiteral("A"));

    // Held third key: its repeat counts as a new key after three.
    capture.onKey(B, true, 60);
    capture.onKey(X, true, 70);
    QCOMPARE(capture.text(), QStringLiteral("A+B+X"));
    capture.onKey(X, true, 80);
    QCOMPARE(capture.text(), QStringLiteral("X"));

    // A nameless key while three are shown empties the line.
    capture.onKey(A, true, 90);
    capture.onKey(B, true, 100);
    QCOMPARE(capture.text(), QStringLiteral("X+A+B"));
    capture.onKey(Space, true, 110);
    QCOMPARE(capture.text(), QString());
}

void TestKeyDialogs::combinationPutsModifiersFirst()
{
    GroupKeyCapture capture;
    capture.onKey(A, true, 0);
    GroupKeyCapture::Modifiers shiftCtrl;
    shiftCtrl.ctrl = true;
    shiftCtrl.shift = true;
    QCOMPARE(capture.combination(shiftCtrl), std::optional<QString>(QStringLiteral("Shift+Ctrl+A")));
    GroupKeyCapture::Modifiers three{false, true, true, true};
    QCOMPARE(capture.combination(three), std::optional<QString>());
    QCOMPARE(GroupKeyCapture().combination(three), std::optional<QString>(QStringLiteral("Ctrl+Alt+Win")));
    QCOMPARE(GroupKeyCapture().combination({}), std::optional<QString>(QString()));
}

void TestKeyDialogs::pastedLineKeepsOnlyKeyNames()
{
    GroupKeyCapture capture;
    capture.setText(QStringLiteral("A+HELLO+DEL+A"));
    QCOMPARE(capture.keys(), QStringList({"A", "Del"}));
    capture.setText(QStringLiteral("NUM++F12+BACKSPACE"));
    QCOMPARE(capture.keys(), QStringList({"Num+", "F12", "BackSpace"}));
    capture.setText(QStringLiteral("++ +"));
    QVERIFY(capture.keys().isEmpty());

    // What the line shows after a paste is what OK returns.
    GroupKey dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* line = child<QLineEdit>(&dialog, "lineEdit");
    dialog.on_lineEdit_textEdited(QStringLiteral("ctrl+c+esc"));
    QCOMPARE(line->text(), QStringLiteral("C+Esc"));
    click(&dialog, "NewHong");
    QVERIFY(dialog.Result);
    QCOMPARE(dialog.KeyText, QStringLiteral("C+Esc"));

    // A paste that names no key leaves nothing to send: OK acts as Cancel.
    GroupKey junk;
    junk.show();
    QVERIFY(QTest::qWaitForWindowExposed(&junk));
    junk.on_lineEdit_textEdited(QStringLiteral("hello world"));
    QCOMPARE(child<QLineEdit>(&junk, "lineEdit")->text(), QString());
    click(&junk, "NewHong");
    QVERIFY(!junk.Result);
    QVERIFY(junk.KeyText.isEmpty());
}

void TestKeyDialogs::groupKeyFromKeyboard()
{
    GroupKey dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* line = child<QLineEdit>(&dialog, "lineEdit");
    keytest::tapKey(line, keytest::letter('A'));
    keytest::tapKey(line, keytest::letter('A'));
    press(line, keytest::letter('B'));
    press(line, keytest::leftShift());  // modifiers come from the boxes only
    QCOMPARE(line->text(), QStringLiteral("A+B"));
    child<QCheckBox>(&dialog, "Ctrl")->setChecked(true);
    click(&dialog, "NewHong");
    QVERIFY(dialog.Result);
    QCOMPARE(dialog.KeyText, QStringLiteral("Ctrl+A+B"));
    QVERIFY(!dialog.isVisible());
    QVERIFY(!anyHookInstalled());
}

void TestKeyDialogs::groupKeyWindowUsesTheInjectedClock()
{
    qint64 now = 0;
    GroupKey dialog;
    dialog.setClock([&now] { return now; });
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* line = child<QLineEdit>(&dialog, "lineEdit");
    press(line, keytest::letter('A'));
    now = 2500;
    press(line, keytest::letter('B'));
    QCOMPARE(line->text(), QStringLiteral("B"));
    click(&dialog, "NewHong_2");
    QVERIFY(!dialog.Result);
}

void TestKeyDialogs::groupKeyFourthKeyOpensTheNotice()
{
    GroupKey dialog;
    dialog.move(120, 80);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* line = child<QLineEdit>(&dialog, "lineEdit");
    press(line, keytest::letter('A'));
    press(line, keytest::letter('B'));
    press(line, keytest::letter('X'));
    child<QCheckBox>(&dialog, "Win")->setChecked(true);

    QString noticeName;
    QPoint noticeAt;
    {
        ModalDriver driver([&](QWidget* modal) {
            noticeName = modal->metaObject()->className();
            noticeAt = modal->pos();
            modal->close();
        });
        click(&dialog, "NewHong");
    }
    QCOMPARE(noticeName, QStringLiteral("GroupMaxThree"));
    QCOMPARE(noticeAt, dialog.mapToGlobal(QPoint(0, 0)));

    // Refused: still open and capturing, the line emptied, the boxes kept.
    QVERIFY(dialog.isVisible());
    QVERIFY(!dialog.Result);
    QCOMPARE(line->text(), QString());
    QVERIFY(child<QCheckBox>(&dialog, "Win")->isChecked());
    QVERIFY(GroupKeyHook().IsInstalled());
    press(line, keytest::letter('Z'));
    QCOMPARE(line->text(), QStringLiteral("Z"));
    click(&dialog, "NewHong");
    QVERIFY(dialog.Result);
    QCOMPARE(dialog.KeyText, QStringLiteral("Win+Z"));
}

void TestKeyDialogs::groupKeyEmptyOkActsAsCancel()
{
    GroupKey dialog;
    ModalDriver driver([](QWidget* modal) {
        click(modal, "NewHong");
        modal->close();
    });
    dialog.exec();
    QVERIFY(!dialog.Result);
    QCOMPARE(dialog.KeyText, QString());
}

void TestKeyDialogs::groupKeyEscapeIsCaptured()
{
    GroupKey dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* line = child<QLineEdit>(&dialog, "lineEdit");
    keytest::tapKey(line, keytest::escape());
    keytest::tapKey(line, keyOf(Qt::Key_F12));
    QVERIFY(dialog.isVisible());
    QCOMPARE(line->text(), QStringLiteral("Esc+F12"));
    click(&dialog, "CloseButton");
    QVERIFY(!dialog.isVisible());
    QVERIFY(!dialog.Result);
}

void TestKeyDialogs::tabAndSpaceAreCapturedNotPressed()
{
    // Tab must not carry the focus onto a button that Space then presses.
    GroupKey group;
    group.show();
    QVERIFY(QTest::qWaitForWindowExposed(&group));
    auto* groupLine = child<QLineEdit>(&group, "lineEdit");
    keytest::tapKey(groupLine, keyOf(Qt::Key_Tab));
    keytest::tapKey(groupLine, keytest::space());
    QVERIFY(group.isVisible());
    QCOMPARE(group.focusWidget(), static_cast<QWidget*>(groupLine));
    QCOMPARE(groupLine->text(), QStringLiteral("Tab"));
    click(&group, "NewHong");
    QVERIFY(group.Result);
    QCOMPARE(group.KeyText, QStringLiteral("Tab"));

    addKey single;
    single.show();
    QVERIFY(QTest::qWaitForWindowExposed(&single));
    auto* singleLine = child<QLineEdit>(&single, "lineEdit");
    keytest::tapKey(singleLine, keyOf(Qt::Key_Tab));
    QCOMPARE(single.KeyName, QStringLiteral("Tab"));
    keytest::tapKey(singleLine, keytest::space());
    QVERIFY(single.isVisible());
    QCOMPARE(single.focusWidget(), static_cast<QWidget*>(singleLine));
    click(&single, "NewHong_2");
    QVERIFY(!single.Result);
}

void TestKeyDialogs::groupKeyTextsFollowTheLanguage()
{
    dialogtest::chooseLanguage(3);
    GroupKey group;
    addKey single;
    FireKey fire;
    AddDelayTime delay;
    const struct {
        QWidget* dialog;
        const char* element;
        const char* child;
    } rows[] = {{&group, "groupKey", "label"},   {&group, "groupKey", "NewHong_2"}, {&single, "AddKey", "label"},
                {&single, "AddKey", "NewHong"}, {&fire, "FireKey", "label_2"},     {&fire, "FireKey", "label_3"},
                {&fire, "FireKey", "label"},    {&delay, "AddDelayTime", "label"}};
    for (const auto& row : rows) {
        const QString expected = dialogtest::shippedText(3, QString::fromLatin1(row.element), QString::fromLatin1(row.child));
        QVERIFY2(!expected.isEmpty(), row.child);
        auto* widget = row.dialog->findChild<QWidget*>(QString::fromLatin1(row.child));
        QVERIFY2(widget, row.child);
        const QString shown = widget->property("text").toString();
        QCOMPARE(shown, expected);
    }
}

void TestKeyDialogs::destroyedDialogsLeaveNoHook()
{
    QWidget desk;
    auto* edit = new QLineEdit(&desk);
    desk.show();
    QVERIFY(QTest::qWaitForWindowExposed(&desk));
    {
        GroupKey group;
        addKey single;
        QVERIFY(GroupKeyHook().IsInstalled());
        QVERIFY(AddKeyHook().IsInstalled());
    }
    QVERIFY(!anyHookInstalled());
    edit->setFocus();
    keytest::tapKey(edit, keytest::letter('A'));  // nothing may reach the destroyed dialogs

    // Closed by the window system rather than its buttons.
    GroupKey group;
    group.show();
    QVERIFY(QTest::qWaitForWindowExposed(&group));
    group.reject();
    QVERIFY(!GroupKeyHook().IsInstalled());
}

void TestKeyDialogs::addKeyTellsSidesApart()
{
    addKey dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* line = child<QLineEdit>(&dialog, "lineEdit");
    const struct {
        NativeKey key;
        const char* name;
    } rows[] = {{keytest::leftShift(), "LShift"}, {keytest::rightShift(), "RShift"}, {keytest::leftAlt(), "LAlt"},
                {keytest::rightAlt(), "RAlt"},   {keyOf(Qt::Key_AltGr), "RAlt"},    {keytest::escape(), "Esc"}};
    for (const auto& row : rows) {
        press(line, row.key);
        QCOMPARE(line->text(), QString::fromLatin1(row.name));
        QCOMPARE(dialog.KeyName, QString::fromLatin1(row.name));
        keytest::sendKey(line, QEvent::KeyRelease, row.key);
    }
    QVERIFY(dialog.isVisible());  // Escape was a key, not a command
    click(&dialog, "CloseButton");
    QVERIFY(!dialog.Result);
}

void TestKeyDialogs::addKeyShowsTheNameOnRelease()
{
    addKey dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* line = child<QLineEdit>(&dialog, "lineEdit");
    line->setFocus();
    keytest::tapKey(line, keytest::letter('W'));
    QCOMPARE(line->text(), QStringLiteral("W"));
    keytest::tapKey(line, keytest::space());
    QCOMPARE(line->text(), QString());
    QCOMPARE(dialog.KeyName, QString());
    click(&dialog, "NewHong_2");
}

void TestKeyDialogs::addKeyOkAccepts()
{
    addKey dialog;
    ModalDriver driver([](QWidget* modal) {
        auto* line = child<QLineEdit>(modal, "lineEdit");
        keytest::tapKey(line, {Qt::Key_1, Qt::KeypadModifier, 87, 0xffb1, QStringLiteral("1")});
        click(modal, "NewHong");
        modal->close();
    });
    QCOMPARE(dialog.exec(), int(QDialog::Accepted));
    QVERIFY(dialog.Result);
    QCOMPARE(dialog.KeyName, QStringLiteral("Num1"));
}

void TestKeyDialogs::addKeyWithoutKeyCancels()
{
    addKey dialog;
    ModalDriver driver([](QWidget* modal) {
        click(modal, "NewHong");
        modal->close();
    });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QVERIFY(!dialog.Result);
}

void TestKeyDialogs::fireKeyValues()
{
    FireKey dialog;
    QCOMPARE(child<QSpinBox>(&dialog, "Time")->value(), 10);
    QCOMPARE(child<QSpinBox>(&dialog, "Count")->value(), 3);
    dialog.SetInterval(300);
    dialog.SetCount(-2);
    QCOMPARE(dialog.Interval, 10);  // presets do not touch the results
    click(&dialog, "NewHong");
    QVERIFY(dialog.Result);
    QCOMPARE(dialog.Interval, 255);
    QCOMPARE(dialog.Count, 0);

    FireKey typed;
    typed.show();
    QVERIFY(QTest::qWaitForWindowExposed(&typed));
    auto* time = child<QSpinBox>(&typed, "Time");
    time->setFocus();
    time->selectAll();
    QTest::keyClicks(time, QStringLiteral("120"));
    click(&typed, "NewHong");
    QCOMPARE(typed.Interval, 120);
    QCOMPARE(typed.Count, 3);
}

void TestKeyDialogs::fireKeyCancelKeepsDefaults()
{
    for (const char* button : {"NewHong_2", "CloseButton"}) {
        FireKey dialog;
        dialog.SetInterval(50);
        dialog.SetCount(1);
        click(&dialog, button);
        QVERIFY(!dialog.Result);
        QCOMPARE(dialog.Interval, 10);
        QCOMPARE(dialog.Count, 3);
    }
    FireKey escaped;
    ModalDriver driver([](QWidget* modal) {
        QTest::keyClick(modal, Qt::Key_Escape);
        modal->close();
    });
    escaped.exec();
    QVERIFY(!escaped.Result);
}

void TestKeyDialogs::delayValues()
{
    AddDelayTime plain;
    click(&plain, "NewHong");
    QVERIFY(plain.Result);
    QCOMPARE(plain.Delay, 10);

    AddDelayTime typed;
    typed.show();
    QVERIFY(QTest::qWaitForWindowExposed(&typed));
    auto* spin = child<QSpinBox>(&typed, "spinBox");
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, QStringLiteral("70000"));  // the last digit does not fit
    click(&typed, "NewHong");
    QCOMPARE(typed.Delay, 7000);

    AddDelayTime cancelled;
    click(&cancelled, "NewHong_2");
    QVERIFY(!cancelled.Result);
    QCOMPARE(cancelled.Delay, 0);
}

QTEST_MAIN(TestKeyDialogs)
#include "tst_keydialogs.moc"

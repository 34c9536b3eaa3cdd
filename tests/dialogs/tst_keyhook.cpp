#include "dialogs/KeyHook.h"
#include "dialogs/KeyHookTranslate.h"

#include "support/keys_input.h"

#include <QLineEdit>
#include <QVBoxLayout>
#include <QtTest>

using dialogs::KeyFacts;
using M = KeyHookState::Message;

namespace {

struct Call {
    int key;
    bool down;
    bool repeat;
    bool operator==(const Call& o) const { return key == o.key && down == o.down && repeat == o.repeat; }
};

// A shown window with a line edit in focus, and a recorder of hook calls.
struct Desk {
    Desk()
    {
        auto* layout = new QVBoxLayout(&window);
        edit = new QLineEdit(&window);
        layout->addWidget(edit);
        window.show();
        edit->setFocus();
    }
    KeyHookCallback recorder()
    {
        return [this](int key, bool down, bool repeat) { calls.append({key, down, repeat}); };
    }
    QWidget window;
    QLineEdit* edit = nullptr;
    QVector<Call> calls;
};

// Beside Call, so QCOMPARE finds it and a failure shows the calls.
char* toString(const Call& c)
{
    return QTest::toString(QStringLiteral("(%1,%2,%3)").arg(c.key).arg(c.down).arg(c.repeat));
}

} // namespace

class TestKeyHook : public QObject
{
    Q_OBJECT

private slots:
    void heldKeyRepeatsAndReleaseResets();
    void systemKeysKeepOrSetTheDownFlag();
    void virtualKeys_data();
    void virtualKeys();
    void systemKeyMessages();
    void eachKeyIsReportedOnceAndPassedOn();
    void autoRepeatReleasesAreNotReported();
    void uninstalledHookIsSilentAndRemovalIsRepeatable();
    void destroyedReceiverIsNeverCalled();
    void destroyedOwnerLeavesNoHook();
    void uninstallFromInsideTheCallback();
};

void TestKeyHook::heldKeyRepeatsAndReleaseResets()
{
    KeyHookState state(false);
    const auto r1 = state.step(65, M::KeyDown);
    const auto r2 = state.step(65, M::KeyDown);
    const auto r3 = state.step(65, M::KeyDown);
    const auto up = state.step(65, M::KeyUp);
    const auto again = state.step(65, M::KeyDown);
    QCOMPARE((Call{r1.keyCode, r1.down, r1.repeat}), (Call{65, true, false}));
    QCOMPARE((Call{r2.keyCode, r2.down, r2.repeat}), (Call{65, true, true}));
    QVERIFY(r3.repeat);
    QCOMPARE((Call{up.keyCode, up.down, up.repeat}), (Call{65, false, false}));
    QVERIFY(!again.repeat);
    QVERIFY(again.down);
}

void TestKeyHook::systemKeysKeepOrSetTheDownFlag()
{
    KeyHookState dialogHook(false);
    dialogHook.step(65, M::KeyDown);
    dialogHook.step(65, M::KeyUp);
    QVERIFY(!dialogHook.step(164, M::SystemKeyDown).down);  // as the previous release left it

    KeyHookState recording(true);
    recording.step(65, M::KeyDown);
    recording.step(65, M::KeyUp);
    QVERIFY(recording.step(164, M::SystemKeyDown).down);
    const auto sysUp = recording.step(164, M::SystemKeyUp);
    QVERIFY(!sysUp.down);
    QVERIFY(sysUp.repeat);  // memory stays after a system-key release
    QVERIFY(recording.step(164, M::SystemKeyDown).repeat);
}

void TestKeyHook::virtualKeys_data()
{
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<uint>("scan");
    QTest::addColumn<uint>("sym");
    QTest::addColumn<int>("virtualKey");
    const int kp = Qt::KeypadModifier;
    QTest::newRow("A") << int(Qt::Key_A) << 0 << 38u << 0x61u << 65;
    QTest::newRow("shifted A") << int(Qt::Key_A) << int(Qt::ShiftModifier) << 38u << 0x41u << 65;
    QTest::newRow("1") << int(Qt::Key_1) << 0 << 0u << 0u << 49;
    QTest::newRow("keypad 1") << int(Qt::Key_1) << kp << 0u << 0u << 97;
    QTest::newRow("shift+1 types !") << int(Qt::Key_Exclam) << int(Qt::ShiftModifier) << 0u << 0u << 49;
    QTest::newRow("shift+0 types )") << int(Qt::Key_ParenRight) << 0 << 0u << 0u << 48;
    QTest::newRow("shift+8 types *") << int(Qt::Key_Asterisk) << 0 << 0u << 0u << 56;
    QTest::newRow("keypad *") << int(Qt::Key_Asterisk) << kp << 0u << 0u << 106;
    QTest::newRow("=") << int(Qt::Key_Equal) << 0 << 0u << 0u << 187;
    QTest::newRow("shift+= types +") << int(Qt::Key_Plus) << 0 << 0u << 0u << 187;
    QTest::newRow("keypad +") << int(Qt::Key_Plus) << kp << 0u << 0u << 107;
    QTest::newRow("keypad -") << int(Qt::Key_Minus) << kp << 0u << 0u << 109;
    QTest::newRow("keypad .") << int(Qt::Key_Period) << kp << 0u << 0u << 110;
    QTest::newRow("keypad /") << int(Qt::Key_Slash) << kp << 0u << 0u << 111;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << kp << 0u << 0u << 13;
    QTest::newRow("keypad 5 without NumLock") << int(Qt::Key_Clear) << kp << 0u << 0u << 12;
    QTest::newRow("keypad Home without NumLock") << int(Qt::Key_Home) << kp << 0u << 0u << 36;
    QTest::newRow("~") << int(Qt::Key_AsciiTilde) << 0 << 0u << 0u << 192;
    QTest::newRow("F12") << int(Qt::Key_F12) << 0 << 0u << 0u << 123;
    QTest::newRow("Backtab") << int(Qt::Key_Backtab) << 0 << 0u << 0u << 9;
    QTest::newRow("left shift by symbol") << int(Qt::Key_Shift) << 0 << 0u << 0xffe1u << 160;
    QTest::newRow("right shift by symbol") << int(Qt::Key_Shift) << 0 << 0u << 0xffe2u << 161;
    QTest::newRow("right shift by scan code") << int(Qt::Key_Shift) << 0 << 62u << 0u << 161;
    QTest::newRow("shift without natives") << int(Qt::Key_Shift) << 0 << 0u << 0u << 160;
    QTest::newRow("right ctrl") << int(Qt::Key_Control) << 0 << 105u << 0xffe4u << 163;
    QTest::newRow("left ctrl") << int(Qt::Key_Control) << 0 << 37u << 0xffe3u << 162;
    QTest::newRow("right alt") << int(Qt::Key_Alt) << 0 << 108u << 0xffeau << 165;
    QTest::newRow("alt without natives") << int(Qt::Key_Alt) << 0 << 0u << 0u << 164;
    QTest::newRow("AltGr") << int(Qt::Key_AltGr) << 0 << 0u << 0u << 165;
    QTest::newRow("level-3 shift symbol") << int(Qt::Key_unknown) << 0 << 108u << 0xfe03u << 165;
    QTest::newRow("left super") << int(Qt::Key_Super_L) << 0 << 133u << 0xffebu << 91;
    QTest::newRow("right super") << int(Qt::Key_Super_R) << 0 << 134u << 0xffecu << 92;
    QTest::newRow("meta on the right") << int(Qt::Key_Meta) << 0 << 0u << 0xffecu << 92;
    QTest::newRow("unknown") << int(Qt::Key_unknown) << 0 << 0u << 0u << dialogs::kUnknownVirtualKey;
}

void TestKeyHook::virtualKeys()
{
    QFETCH(int, qtKey);
    QFETCH(int, modifiers);
    QFETCH(uint, scan);
    QFETCH(uint, sym);
    QFETCH(int, virtualKey);
    const KeyFacts facts{qtKey, Qt::KeyboardModifiers(modifiers), scan, sym};
    QCOMPARE(dialogs::VirtualKeyFromKey(facts), virtualKey);
}

void TestKeyHook::systemKeyMessages()
{
    QVERIFY(dialogs::IsSystemKeyEvent({Qt::Key_Alt, Qt::NoModifier, 0, 0}));
    QVERIFY(dialogs::IsSystemKeyEvent({Qt::Key_A, Qt::AltModifier, 0, 0}));
    QVERIFY(dialogs::IsSystemKeyEvent({Qt::Key_F10, Qt::NoModifier, 0, 0}));
    QVERIFY(!dialogs::IsSystemKeyEvent({Qt::Key_A, Qt::AltModifier | Qt::ControlModifier, 0, 0}));
    QVERIFY(!dialogs::IsSystemKeyEvent({Qt::Key_A, Qt::ShiftModifier, 0, 0}));
}

void TestKeyHook::eachKeyIsReportedOnceAndPassedOn()
{
    Desk desk;
    QVERIFY(QTest::qWaitForWindowExposed(&desk.window));
    GroupKeyHook hook(&desk.window);
    hook.InstallHook();
    hook.InstallHook();  // a second installation adds no second report
    hook.SetCallback(&desk.window, desk.recorder());

    keytest::tapKey(desk.edit, keytest::letter('Q'));
    keytest::sendKey(desk.edit, QEvent::KeyPress, keytest::rightShift());
    QCOMPARE(desk.calls, (QVector<Call>{{81, true, false}, {81, false, false}, {161, true, false}}));
    QCOMPARE(desk.edit->text(), QStringLiteral("q"));  // the focused widget still got the key
    hook.UnInstallHook();
}

void TestKeyHook::autoRepeatReleasesAreNotReported()
{
    Desk desk;
    QVERIFY(QTest::qWaitForWindowExposed(&desk.window));
    AddKeyHook hook(&desk.window);
    hook.InstallHook();
    hook.SetCallback(&desk.window, desk.recorder());
    const keytest::NativeKey a = keytest::letter('A');
    keytest::sendKey(desk.edit, QEvent::KeyPress, a);
    keytest::sendKey(desk.edit, QEvent::KeyRelease, a, true);
    keytest::sendKey(desk.edit, QEvent::KeyPress, a, true);
    keytest::sendKey(desk.edit, QEvent::KeyRelease, a);
    QCOMPARE(desk.calls, (QVector<Call>{{65, true, false}, {65, true, true}, {65, false, false}}));
    hook.UnInstallHook();
}

void TestKeyHook::uninstalledHookIsSilentAndRemovalIsRepeatable()
{
    Desk desk;
    QVERIFY(QTest::qWaitForWindowExposed(&desk.window));
    KeyboardHook hook(&desk.window);
    hook.SetCallback(&desk.window, desk.recorder());
    keytest::tapKey(desk.edit, keytest::letter('A'));
    QVERIFY(desk.calls.isEmpty());
    hook.InstallHook();
    QVERIFY(hook.IsInstalled());
    hook.UnInstallHook();
    hook.UnInstallHook();
    QVERIFY(!hook.IsInstalled());
    keytest::tapKey(desk.edit, keytest::letter('A'));
    QVERIFY(desk.calls.isEmpty());

    // A new installation starts with a fresh key memory.
    hook.InstallHook();
    keytest::sendKey(desk.edit, QEvent::KeyPress, keytest::letter('B'));
    hook.UnInstallHook();
    hook.InstallHook();
    keytest::sendKey(desk.edit, QEvent::KeyPress, keytest::letter('B'));
    QCOMPARE(desk.calls, (QVector<Call>{{66, true, false}, {66, true, false}}));
    hook.UnInstallHook();
}

void TestKeyHook::destroyedReceiverIsNeverCalled()
{
    Desk desk;
    QVERIFY(QTest::qWaitForWindowExposed(&desk.window));
    GroupKeyHook hook(&desk.window);
    int calls = 0;
    {
        QObject receiver;
        hook.InstallHook();
        hook.SetCallback(&receiver, [&calls](int, bool, bool) { ++calls; });
        keytest::tapKey(desk.edit, keytest::letter('A'));
        QCOMPARE(calls, 2);
    }
    keytest::tapKey(desk.edit, keytest::letter('A'));
    QCOMPARE(calls, 2);
    QVERIFY(!hook.IsInstalled());
}

void TestKeyHook::destroyedOwnerLeavesNoHook()
{
    Desk desk;
    QVERIFY(QTest::qWaitForWindowExposed(&desk.window));
    int calls = 0;
    auto* owner = new QWidget;
    auto* hook = new AddKeyHook(owner);
    hook->InstallHook();
    hook->SetCallback(owner, [&calls](int, bool, bool) { ++calls; });
    delete owner;
    AddKeyHook probe;
    QVERIFY(!probe.IsInstalled());
    keytest::tapKey(desk.edit, keytest::letter('A'));
    QCOMPARE(calls, 0);

    // A hook of another class is left alone.
    GroupKeyHook other;
    other.InstallHook();
    {
        AddKeyHook unrelated;
    }
    QVERIFY(other.IsInstalled());
    other.UnInstallHook();
}

void TestKeyHook::uninstallFromInsideTheCallback()
{
    Desk desk;
    QVERIFY(QTest::qWaitForWindowExposed(&desk.window));
    GroupKeyHook hook(&desk.window);
    int calls = 0;
    hook.InstallHook();
    hook.SetCallback(&desk.window, [&](int, bool, bool) {
        ++calls;
        hook.UnInstallHook();
    });
    keytest::tapKey(desk.edit, keytest::letter('A'));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    keytest::tapKey(desk.edit, keytest::letter('A'));
    QCOMPARE(calls, 1);
    QCOMPARE(desk.edit->text(), QStringLiteral("aa"));
}

QTEST_MAIN(TestKeyHook)
#include "tst_keyhook.moc"

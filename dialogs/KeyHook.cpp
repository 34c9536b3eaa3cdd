#include "dialogs/KeyHook.h"

#include "dialogs/KeyHookTranslate.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLoggingCategory>

namespace {
Q_LOGGING_CATEGORY(lcHook, "app.dialogs.keyhook")

dialogs::KeyFacts factsOf(const QKeyEvent& event)
{
    dialogs::KeyFacts facts;
    facts.qtKey = event.key();
    facts.modifiers = event.modifiers();
    facts.nativeScanCode = event.nativeScanCode();
    facts.nativeVirtualKey = event.nativeVirtualKey();
    return facts;
}
} // namespace

KeyHookState::Report KeyHookState::step(int keyCode, Message message)
{
    const quint32 code = quint32(keyCode);
    if (code == m_lastKey) {
        m_repeat = true;
    } else {
        m_repeat = false;
        m_lastKey = code;
    }
    switch (message) {
    case Message::KeyDown:
        m_down = true;
        break;
    case Message::KeyUp:
        m_down = false;
        m_repeat = false;
        m_lastKey = 0;
        break;
    case Message::SystemKeyDown:
        if (m_tracksSystemKeys)
            m_down = true;
        break;
    case Message::SystemKeyUp:
        // Key memory stays, so the same key pressed again after a system-key
        // release counts as a repeat.
        if (m_tracksSystemKeys)
            m_down = false;
        break;
    }
    return {keyCode, m_down, m_repeat};
}

void KeyHookState::reset()
{
    m_lastKey = 0;
    m_repeat = false;
    m_down = false;
}

// The filter object that stands for an installed hook. It sees each key event
// once: where the platform hands it to a window, before the window passes it
// on to the focused widget.
class KeyHookFilter final : public QObject
{
public:
    KeyHookFilter(KeyHook::Shared& shared, QObject* parent) : QObject(parent), m_shared(shared) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    KeyHook::Shared& m_shared;
};

struct KeyHook::Shared {
    explicit Shared(bool tracksSystemKeys) : state(tracksSystemKeys) {}

    void deliver(const QKeyEvent& event);
    void uninstall();

    KeyHookState state;
    QPointer<KeyHookFilter> filter;
    QPointer<QObject> receiver;
    bool hasReceiver = false;
    KeyHookCallback callback;
};

bool KeyHookFilter::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::KeyPress || type == QEvent::KeyRelease) && watched->isWindowType())
        m_shared.deliver(*static_cast<QKeyEvent*>(event));
    return false;
}

void KeyHook::Shared::deliver(const QKeyEvent& event)
{
    // Held keys repeat as further presses only, as the desktop hook sees them.
    const bool press = event.type() == QEvent::KeyPress;
    if (!press && event.isAutoRepeat())
        return;
    const dialogs::KeyFacts facts = factsOf(event);
    const bool system = dialogs::IsSystemKeyEvent(facts);
    using M = KeyHookState::Message;
    const M message = press ? (system ? M::SystemKeyDown : M::KeyDown) : (system ? M::SystemKeyUp : M::KeyUp);
    const KeyHookState::Report report = state.step(dialogs::VirtualKeyFromKey(facts), message);
    if (hasReceiver && !receiver) {
        // The owner is gone without removing its hook.
        uninstall();
        return;
    }
    if (callback) {
        const KeyHookCallback call = callback;  // the callback may replace itself
        call(report.keyCode, report.down, report.repeat);
    }
}

void KeyHook::Shared::uninstall()
{
    if (!filter)
        return;
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(filter);
    // Deleted later: uninstalling from inside a callback runs within the
    // filter's own event handling.
    filter->deleteLater();
    filter = nullptr;
    state.reset();
}

namespace {
KeyHook::Shared& recordingShared()
{
    static KeyHook::Shared shared(true);
    return shared;
}
KeyHook::Shared& addKeyShared()
{
    static KeyHook::Shared shared(false);
    return shared;
}
KeyHook::Shared& groupKeyShared()
{
    static KeyHook::Shared shared(false);
    return shared;
}
} // namespace

KeyHook::KeyHook(Shared& shared, QObject* parent) : QObject(parent), m_shared(shared) {}

KeyHook::~KeyHook()
{
    // A hook object dies with its owner; the owner's callback must die too.
    if (!m_shared.hasReceiver || !m_shared.receiver || m_shared.receiver == parent()) {
        m_shared.uninstall();
        m_shared.callback = nullptr;
        m_shared.receiver = nullptr;
        m_shared.hasReceiver = false;
    }
}

void KeyHook::InstallHook()
{
    if (m_shared.filter)
        return;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) {
        qCWarning(lcHook) << "keyboard capture not installed: no application object";
        return;
    }
    m_shared.state.reset();
    m_shared.filter = new KeyHookFilter(m_shared, app);
    app->installEventFilter(m_shared.filter);
}

void KeyHook::UnInstallHook()
{
    m_shared.uninstall();
}

bool KeyHook::IsInstalled() const
{
    return !m_shared.filter.isNull();
}

void KeyHook::SetCallback(QObject* receiver, KeyHookCallback callback)
{
    m_shared.receiver = receiver;
    m_shared.hasReceiver = receiver != nullptr;
    m_shared.callback = std::move(callback);
}

KeyboardHook::KeyboardHook(QObject* parent) : KeyHook(recordingShared(), parent) {}

AddKeyHook::AddKeyHook(QObject* parent) : KeyHook(addKeyShared(), parent) {}

GroupKeyHook::GroupKeyHook(QObject* parent) : KeyHook(groupKeyShared(), parent) {}

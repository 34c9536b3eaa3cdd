#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

// Keyboard capture for the windows that record keys (macro recording, the
// key-combination and single-key dialogs). While installed, every key press
// and release that reaches a window of the program is reported to the owner's
// callback as a Windows virtual-key code with a down flag and a repeat flag.
// Keys only reach the program while one of its windows has the keyboard, so
// keys typed into other programs are never reported. The capture never
// consumes an event: the focused widget still receives every key.
//
// As with the desktop hook it stands for, each hook class has one
// process-wide state (installation, callback, key memory), whichever object
// of the class is used to reach it. GUI thread only.

// Reports of one hook class, computed from the messages it sees.
class KeyHookState
{
public:
    enum class Message { KeyDown, KeyUp, SystemKeyDown, SystemKeyUp };
    struct Report {
        int keyCode;
        bool down;
        bool repeat;
    };

    // tracksSystemKeys: system-key messages set the down flag (macro
    // recording); otherwise they leave it as the previous message set it.
    explicit KeyHookState(bool tracksSystemKeys) : m_tracksSystemKeys(tracksSystemKeys) {}

    Report step(int keyCode, Message message);
    void reset();

private:
    bool m_tracksSystemKeys;
    quint32 m_lastKey = 0;
    bool m_repeat = false;
    bool m_down = false;
};

using KeyHookCallback = std::function<void(int keyCode, bool downOrUp, bool aotu)>;

class KeyHook : public QObject
{
    Q_OBJECT
public:
    ~KeyHook() override;

    // Starts capturing (an application-wide event filter). Installing an
    // installed hook changes nothing; without an application object the
    // hook stays uninstalled.
    void InstallHook();
    // Stops capturing; safe any number of times. The key memory starts afresh
    // with the next installation.
    void UnInstallHook();
    bool IsInstalled() const;

    // The receiver of the reports. It is called only while receiver lives:
    // once receiver is destroyed the hook stops calling and uninstalls itself.
    void SetCallback(QObject* receiver, KeyHookCallback callback);

    struct Shared;

protected:
    KeyHook(Shared& shared, QObject* parent);

private:
    Shared& m_shared;
};

// The macro editor's recording hook: system-key messages count as presses
// and releases.
class KeyboardHook final : public KeyHook
{
    Q_OBJECT
public:
    explicit KeyboardHook(QObject* parent = nullptr);
};

// The single-key dialog's hook.
class AddKeyHook final : public KeyHook
{
    Q_OBJECT
public:
    explicit AddKeyHook(QObject* parent = nullptr);
};

// The key-combination dialog's hook.
class GroupKeyHook final : public KeyHook
{
    Q_OBJECT
public:
    explicit GroupKeyHook(QObject* parent = nullptr);
};

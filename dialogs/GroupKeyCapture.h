#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What the key-combination dialog keeps of the captured keys, without the
// widgets: at most three keys, taken from presses within a 2000 ms window,
// and the combination text OK returns. Times are milliseconds of any
// monotonic clock, passed in so tests can drive the window.
class GroupKeyCapture
{
public:
    static constexpr int kMaxKeys = 3;
    static constexpr qint64 kWindowMs = 2000;

    // One report of the keyboard capture. Returns true when the shown keys
    // changed.
    bool onKey(int virtualKey, bool down, qint64 nowMs);

    // The keys as the line shows them, joined by "+".
    QString text() const { return m_keys.join(QLatin1Char('+')); }
    const QStringList& keys() const { return m_keys; }

    // Takes an edited line (a paste) as the shown keys: the parts that name a
    // key, whatever their case, in the key's own spelling; other parts are
    // dropped.
    void setText(const QString& text);

    // Empties the line and forgets the last key; the window keeps running.
    void clear();

    // The combination for OK: the ticked modifiers in the fixed order Shift,
    // Ctrl, Alt, Win, then the captured keys. Nothing when more than three
    // keys would be sent.
    struct Modifiers {
        bool shift = false;
        bool ctrl = false;
        bool alt = false;
        bool win = false;
    };
    std::optional<QString> combination(const Modifiers& modifiers) const;

private:
    QStringList m_keys;
    int m_lastKey = -1;
    bool m_firstKeyPending = true;
    qint64 m_windowStart = 0;
};

#include "dialogs/GroupKeyCapture.h"

#include "core/KeyTable.h"

bool GroupKeyCapture::onKey(int virtualKey, bool down, qint64 nowMs)
{
    // Repeats are told apart by the key memory below, not by the repeat flag.
    if (!down)
        return false;
    const QStringList before = m_keys;
    if (m_firstKeyPending) {
        m_windowStart = nowMs;
        m_firstKeyPending = false;
    } else if (nowMs - m_windowStart > kWindowMs) {
        // The window runs from the key that opened it, not from the last key.
        m_keys.clear();
        m_lastKey = -1;
        m_windowStart = nowMs;
    }
    if (virtualKey == m_lastKey)
        return m_keys != before;
    m_lastKey = virtualKey;
    const QString name = core::VirtualKeyName(virtualKey, core::CaptureTable::Combination);
    if (m_keys.size() >= kMaxKeys) {
        // A fourth key starts a new combination with itself; one without a
        // name just empties the line.
        m_keys.clear();
        if (!name.isEmpty())
            m_keys.append(name);
    } else if (!name.isEmpty() && !m_keys.contains(name)) {
        m_keys.append(name);
        // After the third key the same key again is a new start, not a repeat.
        if (m_keys.size() == kMaxKeys)
            m_lastKey = -1;
    }
    return m_keys != before;
}

void GroupKeyCapture::setText(const QString& text)
{
    // A pasted line can hold anything. Only names of real keys are kept, in
    // their own spelling ("DEL" is "Del"), each once: a name without a key
    // would reach the mouse as a key of code 0, a button that does nothing.
    m_keys.clear();
    QString line = text;
    line.replace(QLatin1String("Num+"), QLatin1String("Num+"), Qt::CaseInsensitive);
    if (line.isEmpty())
        return;
    for (const QString& part : core::SplitKeyCombo(line)) {
        const QString name = core::KeyRowName(part.trimmed());
        if (!name.isEmpty() && !m_keys.contains(name))
            m_keys.append(name);
    }
}

void GroupKeyCapture::clear()
{
    m_keys.clear();
    m_lastKey = -1;
}

std::optional<QString> GroupKeyCapture::combination(const Modifiers& modifiers) const
{
    QStringList names;
    if (modifiers.shift)
        names << QStringLiteral("Shift");
    if (modifiers.ctrl)
        names << QStringLiteral("Ctrl");
    if (modifiers.alt)
        names << QStringLiteral("Alt");
    if (modifiers.win)
        names << QStringLiteral("Win");
    names += m_keys;
    if (names.size() > kMaxKeys)
        return std::nullopt;
    return names.join(QLatin1Char('+'));
}

#include "macro/MacroRecorder.h"

#include "core/KeyTable.h"

namespace macro {

void MacroRecorder::start()
{
    m_recordCount = 0;
    m_firstEvent = true;
    m_lastKeyCode = -1;
}

void MacroRecorder::stop()
{
    m_recordCount = 0;
    m_lastKeyCode = -1;
}

MacroRecorder::Step MacroRecorder::take(int keyCode, bool down, quint32 delayMs)
{
    Step step;
    if (keyCode == m_lastKeyCode) {
        if (down)
            return step;
        m_lastKeyCode = 0;
    } else {
        m_lastKeyCode = keyCode;
    }
    step.taken = true;
    if (m_firstEvent)
        m_firstEvent = false;
    else
        step.delay = core::makeDelayRow(delayMs);
    const auto name = core::FindVirtualKeyName(keyCode, core::CaptureTable::Recording);
    step.key = name ? core::makeKeyRow(*name, !down) : std::nullopt;
    if (!step.key) {
        m_firstEvent = true;
        return step;
    }
    if (++m_recordCount >= kMacroRecordEvents) {
        step.limitReached = true;
        m_recordCount = 0;
    }
    return step;
}

} // namespace macro

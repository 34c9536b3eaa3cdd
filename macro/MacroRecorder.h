#pragma once

#include "core/MacroCodec.h"

#include <optional>

namespace macro {

// Turns the key events of one recording into rows: a held key's repeated
// presses are dropped, every key row but the first has a delay row before
// it, keys the recording table does not name give no key row (and the next
// key no delay row of its own), and the record's 70 events end the recording.
class MacroRecorder
{
public:
    struct Step {
        bool taken = false;  // passed the repeat filter: the delay clock starts again
        std::optional<core::MacroRow> delay;
        std::optional<core::MacroRow> key;
        bool limitReached = false;
    };

    void start();
    void stop();
    // One key message: virtual-key code, press or release, and the delay a
    // delay row would hold (measured or fixed, as the page's delay mode says).
    Step take(int keyCode, bool down, quint32 delayMs);

private:
    int m_lastKeyCode = 0;
    bool m_firstEvent = false;
    int m_recordCount = 0;
};

} // namespace macro

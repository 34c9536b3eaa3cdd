#pragma once

// The one event-processing wait of the program: returns after `ms`
// milliseconds during which the calling thread's events keep being processed
// (so windows repaint and queued signals arrive). Use it on the GUI thread
// instead of sleeping; a value <= 0 processes pending events once and returns.
void WaitProcessingEvents(int ms);

namespace core {

// Whether the calling thread is inside WaitProcessingEvents: what arrives now
// arrives in the middle of the waiting code's sequence.
bool eventWaitRunning();

} // namespace core

#pragma once

#include <QString>

// Names of the five mouse-button events as the macro page shows them; empty
// until the page has loaded its texts, rewritten on every language change.
// Readers compare by exact equality and read them at call time. GUI thread.
extern QString LeftButtonName;
extern QString RightButtonName;
extern QString MiddleButtonName;
extern QString ForwardButtonName;
extern QString BackButtonName;

// True while the macro page records keys: the main window then ignores its
// keyboard shortcuts and the macro page refuses edits. GUI thread.
extern bool MacroRecording;

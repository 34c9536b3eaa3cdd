#pragma once

#include <QString>

class UpDateWarning;

namespace dialogs {

// Why the simulated devices the user named could not be set up, with the codes the device
// library gives them (SimControl_ScenarioFault).
enum class ScenarioFault { Missing = 1, Unreadable = 2, NotAFile = 3, Malformed = 4 };

// Sets the start-up notice's message: the cause in the current language with the file and, for a
// malformed line, its number; in English where the language file lacks the text. GUI thread;
// call it after fitStartUpNotice.
void setScenarioNoticeText(UpDateWarning& notice, ScenarioFault fault, int line, const QString& file);

} // namespace dialogs

#pragma once

#include "dialogs/MakeMacro.h"

#include <functional>

class PostMsg;
class QWidget;

namespace dialogs {

// Puts a notice where its opener shows it, before it runs.
using PlaceNotice = std::function<void(QWidget*)>;

// Tells, modally, that a choice of the user could not be stored, in `language` (else the stored one).
void showNotSaved(MakeMacro::Text text, int language, const PlaceNotice& place);

// The user chose language `index` from a language list (the choice page's or the settings page's):
// it is kept in Macro.ini, every window takes it, `echo` (PostMsg's Emit of the other list) sets the
// other list to it, and when it could not be kept the user is told, in that language, since it
// applies for this run all the same.
void chooseLanguage(int index, void (PostMsg::*echo)(int), const PlaceNotice& place);

} // namespace dialogs

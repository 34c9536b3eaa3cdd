#pragma once

namespace shell {

// Qt's own windows (the file and colour dialogs: buttons, labels, messages) in the language of
// the given index, from the Qt translations installed on the system; English for index 0, an
// index without a language, or a language whose translation is not installed. Qt dialogs already
// built take the new texts; the program's own windows are not told of the change. GUI thread.
// Returns whether a translation is in use.
bool useQtTranslation(int languageIndex);

} // namespace shell

#include "dialogs/LanguageChoice.h"

#include "core/MacroIni.h"
#include "core/PostMsg.h"

namespace dialogs {

void showNotSaved(MakeMacro::Text text, int language, const PlaceNotice& place)
{
    MakeMacro notice(nullptr, text);
    if (language >= 0)
        notice.SlotChangeLanguage(language);
    place(&notice);
    notice.exec();
}

void chooseLanguage(int index, void (PostMsg::*echo)(int), const PlaceNotice& place)
{
    const bool kept =
        MacroIni::Instance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), QString::number(index));
    PostMsg* bus = PostMsg::instance();
    bus->EmitChangeLanguage(index);
    (bus->*echo)(index);
    if (!kept)
        showNotSaved(MakeMacro::Text::LanguageNotSaved, index, place);
}

} // namespace dialogs

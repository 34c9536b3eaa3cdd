// The button page's lists, among them the debounce-time list.
#include "Draw.h"
#include "Pictures.h"

using namespace datagen;

TALVO_PICTURES(Buttoninterface)
{
    out.save(QStringLiteral("ComboboxBack.png"), draw::comboFace(141, 34, false));
    out.save(QStringLiteral("ComboboxTextBack.png"), draw::comboFace(141, 130, true));
    out.save(QStringLiteral("Menu.png"), draw::menuArrow(false));
    out.save(QStringLiteral("MenuClicked.png"), draw::menuArrow(true));
}

// The lighting page's lists, among them the sleep-time list that the
// settings page places too.
#include "Draw.h"
#include "Pictures.h"

using namespace datagen;

TALVO_PICTURES(Light)
{
    out.save(QStringLiteral("ComboboxBack.png"), draw::comboFace(131, 34, false));
    out.save(QStringLiteral("ComboboxTextBack.png"), draw::comboFace(131, 130, true));
    out.save(QStringLiteral("Menu.png"), draw::menuArrow(false));
    out.save(QStringLiteral("MenuClicked.png"), draw::menuArrow(true));
}

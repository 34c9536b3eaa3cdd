#include "shell/common/ButtonStyle.h"

#include "core/Skin.h"
#include "shell/common/PictureCheck.h"

namespace shell {

QString threeStateButtonStyle(const QString& normal, const QString& hover, const QString& pressed)
{
    return pictureSheet(QStringLiteral("QToolButton{border:0px;background-image: url(%1);background-position:center;"
                                       "background-repeat:no-repeat;}QToolButton:hover{background-image: url(%2);}"
                                       "QToolButton:pressed{background-image: url(%3);}")
                            .arg(normal, hover, pressed));
}

QString windowButtonStyle(const QString& folder, const QString& name)
{
    const QString face = folder + name;
    return threeStateButtonStyle(face + QStringLiteral(".png"), face + QStringLiteral("Hover.png"),
                                 face + QStringLiteral("Click.png"));
}

QString hoverFaceRule(const QString& selector, const QString& picture)
{
    return pictureSheet(selector + QStringLiteral(":hover:!checked{background-image: url(") + picture
                        + QStringLiteral(");}"));
}

QString applicationStyleSheet()
{
    const QString text = core::optionColour("LabelColor", core::kFallbackTextColour);
    const QString select = core::optionColour("ComboxSelectColor", "0,104,148");
    // %1 text, %2 selection; the panel and border colours are the skin's.
    return QStringLiteral("QMenu{background-color: rgb(30,33,40); color: rgb(%1); border: 1px solid rgb(52,57,68);"
                          "padding: 4px 0px;}"
                          "QMenu::item{padding: 5px 24px 5px 16px; background: transparent;}"
                          "QMenu::item:selected{background-color: rgb(%2); color: rgb(255,255,255);}"
                          "QMenu::item:disabled{color: rgb(138,144,160);}"
                          "QMenu::separator{height: 1px; background: rgb(52,57,68); margin: 4px 8px;}"
                          "QToolTip{background-color: rgb(39,43,52); color: rgb(%1); border: 1px solid rgb(52,57,68);"
                          "padding: 3px;}"
                          // A list below the box, as long as the box allows and kept on the screen, instead of
                          // a menu of every entry laid over the box, which runs off a screen's edge.
                          "QComboBox{combobox-popup: 0;}"
                          // Selected text in an entry field: white on the selection colour.
                          "QLineEdit, QAbstractSpinBox{selection-background-color: rgb(%2); selection-color: white;}")
        .arg(text, select);
}

QString scrollBarStyle()
{
    return QStringLiteral(
        "QScrollBar:vertical{width:13px;background:rgb(30,30,30);margin:25px 0 25px 0;border:none;}"
        "QScrollBar::handle:vertical{background:rgb(117,117,117);border-radius:3px;min-height:30px;}"
        "QScrollBar::add-line:vertical,QScrollBar::sub-line:vertical{height:25px;background:rgb(30,30,30);"
        "subcontrol-origin:margin;}"
        "QScrollBar::add-page:vertical,QScrollBar::sub-page:vertical,QScrollBar::up-arrow:vertical,"
        "QScrollBar::down-arrow:vertical{background:transparent;}");
}

} // namespace shell

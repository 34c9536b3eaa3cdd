#include "shell/common/ButtonStyle.h"

#include "core/Skin.h"
#include "shell/common/PictureCheck.h"

#include <QComboBox>
#include <QListView>

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
    const QString text = core::optionColour("LabelColor");
    const QString select = core::optionColour("ComboxSelectColor");
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

QString checkBoxStyle(const QString& colour, const QString& folder, const char* checked, const char* unchecked)
{
    return pictureSheet(QStringLiteral("QCheckBox{color: rgb(") + colour
                        + QStringLiteral(";);}QCheckBox::indicator:checked {image: url(") + folder
                        + QString::fromLatin1(checked) + QStringLiteral(");}QCheckBox::indicator:unchecked {image: url(")
                        + folder + QString::fromLatin1(unchecked) + QStringLiteral(");}"));
}

void styleCombo(QComboBox* box, const QString& folder, bool greyWhenDisabled)
{
    const QString text = core::optionColour("ComboxTextColor");
    const QString button = core::optionColour("ComboxBackGroundColor");
    const QString select = core::optionColour("ComboxSelectColor");
    // %1 text colour, %2 button colour, %3 selection colour, %4 picture folder.
    QString sheet =
        QStringLiteral("QComboBox{border: 1px solid gray; color: rgb(%1); border-image: url(%4ComboboxBack.png);}"
                       "QComboBox::drop-down:button{border-radius:5px; background:rgb(%2);} "
                       "QComboBox::down-arrow{image: url(%4Menu.png); right: 8px; }"
                       "QComboBox::down-arrow:on{ image: url(%4MenuClicked.png);}"
                       "QComboBox QAbstractItemView::item{height:25px;}"
                       "QComboBox QAbstractItemView {outline: 0px solid gray; border: 1px  solid gray;color: rgb(%1); "
                       "border-image: url(%4ComboboxTextBack.png);selection-background-color: rgb(%3); }")
            .arg(text, button, select, folder);
    if (greyWhenDisabled)
        sheet += QStringLiteral("QComboBox:disabled{color: rgb(0, 0, 0);}");
    box->setStyleSheet(pictureSheet(sheet));
    auto* list = new QListView(box);
    // Every entry is 25 px high: measuring the first is enough. Measuring each would shape every
    // entry's text (each language's own name) long before the list opens, loading a fallback font
    // per script, megabytes.
    list->setUniformItemSizes(true);
    list->setStyleSheet(QStringLiteral("QListView::item:selected{background-color: rgb(") + select
                        + QStringLiteral(");}QListView::item:hover{background-color: rgb(") + select
                        + QStringLiteral(");}"));
    box->setView(list);
    // The entries carry the box's font: the list's own font gives way to the plain one when a style
    // sheet polishes it, and measuring an entry in that font loads a fallback font for its script.
    for (int row = 0; row < box->count(); ++row)
        box->setItemData(row, box->font(), Qt::FontRole);
}

QString scrollBarStyle(ScrollBarEnds ends)
{
    return QStringLiteral(
               "QScrollBar:vertical{width:13px;background:rgb(30,30,30);margin:25px 0 25px 0;border:none;}"
               "QScrollBar::handle:vertical{background:rgb(117,117,117);border-radius:3px;min-height:30px;}"
               "QScrollBar::add-line:vertical,QScrollBar::sub-line:vertical{height:25px;background:%1;"
               "subcontrol-origin:margin;}"
               "QScrollBar::add-page:vertical,QScrollBar::sub-page:vertical,QScrollBar::up-arrow:vertical,"
               "QScrollBar::down-arrow:vertical{background:transparent;}")
        .arg(ends == ScrollBarEnds::BarColour ? QStringLiteral("rgb(30,30,30)") : QStringLiteral("transparent"));
}

} // namespace shell

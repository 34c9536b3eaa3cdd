#include "sensor/OptionStyle.h"

#include "core/AppPaths.h"
#include "core/Skin.h"
#include "shell/common/ButtonStyle.h"
#include "shell/common/PictureCheck.h"

#include <QComboBox>
#include <QListView>

#include <cstring>

namespace sensor {

namespace {

struct ColourFallback
{
    const char* key;
    const char* rgb;
};

// The shipped skin's colours, used where Config.ini lacks a usable list.
constexpr ColourFallback kFallbacks[] = {
    {"LabelColor", core::kFallbackTextColour},
    {"ButtonColor", core::kFallbackTextColour},
    {"SliderColor", "0,194,255"},
    {"ComboxTextColor", "255,255,255"},
    {"ComboxSelectColor", "0,104,148"},
    {"ComboxBackGroundColor", "39,43,52"},
    {"LinEditColorSecond", "0,194,255"},
};

const char* fallbackOf(const char* key)
{
    for (const ColourFallback& row : kFallbacks) {
        if (std::strcmp(row.key, key) == 0)
            return row.rgb;
    }
    return core::kFallbackTextColour;
}

} // namespace

QString optionColour(const char* key)
{
    return core::optionColour(key, fallbackOf(key));
}

QString pictureFolder(const char* page)
{
    return AppDir() + QStringLiteral("/Picture/") + QString::fromLatin1(page) + QLatin1Char('/');
}

QString labelStyle()
{
    return QStringLiteral("QLabel{color: rgb(") + optionColour("LabelColor") + QStringLiteral(";);}");
}

void styleCombo(QComboBox* box, const QString& folder, bool greyWhenDisabled)
{
    const QString text = optionColour("ComboxTextColor");
    const QString button = optionColour("ComboxBackGroundColor");
    const QString select = optionColour("ComboxSelectColor");
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
    box->setStyleSheet(shell::pictureSheet(sheet));
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

QString sliderStyle(const QString& folder)
{
    return shell::pictureSheet(
        QStringLiteral("QSlider:groove:horizontal{height:2px;left: 0px;right: 0px;border:0px;border-radius:6px;"
                       "background:rgba(0,0,0,50);}QSlider:handle:horizontal{ width:  5px;height: 50px;  "
                       "margin-top: -20px;margin-left: 0px; margin-bottom: -20px;margin-right: 0px; "
                       "border-image: url(")
        + folder + QStringLiteral("HuaKuai.png);} QSlider:sub-page:horizontal{background-color: rgb(")
        + optionColour("SliderColor")
        + QStringLiteral(";);}QSlider:add-page:horizontal{background-color: rgb(255, 255, 255);}"));
}

QString numberBoxStyle(const char* colourKey, bool framed)
{
    const QString border = framed ? QStringLiteral("border: 1px  solid gray;") : QStringLiteral("border: 0px;");
    const QString body = QStringLiteral("background-color: transparent;color: rgb(") + optionColour(colourKey)
                         + QStringLiteral(";);") + border + QLatin1Char('}');
    return QStringLiteral("QSpinBox{") + body + QStringLiteral("QSpinBox:hover{") + body;
}

QString switchStyle(const QString& name, const QString& folder)
{
    return shell::pictureSheet(QLatin1Char('#') + name
                               + QStringLiteral("{color: rgb(255, 255, 255);border:0px;background-position:center;"
                                                "background-repeat:no-repeat;background-image: url(")
                               + folder + QStringLiteral("Close.png);}#") + name
                               + QStringLiteral(":checked {background-image: url(") + folder
                               + QStringLiteral("Open.png);}"));
}

QString choiceBoxStyle(const QString& folder)
{
    return shell::pictureSheet(QStringLiteral("QCheckBox{color: rgb(") + optionColour("LabelColor")
                               + QStringLiteral(";);}QCheckBox:indicator::checked {image: url(") + folder
                               + QStringLiteral("LODCheck.png);}QCheckBox::indicator::unchecked {image: url(")
                               + folder + QStringLiteral("LOD.png);}"));
}

QString pictureButtonStyle(const QString& name, const QString& folder, const char* picture, const char* hoverPicture)
{
    const QString sheet = QLatin1Char('#') + name + QStringLiteral("{background-image: url(") + folder
                          + QString::fromLatin1(picture)
                          + QStringLiteral(");border:0px;background-position:center;background-repeat:no-repeat;}");
    if (!hoverPicture)
        return shell::pictureSheet(sheet);
    return shell::pictureSheet(sheet) + shell::hoverFaceRule(QLatin1Char('#') + name, folder + QString::fromLatin1(hoverPicture));
}

} // namespace sensor

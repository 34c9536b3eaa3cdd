#include "sensor/OptionStyle.h"

#include "core/AppPaths.h"
#include "core/Skin.h"
#include "shell/common/ButtonStyle.h"
#include "shell/common/PictureCheck.h"

namespace sensor {

QString optionColour(const char* key)
{
    return core::optionColour(key);
}

QString pictureFolder(const char* page)
{
    return AppDir() + QStringLiteral("/Picture/") + QString::fromLatin1(page) + QLatin1Char('/');
}

QString labelStyle()
{
    return QStringLiteral("QLabel{color: rgb(") + optionColour("LabelColor") + QStringLiteral(";);}");
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
    return shell::checkBoxStyle(optionColour("LabelColor"), folder, "LODCheck.png", "LOD.png");
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

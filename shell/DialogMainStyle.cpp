#include "shell/DialogMainStyle.h"

#include "shell/common/ButtonStyle.h"
#include "shell/common/PictureCheck.h"

namespace shell {

QString buttonStyle(const ButtonLook& look, const QString& skinDir)
{
    const QString normal = skinDir + QLatin1String(look.normal);
    const QString hover = skinDir + QLatin1String(look.hover);
    const QString active = skinDir + QLatin1String(look.active);
    if (look.kind == ButtonKind::Page)
        return pictureSheet(
            QStringLiteral("QToolButton{border: 0px;background-position:center;background-repeat:no-repeat;"
                           "background-image: url(%1);}QToolButton:hover{background-image:  url(%2);}"
                           "QToolButton:checked{background-image: url(%3);}")
                .arg(normal, hover, active));
    return threeStateButtonStyle(normal, hover, active);
}

QString borderImageStyle(const QString& objectName, const QString& image)
{
    return pictureSheet(QStringLiteral("#%1{border-image: url(%2);}").arg(objectName, image));
}

QString batteryGaugeStyle(int level)
{
    const char* chunk = level <= 15 ? "152, 43, 34" : "0, 255, 153";
    return QStringLiteral("#progressBar{border: none;background-color: transparent;}"
                          "#progressBar::chunk {background-color: rgb(%1);}")
        .arg(QLatin1String(chunk));
}

} // namespace shell

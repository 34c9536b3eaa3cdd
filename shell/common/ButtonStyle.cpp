#include "shell/common/ButtonStyle.h"

namespace shell {

QString threeStateButtonStyle(const QString& normal, const QString& hover, const QString& pressed)
{
    return QStringLiteral("QToolButton{border:0px;background-image: url(%1);background-position:center;"
                          "background-repeat:no-repeat;}QToolButton:hover{background-image: url(%2);}"
                          "QToolButton:pressed{background-image: url(%3);}")
        .arg(normal, hover, pressed);
}

QString windowButtonStyle(const QString& folder, const QString& name)
{
    const QString face = folder + name;
    return threeStateButtonStyle(face + QStringLiteral(".png"), face + QStringLiteral("Hover.png"),
                                 face + QStringLiteral("Click.png"));
}

} // namespace shell

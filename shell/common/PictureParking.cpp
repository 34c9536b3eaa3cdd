#include "shell/common/PictureParking.h"
#include "shell/common/PictureCheck.h"

#include <QPixmapCache>

#include <utility>

namespace shell {

void PictureParking::park(QWidget* root)
{
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* widget : widgets) {
        const QString sheet = widget->styleSheet();
        if (!sheet.contains(QLatin1String("url(")))
            continue;
        m_parked.append({widget, sheet});
        widget->setStyleSheet(QString());
    }
    // The pixmap cache would keep the pictures the widgets no longer hold.
    QPixmapCache::clear();
}

void PictureParking::restore()
{
    const QVector<Parked> parked = std::exchange(m_parked, {});
    // Hours may have passed: a picture changed meanwhile is checked again before Qt reopens it.
    // Newest first: a widget parked twice gets its later sheet back, not the one it replaced.
    for (auto entry = parked.crbegin(); entry != parked.crend(); ++entry) {
        if (entry->widget && entry->widget->styleSheet().isEmpty())
            entry->widget->setStyleSheet(pictureSheet(entry->styleSheet));
    }
}

} // namespace shell

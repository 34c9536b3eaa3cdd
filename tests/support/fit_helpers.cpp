#include "fit_helpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTabBar>
#include <QTextEdit>
#include <QPlainTextEdit>
#include <QAbstractItemView>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTextDocument>
#include <QTextLayout>
#include <QtMath>
#include <QToolButton>

namespace fittest {

namespace {

// Object names from `root` down to `w`, class names where a widget has none.
QString pathOf(const QWidget* root, const QWidget* w)
{
    QStringList parts;
    for (const QWidget* at = w; at && at != root; at = at->parentWidget())
        parts.prepend(at->objectName().isEmpty() ? QString::fromLatin1(at->metaObject()->className())
                                                 : at->objectName());
    return parts.join(QLatin1Char('/'));
}

// Hidden on its own, or below a widget hidden on its own other than a page of
// a stacked widget (which shows when its page is chosen).
bool hiddenFor(const QWidget* root, const QWidget* w)
{
    for (const QWidget* at = w; at && at != root; at = at->parentWidget()) {
        const bool stackedPage = qobject_cast<const QStackedWidget*>(at->parentWidget()) != nullptr;
        if (at->isHidden() && !stackedPage)
            return true;
    }
    return false;
}

// Pixels a text may pass its room by: fonts differ a little between machines,
// and a glyph's side bearing or the foot of its line may be cut unseen.
constexpr int kSlack = 2;
// Room a push or tool button keeps free at each end of its caption.
constexpr int kButtonEnds = 10;
// Room a text keeps from the left and right edges of its window.
constexpr int kWindowEdge = 8;

// The room a button leaves its text: the style's contents rect for check and
// radio boxes and push buttons, the contents rect less the icon otherwise.
QRect textRoom(QAbstractButton* button)
{
    QStyleOptionButton opt;
    opt.initFrom(button);
    opt.text = button->text();
    opt.icon = button->icon();
    opt.iconSize = button->iconSize();
    QRect room = button->contentsRect();
    if (qobject_cast<QCheckBox*>(button))
        room = button->style()->subElementRect(QStyle::SE_CheckBoxContents, &opt, button);
    else if (qobject_cast<QRadioButton*>(button))
        room = button->style()->subElementRect(QStyle::SE_RadioButtonContents, &opt, button);
    else if (qobject_cast<QPushButton*>(button))
        room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, button);
    auto* tool = qobject_cast<QToolButton*>(button);
    const bool iconBeside = !tool || tool->toolButtonStyle() == Qt::ToolButtonTextBesideIcon;
    if (!button->icon().isNull() && iconBeside && !qobject_cast<QCheckBox*>(button) &&
        !qobject_cast<QRadioButton*>(button))
        room.setWidth(room.width() - button->iconSize().width() - 4);
    // A caption running into a button's rounded ends reads as cut.
    if (!qobject_cast<QCheckBox*>(button) && !qobject_cast<QRadioButton*>(button))
        room.adjust(kButtonEnds, 0, -kButtonEnds, 0);
    return room;
}


// How a kind of button places its text in its room.
Qt::Alignment textAlignment(const QAbstractButton* button)
{
    if (qobject_cast<const QCheckBox*>(button) || qobject_cast<const QRadioButton*>(button))
        return Qt::AlignLeft | Qt::AlignVCenter;
    return Qt::AlignCenter;
}

// Where a text drawn in `room` as the widget draws it inks outside the room,
// or an empty text when it does not: the text is drawn once unclipped and the
// inked pixels are compared with the room, so the fonts the text really falls
// back to count. Faint edges of anti-aliasing do not. `bounds` is where the
// ink may go, in the room's coordinates.
QString shortfall(const QString& text, const QFont& font, const QSize& room, int flags, const QRect& bounds)
{
    const int pad = QFontMetrics(font).horizontalAdvance(text) + 50;
    QImage image(room.width() + 2 * pad, room.height() + 2 * pad, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QRect(QPoint(pad, pad), room), flags | Qt::TextDontClip, text);
    painter.end();
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) > 96) {
                left = qMin(left, x - pad);
                right = qMax(right, x - pad);
                top = qMin(top, y - pad);
                bottom = qMax(bottom, y - pad);
            }
        }
    }
    if (right < 0 || (left >= bounds.left() - kSlack && right <= bounds.right() + kSlack && top >= bounds.top() &&
                      bottom <= bounds.bottom()))
        return QString();
    return QStringLiteral("inks %1..%2 across and %3..%4 down in %5x%6")
        .arg(left)
        .arg(right + 1)
        .arg(top)
        .arg(bottom + 1)
        .arg(room.width())
        .arg(room.height());
}

QString shortfall(const QString& text, const QFont& font, const QSize& room, int flags)
{
    return shortfall(text, font, room, flags, QRect(QPoint(0, 0), room));
}

// A label's text as it reads, tags of a rich text left out.
QString plainText(const QLabel* label)
{
    const bool rich = label->textFormat() == Qt::RichText ||
                      (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
    if (!rich)
        return label->text();
    QTextDocument doc;
    doc.setHtml(label->text());
    return doc.toPlainText();
}

// A wrapped text whose last line holds one character alone reads as broken,
// even where the lines fit.
bool leavesOrphan(const QLabel* label, const QRect& room)
{
    if (!label->wordWrap())
        return false;
    QTextLayout layout(plainText(label).replace(QLatin1Char('\n'), QChar::LineSeparator), label->font());
    QTextOption option(label->alignment());
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    int lines = 0, lastLength = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(room.width());
        ++lines;
        lastLength = layout.text().mid(line.textStart(), line.textLength()).trimmed().size();
    }
    layout.endLayout();
    return lines > 1 && lastLength == 1;
}

// The widest line of a word-wrapped label as the label lays it out: unlike a painter's wrapped
// text, a label breaks only between words, so a word wider than its line runs past both ends
// (where the label's contents cut it).
int widestWrappedLine(const QLabel* label, const QRect& room)
{
    QTextLayout layout(plainText(label).replace(QLatin1Char('\n'), QChar::LineSeparator), label->font());
    QTextOption option(label->alignment());
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    qreal widest = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(room.width());
        widest = qMax(widest, line.naturalTextWidth());
    }
    layout.endLayout();
    return qCeil(widest);
}

QString labelShortfall(const QLabel* label, QString* text)
{
    *text = label->text();
    if (text->isEmpty())
        return QString();
    const int m = label->margin();
    const QRect room = label->contentsRect().adjusted(m, m, -m, -m);
    // Text running up to a dialog's side edges reads as cut even inside its label; up and
    // down a label may lie scrolled out of the window.
    const QRect window(kWindowEdge, -QWIDGETSIZE_MAX / 2, label->window()->width() - 2 * kWindowEdge, QWIDGETSIZE_MAX);
    const QRect bounds =
        QRect(QPoint(0, 0), room.size()) & window.translated(-label->mapTo(label->window(), room.topLeft()));
    const QString why = shortfall(plainText(label), label->font(), room.size(),
                                  int(label->alignment()) | (label->wordWrap() ? Qt::TextWordWrap : 0), bounds);
    if (why.isEmpty() && leavesOrphan(label, room))
        return QStringLiteral("leaves one character on its last line");
    if (why.isEmpty() && label->wordWrap() && widestWrappedLine(label, room) > room.width() + kSlack)
        return QStringLiteral("a word of %1 px runs past its line of %2").arg(widestWrappedLine(label, room)).arg(room.width());
    return why;
}

QString comboShortfall(const QComboBox* box, QString* text)
{
    *text = box->currentText();
    if (text->isEmpty())
        return QString();
    QStyleOptionComboBox opt;
    opt.initFrom(box);
    opt.editable = box->isEditable();
    opt.frame = box->hasFrame();
    opt.currentText = *text;
    QRect room = box->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, box);
    // A style sheet may draw the arrow over the field; the text must stop short of it.
    const QRect arrow = box->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxArrow, box);
    if (arrow.isValid() && arrow.left() > room.left())
        room.setRight(qMin(room.right(), arrow.left() - 6));
    return shortfall(*text, box->font(), room.size(), Qt::AlignLeft | Qt::AlignVCenter);
}

QString buttonShortfall(QAbstractButton* button, QString* text)
{
    *text = button->text();
    text->remove(QRegularExpression(QStringLiteral("&(?!&)")));
    // A tool button shows its text only beside an icon or without one.
    auto* tool = qobject_cast<QToolButton*>(button);
    if (text->isEmpty() || (tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly && !tool->icon().isNull()))
        return QString();
    return shortfall(*text, button->font(), textRoom(button).size(), int(textAlignment(button)));
}

void collectUrls(const QString& sheet, const QString& owner, QStringList* missing)
{
    static const QRegularExpression url(QStringLiteral("url\\(\\s*['\"]?([^'\")]*)['\"]?\\s*\\)"));
    for (auto it = url.globalMatch(sheet); it.hasNext();) {
        const QString file = it.next().captured(1).trimmed();
        if (!file.isEmpty() && !QFile::exists(file) && !missing->contains(owner + QStringLiteral(": ") + file))
            missing->append(owner + QStringLiteral(": ") + file);
    }
}

// Whether the widget's own style sheet paints a picture on it by its name
// (a container drawing a picture shows as much as a leaf does).
bool drawsOwnPicture(const QWidget* w)
{
    if (w->objectName().isEmpty())
        return false;
    const QString name = QRegularExpression::escape(w->objectName());
    const QRegularExpression own(QStringLiteral("#%1\\s*\\{[^}]*url\\(").arg(name));
    return own.match(w->styleSheet()).hasMatch();
}

} // namespace

QStringList clippedTexts(QWidget* root)
{
    QStringList faults;
    QList<QWidget*> all = root->findChildren<QWidget*>();
    all.prepend(root);
    for (QWidget* w : all) {
        if (hiddenFor(root, w))
            continue;
        w->ensurePolished();
        QString text, why;
        if (auto* label = qobject_cast<QLabel*>(w))
            why = labelShortfall(label, &text);
        else if (auto* box = qobject_cast<QComboBox*>(w))
            why = comboShortfall(box, &text);
        else if (auto* button = qobject_cast<QAbstractButton*>(w))
            why = buttonShortfall(button, &text);
        if (!why.isEmpty())
            faults << QStringLiteral("%1 \"%2\" %3").arg(pathOf(root, w), text, why);
    }
    return faults;
}

QStringList missingPictures(QWidget* root)
{
    QStringList missing;
    collectUrls(qApp->styleSheet(), QStringLiteral("application"), &missing);
    QList<QWidget*> all = root->findChildren<QWidget*>();
    all.prepend(root);
    for (const QWidget* w : all)
        collectUrls(w->styleSheet(), pathOf(root->parentWidget(), w), &missing);
    return missing;
}

QStringList outsidePanel(QWidget* page, QWidget* frame, const QRect& panel, const QStringList& allowed)
{
    QStringList faults;
    for (QWidget* w : page->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(frame) || w->isWindow())
            continue;
        bool hasVisibleChild = false;
        for (const QWidget* c : w->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
            hasVisibleChild = hasVisibleChild || (c->isVisibleTo(frame) && !c->isWindow());
        if (hasVisibleChild && !drawsOwnPicture(w))
            continue;
        // What of the widget its ancestors let show, in the frame's coordinates.
        QRect shown(w->mapTo(frame, QPoint(0, 0)), w->size());
        for (const QWidget* at = w->parentWidget(); at && at != frame; at = at->parentWidget())
            shown &= QRect(at->mapTo(frame, QPoint(0, 0)), at->size());
        if (shown.isEmpty() || panel.contains(shown))
            continue;
        const QString path = pathOf(page->parentWidget(), w);
        bool known = false;
        for (const QString& prefix : allowed)
            known = known || path.startsWith(prefix);
        if (!known)
            faults << QStringLiteral("%1 at (%2,%3 %4x%5)")
                          .arg(path)
                          .arg(shown.x())
                          .arg(shown.y())
                          .arg(shown.width())
                          .arg(shown.height());
    }
    return faults;
}

namespace {

void addText(QStringList* out, const QString& path, const QString& text)
{
    if (!text.trimmed().isEmpty())
        out->append(path + QLatin1Char('\t') + text);
}

void addModelTexts(QStringList* out, const QString& path, const QAbstractItemModel* model)
{
    if (!model)
        return;
    for (int r = 0; r < model->rowCount(); ++r)
        for (int c = 0; c < model->columnCount(); ++c)
            addText(out, path, model->index(r, c).data().toString());
}

} // namespace

QStringList shownTexts(QWidget* root)
{
    QStringList texts;
    if (root->isWindow() && !(root->windowFlags() & Qt::FramelessWindowHint))
        addText(&texts, QStringLiteral("windowTitle"), root->windowTitle());
    QList<QWidget*> all = root->findChildren<QWidget*>();
    all.prepend(root);
    for (QWidget* w : all) {
        // A menu is hidden until it pops up; what it lists is shown all the same.
        auto* menu = qobject_cast<QMenu*>(w);
        if (menu) {
            for (const QAction* action : menu->actions())
                addText(&texts, pathOf(root, w), action->text());
            continue;
        }
        if (hiddenFor(root, w))
            continue;
        const QString path = pathOf(root, w);
        addText(&texts, path + QStringLiteral("/toolTip"), w->toolTip());
        if (auto* label = qobject_cast<QLabel*>(w)) {
            addText(&texts, path, plainText(label));
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            auto* tool = qobject_cast<QToolButton*>(w);
            if (!tool || tool->toolButtonStyle() != Qt::ToolButtonIconOnly || tool->icon().isNull())
                addText(&texts, path, button->text().remove(QRegularExpression(QStringLiteral("&(?!&)"))));
        } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
            addText(&texts, path, group->title());
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            addText(&texts, path, edit->text());
            if (edit->text().isEmpty())
                addText(&texts, path + QStringLiteral("/placeholder"), edit->placeholderText());
        } else if (auto* box = qobject_cast<QComboBox*>(w)) {
            for (int i = 0; i < box->count(); ++i)
                addText(&texts, path, box->itemText(i));
        } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                addText(&texts, path, tabs->tabText(i));
        } else if (auto* text = qobject_cast<QTextEdit*>(w)) {
            addText(&texts, path, text->toPlainText());
        } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
            addText(&texts, path, plain->toPlainText());
        } else if (auto* header = qobject_cast<QHeaderView*>(w)) {
            for (int i = 0; header->model() && i < header->count(); ++i)
                addText(&texts, path, header->model()->headerData(i, header->orientation()).toString());
        } else if (auto* view = qobject_cast<QAbstractItemView*>(w)) {
            // A combo box's own list is read through the box.
            if (!qobject_cast<QComboBox*>(view->parentWidget() ? view->parentWidget()->parentWidget() : nullptr))
                addModelTexts(&texts, path, view->model());
        }
    }
    return texts;
}

} // namespace fittest

// Walks every text of the frame's pages and of the dialogs as drawn, and prints those whose
// colour stands out from what lies behind it by less than a ratio (default 3:1): for review of
// the skin's colours and pictures, not a test.
//
//   bench_contrast_walk [--language <0..5>] [--least <ratio>]
//
// Behind a text is the colour most of its widget's pixels have; its ink is the pixel that stands
// out most from that, inside the widget's text area.

#include "core/MacroIni.h"
#include "core/PostMsg.h"
#include "core/ProcessState.h"
#include "core/StartUp.h"
#include "dialogs/AddDelayTime.h"
#include "dialogs/ContainReset.h"
#include "dialogs/DeleteConfirm.h"
#include "dialogs/FireKey.h"
#include "dialogs/GroupKey.h"
#include "dialogs/GroupMaxThree.h"
#include "dialogs/InportFail.h"
#include "dialogs/KeyNumberLimit.h"
#include "dialogs/LeftButtonOnly.h"
#include "dialogs/MakeMacro.h"
#include "dialogs/MouseOffLine.h"
#include "dialogs/Progress.h"
#include "dialogs/QuestionDialog.h"
#include "dialogs/QuestiondialogB.h"
#include "dialogs/RePair.h"
#include "dialogs/SameMacro.h"
#include "dialogs/UpDataParam.h"
#include "dialogs/UpDateWarning.h"
#include "dialogs/addKey.h"
#include "settings/FindNewVer.h"
#include "settings/UpDateRepair.h"
#include "shell/Dialog.h"
#include "shell/DialogChange.h"
#include "shell/DialogMain.h"
#include "shell/common/ButtonStyle.h"
#include "shell/pairing/Match.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QTextEdit>
#include <QTimer>

#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <unistd.h>

namespace {

double luminance(QRgb c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(qRed(c) / 255.0) + 0.7152 * channel(qGreen(c) / 255.0)
           + 0.0722 * channel(qBlue(c) / 255.0);
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

void settle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The text of a widget that shows one, and the part of it the text is drawn in.
bool textOf(QWidget* w, QString* text, QRect* area)
{
    *area = w->rect();
    Qt::Alignment align = Qt::AlignCenter;
    bool wrap = false;
    if (auto* label = qobject_cast<QLabel*>(w)) {
        *text = label->text();
        align = label->alignment();
        wrap = label->wordWrap();
    } else if (auto* box = qobject_cast<QCheckBox*>(w)) {
        align = Qt::AlignLeft | Qt::AlignVCenter;
        *text = box->text();
        QStyleOptionButton option;
        option.initFrom(box);
        *area = box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        *text = button->text();
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        *text = combo->currentText();
        QStyleOptionComboBox option;
        option.initFrom(combo);
        *area = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
        *text = line->text();
        align = line->alignment();
    } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(w)) {
        *text = spin->text();
        align = spin->alignment();
    } else if (auto* edit = qobject_cast<QTextEdit*>(w)) {
        *text = edit->toPlainText();
        align = Qt::AlignLeft | Qt::AlignTop;
    } else {
        return false;
    }
    if (text->trimmed().isEmpty())
        return false;
    // Only where the glyphs are: a face's rounded edges over the page would stand out as ink.
    const QString shown = Qt::mightBeRichText(*text) ? QStringLiteral("Xg") : *text;
    const QSize inked = w->fontMetrics().boundingRect(*area, int(align) | (wrap ? Qt::TextWordWrap : 0), shown).size();
    *area = QStyle::alignedRect(Qt::LeftToRight, align, inked.boundedTo(area->size()), *area);
    return true;
}

int walk(QWidget* top, const QString& where, double least)
{
    settle(150);
    QImage shot(top->size(), QImage::Format_ARGB32);
    shot.fill(QColor(21, 23, 28));
    {
        QPainter p(&shot);
        p.drawPixmap(0, 0, top->grab());
    }
    int found = 0;
    for (QWidget* w : top->findChildren<QWidget*>()) {
        QString text;
        QRect area;
        if (!w->isVisible() || !textOf(w, &text, &area))
            continue;
        const QRect seen = QRect(w->mapTo(top, area.topLeft()), area.size())
                               .intersected(QRect(w->mapTo(top, QPoint(0, 0)), w->visibleRegion().boundingRect().size()))
                               .intersected(shot.rect());
        if (seen.width() < 4 || seen.height() < 4)
            continue;
        QHash<QRgb, int> counts;
        for (int y = seen.top(); y <= seen.bottom(); ++y)
            for (int x = seen.left(); x <= seen.right(); ++x)
                ++counts[shot.pixel(x, y) & 0xfcfcfc];
        QRgb back = 0;
        int most = -1;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            if (it.value() > most)
                most = it.value(), back = it.key();
        double best = 1;
        for (auto it = counts.cbegin(); it != counts.cend(); ++it)
            if (it.value() >= 3)
                best = std::max(best, contrast(it.key(), back));
        if (best < least) {
            ++found;
            std::printf("%-5.2f %s/%s %s%s \"%s\" on #%06x\n", best, qPrintable(where), qPrintable(w->objectName()),
                        w->metaObject()->className(), w->isEnabled() ? "" : " (disabled)",
                        qPrintable(text.simplified().left(40)), back & 0xffffff);
        }
    }
    return found;
}

template <typename T>
int walkDialog(const char* name, double least)
{
    auto dialog = std::make_unique<T>();
    dialog->show();
    return walk(dialog.get(), QString::fromLatin1(name), least);
}

} // namespace

int main(int argc, char* argv[])
{
    PrepareUserFolders();
    QApplication app(argc, argv);
    RegisterBusTypes();
    app.setStyleSheet(shell::applicationStyleSheet());
    const QStringList args = QApplication::arguments();
    const int languageAt = args.indexOf(QStringLiteral("--language"));
    if (languageAt > 0)
        MacroIni::Instance()->SetValue(QStringLiteral("Language"), QStringLiteral("Language"), args.value(languageAt + 1));
    const int leastAt = args.indexOf(QStringLiteral("--least"));
    const double least = leastAt > 0 ? args.value(leastAt + 1).toDouble() : 3.0;
    DialogMain window;
    window.show();
    settle(1500);
    int found = walk(&window, QStringLiteral("choice"), least);
    window.choicePage()->OpenTile(0);
    settle(3000);
    while (QWidget* modal = QApplication::activeModalWidget()) {
        modal->close();
        settle(100);
    }
    auto* pages = window.frame()->findChild<QStackedWidget*>(QStringLiteral("stackedWidgetDialog"));
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        found += walk(&window, pages->widget(i)->objectName(), least);
    }
    found += walkDialog<AddDelayTime>("AddDelayTime", least) + walkDialog<ContainReset>("ContainReset", least)
             + walkDialog<DeleteConfirm>("DeleteConfirm", least) + walkDialog<FireKey>("FireKey", least)
             + walkDialog<GroupKey>("GroupKey", least) + walkDialog<GroupMaxThree>("GroupMaxThree", least)
             + walkDialog<InportFail>("InportFail", least) + walkDialog<KeyNumberLimit>("KeyNumberLimit", least)
             + walkDialog<LeftButtonOnly>("LeftButtonOnly", least) + walkDialog<MakeMacro>("MakeMacro", least)
             + walkDialog<MouseOffLine>("MouseOffLine", least) + walkDialog<Progress>("Progress", least)
             + walkDialog<QuestionDialog>("QuestionDialog", least)
             + walkDialog<QuestiondialogB>("QuestiondialogB", least) + walkDialog<RePair>("RePair", least)
             + walkDialog<SameMacro>("SameMacro", least) + walkDialog<UpDataParam>("UpDataParam", least)
             + walkDialog<UpDateWarning>("UpDateWarning", least) + walkDialog<addKey>("addKey", least)
             + walkDialog<FindNewVer>("FindNewVer", least) + walkDialog<UpDateRepair>("UpDateRepair", least)
             + walkDialog<Match>("Match", least);
    std::printf("%d texts under %.1f:1\n", found, least);
    std::fflush(stdout);
    _exit(0);
}

#include "core/AppPaths.h"
#include "core/PostMsg.h"
#include "core/Skin.h"
#include "shell/Dialog.h"
#include "shell/DialogChange.h"
#include "shell/common/ButtonStyle.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QToolButton>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <vector>

// The skin's readability and the places of the widgets the frame's panel must hold: colour pairs
// from Config.ini and the generated pictures, and rectangles, checked without screenshots.
class TestLook : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void textReadsOnItsFace_data();
    void textReadsOnItsFace();
    void staysInsideItsBounds_data();
    void staysInsideItsBounds();
    void languageListScrollsInTheSkin_data();
    void languageListScrollsInTheSkin();
    void sharedStylesDrawAsEachPageDid_data();
    void sharedStylesDrawAsEachPageDid();

private:
    QWidget* m_window = nullptr;
    Dialog* m_frame = nullptr;
};

namespace {

double luminance(const QColor& c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// "r,g,b", or a key of the skin's colours in Config.ini.
QColor colourOf(const QString& colour)
{
    const QString rgb = colour.contains(QLatin1Char(',')) ? colour : core::optionColour(qPrintable(colour), "255,0,255");
    const QStringList parts = rgb.split(QLatin1Char(','));
    return parts.size() == 3 ? QColor(parts[0].trimmed().toInt(), parts[1].trimmed().toInt(), parts[2].trimmed().toInt())
                             : QColor();
}

// The colour a centred text sits on: the mean of the picture's middle, over the dark page.
QColor faceOf(const QString& picture)
{
    QImage image(AppDir() + QStringLiteral("/Picture/") + picture);
    if (image.isNull())
        return QColor();
    image = image.convertToFormat(QImage::Format_ARGB32);
    const QColor page(21, 23, 28);
    double r = 0, g = 0, b = 0;
    int n = 0;
    for (int y = image.height() * 3 / 10; y < image.height() * 7 / 10; ++y) {
        for (int x = image.width() / 4; x < image.width() * 3 / 4; ++x) {
            const QColor c = image.pixelColor(x, y);
            const double a = c.alphaF();
            r += c.red() * a + page.red() * (1 - a);
            g += c.green() * a + page.green() * (1 - a);
            b += c.blue() * a + page.blue() * (1 - a);
            ++n;
        }
    }
    return n ? QColor(int(r / n), int(g / n), int(b / n)) : QColor();
}

// The panel of the frame's background, in a page's coordinates.
const QRect kPanel(6, 30, 865, 571);

// The sheets the pages wrote out for themselves before they shared one: %1 is the picture folder,
// %2 the colour (for a drop-down: %2 selection, %3 text, %4 button).
const char kOwnComboSheet[] =
    "QComboBox{border: 1px solid gray; color: rgb(%3); border-image: url(%1ComboboxBack.png);}"
    "QComboBox::drop-down:button{border-radius:5px; background:rgb(%4);} QComboBox::down-arrow{image: url(%1Menu.png); "
    "right: 8px; }QComboBox::down-arrow:on{ image: url(%1MenuClicked.png);}QComboBox QAbstractItemView::item{height:25px;}"
    "QComboBox QAbstractItemView {outline: 0px solid gray; border: 1px  solid gray;color: rgb(%3); border-image: "
    "url(%1ComboboxTextBack.png);selection-background-color: rgb(%2); }";
const char kOwnBarSheet[] =
    "QScrollBar:vertical{width:13px;background:rgb(30,30,30);margin:25px 0 25px 0;%2}"
    "QScrollBar::handle:vertical{background:rgb(117, 117, 117);border-radius:3px;min-height:30px;}"
    "QScrollBar::add-line:vertical,QScrollBar::sub-line:vertical{height:25px;background:%1}"
    "QScrollBar::add-page:vertical,QScrollBar::sub-page:vertical,QScrollBar::up-arrow:vertical,"
    "QScrollBar::down-arrow:vertical{background:transparent;}";

enum class Styled { CheckBoxes, DropDowns, ScrollBar };

struct SharedStyle
{
    const char* name;
    Styled what;
    const char* folder;  // below "/Picture/"
    std::function<QString(const QString& folder)> own;
    std::function<QString(const QString& folder)> shared;
};

QString labelColour()
{
    return core::optionColour("LabelColor");
}

QString ownCheckBoxes(const char* sheet, const QString& folder)
{
    return QString::fromLatin1(sheet).arg(folder, labelColour());
}

QString ownDropDown(const QString& folder, bool greyWhenDisabled)
{
    return QString::fromLatin1(kOwnComboSheet)
               .arg(folder, core::optionColour("ComboxSelectColor"), core::optionColour("ComboxTextColor"),
                    core::optionColour("ComboxBackGroundColor"))
           + (greyWhenDisabled ? QStringLiteral("QComboBox:disabled{color: rgb(0, 0, 0);}") : QString());
}

// How the page calls it: with or without saying whether a disabled box turns black.
QString sharedDropDown(const QString& folder, int greyWhenDisabled)
{
    QComboBox box;
    if (greyWhenDisabled < 0)
        shell::styleCombo(&box, folder);
    else
        shell::styleCombo(&box, folder, greyWhenDisabled == 1);
    return box.styleSheet();
}

const std::vector<SharedStyle>& sharedStyles()
{
    using F = const QString&;
    static const std::vector<SharedStyle> rows = {
        {"macro page check boxes", Styled::CheckBoxes, "Macro",
         [](F p) {
             return ownCheckBoxes("QCheckBox{color: rgb(%2;);}QCheckBox::indicator:checked {image: url(%1CheckBoxCheck.png);}"
                                  "QCheckBox::indicator:unchecked {image: url(%1CheckBox.png);}", p);
         },
         [](F p) { return shell::checkBoxStyle(labelColour(), p); }},
        {"full performance", Styled::CheckBoxes, "Sensor",
         [](F p) {
             return ownCheckBoxes("QCheckBox{color: rgb(%2);}QCheckBox::indicator:checked{image: url(%1CheckBoxChecked.png);}"
                                  "QCheckBox::indicator:unchecked{image: url(%1CheckBox.png);}", p);
         },
         [](F p) { return shell::checkBoxStyle(labelColour(), p, "CheckBoxChecked.png"); }},
        {"lift-off choices", Styled::CheckBoxes, "Sensor",
         [](F p) {
             return ownCheckBoxes("QCheckBox{color: rgb(%2;);}QCheckBox:indicator::checked {image: url(%1LODCheck.png);}"
                                  "QCheckBox::indicator::unchecked {image: url(%1LOD.png);}", p);
         },
         [](F p) { return shell::checkBoxStyle(labelColour(), p, "LODCheck.png", "LOD.png"); }},
        {"receiver light boxes", Styled::CheckBoxes, "FormSetting",
         [](F p) {
             return ownCheckBoxes("QCheckBox{color: rgb(%2);}QCheckBox::indicator:checked{image: url(%1CheckBoxCheck.png);}"
                                  "QCheckBox::indicator:unchecked{image: url(%1CheckBox2.png);}", p);
         },
         [](F p) { return shell::checkBoxStyle(labelColour(), p, "CheckBoxCheck.png", "CheckBox2.png"); }},
        {"button page drop-down", Styled::DropDowns, "Buttoninterface", [](F p) { return ownDropDown(p, true); },
         [](F p) { return sharedDropDown(p, 1); }},
        {"lighting drop-down", Styled::DropDowns, "Light", [](F p) { return ownDropDown(p, false); },
         [](F p) { return sharedDropDown(p, 0); }},
        {"macro drop-down", Styled::DropDowns, "Macro", [](F p) { return ownDropDown(p, false); },
         [](F p) { return sharedDropDown(p, -1); }},
        {"settings list bar", Styled::ScrollBar, "FormSetting",
         [](F) { return QString::fromLatin1(kOwnBarSheet).arg("rgb(30,30,30);subcontrol-origin:margin;", "border:none;"); },
         [](F) { return shell::scrollBarStyle(); }},
        {"lighting list bar", Styled::ScrollBar, "Light",
         [](F) { return QString::fromLatin1(kOwnBarSheet).arg("transparent;", ""); },
         [](F) { return shell::scrollBarStyle(shell::ScrollBarEnds::Transparent); }},
    };
    return rows;
}

// Check boxes unchecked and checked, drop-downs enabled and disabled, or a scrolling list, side
// by side on a page of a colour of its own (which a transparent part shows), the sheet set on
// the page as the lighting page sets its bar's.
QImage drawnWith(Styled what, const QString& sheet)
{
    QWidget page;
    page.setAutoFillBackground(true);
    page.setPalette(QPalette(QColor(90, 40, 120)));
    page.resize(300, 200);
    for (int i = 0; i < 2; ++i) {
        QWidget* shown = nullptr;
        if (what == Styled::CheckBoxes) {
            auto* box = new QCheckBox(QStringLiteral("Ripple"), &page);
            box->setChecked(i == 1);
            shown = box;
        } else if (what == Styled::DropDowns) {
            auto* box = new QComboBox(&page);
            box->addItem(QStringLiteral("1000 Hz"));
            box->setEnabled(i == 0);
            shown = box;
        } else if (i == 0) {
            auto* list = new QScrollArea(&page);
            list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            list->setWidget(new QWidget);
            list->widget()->setMinimumSize(60, 1000);
            shown = list;
        }
        if (shown)
            shown->setGeometry(150 * i, 0, 140, what == Styled::ScrollBar ? 200 : 34);
    }
    page.setStyleSheet(sheet);
    return page.grab().toImage();
}

} // namespace

void TestLook::initTestCase()
{
    RegisterBusTypes();
    // As the program does at its start.
    qApp->setStyleSheet(shell::applicationStyleSheet());
    m_window = new QWidget;
    m_window->resize(1020, 700);
    m_frame = new Dialog(m_window);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestLook::cleanupTestCase()
{
    delete m_window;
}

void TestLook::textReadsOnItsFace_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("face");
    QTest::addColumn<double>("least");
    // Body text needs 4.5:1; the black text of a disabled box 3:1.
    QTest::newRow("notice OK, Cancel") << "ButtonColor" << "WarningDialog/Confirm.png" << 4.5;
    QTest::newRow("notice OK pressed") << "ButtonColor" << "WarningDialog/ConfirmClick.png" << 4.5;
    QTest::newRow("offline notice OK") << "ButtonColor" << "WarningDialog/ConFirm.png" << 4.5;
    QTest::newRow("update dialog buttons") << "ButtonColor" << "WarningDialog/ok_nr.png" << 4.5;
    QTest::newRow("update dialog hovered") << "ButtonColor" << "WarningDialog/ok_enter.png" << 4.5;
    QTest::newRow("settings Pair") << "ButtonColor" << "FormSetting/PariButton.png" << 4.5;
    QTest::newRow("settings Update") << "ButtonColor" << "FormSetting/Confirm.png" << 4.5;
    QTest::newRow("settings Update waiting") << "ButtonColor" << "FormSetting/WaitUpdate.png" << 4.5;
    QTest::newRow("pairing dialog Pair") << "ButtonColor" << "Setting/Pair.png" << 4.5;
    QTest::newRow("pairing dialog failed") << "ButtonColor" << "Setting/PairFail.png" << 4.5;
    QTest::newRow("pairing dialog paired") << "ButtonColor" << "Setting/PairSuccess.png" << 4.5;
    QTest::newRow("pairing dialog Pair disabled") << "0,0,0" << "Setting/Pair.png" << 3.0;
    QTest::newRow("mouse badge") << "0,0,0" << "Buttoninterface/NumberOrigin.png" << 4.5;
    QTest::newRow("mouse badge hovered") << "0,0,0" << "Buttoninterface/NumberHover.png" << 4.5;
    QTest::newRow("mouse badge pressed") << "0,0,0" << "Buttoninterface/NumberClick.png" << 4.5;
    for (const char* page : {"Buttoninterface", "Sensor", "FormSetting", "Macro"}) {
        const QString face = QString::fromLatin1(page) + QStringLiteral("/ComboboxBack.png");
        QTest::addRow("%s combo", page) << "ComboxTextColor" << face << 4.5;
        QTest::addRow("%s combo disabled", page) << "0,0,0" << face << 3.0;
        QTest::addRow("%s combo list", page) << "ComboxTextColor" << QString::fromLatin1(page) + "/ComboboxTextBack.png"
                                             << 4.5;
    }
}

void TestLook::textReadsOnItsFace()
{
    QFETCH(QString, text);
    QFETCH(QString, face);
    QFETCH(double, least);
    const QColor ink = colourOf(text);
    const QColor under = faceOf(face);
    QVERIFY2(under.isValid(), qPrintable(face));
    const double ratio = contrast(ink, under);
    QVERIFY2(ratio >= least, qPrintable(QStringLiteral("%1 on %2: %3:1").arg(text, under.name()).arg(ratio, 0, 'f', 2)));
}

void TestLook::staysInsideItsBounds_data()
{
    QTest::addColumn<QString>("what");
    QTest::addRow("settings list") << "settings list";
    QTest::addRow("mouse drawing") << "mouse drawing";
    QTest::addRow("function list") << "scrollArea_4";
    QTest::addRow("multimedia menu") << "scrollArea_3";
    QTest::addRow("DPI lock menu") << "scrollArea_10";
    QTest::addRow("macro list") << "scrollArea_7";
    QTest::addRow("debounce list") << "debounce list";
}

void TestLook::staysInsideItsBounds()
{
    QFETCH(QString, what);
    auto* pages = m_frame->findChild<QStackedWidget*>(QStringLiteral("stackedWidgetDialog"));
    QVERIFY(pages);
    // The pages by name; the frame's page buttons carry some of the same names.
    QWidget* buttonPage = nullptr;
    QWidget* settingsPage = nullptr;
    for (int i = 0; i < pages->count(); ++i) {
        QWidget* page = pages->widget(i);
        if (page->objectName() == QLatin1String("Buttoninterface"))
            buttonPage = page;
        else if (page->objectName() == QLatin1String("FormSetting"))
            settingsPage = page;
    }
    QVERIFY(buttonPage && settingsPage);
    if (what == QLatin1String("settings list")) {
        // The list and its scroll bar lie inside the panel, clear of its edges.
        pages->setCurrentWidget(settingsPage);
        auto* area = settingsPage->findChild<QScrollArea*>(QStringLiteral("scrollArea"));
        const QRect inPage(area->mapTo(settingsPage, QPoint(0, 0)), area->size());
        const QRect inner = kPanel.adjusted(2, 2, -2, -2);
        QVERIFY2(inner.contains(inPage), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                             .arg(inPage.x()).arg(inPage.y())
                                                                             .arg(inPage.width()).arg(inPage.height())));
        // No row reaches beyond the part beside the scroll bar: there is no bar to scroll sideways.
        QTRY_VERIFY(area->verticalScrollBar()->isVisible());
        QVERIFY2(area->widget()->width() <= area->viewport()->width(),
                 qPrintable(QStringLiteral("%1 in %2").arg(area->widget()->width()).arg(area->viewport()->width())));
        return;
    }
    if (what == QLatin1String("mouse drawing")) {
        // The drawing's first opaque row lies below the panel's top edge.
        QWidget* drawing = buttonPage->findChild<QWidget*>(QStringLiteral("widget"));
        const QImage mouse(AppDir() + QStringLiteral("/Picture/Buttoninterface/mouse0.png"));
        QVERIFY(!mouse.isNull());
        int top = 0;
        while (top < mouse.height()) {
            bool blank = true;
            for (int x = 0; x < mouse.width() && blank; ++x)
                blank = qAlpha(mouse.pixel(x, top)) == 0;
            if (!blank)
                break;
            ++top;
        }
        QVERIFY2(drawing->mapTo(buttonPage, QPoint(0, top)).y() > kPanel.top() + 4, qPrintable(QString::number(top)));
        return;
    }
    pages->setCurrentWidget(buttonPage);
    if (what.startsWith(QLatin1String("scrollArea_"))) {
        // Scrolled to either end, the column's first and last buttons show whole inside the
        // function panel, which clips the list.
        auto* area = buttonPage->findChild<QScrollArea*>(what);
        QWidget* panel = buttonPage->findChild<QWidget*>(QStringLiteral("groupBox"));
        QVERIFY(area && panel);
        auto* stack = qobject_cast<QStackedWidget*>(area->parentWidget()->parentWidget());
        QVERIFY(stack);
        stack->setCurrentWidget(area->parentWidget());
        if (what == QLatin1String("scrollArea_7")) {
            // The macro list: as many entries as the longest real list shows.
            QWidget* list = area->widget();
            for (int i = 0; i < 9; ++i) {
                auto* entry = new QToolButton(list);
                entry->setMinimumSize(174, 22);
                list->layout()->addWidget(entry);
            }
        }
        QTRY_VERIFY(area->isVisible());
        QApplication::processEvents();
        area->widget()->layout()->activate();
        QList<QToolButton*> buttons;
        for (QToolButton* b : area->widget()->findChildren<QToolButton*>()) {
            if (b->isVisibleTo(area->widget()))
                buttons << b;
        }
        QVERIFY(!buttons.isEmpty());
        std::sort(buttons.begin(), buttons.end(), [](QWidget* a, QWidget* b) { return a->y() < b->y(); });
        const QRect band(0, 0, panel->width(), panel->height());
        QScrollBar* bar = area->verticalScrollBar();
        for (int end : {0, 1}) {
            QApplication::processEvents();
            bar->setValue(end ? bar->maximum() : bar->minimum());
            QApplication::processEvents();
            QWidget* b = end ? buttons.last() : buttons.first();
            const QRect shown(b->mapTo(panel, QPoint(0, 0)), b->size());
            QVERIFY2(band.contains(shown), qPrintable(QStringLiteral("%1 at %2..%3 of %4")
                                                          .arg(b->objectName()).arg(shown.top()).arg(shown.bottom())
                                                          .arg(band.height())));
        }
        return;
    }
    // The debounce time's open list lies on the screen.
    buttonPage->findChild<QStackedWidget*>(QStringLiteral("stackedWidget_2"))
        ->setCurrentWidget(buttonPage->findChild<QWidget*>(QStringLiteral("page_9")));
    QComboBox* box = buttonPage->findChild<QWidget*>(QStringLiteral("DebunceButton"))->findChild<QComboBox*>();
    QVERIFY(box);
    // The window low on the screen: the list must open upwards or stay short.
    const QRect screen = m_window->screen()->availableGeometry();
    m_window->move(m_window->x(), screen.bottom() - m_window->height() + 40);
    QTRY_VERIFY(box->isVisible());
    box->showPopup();
    QWidget* popup = box->view()->window();
    QTRY_VERIFY(popup->isVisible());
    const QRect placed = popup->geometry();
    box->hidePopup();
    m_window->move(0, 0);
    QVERIFY2(screen.contains(placed), qPrintable(QStringLiteral("%1,%2 %3x%4 on %5x%6")
                                                     .arg(placed.x()).arg(placed.y()).arg(placed.width())
                                                     .arg(placed.height()).arg(screen.width()).arg(screen.height())));
    // As long as the box allows (its rows are 25 px high), not a column of every entry.
    QVERIFY2(placed.height() <= (box->maxVisibleItems() + 1) * 25, qPrintable(QString::number(placed.height())));
}

void TestLook::sharedStylesDrawAsEachPageDid_data()
{
    QTest::addColumn<int>("row");
    for (int row = 0; row < int(sharedStyles().size()); ++row)
        QTest::newRow(sharedStyles()[row].name) << row;
}

// Each page's check boxes, drop-downs and list bars look as they did when the page wrote its own sheet.
void TestLook::sharedStylesDrawAsEachPageDid()
{
    QFETCH(int, row);
    const SharedStyle& style = sharedStyles()[row];
    const QString folder = AppDir() + QStringLiteral("/Picture/") + QLatin1String(style.folder) + QLatin1Char('/');
    const QImage own = drawnWith(style.what, style.own(folder));
    const QImage shared = drawnWith(style.what, style.shared(folder));
    QCOMPARE(shared.size(), own.size());
    int differing = 0;
    QPoint first;
    for (int y = 0; y < own.height(); ++y) {
        for (int x = 0; x < own.width(); ++x) {
            if (own.pixel(x, y) != shared.pixel(x, y) && differing++ == 0)
                first = QPoint(x, y);
        }
    }
    QVERIFY2(differing == 0, qPrintable(QStringLiteral("%1 pixels differ, the first at %2,%3: %4 instead of %5")
                                            .arg(differing).arg(first.x()).arg(first.y())
                                            .arg(shared.pixelColor(first).name(), own.pixelColor(first).name())));
}

void TestLook::languageListScrollsInTheSkin_data()
{
    QTest::addColumn<bool>("choicePage");
    QTest::newRow("choice page") << true;
    QTest::newRow("settings page") << false;
}

void TestLook::languageListScrollsInTheSkin()
{
    QFETCH(bool, choicePage);
    std::unique_ptr<DialogChange> choice;
    QWidget* page = nullptr;
    if (choicePage) {
        choice = std::make_unique<DialogChange>(nullptr);
        choice->show();
        page = choice.get();
    } else {
        auto* pages = m_frame->findChild<QStackedWidget*>(QStringLiteral("stackedWidgetDialog"));
        for (int i = 0; i < pages->count(); ++i) {
            if (pages->widget(i)->objectName() == QLatin1String("FormSetting"))
                page = pages->widget(i);
        }
        QVERIFY(page);
        pages->setCurrentWidget(page);
    }
    auto* box = page->findChild<QComboBox*>(QStringLiteral("comboBox"));
    QVERIFY(box);
    QTRY_VERIFY(box->isVisible());
    box->setCurrentIndex(0);
    box->showPopup();
    QAbstractItemView* list = box->view();
    QTRY_VERIFY(list->isVisible());
    QScrollBar* bar = list->verticalScrollBar();
    QTRY_VERIFY(bar->isVisible());
    // Five rows show; the bar beside them is of the dark skin, not the platform's light grey.
    QCOMPARE(list->indexAt(QPoint(5, list->viewport()->height() - 3)).row(), 4);
    const QImage face = bar->grab().toImage();
    const QColor middle = face.pixelColor(face.width() / 2, face.height() / 2);
    QVERIFY2(middle.lightness() < 128, qPrintable(middle.name()));
    // A turn of the wheel over the third row: one row shows the selection, the one under the pointer.
    const QPoint at(10, 2 * 25 + 12);
    QWheelEvent wheel(at, list->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list->viewport(), &wheel);
    QTRY_COMPARE(bar->value(), bar->maximum());
    QTRY_COMPARE(list->currentIndex().row(), list->indexAt(at).row());
    box->hidePopup();
}

QTEST_MAIN(TestLook)
#include "tst_look.moc"

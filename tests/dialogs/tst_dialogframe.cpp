// The frame shared by the notices: placement, window flags, the forms'
// geometry and names, the skin pictures, and how each button answers.
#include "support/dialogs_helpers.h"
#include "support/modal_helpers.h"

#include "core/ConfigIni.h"
#include "core/Skin.h"
#include "dialogs/ContainReset.h"
#include "dialogs/DeleteConfirm.h"
#include "dialogs/ExeIsRun.h"
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
#include "dialogs/UpDateWarning.h"

#include <QFrame>
#include <QLabel>
#include <QSet>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>

using dialogs::DialogFrame;
using modaltest::ModalDriver;

namespace {

using Factory = std::function<std::unique_ptr<DialogFrame>()>;

template <class T>
Factory make()
{
    return [] { return std::unique_ptr<DialogFrame>(new T(nullptr)); };
}

struct FormRow
{
    const char* dialog;
    Factory create;
    const char* frame;
    QRect label;
    QRect close;
    const char* ok;
    QRect okRect;
    const char* cancel;
    QRect cancelRect;
};

const std::vector<FormRow>& forms()
{
    static const std::vector<FormRow> rows = {
        {"MouseOffLine", make<MouseOffLine>(), "MouseOffLineA", {0, 20, 301, 71}, {275, 3, 20, 20},
         "NewHong", {100, 100, 90, 24}, nullptr, {}},
        {"LeftButtonOnly", make<LeftButtonOnly>(), "ButtonOnly", {0, 19, 301, 91}, {275, 5, 20, 20},
         nullptr, {}, nullptr, {}},
        {"MakeMacro", make<MakeMacro>(), "MakeMacroA", {6, 29, 291, 71}, {275, 5, 20, 20},
         "NewHong", {100, 110, 90, 24}, nullptr, {}},
        {"SameMacro", make<SameMacro>(), "SameMacroA", {0, 30, 301, 71}, {275, 5, 20, 20},
         "NewHong", {100, 110, 90, 24}, nullptr, {}},
        {"GroupMaxThree", make<GroupMaxThree>(), "MaxThree", {0, 30, 301, 71}, {275, 5, 20, 20},
         "NewHong", {105, 110, 90, 24}, nullptr, {}},
        {"QuestionDialog", make<QuestionDialog>(), "Question", {30, 20, 241, 41}, {275, 5, 20, 20},
         "NewHong", {50, 110, 90, 24}, "NewHong_2", {170, 110, 90, 24}},
        {"QuestiondialogB", make<QuestiondialogB>(), "QuestionB", {0, 30, 301, 60}, {275, 5, 20, 20},
         nullptr, {}, nullptr, {}},
        {"ExeIsRun", make<ExeIsRun>(), "DeleteConfirmA", {0, 30, 301, 71}, {275, 5, 20, 20},
         "NewHong", {100, 110, 90, 24}, nullptr, {}},
        {"KeyNumberLimit", make<KeyNumberLimit>(), "LimitA", {0, 30, 301, 71}, {275, 5, 20, 20},
         "NewHong", {100, 110, 90, 24}, nullptr, {}},
        {"InportFail", make<InportFail>(), "InportFailA", {0, 30, 301, 71}, {275, 5, 20, 20},
         "NewHong", {100, 110, 90, 24}, nullptr, {}},
        {"ContainReset", make<ContainReset>(), "ContainResetA", {10, 30, 281, 71}, {275, 5, 20, 20},
         "OK", {40, 110, 90, 24}, "Cancel", {170, 110, 90, 24}},
        {"RePair", make<RePair>(), "RePairA", {0, 30, 301, 71}, {275, 5, 20, 20},
         "OK", {40, 110, 90, 24}, "Cancel", {180, 110, 90, 24}},
        {"DeleteConfirm", make<DeleteConfirm>(), "DeleteConfirmA", {5, 30, 291, 71}, {275, 5, 20, 20},
         "NewHong", {100, 110, 90, 24}, nullptr, {}},
        {"Progress", make<Progress>(), "AddDelayTimeA", {10, 15, 281, 51}, {275, 5, 20, 20},
         "NewHong", {110, 110, 90, 24}, nullptr, {}},
        {"UpDateWarning", make<UpDateWarning>(), "WarningFrame", {5, 30, 291, 71}, {275, 5, 20, 20},
         "NewHong", {100, 110, 90, 24}, nullptr, {}},
    };
    return rows;
}

} // namespace

class TestDialogFrame : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void placementCentresAndShifts_data();
    void placementCentresAndShifts();
    void placeOverUsesTheReferenceOnScreen();
    void everyFormHasItsNamesAndGeometry_data();
    void everyFormHasItsNamesAndGeometry();
    void skinPicturesAreDrawnAndNotFlat();
    void stylesUseSkinFolderAndShippedColours();
    void colourTripleFallsBackOnShortLists();
    void confirmationsAnswerPerButton_data();
    void confirmationsAnswerPerButton();
    void escapeRejectsWithoutAnswer_data();
    void escapeRejectsWithoutAnswer();
    void returnAnswersOnlyWhereGiven();
};

void TestDialogFrame::initTestCase()
{
    // The colour table is read once; make sure it is the shipped one.
    QVERIFY(ConfigIni::GetInstance()->IsLoaded());
}

void TestDialogFrame::init()
{
    dialogtest::chooseLanguage(0);
}

void TestDialogFrame::placementCentresAndShifts_data()
{
    QTest::addColumn<QPoint>("corner");
    QTest::addColumn<QSize>("reference");
    QTest::addColumn<QSize>("box");
    QTest::addColumn<QPoint>("shift");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("main window, offline notice") << QPoint(100, 50) << QSize(1000, 700) << QSize(300, 140)
                                                 << QPoint(0, -20) << QPoint(450, 310);
    QTest::newRow("page, left and up") << QPoint(0, 0) << QSize(800, 600) << QSize(300, 140) << QPoint(-50, -70)
                                       << QPoint(200, 160);
    QTest::newRow("import box is 15 lower") << QPoint(10, 10) << QSize(600, 400) << QSize(300, 110)
                                            << QPoint(-100, -50) << QPoint(60, 105);
    QTest::newRow("odd difference truncates") << QPoint(0, 0) << QSize(301, 141) << QSize(300, 140) << QPoint(0, 0)
                                              << QPoint(0, 0);
    // A reference smaller than the box: halves truncate toward zero, not down.
    QTest::newRow("smaller reference") << QPoint(500, 500) << QSize(299, 137) << QSize(300, 140) << QPoint(0, 0)
                                       << QPoint(500, 499);
    QTest::newRow("negative screen") << QPoint(-1920, -30) << QSize(400, 200) << QSize(300, 140) << QPoint(-75, -65)
                                     << QPoint(-1945, -65);
}

void TestDialogFrame::placementCentresAndShifts()
{
    QFETCH(QPoint, corner);
    QFETCH(QSize, reference);
    QFETCH(QSize, box);
    QFETCH(QPoint, shift);
    QFETCH(QPoint, expected);
    QCOMPARE(DialogFrame::placement(corner, reference, box, shift.x(), shift.y()), expected);
}

void TestDialogFrame::placeOverUsesTheReferenceOnScreen()
{
    QWidget window;
    window.setGeometry(200, 100, 800, 600);
    auto* page = new QWidget(&window);
    page->setGeometry(40, 30, 600, 400);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    SameMacro notice;
    const QPoint corner = page->mapToGlobal(QPoint(0, 0));
    notice.placeOver(page, -100, -50);
    QCOMPARE(notice.pos(), corner + QPoint(150 - 100, 130 - 50));
    notice.placeOver(page, QSize(300, 110), -100, -50);
    QCOMPARE(notice.pos(), corner + QPoint(150 - 100, 145 - 50));
}

void TestDialogFrame::everyFormHasItsNamesAndGeometry_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(forms().size()); ++i)
        QTest::newRow(forms()[i].dialog) << i;
}

void TestDialogFrame::everyFormHasItsNamesAndGeometry()
{
    QFETCH(int, row);
    const FormRow& form = forms()[row];
    const std::unique_ptr<DialogFrame> dialog = form.create();
    QCOMPARE(dialog->objectName(), QString::fromLatin1(form.dialog));
    QCOMPARE(int(dialog->windowFlags() & 0x6C12), 0x6C12);
    QVERIFY(dialog->windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(dialog->isWindow());
    QCOMPARE(dialog->size(), QSize(300, 140));
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Dialog"));

    auto* frame = dialogtest::widget<QFrame>(dialog.get(), form.frame);
    QVERIFY(frame);
    QCOMPARE(frame->geometry(), QRect(0, 0, 300, 140));
    QVERIFY(frame->styleSheet().startsWith(QStringLiteral("#") + QString::fromLatin1(form.frame) + "{"));

    auto* label = dialogtest::widget<QLabel>(frame, "label");
    QVERIFY(label);
    QCOMPARE(label->geometry(), form.label);
    QVERIFY(label->wordWrap());
    auto* close = dialogtest::widget<QToolButton>(frame, "CloseButton");
    QVERIFY(close);
    QCOMPARE(close->geometry(), form.close);
    QVERIFY(close->text().isEmpty());

    const QList<QToolButton*> buttons = frame->findChildren<QToolButton*>();
    const int expectedButtons = 1 + (form.ok ? 1 : 0) + (form.cancel ? 1 : 0);
    QCOMPARE(buttons.size(), expectedButtons);
    if (form.ok) {
        auto* ok = dialogtest::widget<QToolButton>(frame, form.ok);
        QVERIFY(ok);
        QCOMPARE(ok->geometry(), form.okRect);
        QVERIFY(!ok->text().isEmpty());
    }
    if (form.cancel) {
        auto* cancel = dialogtest::widget<QToolButton>(frame, form.cancel);
        QVERIFY(cancel);
        QCOMPARE(cancel->geometry(), form.cancelRect);
    }
}

void TestDialogFrame::skinPicturesAreDrawnAndNotFlat()
{
    // Shading needs many colours; a lone glyph at least its edge shades.
    struct Picture { const char* name; QSize size; int colours; };
    const Picture pictures[] = {
        {"BackGround.png", {300, 140}, 32}, {"Close.png", {20, 20}, 3},    {"CloseHover.png", {20, 20}, 3},
        {"CloseClick.png", {20, 20}, 3},    {"Confirm.png", {90, 24}, 8},  {"ConfirmClick.png", {90, 24}, 8},
        {"ConFirm.png", {90, 24}, 8},       {"ConFirmClick.png", {90, 24}, 8},
    };
    MakeMacro dialog;
    QImage normal, pressed;
    for (const Picture& p : pictures) {
        QImage image(dialog.skinFolder() + QString::fromLatin1(p.name));
        QVERIFY2(!image.isNull(), p.name);
        QCOMPARE(image.size(), p.size);
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                colours.insert(image.pixel(x, y));
        QVERIFY2(colours.size() > p.colours, p.name);
        if (QByteArray(p.name) == "Confirm.png")
            normal = image;
        if (QByteArray(p.name) == "ConfirmClick.png")
            pressed = image;
    }
    // A pressed button must look pressed.
    QVERIFY(normal != pressed);
    // The card is dark: the light label colour must stand out on it.
    const QImage card(dialog.skinFolder() + QStringLiteral("BackGround.png"));
    QVERIFY(qGray(card.pixel(150, 70)) < 80);
}

void TestDialogFrame::stylesUseSkinFolderAndShippedColours()
{
    ContainReset dialog;
    const QString skin = QCoreApplication::applicationDirPath() + QStringLiteral("/Picture/WarningDialog/");
    QCOMPARE(dialog.skinFolder(), skin);
    const QStringList label = ConfigIni::GetInstance()->GetValueList("Option", "LabelColor");
    const QStringList button = ConfigIni::GetInstance()->GetValueList("Option", "ButtonColor");
    QVERIFY(label.size() >= 3 && button.size() >= 3);
    const QString labelRgb = label[0].trimmed() + ',' + label[1].trimmed() + ',' + label[2].trimmed();
    const QString buttonRgb = button[0].trimmed() + ',' + button[1].trimmed() + ',' + button[2].trimmed();
    QCOMPARE(dialog.label()->styleSheet(), QStringLiteral("QLabel{color: rgb(%1;);}").arg(labelRgb));
    for (QToolButton* b : {dialog.okButton(), dialog.cancelButton()}) {
        QVERIFY(b->styleSheet().contains(QStringLiteral("border-image: url(") + skin + "Confirm.png)"));
        QVERIFY(b->styleSheet().contains(QStringLiteral("url(") + skin + "ConfirmClick.png)"));
        QVERIFY(b->styleSheet().contains(QStringLiteral("color: rgb(%1;)").arg(buttonRgb)));
    }
    QVERIFY(dialog.closeButton()->styleSheet().contains(skin + "CloseHover.png"));
    // The offline notice alone spells its button images with a capital F.
    MouseOffLine offline;
    QVERIFY(offline.okButton()->styleSheet().contains(skin + "ConFirm.png"));
}

void TestDialogFrame::colourTripleFallsBackOnShortLists()
{
    QCOMPARE(core::colourTriple({" 1", "2 ", " 3 ", "4"}, "9,9,9"), QStringLiteral("1,2,3"));
    QCOMPARE(core::colourTriple({"1", "2"}, "9,9,9"), QStringLiteral("9,9,9"));
    QCOMPARE(core::colourTriple({}, "9,9,9"), QStringLiteral("9,9,9"));
}

void TestDialogFrame::confirmationsAnswerPerButton_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("answer");
    QTest::newRow("reset ok") << "ContainReset" << "OK" << true;
    QTest::newRow("reset cancel") << "ContainReset" << "Cancel" << false;
    QTest::newRow("reset close") << "ContainReset" << "CloseButton" << false;
    QTest::newRow("pair ok") << "RePair" << "OK" << true;
    QTest::newRow("pair cancel") << "RePair" << "Cancel" << false;
    QTest::newRow("pair close") << "RePair" << "CloseButton" << false;
    QTest::newRow("delete ok") << "DeleteConfirm" << "NewHong" << true;
    QTest::newRow("delete close") << "DeleteConfirm" << "CloseButton" << false;
}

void TestDialogFrame::confirmationsAnswerPerButton()
{
    QFETCH(QString, dialog);
    QFETCH(QString, button);
    QFETCH(bool, answer);
    std::unique_ptr<DialogFrame> d;
    if (dialog == "ContainReset")
        d.reset(new ContainReset);
    else if (dialog == "RePair")
        d.reset(new RePair);
    else
        d.reset(new DeleteConfirm);
    QVERIFY(!d->isConfirmed());
    ModalDriver driver([button](QWidget* shown) {
        QVERIFY(shown);
        dialogtest::widget<QToolButton>(shown, qPrintable(button))->click();
    });
    // Closing rejects, so exec() reports 0 whichever button answered.
    QCOMPARE(d->exec(), 0);
    QVERIFY(!d->isVisible());
    QCOMPARE(d->isConfirmed(), answer);
}

void TestDialogFrame::escapeRejectsWithoutAnswer_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(forms().size()); ++i)
        QTest::newRow(forms()[i].dialog) << i;
}

void TestDialogFrame::escapeRejectsWithoutAnswer()
{
    QFETCH(int, row);
    const std::unique_ptr<DialogFrame> dialog = forms()[row].create();
    ModalDriver driver([](QWidget* shown) {
        QVERIFY(shown);
        QTest::keyClick(shown, Qt::Key_Escape);
    });
    QCOMPARE(dialog->exec(), 0);
    QVERIFY(!dialog->isVisible());
    QVERIFY(!dialog->isConfirmed());
}

void TestDialogFrame::returnAnswersOnlyWhereGiven()
{
    ContainReset reset;
    {
        ModalDriver driver([](QWidget* shown) {
            QTest::keyClick(shown, Qt::Key_Enter, Qt::KeypadModifier);
            shown->close();
        });
        reset.exec();
    }
    QVERIFY(reset.isConfirmed());

    ContainReset viaReturn;
    {
        ModalDriver driver([](QWidget* shown) {
            QTest::keyClick(shown, Qt::Key_Return);
            shown->close();
        });
        viaReturn.exec();
    }
    QVERIFY(viaReturn.isConfirmed());

    // No key answers a pairing question: Return leaves it open and unanswered.
    RePair pair;
    bool stillOpen = false;
    ModalDriver driver([&stillOpen](QWidget* shown) {
        QTest::keyClick(shown, Qt::Key_Return);
        stillOpen = shown->isVisible();
        shown->close();
    });
    pair.exec();
    QVERIFY(stillOpen);
    QVERIFY(!pair.isConfirmed());
}

QTEST_MAIN(TestDialogFrame)
#include "tst_dialogframe.moc"

#include "shell/common/MyButton.h"
#include "shell/common/MyConmboBox.h"
#include "shell/common/MyLineEdit.h"
#include "shell/common/MyProgressBar.h"
#include "shell/common/MySlider.h"
#include "shell/common/MyToolButton.h"
#include "shell/common/PictureCheck.h"
#include "shell/common/PictureParking.h"
#include "shell/common/mytoolButtonEnter.h"

#include <QBuffer>
#include <QImage>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "support/hostile_files.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace {
// Counts the jump notices a slider sends to its parent.
class JumpCounter : public QWidget
{
public:
    int jumps = 0;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::Type(MySlider::kJumpEventType))
            ++jumps;
        return QWidget::event(e);
    }
};
}

class TestWidgets : public QObject
{
    Q_OBJECT

private slots:
    void sliderJumpsToThePressedPosition_data();
    void sliderJumpsToThePressedPosition();
    void sliderTellsItsParentOfEachJump();
    void comboRemembersTheIndexFromBeforeTheChoice();
    void toolButtonActsOnLeftPressOnly();
    void toolButtonTellsDoubleClickFromPress();
    void tileReportsTheNumberInItsName_data();
    void tileReportsTheNumberInItsName();
    void lineEditIgnoresTyping();
    void buttonShowsPointingHandWhileHovered();
    void progressTargetsSplitTheRun_data();
    void progressTargetsSplitTheRun();
    void progressShowsOneDecimal();
    void progressCreepsAndWaitsForTheStep();
    void parkedPicturesComeBackAsTheyWere_data();
    void parkedPicturesComeBackAsTheyWere();
    void picturesPastTheirBoundsAreDrawnAsMissing_data();
    void picturesPastTheirBoundsAreDrawnAsMissing();
    void pictureRewrittenInPlaceIsCheckedAgain_data();
    void pictureRewrittenInPlaceIsCheckedAgain();
};

void TestWidgets::sliderJumpsToThePressedPosition_data()
{
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("expected");
    QTest::newRow("left edge gives minimum") << 100 << 26000 << 0 << 100;
    QTest::newRow("middle of the DPI range") << 100 << 26000 << 100 << 13050;
    QTest::newRow("truncates towards zero") << 0 << 10 << 3 << 0;
    QTest::newRow("quarter") << 0 << 400 << 50 << 100;
}

void TestWidgets::sliderJumpsToThePressedPosition()
{
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, x);
    QFETCH(int, expected);
    QWidget parent;
    MySlider slider(&parent);
    slider.setOrientation(Qt::Horizontal);
    slider.setRange(minimum, maximum);
    slider.setPageStep(1);
    slider.setGeometry(0, 0, 200, 20);
    parent.show();
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(x, 10));
    QCOMPARE(slider.value(), expected);
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(x, 10));
}

void TestWidgets::sliderTellsItsParentOfEachJump()
{
    JumpCounter parent;
    MySlider slider(&parent);
    slider.setGeometry(0, 0, 100, 20);
    slider.setOrientation(Qt::Horizontal);
    parent.show();
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(30, 10));
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(60, 10));
    QCOMPARE(parent.jumps, 2);
    QCOMPARE(MySlider::valueAt(5, 5, 10, 0), 5);
}

void TestWidgets::comboRemembersTheIndexFromBeforeTheChoice()
{
    MyConmboBox box;
    box.addItems({"English", "Deutsch", "Русский"});
    box.setCurrentIndex(2);
    box.resize(142, 26);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QTest::mousePress(&box, Qt::LeftButton, {}, QPoint(10, 10));
    box.hidePopup();
    box.setCurrentIndex(0);
    QCOMPARE(box.indexAtPress(), 2);
    // Painting the closed face centred must cope with every state.
    box.setEditable(true);
    box.repaint();
    box.setEditable(false);
    box.repaint();
}

void TestWidgets::toolButtonActsOnLeftPressOnly()
{
    MyToolButton button;
    button.setCheckable(true);
    button.resize(40, 40);
    button.show();
    QSignalSpy clicked(&button, &QToolButton::clicked);
    QTest::mouseClick(&button, Qt::RightButton);
    QTest::mouseClick(&button, Qt::MiddleButton);
    QVERIFY(!button.isChecked());
    QCOMPARE(clicked.count(), 0);

    QTest::mousePress(&button, Qt::LeftButton);
    QVERIFY(button.isChecked());
    QVERIFY(!button.isDown());
    QTest::mouseRelease(&button, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).toBool(), false);
}

void TestWidgets::toolButtonTellsDoubleClickFromPress()
{
    MyToolButton button;
    button.setCheckable(true);
    button.resize(40, 40);
    button.show();
    QSignalSpy clicked(&button, &QToolButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::mouseDClick(&button, Qt::LeftButton);
    QVERIFY(button.isChecked());
    QVERIFY(!clicked.isEmpty());
    QCOMPARE(clicked.last().at(0).toBool(), true);
    QCOMPARE(clicked.first().at(0).toBool(), false);
    clicked.clear();
    QTest::mouseDClick(&button, Qt::RightButton);
    QCOMPARE(clicked.count(), 0);
}

void TestWidgets::tileReportsTheNumberInItsName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number");
    QTest::newRow("btn12") << "btn12" << 12;
    QTest::newRow("btn0") << "btn0" << 0;
    QTest::newRow("no number left") << "btn" << 0;
    QTest::newRow("not a number") << "btnx" << 0;
    QTest::newRow("btn inside") << "b1btn2" << 0;
    QTest::newRow("case-sensitive") << "BTN3" << 0;
}

void TestWidgets::tileReportsTheNumberInItsName()
{
    QFETCH(QString, name);
    QFETCH(int, number);
    QWidget page;
    auto* tile = new mytoolButtonEnter(&page);
    tile->setObjectName(name);
    tile->setGeometry(0, 0, 50, 50);
    page.resize(100, 100);
    page.show();
    QSignalSpy entered(tile, &mytoolButtonEnter::entered);
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(tile, &enter);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(tile, &leave);
    QCOMPARE(entered.count(), 1);
    QCOMPARE(entered.at(0).at(0).toInt(), number);
}

void TestWidgets::lineEditIgnoresTyping()
{
    MyLineEdit edit;
    edit.setText("Ctrl + A");
    edit.show();
    edit.setFocus();
    QTest::keyClicks(&edit, "xyz");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QCOMPARE(edit.text(), QString("Ctrl + A"));
}

void TestWidgets::buttonShowsPointingHandWhileHovered()
{
    MyButton button;
    button.show();
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(&button, &enter);
    QCOMPARE(button.cursor().shape(), Qt::PointingHandCursor);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&button, &leave);
    QCOMPARE(button.cursor().shape(), Qt::ArrowCursor);
}

void TestWidgets::progressTargetsSplitTheRun_data()
{
    QTest::addColumn<int>("steps");
    QTest::addColumn<QVector<int>>("targets");
    QTest::newRow("4") << 4 << QVector<int>{0, 25, 50, 75, 100};
    QTest::newRow("3") << 3 << QVector<int>{0, 33, 66, 100};
    QTest::newRow("1") << 1 << QVector<int>{0, 100};
    QTest::newRow("0") << 0 << QVector<int>{0, 100};
    QTest::newRow("negative") << -2 << QVector<int>{0, 100};
}

void TestWidgets::progressTargetsSplitTheRun()
{
    QFETCH(int, steps);
    QFETCH(QVector<int>, targets);
    QCOMPARE(MyProgressBar::stepTargets(steps), targets);
}

void TestWidgets::progressShowsOneDecimal()
{
    MyProgressBar bar;
    bar.SetProgressValue(25);
    QCOMPARE(bar.format(), QString("25.0%"));
    bar.setRange(0, 200);
    bar.SetProgressValue(25);
    QCOMPARE(bar.format(), QString("12.5%"));
    bar.setRange(7, 7);
    bar.SetProgressValue(7);
    QCOMPARE(bar.format(), QString("0.0%"));
}

void TestWidgets::progressCreepsAndWaitsForTheStep()
{
    MyProgressBar bar;
    bar.Start(4, 1);
    QTRY_COMPARE_WITH_TIMEOUT(bar.value(), 24, 5000);
    QTest::qWait(30);
    QCOMPARE(bar.value(), 24);
    bar.mUpdate();
    QTRY_COMPARE_WITH_TIMEOUT(bar.value(), 49, 5000);
    QTest::qWait(30);
    QCOMPARE(bar.value(), 49);
    bar.mUpdate();
    bar.mUpdate();
    bar.mUpdate();
    QTRY_COMPARE_WITH_TIMEOUT(bar.value(), 100, 5000);
    bar.mUpdate();
    QTest::qWait(20);
    QCOMPARE(bar.value(), 100);
    // A new run starts from zero.
    bar.Start(2, 1000);
    QCOMPARE(bar.value(), 0);
    QCOMPARE(bar.targets(), (QVector<int>{0, 50, 100}));
}

void TestWidgets::parkedPicturesComeBackAsTheyWere_data()
{
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("meanwhile"); // set while parked; empty: nothing set
    QTest::addColumn<QString>("whileParked");
    QTest::addColumn<QString>("restored");
    const QString picture = QStringLiteral("#w{border-image: url(/nowhere/Back.png);}");
    const QString colour = QStringLiteral("#w{color: rgb(1, 2, 3);}");
    QTest::newRow("picture parked, back word for word") << picture << QString() << QString() << picture;
    QTest::newRow("no picture, left alone") << colour << QString() << colour << colour;
    QTest::newRow("newer sheet kept") << picture << colour << colour << colour;
}

void TestWidgets::parkedPicturesComeBackAsTheyWere()
{
    QFETCH(QString, sheet);
    QFETCH(QString, meanwhile);
    QFETCH(QString, whileParked);
    QFETCH(QString, restored);
    QWidget root;
    auto* child = new QWidget(&root);
    child->setObjectName(QStringLiteral("w"));
    child->setStyleSheet(sheet);
    auto* gone = new QWidget(&root);
    gone->setStyleSheet(sheet);
    shell::PictureParking parking;
    parking.park(&root);
    parking.park(&root); // a second parking must not lose the first one's sheets
    delete gone;         // a parked widget may go away before its sheet comes back
    if (!meanwhile.isEmpty())
        child->setStyleSheet(meanwhile);
    QCOMPARE(child->styleSheet(), whileParked);
    parking.restore();
    QCOMPARE(child->styleSheet(), restored);
    QVERIFY(!parking.isParked());
}

void TestWidgets::picturesPastTheirBoundsAreDrawnAsMissing_data()
{
    QTest::addColumn<QString>("kind");  // png, fifo, text or missing
    QTest::addColumn<QSize>("size");
    QTest::addColumn<qint64>("bytes");  // the file grown to this length; 0: as written
    QTest::addColumn<bool>("usable");
    const QSize window(shell::kPictureMaxWidth, shell::kPictureMaxHeight);
    QTest::newRow("as large as the window") << "png" << window << qint64(0) << true;
    QTest::newRow("one column more") << "png" << window + QSize(1, 0) << qint64(0) << false;
    QTest::newRow("one row more") << "png" << window + QSize(0, 1) << qint64(0) << false;
    QTest::newRow("as many bytes as allowed") << "png" << QSize(1, 1) << shell::kPictureMaxBytes << true;
    QTest::newRow("one byte more") << "png" << QSize(1, 1) << shell::kPictureMaxBytes + 1 << false;
    QTest::newRow("a FIFO") << "fifo" << QSize() << qint64(0) << false;
    QTest::newRow("no picture") << "text" << QSize() << qint64(0) << false;
    QTest::newRow("missing, left to Qt") << "missing" << QSize() << qint64(0) << false;
}

void TestWidgets::picturesPastTheirBoundsAreDrawnAsMissing()
{
    QFETCH(QString, kind);
    QFETCH(QSize, size);
    QFETCH(qint64, bytes);
    QFETCH(bool, usable);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Back.png"));
    const QString sheet = QStringLiteral("#w{border-image: url(%1);}QToolButton{image: url(%1);}").arg(path);
    // First a good picture: the verdict must follow the file when it changes.
    QImage small(1, 1, QImage::Format_Mono);
    small.fill(0);
    QVERIFY(small.save(path, "PNG"));
    QVERIFY(shell::pictureUsable(path));
    QVERIFY(QFile::remove(path));
    std::unique_ptr<hostile::Fifo> fifo;
    if (kind == QLatin1String("png")) {
        QImage image(size, QImage::Format_Mono);
        image.fill(0);
        QVERIFY(image.save(path, "PNG"));
        if (bytes)
            QVERIFY(QFile(path).resize(bytes));
    } else if (kind == QLatin1String("fifo")) {
        fifo = std::make_unique<hostile::Fifo>(path);
    } else if (kind == QLatin1String("text")) {
        QVERIFY(hostile::makeSparseFile(path, 100, "not a picture"));
    }
    const bool refused = !usable && kind != QLatin1String("missing");
    if (refused)
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^picture not shown, " + QRegularExpression::escape(path)));
    QCOMPARE(shell::pictureUsable(path), usable);
    QCOMPARE(shell::pictureSheet(sheet), refused ? QStringLiteral("#w{border-image: url();}QToolButton{image: url();}") : sheet);
    QCOMPARE(shell::pictureIcon(path).isNull(), !usable);
    // Refused once, logged once and remembered once, however often it is named.
    QCOMPARE(shell::refusedPictures().count(path), refused ? 1 : 0);
    if (fifo)
        QVERIFY(!fifo->hadToRelease());
}

void TestWidgets::pictureRewrittenInPlaceIsCheckedAgain_data()
{
    QTest::addColumn<bool>("timeKept");  // the old modification time put back, as a copy keeping times does
    QTest::newRow("rewritten") << false;
    QTest::newRow("rewritten, its time kept") << true;
}

// The same file, the same size, a header past the bounds: the verdict on the old picture must not
// stand, whatever the modification time says.
void TestWidgets::pictureRewrittenInPlaceIsCheckedAgain()
{
    QFETCH(bool, timeKept);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Back.png"));
    const QByteArray name = QFile::encodeName(path);
    const auto pngOf = [](int width) {
        QImage image(width, 1, QImage::Format_Mono);
        image.fill(0);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    };
    QByteArray good = pngOf(1);
    QByteArray wide = pngOf(shell::kPictureMaxWidth + 1);
    // Zeros after the end of a picture are not read: both take the same length.
    const int length = qMax(good.size(), wide.size());
    good.append(length - good.size(), '\0');
    wide.append(length - wide.size(), '\0');
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(good) == length);
    file.close();
    QVERIFY(shell::pictureUsable(path));
    struct stat before;
    QVERIFY(::stat(name.constData(), &before) == 0);
    // A later write is told by the clock it reads, which moves in ticks of a few milliseconds.
    QTRY_VERIFY([&] {
        QFile stamp(dir.filePath(QStringLiteral("tick")));
        struct stat now;
        return stamp.open(QIODevice::WriteOnly) && stamp.write("x", 1) == 1 && stamp.flush()
               && ::stat(QFile::encodeName(stamp.fileName()).constData(), &now) == 0
               && (now.st_ctim.tv_sec != before.st_ctim.tv_sec || now.st_ctim.tv_nsec != before.st_ctim.tv_nsec);
    }());
    QVERIFY(file.open(QIODevice::ReadWrite) && file.write(wide) == length);
    file.close();
    if (timeKept) {
        const timespec times[2] = {before.st_atim, before.st_mtim};
        QVERIFY(::utimensat(AT_FDCWD, name.constData(), times, 0) == 0);
    }
    struct stat after;
    QVERIFY(::stat(name.constData(), &after) == 0);
    QCOMPARE(after.st_ino, before.st_ino);
    QCOMPARE(after.st_size, before.st_size);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^picture not shown, " + QRegularExpression::escape(path)));
    QVERIFY(!shell::pictureUsable(path));
}

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"

// The option widgets on a program folder without Config.ini or pictures:
// they still build, and their styles fall back to readable colours.
#include "option_forms.h"

#include <QDir>
#include <QLabel>
#include <QtTest>

class TestOptionWidgetsBare : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const QString dir = QDir::homePath() + QStringLiteral("/bare-app");
        QVERIFY(QDir().mkpath(dir));
        qputenv("TALVO_APP_DIR", dir.toUtf8());
    }

    void everyFormBuildsWithReadableStyles_data()
    {
        QTest::addColumn<int>("form");
        for (int i = 0; i < int(std::size(optiontest::kForms)); ++i)
            QTest::newRow(optiontest::kForms[i].name) << i;
    }

    void everyFormBuildsWithReadableStyles()
    {
        QFETCH(int, form);
        std::unique_ptr<QWidget> widget(optiontest::kForms[form].make());
        widget->show();
        QVERIFY(QTest::qWaitForWindowExposed(widget.get()));
        QCOMPARE(widget->objectName(), QString::fromLatin1(optiontest::kForms[form].name));
        QCOMPARE(optiontest::brokenColours(widget.get()), QStringList());
        // The skin's own text colour stands in for the missing list.
        if (auto* caption = widget->findChild<QLabel*>(QStringLiteral("label")))
            QCOMPARE(caption->palette().color(QPalette::WindowText), QColor(230, 232, 238));
    }
};

QTEST_MAIN(TestOptionWidgetsBare)
#include "tst_optionwidgets_bare.moc"

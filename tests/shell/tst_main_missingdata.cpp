#include "core/PostMsg.h"
#include "shell/DialogMain.h"
#include "support/dialogs_helpers.h"
#include "support/hostile_files.h"
#include "support/modal_helpers.h"

#include <QDir>
#include <QLabel>
#include <QRegularExpression>
#include <QtTest>

// Started away from its data, the program says which shipped files or folders are missing, in the
// user's language where a language file is there and in plain English otherwise, then goes on.
class TestMainMissingData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { RegisterBusTypes(); }

    void oneNoticeNamesWhatIsMissing_data()
    {
        QTest::addColumn<bool>("withLanguage");
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("damaged");  // Config.ini a FIFO, driver_sensor.h far too large
        QTest::newRow("damaged files count as missing")
            << true << "/usersetting/Config.ini, /Picture, /driver_sensor.h"
            << "Gone: /usersetting/Config.ini, /Picture, /driver_sensor.h!" << true;
        QTest::newRow("language file there") << true << "/usersetting/Config.ini, /Picture, /driver_sensor.h"
                                             << "Gone: /usersetting/Config.ini, /Picture, /driver_sensor.h!"
                                             << false;
        QTest::newRow("no language files")
            << false << "/usersetting/Config.ini, /Language, /Picture, /driver_sensor.h"
            << "Program files are missing: /usersetting/Config.ini, /Language, /Picture, /driver_sensor.h. Please "
               "reinstall the program."
            << false;
    }

    void oneNoticeNamesWhatIsMissing()
    {
        QFETCH(bool, withLanguage);
        QFETCH(QString, missing);
        QFETCH(QString, text);
        QFETCH(bool, damaged);
        dialogtest::FakeProgramFolder folder;
        std::unique_ptr<hostile::Fifo> fifo;
        if (damaged) {
            QVERIFY(QDir().mkpath(folder.path() + "/usersetting"));
            fifo = std::make_unique<hostile::Fifo>(folder.path() + "/usersetting/Config.ini");
            QVERIFY(hostile::makeSparseFile(folder.path() + "/driver_sensor.h", qint64(1) << 30));
        }
        if (withLanguage)
            folder.write(0, "<Total><DialogMain><DataMissing>Gone: %1!</DataMissing></DialogMain></Total>");
        else
            QVERIFY(QDir(folder.path() + "/Language").removeRecursively());
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression("^shipped data missing beside .*: " + QRegularExpression::escape(missing) + "$"));
        QString shown;
        modaltest::ModalDriver closer([&shown](QWidget* notice) {
            if (auto* label = notice->findChild<QLabel*>(QStringLiteral("label")))
                shown = label->text();
            notice->close();
        });
        DialogMain window;
        window.show();
        QTRY_COMPARE(closer.seen(), QStringList{QStringLiteral("UpDateWarning")});
        QCOMPARE(shown, text);
        QVERIFY(window.isVisible());
    }
};

QTEST_MAIN(TestMainMissingData)
#include "tst_main_missingdata.moc"

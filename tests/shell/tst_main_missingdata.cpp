#include "core/AppPaths.h"
#include "core/FileNotices.h"
#include "core/MacroIni.h"
#include "core/PostMsg.h"
#include "core/Registry.h"
#include "shell/Dialog.h"
#include "shell/DialogMain.h"
#include "shell/common/PictureCheck.h"
#include "support/dialogs_helpers.h"
#include "support/full_disk.h"
#include "support/hostile_files.h"
#include "support/modal_helpers.h"

#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QLabel>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QThread>
#include <QtTest>

// A damaged settings store (Macro.ini, the registry store) is set aside and the program starts on
// defaults: the user is told once, which file it was and where it was kept.
// Started away from its data, the program says which shipped files or folders are missing, in the
// user's language where a language file is there and in plain English otherwise, then goes on.
class TestMainMissingData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { RegisterBusTypes(); }

    // First: Macro.ini is read once per process, by the first window.
    void oneNoticeNamesTheDamagedStores_data()
    {
        QTest::addColumn<bool>("macroIni");  // Macro.ini a FIFO
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("names");
        QTest::addColumn<QString>("kept");
        // The language was in the damaged Macro.ini: English then.
        QTest::newRow("both stores") << true << 0 << "TALVO R430K mouse.ini, Macro.ini"
                                     << "TALVO R430K mouse.ini.damaged, Macro.ini.damaged";
        QTest::newRow("registry store again, Russian")
            << false << 4 << "TALVO R430K mouse.ini" << "TALVO R430K mouse.ini.damaged2";
    }

    void oneNoticeNamesTheDamagedStores()
    {
        QFETCH(bool, macroIni);
        QFETCH(int, language);
        QFETCH(QString, names);
        QFETCH(QString, kept);
        const QByteArray config = qgetenv("XDG_CONFIG_HOME");
        const auto english = qScopeGuard([&config] {
            dialogtest::chooseLanguage(0);
            qputenv("XDG_CONFIG_HOME", config);
        });
        std::unique_ptr<hostile::Fifo> fifo;
        if (macroIni) {
            QVERIFY(QDir().mkpath(UserDataDir()));
            fifo = std::make_unique<hostile::Fifo>(MacroIniPath());
        } else {
            dialogtest::chooseLanguage(language);
            // The registry store is read once per config folder: a second damaged one needs a
            // folder of its own, where an earlier damaged file was already kept.
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(QDir::home().filePath("second-config")));
            QVERIFY(QDir().mkpath(QFileInfo(Registry::FilePath()).absolutePath()));
            QVERIFY(QFile(Registry::FilePath() + ".damaged").open(QIODevice::WriteOnly));
        }
        QVERIFY(QDir().mkpath(QFileInfo(Registry::FilePath()).absolutePath()));
        QVERIFY(hostile::makeSparseFile(Registry::FilePath(), qint64(2) << 20));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(" kept as .*\\.damaged2?, starting afresh$"));
        if (macroIni)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(" kept as .*\\.damaged2?, starting afresh$"));
        QStringList texts;
        modaltest::ModalDriver closer(modaltest::keepNoticeText(&texts));
        DialogMain window;
        window.show();
        QTRY_COMPARE(closer.seen(), QStringList{QStringLiteral("UpDateWarning")});
        const QString text = dialogtest::shippedText(language, "DialogMain", "SettingsDamaged");
        QVERIFY(text.contains("%2"));
        QCOMPARE(texts, QStringList{"UpDateWarning: " + text.arg(names, kept)});
        QVERIFY(QFileInfo(QFileInfo(Registry::FilePath()).absolutePath() + '/' + kept.split(", ").first()).size()
                == qint64(2) << 20);
        QVERIFY(window.isVisible());
    }

    void oneNoticeNamesWhatIsMissing_data()
    {
        QTest::addColumn<bool>("withLanguage");
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QString>("text");
        // "fifo": Config.ini a FIFO, driver_sensor.h far too large; "count": no count of devices;
        // "files": "Language" and "Picture" plain files
        QTest::addColumn<QString>("damaged");
        QTest::newRow("damaged files count as missing")
            << true << "/usersetting/Config.ini, /Picture, /driver_sensor.h"
            << "Gone: /usersetting/Config.ini, /Picture, /driver_sensor.h!" << "fifo";
        QTest::newRow("Config.ini with a negative device count")
            << true << "/usersetting/Config.ini, /Picture, /driver_sensor.h"
            << "Gone: /usersetting/Config.ini, /Picture, /driver_sensor.h!" << "count";
        QTest::newRow("language file there") << true << "/usersetting/Config.ini, /Picture, /driver_sensor.h"
                                             << "Gone: /usersetting/Config.ini, /Picture, /driver_sensor.h!"
                                             << "";
        QTest::newRow("no language files")
            << false << "/usersetting/Config.ini, /Language, /Picture, /driver_sensor.h"
            << "Program files are missing: /usersetting/Config.ini, /Language, /Picture, /driver_sensor.h. Please "
               "reinstall the program."
            << "";
        QTest::newRow("folders that are files")
            << false << "/usersetting/Config.ini, /Language, /Picture, /driver_sensor.h"
            << "Program files are missing: /usersetting/Config.ini, /Language, /Picture, /driver_sensor.h. Please "
               "reinstall the program."
            << "files";
    }

    void oneNoticeNamesWhatIsMissing()
    {
        QFETCH(bool, withLanguage);
        QFETCH(QString, missing);
        QFETCH(QString, text);
        QFETCH(QString, damaged);
        dialogtest::FakeProgramFolder folder;
        std::unique_ptr<hostile::Fifo> fifo;
        if (damaged == QLatin1String("count")) {
            QVERIFY(QDir().mkpath(folder.path() + "/usersetting"));
            QFile ini(folder.path() + "/usersetting/Config.ini");
            QVERIFY(ini.open(QIODevice::WriteOnly));
            QVERIFY(ini.write("[Option]\nDeviceTotal=-5\n[Drive1]\nMID=1\n") > 0);
        } else if (damaged == QLatin1String("fifo")) {
            QVERIFY(QDir().mkpath(folder.path() + "/usersetting"));
            fifo = std::make_unique<hostile::Fifo>(folder.path() + "/usersetting/Config.ini");
            QVERIFY(hostile::makeSparseFile(folder.path() + "/driver_sensor.h", qint64(1) << 30));
        }
        if (withLanguage)
            folder.write(0, "<Total><DialogMain><DataMissing>Gone: %1!</DataMissing></DialogMain></Total>");
        else
            QVERIFY(QDir(folder.path() + "/Language").removeRecursively());
        for (const char* name : {"/Language", "/Picture"})
            QVERIFY(damaged != QLatin1String("files") || QFile(folder.path() + name).open(QIODevice::WriteOnly));
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

    // Every picture one column wider than the window: each is refused once, no style sheet of the
    // window or its pages names one, and the notice names the first three. A FIFO among the
    // pictures as shipped, named by a dialog not made yet, is named at start all the same.
    void refusedPicturesAreDrawnAsMissing_data()
    {
        QTest::addColumn<QString>("fifo");  // the one picture made a FIFO; none: every picture too wide
        QTest::addColumn<QString>("named");
        QTest::newRow("every picture too wide") << QString() << "(, /Picture/\\w+/\\w+\\.png){3}, \u2026";
        QTest::newRow("a FIFO among the pictures") << "/Picture/Setting/PairFail.png"
                                                   << ", /Picture/Setting/PairFail\\.png";
    }

    void refusedPicturesAreDrawnAsMissing()
    {
        QFETCH(QString, fifo);
        QFETCH(QString, named);
        const QString shipped = QCoreApplication::applicationDirPath() + "/Picture";
        dialogtest::FakeProgramFolder folder;
        folder.write(0, "<Total><DialogMain><DataMissing>Gone: %1!</DataMissing></DialogMain></Total>");
        QImage wide(shell::kPictureMaxWidth + 1, 1, QImage::Format_Mono);
        wide.fill(0);
        int pictures = 0;
        for (QDirIterator it(shipped, {"*.png"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext(); ++pictures) {
            const QString source = it.next();
            const QString target = folder.path() + "/Picture" + source.mid(shipped.size());
            QVERIFY(QDir().mkpath(QFileInfo(target).absolutePath()));
            QVERIFY(fifo.isEmpty() ? wide.save(target, "PNG") : QFile::copy(source, target));
        }
        QVERIFY(pictures > 100);
        std::unique_ptr<hostile::Fifo> pipe;
        if (!fifo.isEmpty()) {
            pipe = std::make_unique<hostile::Fifo>(folder.path() + fifo);
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^picture not shown, "
                                                                  + QRegularExpression::escape(folder.path() + fifo)
                                                                  + ": not a regular file$"));
        }
        for (int i = 0; fifo.isEmpty() && i < pictures; ++i)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^picture not shown, " + QRegularExpression::escape(folder.path())));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^shipped data missing beside "));
        QStringList texts;
        modaltest::ModalDriver closer(modaltest::keepNoticeText(&texts));
        DialogMain window;
        window.frame();  // built before anything parks its pictures
        QList<QWidget*> widgets = window.findChildren<QWidget*>();
        widgets << &window;
        for (const QWidget* widget : widgets)
            QVERIFY2(!widget->styleSheet().contains(folder.path() + fifo), qPrintable(widget->objectName()));
        window.show();
        QTRY_COMPARE(closer.seen(), QStringList{QStringLiteral("UpDateWarning")});
        QCOMPARE(texts.size(), 1);
        QVERIFY2(QRegularExpression("^UpDateWarning: Gone: /usersetting/Config.ini, /driver_sensor.h" + named + "!$")
                     .match(texts.first())
                     .hasMatch(),
                 qPrintable(texts.first()));
        if (pipe)
            QVERIFY(!pipe->hadToRelease());
    }

    // Grown past the bound by another writer while the window is up, Macro.ini is set aside at the
    // program's next write and told at once, in the language the window speaks, once.
    void storeSetAsideWhileRunningIsToldAtOnce()
    {
        const auto english = qScopeGuard([] { dialogtest::chooseLanguage(0); });
        dialogtest::chooseLanguage(5);
        const QString folder = QFileInfo(MacroIniPath()).absolutePath() + '/';
        QString kept = QStringLiteral("Macro.ini.damaged");
        for (int n = 2; QFileInfo::exists(folder + kept); ++n)
            kept = QStringLiteral("Macro.ini.damaged%1").arg(n);
        QStringList texts;
        modaltest::ModalDriver closer(modaltest::keepNoticeText(&texts));
        DialogMain window;
        window.show();
        window.frame();
        QCoreApplication::processEvents();  // the start-up notices, none here
        QVERIFY(closer.seen().isEmpty());
        QVERIFY(hostile::makeSparseFile(MacroIniPath(), qint64(2) << 20));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(" kept as .*" + kept + ", starting afresh$"));
        QVERIFY(MacroIni::Instance()->SetValue(QStringLiteral("AutoStart"), QStringLiteral("Enable"), "1"));
        QTRY_COMPARE(closer.seen(), QStringList{QStringLiteral("UpDateWarning")});
        const QString text = dialogtest::shippedText(5, "DialogMain", "SettingsDamaged");
        QCOMPARE(texts, QStringList{"UpDateWarning: " + text.arg("Macro.ini", kept)});
        QVERIFY(MacroIni::Instance()->SetValue(QStringLiteral("AutoStart"), QStringLiteral("Enable"), "0"));
        QCoreApplication::processEvents();
        QCOMPARE(texts.size(), 1);
        QCOMPARE(QFileInfo(folder + kept).size(), qint64(2) << 20);
    }

    // Last: it leaves the installer's language behind. On a disk with room for the small registry
    // store but not for a larger Macro.ini, the installer's language is not handed over and stays
    // for the next start. What failed before the window was there, on the device thread first,
    // is told once, when the window shows.
    void failuresBeforeTheWindowAreToldOnceWhenItShows()
    {
        const auto english = qScopeGuard([] {
            dialogtest::chooseLanguage(0);
            MacroIni::Instance()->RemoveValue(QStringLiteral("Test"), QStringLiteral("Padding"));
            Registry::Remove(Registry::InstallerKey(), QStringLiteral("LanguageIndex"));
        });
        QVERIFY(MacroIni::Instance()->SetValue(QStringLiteral("Test"), QStringLiteral("Padding"), QString(4096, 'p')));
        QVERIFY(Registry::SetValue(Registry::InstallerKey(), QStringLiteral("LanguageIndex"), QStringLiteral("3")));
        const QString cache = DeviceInfoDir() + QStringLiteral("/33_1.bin");
        std::unique_ptr<QThread> device(QThread::create([&cache] { core::noteUnsavedWrite(cache); }));
        device->start();
        QVERIFY(device->wait());
        std::unique_ptr<DialogMain> window;
        {
            hostile::FullDisk full(2048);
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("^cannot write: "));
            window = std::make_unique<DialogMain>();
        }
        QFile store(Registry::FilePath());
        QVERIFY(store.open(QIODevice::ReadOnly));
        QVERIFY(store.readAll().contains("LanguageIndex=\"3\""));

        QStringList texts;
        modaltest::ModalDriver closer(modaltest::keepNoticeText(&texts));
        window->show();
        QTRY_COMPARE(closer.seen(), QStringList{QStringLiteral("UpDateWarning")});
        // In the installer's language, which holds for this run all the same.
        const QString told = dialogtest::shippedText(3, "DialogMain", "NotSaved").arg("33_1.bin");
        QCOMPARE(texts, QStringList{"UpDateWarning: " + told});
        core::noteUnsavedWrite(cache);
        QCoreApplication::processEvents();
        QCOMPARE(texts.size(), 1);
    }
};

QTEST_MAIN(TestMainMissingData)
#include "tst_main_missingdata.moc"

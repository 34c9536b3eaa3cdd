#include "core/AppPaths.h"
#include "core/EventWait.h"
#include "core/FileNotices.h"
#include "core/MacroIni.h"
#include "core/PostMsg.h"
#include "core/Registry.h"
#include "dialogs/ContainReset.h"
#include "shell/Dialog.h"
#include "shell/DialogMain.h"
#include "shell/common/PictureCheck.h"
#include "support/dialogs_helpers.h"
#include "support/full_disk.h"
#include "support/hostile_files.h"
#include "support/modal_helpers.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QLabel>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QThread>
#include <QTimer>
#include <QToolButton>
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

    // Set aside while the window is up (another writer made it too large), a store is told at
    // once, in one notice with every store set aside with it or while it shows, in the language
    // the program's notices use at that moment: a language written into Macro.ini by hand counts,
    // and without its Macro.ini the program speaks English. A modal dialog or a wait that runs is
    // never opened over: the notice follows it.
    void storeSetAsideWhileRunningIsToldAtOnce_data()
    {
        QTest::addColumn<QStringList>("stores");  // set aside, in this order
        QTest::addColumn<int>("handEdit");        // the language written into Macro.ini first; -1: none
        // "question": a modal question shows; "wait": the event wait runs; "notice": the last
        // store is set aside while the notice of the others shows
        QTest::addColumn<QString>("during");
        QTest::addColumn<int>("language");  // of the notice's text and button
        QTest::newRow("Macro.ini, which held the language") << QStringList{"Macro.ini"} << -1 << QString() << 0;
        QTest::newRow("registry store after a hand edit") << QStringList{"registry"} << 4 << QString() << 4;
        QTest::newRow("both stores at once") << QStringList{"registry", "Macro.ini"} << -1 << QString() << 0;
        QTest::newRow("Macro.ini while the notice shows")
            << QStringList{"registry", "Macro.ini"} << -1 << "notice" << 0;
        QTest::newRow("while a question shows") << QStringList{"registry"} << -1 << "question" << 3;
        QTest::newRow("while a wait runs") << QStringList{"registry"} << -1 << "wait" << 3;
    }

    void storeSetAsideWhileRunningIsToldAtOnce()
    {
        QFETCH(QStringList, stores);
        QFETCH(int, handEdit);
        QFETCH(QString, during);
        QFETCH(int, language);
        const auto english = qScopeGuard([] {
            dialogtest::chooseLanguage(0);
            Registry::Remove(Registry::DriveTestKey(), QStringLiteral("Probe"));
        });
        dialogtest::chooseLanguage(3);
        QStringList paths;
        QStringList names;
        QStringList kept;
        for (const QString& store : stores) {
            paths << (store == QLatin1String("registry") ? Registry::FilePath() : MacroIniPath());
            names << QFileInfo(paths.last()).fileName();
            QString aside = paths.last() + ".damaged";
            for (int n = 2; QFileInfo::exists(aside); ++n)
                aside = paths.last() + QStringLiteral(".damaged%1").arg(n);
            kept << QFileInfo(aside).fileName();
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(" kept as .*" + kept.last() + ", starting afresh$"));
        }
        // Another writer makes it too large; the program's next use of it sets it aside.
        const auto setAside = [](const QString& path) {
            return hostile::makeSparseFile(path, qint64(2) << 20)
                   && (path == MacroIniPath() ? MacroIni::Instance()->SetValue("AutoStart", "Enable", "1")
                                              : Registry::SetValue(Registry::DriveTestKey(), "Probe", "1"));
        };
        const bool late = during == QLatin1String("notice");
        ContainReset question(nullptr);
        bool waiting = false;
        bool opened = false;  // a notice over the question or another notice, or inside the wait
        QStringList texts;
        modaltest::ModalDriver closer([&](QWidget* dialog) {
            if (dialog == &question)
                return;  // the test closes it
            opened = opened || question.isVisible() || waiting;
            if (late && texts.isEmpty() && setAside(paths.last())) {
                // Handed to the window while its notice shows; a notice opened over it is closed here.
                QTimer over;
                QObject::connect(&over, &QTimer::timeout, dialog, [&opened, dialog] {
                    QWidget* top = QApplication::activeModalWidget();
                    opened = opened || (top && top != dialog && top->close());
                });
                over.start(5);
                QCoreApplication::processEvents();
            }
            texts << dialog->objectName() + ": " + dialog->findChild<QLabel*>("label")->text() + " | "
                         + dialog->findChild<QToolButton*>("NewHong")->text();
            dialog->close();
        });
        DialogMain window;
        window.show();
        window.frame();
        QCoreApplication::processEvents();  // the start-up notices, none here
        QVERIFY(closer.seen().isEmpty());
        if (handEdit >= 0) {
            QFile ini(MacroIniPath());
            QVERIFY(ini.open(QIODevice::ReadWrite));
            const QByteArray edited =
                ini.readAll().replace("Language=\"3\"", "Language=" + QByteArray::number(handEdit));
            QVERIFY(ini.resize(0) && ini.write(edited) == edited.size());
        }
        if (during == QLatin1String("question")) {
            question.setWindowModality(Qt::ApplicationModal);
            question.show();
            QTRY_COMPARE(closer.seen(), QStringList{QStringLiteral("ContainReset")});
        }
        for (int i = 0; i < paths.size() - (late ? 1 : 0); ++i)
            QVERIFY(setAside(paths.at(i)));
        // The set-asides are handed to the window here.
        waiting = during == QLatin1String("wait");
        if (waiting)
            WaitProcessingEvents(1);
        else
            QCoreApplication::processEvents();
        waiting = false;
        question.close();
        QTRY_COMPARE(closer.seen().filter(QStringLiteral("UpDateWarning")).size(), 1);
        QVERIFY(!opened);
        const QString text = dialogtest::shippedText(language, "DialogMain", "SettingsDamaged");
        const QString ok = dialogtest::shippedText(language, "NewVer", "NewHong");
        QVERIFY(text.contains("%2") && !ok.isEmpty());
        QCOMPARE(texts, QStringList{"UpDateWarning: " + text.arg(names.join(", "), kept.join(", ")) + " | " + ok});
        QVERIFY(MacroIni::Instance()->SetValue(QStringLiteral("AutoStart"), QStringLiteral("Enable"), "0"));
        QVERIFY(Registry::SetValue(Registry::DriveTestKey(), QStringLiteral("Probe"), QStringLiteral("0")));
        QCoreApplication::processEvents();
        QCOMPARE(closer.seen().size(), during == QLatin1String("question") ? 2 : 1);
        for (int i = 0; i < paths.size(); ++i)
            QCOMPARE(QFileInfo(QFileInfo(paths.at(i)).absolutePath() + '/' + kept.at(i)).size(), qint64(2) << 20);
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

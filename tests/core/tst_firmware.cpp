#include "core/Firmware.h"
#include "core/PostMsg.h"
#include "core/Registry.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>

#include <memory>

#include <dlfcn.h>
#include <unistd.h>

// What reaches the disk before the device library gets an image: the calls are taken here, in
// the order the process makes them, and passed on.
namespace {

bool g_tracing = false;
QStringList g_trace;

QString pathOfFd(int fd)
{
    return QFileInfo(QStringLiteral("/proc/self/fd/%1").arg(fd)).symLinkTarget();
}

template <typename F>
F next(const char* name)
{
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" int fsync(int fd)
{
    if (g_tracing)
        g_trace << QStringLiteral("fsync ") + pathOfFd(fd);
    return next<int (*)(int)>("fsync")(fd);
}

extern "C" int rename(const char* from, const char* to)
{
    if (g_tracing)
        g_trace << QStringLiteral("rename ") + QFile::decodeName(to);
    return next<int (*)(const char*, const char*)>("rename")(from, to);
}

extern "C" bool UsbUpgrade_Start(const unsigned char*, int, UpgradeEventCallback, int)
{
    if (g_tracing)
        g_trace << QStringLiteral("start ")
                       + Registry::Value(Registry::DriveTestKey(), QStringLiteral("UpdateFailInfo"));
    // Refused: nothing runs, and the stage ends as a failed one.
    return false;
}

// The firmware facts that need no device: version texts, the receiver table, and what a stage
// leaves recorded.
class TestFirmware : public QObject
{
    Q_OBJECT

private slots:
    void versionTexts();
    void receiverClassesAndKeys();
    void receiverTableByKind();
    void stageRecords_data();
    void stageRecords();
    void recordIsOnTheDiskBeforeTheFirstByte();
};

void TestFirmware::versionTexts()
{
    QCOMPARE(core::firmwareVersionText(0x0103), QStringLiteral("v1.3"));
    QCOMPARE(core::firmwareVersionText(0x010A), QStringLiteral("v1.a"));
    QCOMPARE(core::firmwareVersionText(0x0110), QStringLiteral("v1.10"));
    QCOMPARE(core::firmwareVersionText(0x0100), QStringLiteral("v1.0"));
    QCOMPARE(core::firmwareVersionText(0x01FF), QStringLiteral("v1.ff"));
}

void TestFirmware::receiverClassesAndKeys()
{
    QCOMPARE(core::receiverClassOfKind(0), 1);
    QCOMPARE(core::receiverClassOfKind(4), 2);
    QCOMPARE(core::receiverClassOfKind(1), 4);
    QCOMPARE(core::receiverClassOfKind(5), 8);
    QCOMPARE(core::receiverClassOfKind(2), 0);
    QCOMPARE(core::receiverImageKey(2), QStringLiteral("D2M"));
    QVERIFY(core::receiverImageKey(0).isEmpty());
    QVERIFY(core::receiverImageKey(3).isEmpty());
}

void TestFirmware::receiverTableByKind()
{
    QCOMPARE(core::receiverClassOfKind(0), 1);
    QCOMPARE(core::receiverClassOfKind(4), 2);
    QCOMPARE(core::receiverClassOfKind(1), 4);
    QCOMPARE(core::receiverClassOfKind(5), 8);
    QCOMPARE(core::receiverImageKeyOfKind(0), QString("DM"));
    QCOMPARE(core::receiverImageKeyOfKind(4), QString("D2M"));
    QCOMPARE(core::receiverImageKeyOfKind(1), QString("D4M"));
    QCOMPARE(core::receiverImageKeyOfKind(5), QString("D8M"));
    for (int kind : {2, 3, 6, 7, 8, 255}) {
        QCOMPARE(core::receiverClassOfKind(kind), 0);
        QVERIFY(core::receiverImageKeyOfKind(kind).isEmpty());
    }
}

void TestFirmware::stageRecords_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("mouseUnfinished");
    QTest::addColumn<QString>("recorded");     // while the stage runs, and after it failed
    QTest::addColumn<QString>("afterSuccess"); // once it ended well, before the update's end
    QTest::newRow("receiver") << 211 << false << "211,4,33,1" << "";
    QTest::newRow("mouse") << 210 << false << "210,4,33,1" << "";
    // Cut, failed or written in front of it, the receiver stage leaves the mouse to repair.
    QTest::newRow("receiver in front of an unfinished mouse") << 211 << true << "210,4,33,1" << "210,4,33,1";
    QTest::newRow("the unfinished mouse itself") << 210 << true << "210,4,33,1" << "";
}

// The record of a running flow is no repair to offer, once its stage failed too; once the flow
// ended with the record kept, or was destroyed in the middle of a stage, it is.
void TestFirmware::stageRecords()
{
    QFETCH(int, kind);
    QFETCH(bool, mouseUnfinished);
    QFETCH(QString, recorded);
    QFETCH(QString, afterSuccess);
    const QString key = QStringLiteral("UpdateFailInfo");
    const auto stored = [&key] { return Registry::Value(Registry::DriveTestKey(), key); };
    const core::FirmwareStage stage{kind, mouseUnfinished, 4, 33, 1};
    const QByteArray image(core::kImageHeaderSize, '\0');
    QSignalSpy told(PostMsg::instance(), &PostMsg::SigUpDateButton);
    for (const char* how : {"failed", "succeeded", "destroyed"}) {
        const QString end = QLatin1String(how);
        told.clear();
        auto flow = std::make_unique<core::UpdateFlow>();
        // An earlier run's record: unfinished until a stage of this run takes it over.
        Registry::SetValue(Registry::DriveTestKey(), key, QStringLiteral("211,4,33,1"));
        QCOMPARE(core::unfinishedUpdateFields().size(), 4);
        QCOMPARE(flow->startStage(stage, image, nullptr, 10000), core::StageStart::Refused);
        QCOMPARE(stored(), recorded);
        QVERIFY(core::unfinishedUpdateFields().isEmpty());
        // The choice page hides its repair button as the flow starts.
        QCOMPARE(told.count(), 1);
        QCOMPARE(told.first().first().toBool(), true);
        // Another writer's record is not this update's.
        Registry::SetValue(Registry::DriveTestKey(), key, QStringLiteral("210,1,33,7"));
        QCOMPARE(core::unfinishedUpdateFields().size(), 4);
        Registry::SetValue(Registry::DriveTestKey(), key, recorded);
        QString left = recorded;
        if (end == QLatin1String("succeeded")) {
            flow->stageSucceeded();
            left = afterSuccess;
            QCOMPARE(stored(), afterSuccess);
        } else if (end == QLatin1String("failed")) {
            Registry::SetValue(Registry::DriveTestKey(), key, QStringLiteral("211,4,33,1"));
            flow->stageFailed(stage);
            QCOMPARE(stored(), recorded);
        }
        QVERIFY(core::unfinishedUpdateFields().isEmpty());
        QVERIFY(flow->running());
        if (end == QLatin1String("destroyed"))
            flow.reset();
        else
            flow->end();
        QCOMPARE(core::unfinishedUpdateFields().join(QLatin1Char(',')), left);
        // ... and shows it again for a record left to repair.
        QCOMPARE(told.count(), 2);
        QCOMPARE(told.last().first().toBool(), left.isEmpty());
        flow.reset();
        QCOMPARE(told.count(), 2);
        core::removeUpdateFailInfo();
    }
}

// A power cut right after the first byte must find the record: the new file synced, renamed
// over the store and the folder synced, all before the library is called.
void TestFirmware::recordIsOnTheDiskBeforeTheFirstByte()
{
    const QString store = QFileInfo(Registry::FilePath()).absoluteFilePath();
    const QString folder = QFileInfo(store).absolutePath();
    g_trace.clear();
    g_tracing = true;
    core::UpdateFlow flow;
    const core::StageStart started = flow.startStage(core::FirmwareStage{211, false, 4, 33, 1},
                                                     QByteArray(core::kImageHeaderSize, '\0'), nullptr, 10000);
    g_tracing = false;
    flow.end();
    core::removeUpdateFailInfo();
    QCOMPARE(started, core::StageStart::Refused);
    const int renamed = g_trace.indexOf(QStringLiteral("rename ") + store);
    const int start = g_trace.indexOf(QStringLiteral("start 211,4,33,1"));
    QVERIFY2(renamed > 0 && start > renamed, qPrintable(g_trace.join(QLatin1Char('\n'))));
    // The new file's own sync comes before its rename, the folder's after it.
    const QRegularExpression inFolder(QStringLiteral("^fsync ") + QRegularExpression::escape(folder + "/"));
    const QString trace = g_trace.join(QLatin1Char('\n'));
    QVERIFY2(!g_trace.mid(0, renamed).filter(inFolder).isEmpty(), qPrintable(trace));
    QVERIFY2(g_trace.mid(renamed, start - renamed).contains(QStringLiteral("fsync ") + folder), qPrintable(trace));
}

QTEST_GUILESS_MAIN(TestFirmware)
#include "tst_firmware.moc"

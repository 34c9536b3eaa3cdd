#include "core/FlashDataMap.h"
#include "core/PostMsg.h"

#include <QCoreApplication>
#include <QMutexLocker>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <cstring>

class TestFlashDataMap : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { RegisterBusTypes(); }
    void fieldsLandOnTheirBytes();
    void keyEventIsLittleEndian();
    void macroOfSeventyEventsFillsRecordToLastByte();
    void readersClampCorruptCounts();
    void writersStayInsideTheRecord();
    void bytesRoundTripOnlyAtExactSize();
    void physicalButtonsMapToSlots();
    void imageCrossesThreadsOverBlockingQueuedConnection();
    void receiverLightPointerCrossesThreads();
    void currentImageCopiesAreConsistentUnderConcurrentWrites();
};

void TestFlashDataMap::fieldsLandOnTheirBytes()
{
    FlashDataMap image = EmptyFlashDataMap();
    image.ReportRate = 16;
    image.SensorMode = 0xE1;
    image.DpiLevel[7].DpiColor[2] = 0xC7;
    image.DpiLedMode = 0x3F;
    image.LightOn = 0x49;
    image.ButtonFunction[15].Param2 = 0x79;
    image.Reserved[1] = 0x7B;
    image.KeyRecords[1].Events[0].Release = 0xB4;
    image.MacroRecords[0].Name[0] = 'M';
    image.MacroRecords[15].Events[69].DelayMs = 0xAABBCCDD;

    const QByteArray bytes = FlashDataToBytes(image);
    QCOMPARE(bytes.size(), 10428);
    QCOMPARE(quint8(bytes[0]), quint8(16));
    QCOMPARE(quint8(bytes[14]), quint8(0xE1));
    QCOMPARE(quint8(bytes[15 + 6 * 7 + 5]), quint8(0xC7));  // 62
    QCOMPARE(quint8(bytes[0x3F]), quint8(0x3F));
    QCOMPARE(quint8(bytes[73]), quint8(0x49));
    QCOMPARE(quint8(bytes[0x4A + 3 * 15 + 2]), quint8(0x79));  // 121
    QCOMPARE(quint8(bytes[123]), quint8(0x7B));
    QCOMPARE(quint8(bytes[0x7C + 52 + 4]), quint8(0xB4));
    QCOMPARE(bytes[0x3BC + 1], 'M');
    QCOMPARE(bytes.right(4), QByteArray::fromHex("DDCCBBAA"));
    int nonZero = 0;
    for (char c : bytes)
        nonZero += c != 0;
    QCOMPARE(nonZero, 13);  // nine one-byte fields and the four bytes of the delay
}

void TestFlashDataMap::keyEventIsLittleEndian()
{
    const KeyEvent event = MakeKeyEvent(1, 2, 0x00E9, 0x0102030A);
    QByteArray bytes(reinterpret_cast<const char*>(&event), sizeof event);
    QCOMPARE(bytes, QByteArray::fromHex("0102E9000A030201"));
}

void TestFlashDataMap::macroOfSeventyEventsFillsRecordToLastByte()
{
    MacroRecord record{};
    for (int k = 0; k < kMacroRecordEvents; ++k)
        QVERIFY(AppendMacroEvent(record, MakeKeyEvent(k % 2, 1, quint16(4 + k), k == 69 ? 0xFF000000u : 0u)));
    QCOMPARE(int(record.EventCount), 70);
    const auto* raw = reinterpret_cast<const quint8*>(&record);
    QCOMPARE(raw[31], quint8(70));
    QCOMPARE(raw[32 + 8 * 69 + 2], quint8(4 + 69));
    QCOMPARE(raw[591], quint8(0xFF));
    QVERIFY(!AppendMacroEvent(record, MakeKeyEvent(0, 1, 9, 0)));
    QCOMPARE(int(record.EventCount), 70);
}

void TestFlashDataMap::readersClampCorruptCounts()
{
    FlashDataMap image = EmptyFlashDataMap();
    image.KeyRecords[3].EventCount = 200;
    image.MacroRecords[2].NameLength = 250;
    std::memset(image.MacroRecords[2].Name, 'x', kMacroNameBytes);
    image.MacroRecords[2].EventCount = 255;  // the byte right after the name
    QCOMPARE(KeyRecordEventCount(image.KeyRecords[3]), 6);
    QCOMPARE(MacroRecordEventCount(image.MacroRecords[2]), 70);
    QCOMPARE(MacroRecordNameLength(image.MacroRecords[2]), 30);
    QCOMPARE(MacroRecordName(image.MacroRecords[2]), QByteArray(30, 'x'));

    // A full key record with a corrupt count refuses more events instead of
    // writing into the next slot.
    const FlashDataMap before = image;
    QVERIFY(!AppendKeyEvent(image.KeyRecords[3], MakeKeyEvent(0, 1, 4, 10)));
    QCOMPARE(std::memcmp(&before, &image, sizeof image), 0);
}

void TestFlashDataMap::writersStayInsideTheRecord()
{
    FlashDataMap image = EmptyFlashDataMap();
    std::memset(&image.MacroRecords[1], 0x5A, sizeof(MacroRecord));
    SetMacroRecordName(image.MacroRecords[0], QByteArray(45, 'n'));
    QCOMPARE(int(image.MacroRecords[0].NameLength), 30);
    QCOMPARE(MacroRecordName(image.MacroRecords[0]), QByteArray(30, 'n'));
    QCOMPARE(int(image.MacroRecords[0].EventCount), 0);  // the name never spills into the count
    QCOMPARE(quint8(image.MacroRecords[1].NameLength), quint8(0x5A));

    SetMacroRecordName(image.MacroRecords[0], "ab");
    QCOMPARE(QByteArray(image.MacroRecords[0].Name, 30), QByteArray("ab") + QByteArray(28, '\0'));

    KeyRecord keys{};
    for (int k = 0; k < kKeyRecordEvents; ++k)
        QVERIFY(AppendKeyEvent(keys, MakeKeyEvent(k >= 3, 1, quint16(4 + k), 10)));
    QVERIFY(!AppendKeyEvent(keys, MakeKeyEvent(1, 1, 99, 10)));
    QCOMPARE(int(keys.EventCount), 6);
    QCOMPARE(int(keys.Events[5].Code), 9);
}

void TestFlashDataMap::bytesRoundTripOnlyAtExactSize()
{
    FlashDataMap image = EmptyFlashDataMap();
    image.ConfigByte3 = 3;
    image.ConfigByte4 = 4;
    image.Reserved[0] = 0x7A;
    FlashDataMap copy = EmptyFlashDataMap();
    QVERIFY(FlashDataFromBytes(FlashDataToBytes(image), &copy));
    QCOMPARE(std::memcmp(&copy, &image, sizeof image), 0);

    FlashDataMap untouched = EmptyFlashDataMap();
    untouched.ReportRate = 8;
    QVERIFY(!FlashDataFromBytes(QByteArray(10427, '\x01'), &untouched));
    QVERIFY(!FlashDataFromBytes(QByteArray(10429, '\x01'), &untouched));
    QCOMPARE(int(untouched.ReportRate), 8);
    QCOMPARE(int(untouched.DpiLevelCount), 0);
}

void TestFlashDataMap::physicalButtonsMapToSlots()
{
    const int expected[] = {0, 1, 2, 4, 3, 5};
    for (int button = 0; button < 6; ++button)
        QCOMPARE(SlotOfPhysicalButton(button), expected[button]);
    QCOMPARE(SlotOfPhysicalButton(6), -1);
    QCOMPARE(SlotOfPhysicalButton(-1), -1);
}

namespace {

class ImageReceiver : public QObject
{
public:
    void take(FlashDataMap image)
    {
        Q_ASSERT(QThread::currentThread() == QCoreApplication::instance()->thread());
        m_received = image;
        ++m_calls;
    }
    void takeLight(DongleRGB* light)
    {
        m_lightMode = light->Mode;
        light->LibraryBytes[8] = 0x99;  // the emitter is still blocked, so this is safe
    }
    FlashDataMap m_received = EmptyFlashDataMap();
    int m_calls = 0;
    int m_lightMode = -1;
};

} // namespace

void TestFlashDataMap::imageCrossesThreadsOverBlockingQueuedConnection()
{
    ImageReceiver receiver;
    QMetaObject::Connection link = connect(PostMsg::instance(), &PostMsg::SigUpDataLightSensor, &receiver,
                                           &ImageReceiver::take, Qt::BlockingQueuedConnection);
    FlashDataMap sent = EmptyFlashDataMap();
    sent.ReportRate = 32;
    sent.MacroRecords[15].Events[69].DelayMs = 12345;
    bool returned = false;
    QThread* emitter = QThread::create([&sent, &returned, &receiver] {
        PostMsg::instance()->EmitUpDataLightSensor(sent);
        // Blocking: by the time the emit returns the slot has run.
        returned = receiver.m_calls == 1;
    });
    emitter->start();
    QTRY_VERIFY(emitter->isFinished());
    emitter->wait();
    delete emitter;
    disconnect(link);
    QVERIFY(returned);
    QCOMPARE(std::memcmp(&receiver.m_received, &sent, sizeof sent), 0);
}

void TestFlashDataMap::receiverLightPointerCrossesThreads()
{
    ImageReceiver receiver;
    QMetaObject::Connection link = connect(PostMsg::instance(), &PostMsg::SigRGBValue, &receiver,
                                           &ImageReceiver::takeLight, Qt::BlockingQueuedConnection);
    DongleRGB light{};
    light.Mode = 2;
    QThread* emitter = QThread::create([&light] { PostMsg::instance()->EmitRGBValue(&light); });
    emitter->start();
    QTRY_VERIFY(emitter->isFinished());
    emitter->wait();
    delete emitter;
    disconnect(link);
    QCOMPARE(receiver.m_lightMode, 2);
    QCOMPARE(int(light.LibraryBytes[8]), 0x99);
}

void TestFlashDataMap::currentImageCopiesAreConsistentUnderConcurrentWrites()
{
    // A writer fills the whole image with one byte value at a time; every copy
    // taken meanwhile must be uniform, never half old and half new.
    std::atomic<bool> stop{false};
    QThread* writer = QThread::create([&stop] {
        for (quint8 v = 0; !stop.load(); ++v) {
            FlashDataMap image;
            std::memset(&image, v, sizeof image);
            StoreCurrentFlashData(image);
        }
    });
    writer->start();
    bool uniform = true;
    for (int i = 0; i < 2000 && uniform; ++i) {
        const QByteArray bytes = FlashDataToBytes(CurrentFlashDataCopy());
        uniform = bytes.count(bytes[0]) == bytes.size();
    }
    stop = true;
    writer->wait();
    delete writer;
    QVERIFY(uniform);
    StoreCurrentFlashData(EmptyFlashDataMap());
}

QTEST_GUILESS_MAIN(TestFlashDataMap)
#include "tst_flashdatamap.moc"

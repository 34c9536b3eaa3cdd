#include "shell/DialogChangeLogic.h"

#include <QTest>

using namespace shell;

namespace {

const ReceiverPidLists kPids{{"0x4111", "0x4211"}, {"0x4121", "0x4221"}, {"0x4141", "0x4241"}, {"0x4181", "0x4281"}};

DeviceAllInfo device(const QString& path, const QString& pid, int group, bool cable = false)
{
    DeviceAllInfo d;
    d.DevicePath = path;
    d.Pid = pid;
    d.DriveIndex = group;
    d.RestrictedKind = cable;
    return d;
}

QStringList paths(const QList<DeviceAllInfo>& list)
{
    QStringList out;
    for (const DeviceAllInfo& d : list)
        out << d.DevicePath;
    return out;
}

} // namespace

class TestChoiceLogic : public QObject
{
    Q_OBJECT

private slots:
    void cableMouseShadowsItsReceivers();
    void sameReceiverTwiceIsDuplicate();
    void differentClassesOrModelsAreNoDuplicates();
    void pidInTwoListsCountsAsTheFirst();
    void countTableHoldsEveryGroup();
    void tilesFillPagesOfThree();
    void arrowsFollowThePagesOnBothSides();
    void rateBadgeOrderDependsOnThePage();
    void versionOutcomes();
    void twoDeviceCaseAsksTileZeroFirst();
    void indexOfPathFindsTheSameDevice();
    void usbVersionTextFromAttributes();
};

void TestChoiceLogic::cableMouseShadowsItsReceivers()
{
    const QList<DeviceAllInfo> found{device("cable", "0x4101", 0, true), device("rx4", "0x4141", 0),
                                     device("other", "0x4221", 1), device("unknown", "0x4111", 2)};
    const TileSelection s = selectTiles(found, 2, kPids);
    QVERIFY(!s.duplicates);
    QCOMPARE(paths(s.tiles), (QStringList{"cable", "other", "unknown"}));

    // Without the cable the receiver is the mouse's only way in and stays.
    const TileSelection wireless = selectTiles(found.mid(1), 2, kPids);
    QCOMPARE(paths(wireless.tiles), (QStringList{"rx4", "other", "unknown"}));
}

void TestChoiceLogic::sameReceiverTwiceIsDuplicate()
{
    const QList<DeviceAllInfo> twoReceivers{device("a", "0x4141", 0), device("b", "0x4141", 0)};
    QVERIFY(selectTiles(twoReceivers, 2, kPids).duplicates);
    const QList<DeviceAllInfo> twoCables{device("a", "0x4101", 1, true), device("b", "0x4101", 1, true)};
    QVERIFY(selectTiles(twoCables, 2, kPids).duplicates);
    // A duplicate in a later group is still found after an earlier group
    // dropped its receivers.
    const QList<DeviceAllInfo> later{device("c", "0x4101", 0, true), device("r", "0x4111", 0),
                                     device("x", "0x4281", 1), device("y", "0x4181", 1)};
    QVERIFY(selectTiles(later, 2, kPids).duplicates);
}

void TestChoiceLogic::differentClassesOrModelsAreNoDuplicates()
{
    const QList<DeviceAllInfo> found{device("a", "0x4111", 0), device("b", "0x4121", 0), device("c", "0x4141", 0),
                                     device("d", "0x4181", 0), device("e", "0x4141", 1)};
    const TileSelection s = selectTiles(found, 2, kPids);
    QVERIFY(!s.duplicates);
    QCOMPARE(s.tiles.size(), 5);
    // Unmatched devices are never duplicates of each other.
    const QList<DeviceAllInfo> unmatched{device("u1", "0x4141", 2), device("u2", "0x4141", 2),
                                         device("u3", "0x4141", 2)};
    QCOMPARE(selectTiles(unmatched, 2, kPids).tiles.size(), 3);
    // A product id in no receiver list is not counted at all.
    const QList<DeviceAllInfo> plain{device("p1", "0x9999", 0), device("p2", "0x9999", 0)};
    QVERIFY(!selectTiles(plain, 2, kPids).duplicates);
}

void TestChoiceLogic::pidInTwoListsCountsAsTheFirst()
{
    ReceiverPidLists pids = kPids;
    pids.w4k << "0x4111";
    QCOMPARE(connectionKind(device("a", "0x4111", 0), pids), 1);
    // So with a true 1K receiver beside it, the group holds two 1K devices.
    QVERIFY(selectTiles({device("a", "0x4111", 0), device("b", "0x4211", 0)}, 2, pids).duplicates);
    QVERIFY(!selectTiles({device("a", "0x4111", 0), device("b", "0x4141", 0)}, 2, pids).duplicates);
}

void TestChoiceLogic::countTableHoldsEveryGroup()
{
    // Twenty "Drive" groups: group 19 and the unmatched column 20 exist.
    const QList<DeviceAllInfo> found{device("c", "0x4101", 19, true), device("r", "0x4141", 19),
                                     device("u", "0x4141", 20), device("bad", "0x4141", 57),
                                     device("neg", "0x4141", -1)};
    const TileSelection s = selectTiles(found, 20, kPids);
    QVERIFY(!s.duplicates);
    QCOMPARE(paths(s.tiles), (QStringList{"c", "u", "bad", "neg"}));
    QVERIFY(selectTiles({device("a", "0x4141", 19), device("b", "0x4141", 19)}, 20, kPids).duplicates);
    QVERIFY(!selectTiles(found, -3, kPids).duplicates);
}

void TestChoiceLogic::tilesFillPagesOfThree()
{
    QCOMPARE(pageCount(0), 0);
    QCOMPARE(pageCount(3), 1);
    QCOMPARE(pageCount(4), 2);
    QCOMPARE(pageCount(7), 3);

    const QVector<TilePlace> four = tilePlaces(4);
    QCOMPARE(four.size(), 4);
    QCOMPARE(four[0].button, QPoint(0, 0));
    QCOMPARE(four[1].button, QPoint(300, 0));
    QCOMPARE(four[2].badge, QPoint(825, 20));
    QCOMPARE(four[2].rate, QPoint(607, 10));
    QCOMPARE(four[3].page, 1);
    QCOMPARE(four[3].button, QPoint(305, 0));
    QCOMPARE(four[3].badge, QPoint(530, 20));
    QCOMPARE(four[3].rate, QPoint(312, 10));
    QVERIFY(four[2].fullPage);
    QVERIFY(!four[3].fullPage);

    const QVector<TilePlace> two = tilePlaces(2);
    QCOMPARE(two[0].button, QPoint(135, 0));
    QCOMPARE(two[1].button, QPoint(445, 0));
    QCOMPARE(two[1].badge, QPoint(665, 20));
    QCOMPARE(two[1].rate, QPoint(452, 10));

    const QVector<TilePlace> six = tilePlaces(6);
    QCOMPARE(six.last().page, 1);
    QCOMPARE(six.last().button, QPoint(600, 0));
    QVERIFY(six.last().fullPage);
    QVERIFY(tilePlaces(0).isEmpty());
}

void TestChoiceLogic::arrowsFollowThePagesOnBothSides()
{
    // One page: no arrow at all.
    QVERIFY(!arrowsFor(0, 1).left && !arrowsFor(0, 1).right);
    QVERIFY(!arrowsFor(0, 0).left && !arrowsFor(0, 0).right);
    // Three pages: the middle page offers both ways.
    QVERIFY(!arrowsFor(0, 3).left && arrowsFor(0, 3).right);
    QVERIFY(arrowsFor(1, 3).left && arrowsFor(1, 3).right);
    QVERIFY(arrowsFor(2, 3).left && !arrowsFor(2, 3).right);
}

void TestChoiceLogic::rateBadgeOrderDependsOnThePage()
{
    ReceiverPidLists pids = kPids;
    pids.w4k << "0x4111";
    pids.w8k << "0x4121";
    QCOMPARE(rateBadgeImage("0x4111", pids, true), QString("4KHz.png"));
    QCOMPARE(rateBadgeImage("0x4111", pids, false), QString("4KHz.png"));
    pids.w8k << "0x4211";
    QCOMPARE(rateBadgeImage("0x4211", pids, true), QString("1KHz.png"));
    QCOMPARE(rateBadgeImage("0x4211", pids, false), QString("8KHz.png"));
    QCOMPARE(rateBadgeImage("0x4121", pids, false), QString("2KHz.png"));
    QCOMPARE(rateBadgeImage("0x4101", pids, true), QString());
}

void TestChoiceLogic::versionOutcomes()
{
    QCOMPARE(versionOutcome(true, false), VersionOutcome::GoOn);
    QCOMPARE(versionOutcome(false, true), VersionOutcome::MouseOnlyNotice);
    QCOMPARE(versionOutcome(true, true), VersionOutcome::AskToPair);
    QCOMPARE(versionOutcome(false, false), VersionOutcome::AskToPair);
}

void TestChoiceLogic::twoDeviceCaseAsksTileZeroFirst()
{
    DeviceAllInfo a = device("a", "0x4141", 0);
    DeviceAllInfo b = device("b", "0x4241", 0);
    a.Cid = b.Cid = 33;
    a.Mid = b.Mid = 1;
    const QList<DeviceAllInfo> two{a, b};
    QList<int> asked;
    auto answers = [&asked](bool first, bool second) {
        return [&asked, first, second](int i) { asked << i; return i == 0 ? first : second; };
    };
    QVERIFY(isTwoDeviceCase(two, 0, answers(false, true)));
    QCOMPARE(asked, (QList<int>{0, 1}));
    asked.clear();
    QVERIFY(isTwoDeviceCase(two, 1, answers(true, false)));
    asked.clear();
    // The clicked one answers: no case, and tile 1 is never asked.
    QVERIFY(!isTwoDeviceCase(two, 0, answers(true, false)));
    QCOMPARE(asked, (QList<int>{0}));
    QVERIFY(!isTwoDeviceCase(two, 0, answers(false, false)));
    QVERIFY(!isTwoDeviceCase(two, 1, answers(true, true)));
    asked.clear();
    QVERIFY(!isTwoDeviceCase(two, 2, answers(false, true)));
    QVERIFY(asked.isEmpty());
    b.Mid = 2;
    QVERIFY(!isTwoDeviceCase({a, b}, 0, answers(false, true)));
    QVERIFY(!isTwoDeviceCase({a, b, a}, 0, answers(false, true)));
}

void TestChoiceLogic::indexOfPathFindsTheSameDevice()
{
    const QList<DeviceAllInfo> list{device("a", "1", 0), device("b", "1", 0)};
    QCOMPARE(indexOfPath(list, "b"), 1);
    QCOMPARE(indexOfPath(list, "c"), -1);
    QCOMPARE(indexOfPath({}, "a"), -1);
}

void TestChoiceLogic::usbVersionTextFromAttributes()
{
    unsigned char attribute[12] = {};
    QCOMPARE(usbVersionTextOf(attribute), QString("v0.0"));
    attribute[8] = 0x03;
    attribute[9] = 0x01;
    QCOMPARE(usbVersionTextOf(attribute), QString("v1.3"));
    attribute[8] = 0x1a;
    attribute[9] = 0x02;
    QCOMPARE(usbVersionTextOf(attribute), QString("v2.1a"));
}

QTEST_GUILESS_MAIN(TestChoiceLogic)
#include "tst_choice_logic.moc"

// The edits of the macro page's event list, without widgets. Lists are
// written as tokens: a letter is a key row of that name, "<n>ms" a delay row,
// and "*" marks the selected row.
#include "macro/MacroEventList.h"

#include <QtTest>

using core::MacroRow;

namespace {

macro::MacroEventList parse(const QString& text)
{
    macro::MacroEventList list;
    for (QString token : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (token.endsWith(QLatin1Char('*'))) {
            token.chop(1);
            list.current = list.rows.size();
        }
        if (token.endsWith(QLatin1String("ms")))
            list.rows.append(core::makeDelayRow(token.chopped(2).toUInt()));
        else
            list.rows.append(*core::makeKeyRow(token, false));
    }
    return list;
}

QString print(const macro::MacroEventList& list)
{
    QStringList tokens;
    for (int i = 0; i < list.rows.size(); ++i)
        tokens << list.rows.at(i).text + (i == list.current ? QStringLiteral("*") : QString());
    return tokens.join(QLatin1Char(' '));
}

} // namespace

class TestMacroEventList : public QObject
{
    Q_OBJECT

private slots:
    void editsKeepTheShape_data();
    void editsKeepTheShape();
};

void TestMacroEventList::editsKeepTheShape_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<bool>("changed");

    // N: the new key; P, R: press and release of a mouse button.
    QTest::newRow("key, first row") << "key" << "A* 1ms B" << "A* 1ms N 10ms B" << true;
    QTest::newRow("key, empty list") << "key" << "" << "N" << true;
    QTest::newRow("key, no selection") << "key" << "A 1ms B" << "A 1ms B 10ms N" << true;
    QTest::newRow("key, last row") << "key" << "A 1ms B*" << "A 1ms B* 10ms N" << true;
    QTest::newRow("key, delay in the middle") << "key" << "A 1ms* B 2ms C" << "A 1ms* N 10ms B 2ms C" << true;
    QTest::newRow("key, key in the middle") << "key" << "A 1ms B* 2ms C" << "A 1ms B* 2ms N 10ms C" << true;
    QTest::newRow("key, only row") << "key" << "A*" << "A* 10ms N" << true;

    QTest::newRow("click, first row") << "click" << "A* 1ms B" << "A* 1ms P 10ms R 10ms B" << true;
    QTest::newRow("click, empty list") << "click" << "" << "P 10ms R" << true;
    QTest::newRow("click, no selection") << "click" << "A 1ms B" << "A 1ms B 10ms P 10ms R" << true;
    QTest::newRow("click, last row") << "click" << "A 1ms B*" << "A 1ms B* 10ms P 10ms R" << true;
    QTest::newRow("click, delay in the middle")
        << "click" << "A 1ms* B 2ms C" << "A 1ms* P 10ms R 10ms B 2ms C" << true;
    QTest::newRow("click, key in the middle") << "click" << "A 1ms B* 2ms C" << "A 1ms B* 10ms P 10ms R 2ms C" << true;
    QTest::newRow("click, only row") << "click" << "A*" << "A* 10ms P 10ms R" << true;

    QTest::newRow("delay, first row") << "delay" << "A* 1ms B" << "A* 1ms B" << false;
    QTest::newRow("delay, no selection") << "delay" << "A 1ms B" << "A 1ms B" << false;
    QTest::newRow("delay, on a delay") << "delay" << "A 1ms* B" << "A 99ms* B" << true;
    QTest::newRow("delay, on a key after a delay") << "delay" << "A 1ms B*" << "A 99ms* B" << true;
    QTest::newRow("delay, between two keys") << "delay" << "A B*" << "A 99ms* B" << true;

    QTest::newRow("delete, three rows unselected") << "delete" << "A 1ms B" << "" << true;
    QTest::newRow("delete, nothing selected") << "delete" << "A 1ms B 2ms C" << "A 1ms B 2ms C" << false;
    QTest::newRow("delete, first key") << "delete" << "A* 1ms B 2ms C" << "B* 2ms C" << true;
    QTest::newRow("delete, key in the middle") << "delete" << "A 1ms B* 2ms C" << "A 1ms C*" << true;
    QTest::newRow("delete, delay in the middle") << "delete" << "A 1ms B 2ms* C" << "A 1ms C*" << true;
    QTest::newRow("delete, last key") << "delete" << "A 1ms B 2ms C*" << "A 1ms B*" << true;
    QTest::newRow("delete, trailing delay") << "delete" << "A 1ms B 2ms*" << "A 1ms*" << true;
}

void TestMacroEventList::editsKeepTheShape()
{
    QFETCH(QString, edit);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(bool, changed);
    macro::MacroEventList list = parse(before);
    bool didChange = true;
    if (edit == QLatin1String("key"))
        macro::insertKey(list, *core::makeKeyRow(QStringLiteral("N"), false));
    else if (edit == QLatin1String("click"))
        macro::insertMouseClick(list, *core::makeKeyRow(QStringLiteral("P"), false),
                                *core::makeKeyRow(QStringLiteral("R"), true));
    else if (edit == QLatin1String("delay"))
        didChange = macro::insertDelay(list, 99);
    else
        didChange = macro::deleteSelected(list);
    QCOMPARE(print(list), after);
    QCOMPARE(didChange, changed);
}

QTEST_GUILESS_MAIN(TestMacroEventList)
#include "tst_macroeventlist.moc"

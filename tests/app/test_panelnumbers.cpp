// Number rules of the chart panel's boxes and lists.
#include "app/panelnumbers.h"
#include "common/colors.h"

#include <QTest>

#include <limits>

using namespace kv;

class TestPanelNumbers : public QObject {
    Q_OBJECT
private slots:
    void splits_data();
    void splits();
    void limits_data();
    void limits();
    void colours_data();
    void colours();
};

void TestPanelNumbers::splits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("splits");
    QTest::newRow("9") << "9" << 9;
    QTest::newRow("trailing text") << "15 lines" << 15;
    QTest::newRow("blanks inside") << " 1 2" << 12;
    QTest::newRow("half to even, down") << "2.5" << 2;
    QTest::newRow("half to even, up") << "3.5" << 4;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("negative passed on") << "-4" << -4;
    QTest::newRow("hexadecimal") << "&H10" << 16;
    QTest::newRow("limit") << "1000" << 1000;
    QTest::newRow("beyond the limit") << "1001" << 1000;
    QTest::newRow("beyond 32 bits") << "1e12" << 1000;
    QTest::newRow("far below") << "-1e12" << std::numeric_limits<qint32>::min();
}

void TestPanelNumbers::splits()
{
    QFETCH(QString, text);
    QFETCH(int, splits);
    QCOMPARE(GridSplitsFromText(text), splits);
}

void TestPanelNumbers::limits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("value");
    QTest::newRow("-50") << "-50" << -50.0f;
    QTest::newRow("100") << "100" << 100.0f;
    QTest::newRow("decimal") << "0.1" << 0.1f;
    QTest::newRow("comma is not a separator") << "1,5" << 1.0f;
    QTest::newRow("empty") << "" << 0.0f;
    QTest::newRow("beyond single") << "1e40" << std::numeric_limits<float>::max();
    QTest::newRow("beyond single, negative") << "-1e40" << -std::numeric_limits<float>::max();
}

void TestPanelNumbers::limits()
{
    QFETCH(QString, text);
    QFETCH(float, value);
    QCOMPARE(VerticalLimitFromText(text), value);
}

void TestPanelNumbers::colours_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("some");
    QTest::addColumn<int>("colour");
    QTest::newRow("green") << 0 << true << 0x00FF00;
    QTest::newRow("white") << 1 << true << 0xFFFFFF;
    QTest::newRow("red") << 2 << true << 0x0000FF;
    QTest::newRow("no selection") << -1 << false << 0;
    QTest::newRow("beyond the list") << 3 << false << 0;
}

void TestPanelNumbers::colours()
{
    QFETCH(int, index);
    QFETCH(bool, some);
    QFETCH(int, colour);
    const auto c = CurveColorOfIndex(index);
    QCOMPARE(c.has_value(), some);
    if (some)
        QCOMPARE(*c, colour);
}

QTEST_GUILESS_MAIN(TestPanelNumbers)
#include "test_panelnumbers.moc"

// The chart's data model without a window: samples as pixel rows, curve 1 as the
// clock, the fold-back of the moving grid and its time texts, the property rules,
// and sizes and counts that must not hang or fail.
#include "chart/chartmodel.h"

#include <QtTest>

#include <cfloat>
#include <climits>
#include <stdexcept>

namespace {

// A clock that counts its stamps: "t1", "t2", ...
struct CountingClock {
    int count = 0;
    ChartModel::TimeSource Source()
    {
        return [this](const QString&) { return QStringLiteral("t%1").arg(++count); };
    }
};

int FixedWidth(const QString& s) { return 6 * static_cast<int>(s.size()); }

} // namespace

class TestChartModel : public QObject {
    Q_OBJECT

private slots:
    void freshChartStoresRows();
    void offScaleRows_data();
    void offScaleRows();
    void curve2DoesNotMoveTheClock();
    void lastEmptyIndexStopsAtZero();
    void gridOffsetFollowsTheMode_data();
    void gridOffsetFollowsTheMode();
    void clearAllEmptiesTimesAndKeepsCurve1();
    void badIndexChangesNothing_data();
    void badIndexChangesNothing();
    void equalLimitsRefuseTheSample();
    void nonFiniteValuesRefused_data();
    void nonFiniteValuesRefused();
    void foldBackLeft();
    void foldBackRight();
    void foldBackRestartsAfterLastEntry();
    void raisedSplitsAfterClearDoNotFail();
    void splitClamps_data();
    void splitClamps();
    void verticalLimitRules();
    void curveCountClampsAndResets_data();
    void curveCountClampsAndResets();
    void lineTypeSetsSharedMarker();
    void curvePlanBothDirections_data();
    void curvePlanBothDirections();
    void valueTextsFromTheTop();
    void timeTextsCentredOnGridLines();
    void oneTimeTextAfterRestart();
    void stillGridWritesNoTimes();
    void tinySurfacesDoNotFail_data();
    void tinySurfacesDoNotFail();
    void hugeSplitsStayBounded();
    void releasedModelStaysSafe();
};

void TestChartModel::freshChartStoresRows()
{
    ChartModel m;
    m.SetTimeSource([](const QString& pattern) { return pattern == "hh:mm:ss" ? QStringLiteral("12:00:00") : QString(); });
    m.ClearAll(300, 150);
    QCOMPARE(m.PointCount(), 300);
    QCOMPARE(m.PlotHeight(), 150);
    QCOMPARE(m.LastEmptyIndex(), 299);

    m.AddValue(4.5f);
    QCOMPARE(m.CurveBuffers(1).Values.at(299), 75.0f);
    QCOMPARE(m.LastEmptyIndex(), 298);
    QCOMPARE(m.TimeLabels().at(0), QStringLiteral("12:00:00"));

    m.AddValue(9.0f);
    QCOMPARE(m.CurveBuffers(1).Values.at(298), 75.0f);
    QCOMPARE(m.CurveBuffers(1).Values.at(299), 0.0f);
    QCOMPARE(m.LastEmptyIndex(), 297);
}

void TestChartModel::offScaleRows_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<float>("row");
    // limits 0..9, height 150: row = 150 - v / 9 * 150
    QTest::newRow("above the maximum") << 20.0f << static_cast<float>(150.0 - 20.0 / 9.0 * 150.0);
    QTest::newRow("below the minimum") << -5.0f << static_cast<float>(150.0 + 5.0 / 9.0 * 150.0);
    QTest::newRow("the minimum") << 0.0f << 150.0f;
}

void TestChartModel::offScaleRows()
{
    QFETCH(float, value);
    QFETCH(float, row);
    ChartModel m;
    m.ClearAll(300, 150);
    m.AddValue(value);
    QCOMPARE(m.CurveBuffers(1).Values.back(), row);
}

void TestChartModel::curve2DoesNotMoveTheClock()
{
    ChartModel m;
    m.SetCurveCount(2);
    m.ClearAll(300, 150);
    QVERIFY(!m.CurveHasData(2));
    m.AddValue(3.0f, 2);
    QVERIFY(m.CurveHasData(2));
    QCOMPARE(m.GridOffset(), 0);
    QCOMPARE(m.LastEmptyIndex(), 299);
    QVERIFY(m.TimeLabels().at(0).isEmpty());
    QCOMPARE(m.CurveBuffers(2).Values.back(), 100.0f);
    QCOMPARE(m.CurveBuffers(1).Values.back(), 0.0f);
}

void TestChartModel::lastEmptyIndexStopsAtZero()
{
    ChartModel m;
    m.ClearAll(50, 20);
    for (int i = 0; i < 49; ++i)
        m.AddValue(static_cast<float>(i % 9));
    QCOMPARE(m.LastEmptyIndex(), 0);
    m.AddValue(1.0f);
    m.AddValue(2.0f);
    QCOMPARE(m.LastEmptyIndex(), 0);
}

void TestChartModel::gridOffsetFollowsTheMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("offset");
    QTest::newRow("moving left") << 2 << -7;
    QTest::newRow("moving right") << 1 << 7;
    QTest::newRow("still") << 0 << 0;
    QTest::newRow("any other value is still") << 5 << 0;
}

void TestChartModel::gridOffsetFollowsTheMode()
{
    QFETCH(int, mode);
    QFETCH(int, offset);
    ChartModel m;
    m.SetMovingGrid(mode);
    m.ClearAll(300, 150);
    for (int i = 0; i < 7; ++i)
        m.AddValue(1.0f);
    QCOMPARE(m.GridOffset(), offset);
}

void TestChartModel::clearAllEmptiesTimesAndKeepsCurve1()
{
    ChartModel m;
    m.SetCurveCount(3);
    m.ClearAll(300, 150);
    m.AddValue(1.0f);
    m.AddValue(1.0f, 2);
    m.FoldBack();
    m.ClearAll(300, 150);
    QCOMPARE(m.TimeLabels().size(), 10);  // HorizontalSplits + 1
    for (const QString& s : m.TimeLabels())
        QVERIFY(s.isEmpty());
    QCOMPARE(m.TimeLabelIndex(), 0);
    QCOMPARE(m.GridOffset(), 0);
    QVERIFY(m.CurveHasData(1));
    QVERIFY(!m.CurveHasData(2));
    QVERIFY(m.LegendVisible(1));
    QVERIFY(!m.LegendVisible(2));
    QCOMPARE(m.CurveBuffers(2).Values.back(), 0.0f);
}

void TestChartModel::badIndexChangesNothing_data()
{
    QTest::addColumn<short>("index");
    QTest::newRow("zero") << short(0);
    QTest::newRow("above the count") << short(2);
    QTest::newRow("negative") << short(-1);
}

void TestChartModel::badIndexChangesNothing()
{
    QFETCH(short, index);
    ChartModel m;
    m.ClearAll(100, 50);
    m.AddValue(4.0f);
    const std::vector<float> before = m.CurveBuffers(1).Values;
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, m.AddValue(2.0f, index));
    QCOMPARE(m.CurveBuffers(1).Values, before);
    QCOMPARE(m.LastEmptyIndex(), 98);
    QCOMPARE(m.GridOffset(), -1);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, m.CurveLineColor(index));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, m.SetShowLegend(index, false));
}

void TestChartModel::equalLimitsRefuseTheSample()
{
    ChartModel m;
    m.SetCurveCount(2);
    m.ClearAll(100, 50);
    m.AddValue(3.0f);
    m.SetMinVertical(5.0f);
    m.SetMaxVertical(5.0f);  // the maximum's rule does not look at the minimum
    QCOMPARE(m.MaxVertical(), m.MinVertical());
    const std::vector<float> before = m.CurveBuffers(1).Values;
    QVERIFY_THROWS_EXCEPTION(std::domain_error, m.AddValue(5.0f));
    QVERIFY_THROWS_EXCEPTION(std::domain_error, m.AddValue(5.0f, 2));
    QCOMPARE(m.CurveBuffers(1).Values, before);  // not shifted
    QVERIFY(!m.CurveHasData(2));
    QCOMPARE(m.LastEmptyIndex(), 98);
    m.SetMaxVertical(10.0f);
    m.AddValue(5.0f);
    QCOMPARE(m.CurveBuffers(1).Values.back(), 50.0f);
}

void TestChartModel::nonFiniteValuesRefused_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<float>("minimum");
    QTest::newRow("infinity") << std::numeric_limits<float>::infinity() << 0.0f;
    QTest::newRow("NaN") << std::numeric_limits<float>::quiet_NaN() << 0.0f;
    QTest::newRow("difference overflows") << FLT_MAX << -FLT_MAX;
}

void TestChartModel::nonFiniteValuesRefused()
{
    QFETCH(float, value);
    QFETCH(float, minimum);
    ChartModel m;
    m.SetMaxVertical(FLT_MAX);
    m.SetMinVertical(minimum);
    m.ClearAll(100, 50);
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, m.AddValue(value));
    QCOMPARE(m.LastEmptyIndex(), 99);
    QVERIFY(m.TimeLabels().at(0).isEmpty());
}

void TestChartModel::foldBackLeft()
{
    CountingClock clock;
    ChartModel m;
    m.SetTimeSource(clock.Source());
    m.SetHorizontalSplits(10);
    m.ClearAll(301, 151);
    QCOMPARE(m.CellWidth(), 30.0);
    for (int i = 0; i < 29; ++i)
        m.AddValue(1.0f);
    m.FoldBack();
    QCOMPARE(m.GridOffset(), -29);  // not yet a whole cell
    QCOMPARE(m.TimeLabelIndex(), 0);
    m.AddValue(1.0f);
    QCOMPARE(m.GridOffset(), -30);
    m.FoldBack();
    QCOMPARE(m.GridOffset(), 0);
    QCOMPARE(m.TimeLabelIndex(), 1);
    QCOMPARE(m.TimeLabels().at(0), QStringLiteral("t1"));
    QCOMPARE(m.TimeLabels().at(1), QStringLiteral("t2"));
}

void TestChartModel::foldBackRight()
{
    ChartModel m;
    m.SetMovingGrid(1);
    m.SetHorizontalSplits(10);
    m.ClearAll(301, 151);
    for (int i = 0; i < 45; ++i)  // a late call: more than one cell
        m.AddValue(1.0f);
    QCOMPARE(m.GridOffset(), 45);
    m.FoldBack();
    QCOMPARE(m.GridOffset(), 0);
    QCOMPARE(m.TimeLabelIndex(), 1);
    QVERIFY(!m.TimeLabels().at(1).isEmpty());
}

void TestChartModel::foldBackRestartsAfterLastEntry()
{
    CountingClock clock;
    ChartModel m;
    m.SetTimeSource(clock.Source());
    m.ClearAll(301, 151);  // HorizontalSplits 9: cell 33.3, Int 33
    m.AddValue(1.0f);      // t1 into entry 0
    for (int fold = 1; fold <= 7; ++fold) {
        while (m.GridOffset() > -33)
            m.AddValue(1.0f);
        m.FoldBack();
        QCOMPARE(m.TimeLabelIndex(), fold);
    }
    while (m.GridOffset() > -33)
        m.AddValue(1.0f);
    m.FoldBack();  // the eighth: index 8 >= 8 starts again at 0 with a fresh stamp
    QCOMPARE(m.TimeLabelIndex(), 0);
    QCOMPARE(m.TimeLabels().at(0), QStringLiteral("t10"));
    QCOMPARE(m.TimeLabels().at(8), QStringLiteral("t9"));
}

void TestChartModel::raisedSplitsAfterClearDoNotFail()
{
    ChartModel m;
    m.SetHorizontalSplits(2);
    m.ClearAll(301, 151);
    QCOMPARE(m.TimeLabels().size(), 3);
    m.SetHorizontalSplits(40);  // the chart is not cleared
    QCOMPARE(m.TimeLabels().size(), 41);
    ChartDrawPlan plan;
    for (int call = 0; call < 60; ++call) {
        for (int i = 0; i < 8; ++i)
            m.AddValue(1.0f);
        m.PlanDrawing(plan, 12, FixedWidth);
        QVERIFY(m.TimeLabelIndex() >= 0);
        QVERIFY(m.TimeLabelIndex() <= 38);
    }
    m.SetHorizontalSplits(3);  // lowered: the index folds back to 0 on the next call
    m.PlanDrawing(plan, 12, FixedWidth);
    QVERIFY(m.TimeLabelIndex() <= 1);
}

void TestChartModel::splitClamps_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("zero") << 0 << 1;
    QTest::newRow("negative") << -3 << 1;
    QTest::newRow("one") << 1 << 1;
    QTest::newRow("fifteen") << 15 << 15;
}

void TestChartModel::splitClamps()
{
    QFETCH(int, value);
    QFETCH(int, expected);
    ChartModel m;
    m.SetHorizontalSplits(value);
    m.SetVerticalSplits(value);
    QCOMPARE(m.HorizontalSplits(), expected);
    QCOMPARE(m.VerticalSplits(), expected);
}

void TestChartModel::verticalLimitRules()
{
    ChartModel m;
    m.SetMaxVertical(0.0f);
    QCOMPARE(m.MaxVertical(), 1.0f);
    m.SetMaxVertical(-5.0f);
    QCOMPARE(m.MaxVertical(), 1.0f);
    m.SetMaxVertical(0.5f);
    QCOMPARE(m.MaxVertical(), 0.5f);

    m.SetMaxVertical(100.0f);
    m.SetMinVertical(100.0f);
    QCOMPARE(m.MinVertical(), 99.0f);
    m.SetMinVertical(150.0f);
    QCOMPARE(m.MinVertical(), 99.0f);
    m.SetMinVertical(-50.0f);
    QCOMPARE(m.MinVertical(), -50.0f);
    m.SetMaxVertical(10.0f);
    QCOMPARE(m.MinVertical(), -50.0f);
    m.SetMaxVertical(100.0f);
    m.SetMinVertical(50.0f);
    m.SetMaxVertical(10.0f);  // leaves a larger minimum untouched
    QCOMPARE(m.MinVertical(), 50.0f);
}

void TestChartModel::curveCountClampsAndResets_data()
{
    QTest::addColumn<short>("value");
    QTest::addColumn<short>("expected");
    QTest::newRow("zero") << short(0) << short(1);
    QTest::newRow("negative") << short(-4) << short(1);
    QTest::newRow("three") << short(3) << short(3);
    QTest::newRow("eleven") << short(11) << short(10);
    QTest::newRow("32767") << short(32767) << short(10);
}

void TestChartModel::curveCountClampsAndResets()
{
    QFETCH(short, value);
    QFETCH(short, expected);
    ChartModel m;
    m.ClearAll(120, 40);
    m.SetCurveCount(3);
    m.SetCurveLineColor(2, 0x0000FF);
    m.SetCurveLineType(3, 1);
    m.SetShowLegend(1, false);
    m.SetLegendPinned(2, true);
    m.AddValue(1.0f, 3);
    QCOMPARE(m.SetCurveCount(value), expected);
    QCOMPARE(m.CurveCount(), expected);
    for (short i = 1; i <= expected; ++i) {
        QCOMPARE(m.CurveLineColor(i), 0x00FF00);
        QCOMPARE(m.CurveLineType(i), 0);
        QVERIFY(m.ShowLegendSwitch(i));
        QVERIFY(!m.LegendPinned(i));
        QCOMPARE(m.CurveHasData(i), i == 1);
        QCOMPARE(m.CurveBuffers(i).Values.size(), std::size_t(120));
    }
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, m.CurveLineColor(static_cast<short>(expected + 1)));
}

void TestChartModel::lineTypeSetsSharedMarker()
{
    ChartModel m;
    QVERIFY(m.LegendMarker().isEmpty());
    m.SetCurveCount(2);
    m.SetCurveLineType(2, 7);
    QCOMPARE(m.LegendMarker(), QStringLiteral("\u2026 "));
    m.SetCurveLineType(1, 0);
    QCOMPARE(m.LegendMarker(), QStringLiteral("\u2014 "));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, m.SetCurveLineType(3, 1));
    QCOMPARE(m.LegendMarker(), QStringLiteral("\u2014 "));
}

void TestChartModel::curvePlanBothDirections_data()
{
    QTest::addColumn<int>("movingGrid");
    QTest::addColumn<int>("movingCurve");
    QTest::addColumn<bool>("left");
    QTest::newRow("grid left") << 2 << 1 << true;
    QTest::newRow("grid right") << 1 << 0 << false;
    QTest::newRow("still, curve 0") << 0 << 0 << true;
    QTest::newRow("still, curve 2") << 0 << 2 << true;
    QTest::newRow("still, curve 1") << 0 << 1 << false;
    QTest::newRow("still, curve 9") << 7 << 9 << false;
}

void TestChartModel::curvePlanBothDirections()
{
    QFETCH(int, movingGrid);
    QFETCH(int, movingCurve);
    QFETCH(bool, left);
    ChartModel m;
    m.SetMovingGrid(movingGrid);
    m.SetMovingCurve(movingCurve);
    m.SetMaxVertical(151.0f);
    m.ClearAll(301, 151);
    QCOMPARE(m.CurvesMoveLeft(), left);
    ChartDrawPlan plan;
    m.AddValue(76.0f);  // row 75
    m.PlanDrawing(plan, 12, FixedWidth);
    QVERIFY(plan.Curves.at(0).Drawn);
    QVERIFY(plan.Curves.at(0).Lines.empty());  // one sample draws nothing yet
    m.AddValue(86.0f);  // row 65
    m.PlanDrawing(plan, 12, FixedWidth);
    QCOMPARE(plan.Curves.at(0).Lines.size(), std::size_t(1));
    QCOMPARE(plan.Curves.at(0).Lines.at(0), left ? QLine(299, 75, 300, 65) : QLine(1, 75, 0, 65));

    m.SetCurveLineType(1, 3);
    m.PlanDrawing(plan, 12, FixedWidth);
    QVERIFY(plan.Curves.at(0).Lines.empty());
    QCOMPARE(plan.Curves.at(0).Points.size(), std::size_t(1));
    QCOMPARE(plan.Curves.at(0).Points.at(0), left ? QPoint(300, 65) : QPoint(0, 65));
}

void TestChartModel::valueTextsFromTheTop()
{
    ChartModel m;
    m.SetMovingGrid(0);
    m.ClearAll(301, 151);
    ChartDrawPlan plan;
    m.PlanDrawing(plan, 12, FixedWidth);
    const QStringList expected = {"9.0", "8.0", "7.0", "6.0", "5.0", "4.0", "3.0", "2.0", "1.0", " 0"};
    QCOMPARE(plan.Texts.size(), std::size_t(expected.size()));
    for (int u = 0; u < expected.size(); ++u) {
        QCOMPARE(plan.Texts[u].Value, expected[u]);
        QCOMPARE(plan.Texts[u].TopLeft.x(), 3);
    }
    QCOMPARE(plan.Texts[0].TopLeft.y(), 0);
    QCOMPARE(plan.Texts[1].TopLeft.y(), 10);  // Int(151 / 9 - 6) = Int(10.78)
    QCOMPARE(plan.Texts[9].TopLeft.y(), 151 - 12);

    m.SetMaxVertical(100.0f);
    m.SetMinVertical(-50.0f);
    m.SetVerticalSplits(4);
    m.PlanDrawing(plan, 12, FixedWidth);
    QCOMPARE(plan.Texts.front().Value, QStringLiteral("100.0"));
    QCOMPARE(plan.Texts[1].Value, QStringLiteral("62.5"));
    QCOMPARE(plan.Texts[2].Value, QStringLiteral("25.0"));
    QCOMPARE(plan.Texts[3].Value, QStringLiteral("-12.5"));
    QCOMPARE(plan.Texts.back().Value, QStringLiteral("-50"));

    // Every inner text, also six to a pixel row (the most divisions the window offers).
    m.SetVerticalSplits(1000);
    m.PlanDrawing(plan, 12, FixedWidth);
    QCOMPARE(plan.Texts.size(), std::size_t(1 + 999 + 1));
    QCOMPARE(plan.Texts[500].Value, QStringLiteral("25.0"));

    m.SetShowAxesText(false);
    m.PlanDrawing(plan, 12, FixedWidth);
    QVERIFY(plan.Texts.empty());
}

void TestChartModel::timeTextsCentredOnGridLines()
{
    ChartModel m;
    m.SetTimeSource([](const QString&) { return QStringLiteral("12:34:56"); });  // 48 px wide here
    m.SetHorizontalSplits(10);
    m.ClearAll(301, 151);
    for (int i = 0; i < 30; ++i)
        m.AddValue(1.0f);
    ChartDrawPlan plan;
    m.PlanDrawing(plan, 12, FixedWidth);
    QCOMPARE(m.TimeLabelIndex(), 1);
    QCOMPARE(m.GridOffset(), 0);
    // After the value texts: the newest at the right edge, the older one a cell to the left.
    const auto& t = plan.Texts;
    QCOMPARE(t.size(), std::size_t(10 + 2));
    QCOMPARE(t[10].TopLeft, QPoint(301 - 24, 151 - 12));
    QCOMPARE(t[11].TopLeft, QPoint(301 - 30 - 24, 151 - 12));

    ChartModel r;
    r.SetTimeSource([](const QString&) { return QStringLiteral("12:34:56"); });
    r.SetMovingGrid(1);
    r.SetHorizontalSplits(10);
    r.ClearAll(301, 151);
    for (int i = 0; i < 35; ++i)
        r.AddValue(1.0f);
    r.PlanDrawing(plan, 12, FixedWidth);  // folds back (offset 35 >= 30) to 0
    QCOMPARE(plan.Texts[10].TopLeft, QPoint(-24, 151 - 12));
    QCOMPARE(plan.Texts[11].TopLeft, QPoint(30 - 24, 151 - 12));
    for (int i = 0; i < 5; ++i)
        r.AddValue(1.0f);
    r.PlanDrawing(plan, 12, FixedWidth);
    QCOMPARE(plan.Texts[10].TopLeft, QPoint(5 - 24, 151 - 12));
}

void TestChartModel::oneTimeTextAfterRestart()
{
    ChartModel m;
    m.SetTimeSource([](const QString&) { return QStringLiteral("x"); });
    m.ClearAll(301, 151);
    ChartDrawPlan plan;
    for (int fold = 0; fold < 8; ++fold) {
        while (m.GridOffset() > -33)
            m.AddValue(1.0f);
        m.PlanDrawing(plan, 12, FixedWidth);
    }
    QCOMPARE(m.TimeLabelIndex(), 0);
    QCOMPARE(plan.Texts.size(), std::size_t(10 + 1));
}

void TestChartModel::stillGridWritesNoTimes()
{
    ChartModel m;
    m.SetMovingGrid(0);
    m.SetMovingCurve(1);
    m.ClearAll(301, 151);
    for (int i = 0; i < 100; ++i)
        m.AddValue(1.0f);
    ChartDrawPlan plan;
    m.PlanDrawing(plan, 12, FixedWidth);
    QCOMPARE(m.GridOffset(), 0);
    QCOMPARE(plan.Texts.size(), std::size_t(10));  // value texts only
    QCOMPARE(plan.Curves.at(0).Lines.front(), QLine(99, 134, 98, 134));  // row 151 - 151 / 9
}

void TestChartModel::tinySurfacesDoNotFail_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("nothing") << 0 << 0;
    QTest::newRow("one pixel") << 1 << 1;
    QTest::newRow("two by one") << 2 << 1;
    QTest::newRow("flat") << 100 << 0;
}

void TestChartModel::tinySurfacesDoNotFail()
{
    QFETCH(int, width);
    QFETCH(int, height);
    for (int mode = 0; mode <= 2; ++mode) {
        ChartModel m;
        m.SetMovingGrid(mode);
        m.ClearAll(width, height);
        QVERIFY(m.LastEmptyIndex() >= 0);
        ChartDrawPlan plan;
        for (int i = 0; i < 5; ++i) {
            m.AddValue(3.0f);
            m.PlanDrawing(plan, 12, FixedWidth);
        }
        QCOMPARE(m.CurveBuffers(1).Values.size(), std::size_t(width));
        QVERIFY(plan.HorizontalLines.size() <= 2);
        QVERIFY(plan.VerticalLines.size() <= std::size_t(width) + 2);
    }
}

void TestChartModel::hugeSplitsStayBounded()
{
    ChartModel m;
    m.SetHorizontalSplits(INT_MAX);
    m.SetVerticalSplits(INT_MAX);
    m.ClearAll(480, 170);
    QVERIFY(m.TimeLabels().size() <= 1025);
    ChartDrawPlan plan;
    for (int i = 0; i < 3; ++i) {
        m.AddValue(2.0f);
        m.PlanDrawing(plan, 12, FixedWidth);
    }
    // Denser than two lines a pixel draws every pixel row and column once or twice.
    QVERIFY(plan.HorizontalLines.size() <= 2 * 170 + 2);
    QVERIFY(plan.VerticalLines.size() <= 2 * 480 + 2);
    QVERIFY(plan.Texts.size() <= 4096 + 2 + 1025);

    m.SetHorizontalSplits(5000);
    m.SetVerticalSplits(5000);
    m.PlanDrawing(plan, 12, FixedWidth);
    QVERIFY(plan.HorizontalLines.size() >= 169);  // still a line on every row
}

void TestChartModel::releasedModelStaysSafe()
{
    ChartModel m;
    m.ClearAll(100, 40);
    m.AddValue(1.0f);
    m.Release();
    QVERIFY(m.CurveBuffers(1).Values.empty());
    QVERIFY(m.TimeLabels().isEmpty());
    m.AddValue(2.0f);
    ChartDrawPlan plan;
    m.PlanDrawing(plan, 12, FixedWidth);
    QVERIFY(plan.Curves.at(0).Lines.empty());
}

QTEST_GUILESS_MAIN(TestChartModel)
#include "test_chartmodel.moc"

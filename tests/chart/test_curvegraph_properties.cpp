// The chart's properties through the widget: clamps, side effects and change
// notifications, colour helpers, and the stored property set (round trip, empty
// set, defaults, order, reading through the setters).
#include "chart/curvegraph.h"

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

#include <functional>

Q_DECLARE_METATYPE(std::function<void(CurveGraph&)>)

namespace {

using Setter = std::function<void(CurveGraph&)>;

std::unique_ptr<CurveGraph> MakeChart()
{
    auto chart = std::make_unique<CurveGraph>();
    chart->resize(303, 153);
    chart->show();
    return chart;
}

QLabel* LegendLabel(CurveGraph& chart, int i)
{
    return chart.findChild<QLabel*>(QStringLiteral("lblLegend%1").arg(i));
}

QFont TestFont(const QString& family, int points)
{
    QFont f(family);
    f.setPointSize(points);
    return f;
}

// Every property against the table of values after creation; fonts as given.
void CompareWithTheTable(const CurveGraph& chart, const QFont& font)
{
    QVERIFY(chart.AutoRedraw());
    QCOMPARE(chart.BackColor(), 0);
    QCOMPARE(chart.BorderStyle(), 0);
    QVERIFY(chart.ShowGrid());
    QCOMPARE(chart.MovingGrid(), 2);
    QCOMPARE(chart.MovingCurve(), 2);
    QCOMPARE(chart.HorizontalSplits(), 9);
    QCOMPARE(chart.VerticalSplits(), 9);
    QCOMPARE(chart.MaxVertical(), 9.0f);
    QCOMPARE(chart.MinVertical(), 0.0f);
    QCOMPARE(chart.HorizontalGridColor(), 0x008200);
    QCOMPARE(chart.VerticalGridColor(), 0x008200);
    QCOMPARE(chart.CurveLineColor(), 0x00FF00);
    QCOMPARE(chart.CurveLineType(), 0);
    QCOMPARE(chart.AxesTextColor(), 0xFFFFFF);
    QVERIFY(chart.ShowAxesText());
    QCOMPARE(chart.xBarNowTimeFormat(), QStringLiteral("hh:mm:ss"));
    QCOMPARE(chart.AxesFont(), font);
    QCOMPARE(chart.CurveCount(), short(1));
    QVERIFY(chart.ShowLegend(1));
    QCOMPARE(chart.LegendFont(1), font);
}

} // namespace

class TestCurveGraphProperties : public QObject {
    Q_OBJECT

private slots:
    void valuesAfterCreation();
    void notifications_data();
    void notifications();
    void failingSettersDoNotNotify();
    void movingModesClearTheChart();
    void horizontalSplitsDoNotClear();
    void curveCountResetsCurves();
    void showLegendReadsTheAnd();
    void lineTypeRenewsTheCaption();
    void fixLegendUsesMarkerAndColour();
    void colourHelpers_data();
    void colourHelpers();
    void splitRgbOfNegativeValues();
    void equalLimitsReachedThroughProperties();
    void emptyStoreGivesTheDefaults();
    void defaultsStoreOnlyTheFonts();
    void writeOrder();
    void roundTrip();
    void readingGoesThroughTheSetters();
    void readingStopsAtABadKey();
    void descriptions();
};

void TestCurveGraphProperties::valuesAfterCreation()
{
    auto chart = MakeChart();
    CompareWithTheTable(*chart, QApplication::font());
    if (QTest::currentTestFailed())
        return;
    QVERIFY(chart->LegendMarker().isEmpty());
    QCOMPARE(LegendLabel(*chart, 1)->text(), QStringLiteral("\u2014 1"));
    QVERIFY(!LegendLabel(*chart, 2));
    QCOMPARE(chart->LastEmptyIndex(), chart->PointCount() - 1);
}

void TestCurveGraphProperties::notifications_data()
{
    QTest::addColumn<Setter>("set");
    QTest::addColumn<QString>("name");
    QTest::newRow("AutoRedraw") << Setter([](CurveGraph& c) { c.setAutoRedraw(false); }) << "AutoRedraw";
    QTest::newRow("BackColor") << Setter([](CurveGraph& c) { c.setBackColor(0x102030); }) << "BackColor";
    QTest::newRow("BorderStyle") << Setter([](CurveGraph& c) { c.setBorderStyle(1); }) << "BorderStyle";
    QTest::newRow("ShowGrid") << Setter([](CurveGraph& c) { c.setShowGrid(false); }) << "ShowGrid";
    QTest::newRow("MovingGrid") << Setter([](CurveGraph& c) { c.setMovingGrid(1); }) << "MovingGrid";
    QTest::newRow("MovingCurve") << Setter([](CurveGraph& c) { c.setMovingCurve(1); }) << "MovingCurve";
    QTest::newRow("HorizontalSplits") << Setter([](CurveGraph& c) { c.setHorizontalSplits(4); }) << "HorizontalSplits";
    QTest::newRow("VerticalSplits") << Setter([](CurveGraph& c) { c.setVerticalSplits(4); }) << "VerticalSplits";
    QTest::newRow("MaxVertical") << Setter([](CurveGraph& c) { c.setMaxVertical(50); }) << "MaxVertical";
    QTest::newRow("MinVertical") << Setter([](CurveGraph& c) { c.setMinVertical(-5); }) << "MinVertical";
    QTest::newRow("HorizontalGridColor") << Setter([](CurveGraph& c) { c.setHorizontalGridColor(1); }) << "HorizontalGridColor";
    QTest::newRow("VerticalGridColor") << Setter([](CurveGraph& c) { c.setVerticalGridColor(1); }) << "VerticalGridColor";
    QTest::newRow("CurveLineColor") << Setter([](CurveGraph& c) { c.setCurveLineColor(1, 0xFF); }) << "CurveLineColor";
    QTest::newRow("CurveLineType") << Setter([](CurveGraph& c) { c.setCurveLineType(1, 1); }) << "CurveLineType";
    QTest::newRow("AxesTextColor") << Setter([](CurveGraph& c) { c.setAxesTextColor(0xFF); }) << "AxesTextColor";
    QTest::newRow("ShowAxesText") << Setter([](CurveGraph& c) { c.setShowAxesText(false); }) << "ShowAxesText";
    QTest::newRow("xBarNowTimeFormat") << Setter([](CurveGraph& c) { c.setxBarNowTimeFormat("mm:ss"); }) << "xBarNowTimeFormat";
    QTest::newRow("AxesFont") << Setter([](CurveGraph& c) { c.setAxesFont(QFont("Sans", 12)); }) << "AxesFont";
    QTest::newRow("CurveCount") << Setter([](CurveGraph& c) { c.setCurveCount(2); }) << "CurveCount";
    QTest::newRow("ShowLegend") << Setter([](CurveGraph& c) { c.setShowLegend(1, false); }) << "ShowLegend";
    QTest::newRow("LegendFont") << Setter([](CurveGraph& c) { c.setLegendFont(1, QFont("Sans", 12)); }) << "LegendFont";
}

void TestCurveGraphProperties::notifications()
{
    QFETCH(Setter, set);
    QFETCH(QString, name);
    auto chart = MakeChart();
    QSignalSpy spy(chart.get(), &CurveGraph::PropertyChanged);
    set(*chart);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toString(), name);
    QVERIFY(!CurveGraph::PropertyDescription(name).isEmpty());
}

void TestCurveGraphProperties::failingSettersDoNotNotify()
{
    auto chart = MakeChart();
    chart->setCurveCount(3);
    QSignalSpy spy(chart.get(), &CurveGraph::PropertyChanged);
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, chart->setShowLegend(4, true));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, chart->ShowLegend(4));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, chart->setCurveLineColor(0, 0xFF));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, chart->setCurveLineType(4, 1));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, chart->setLegendFont(4, QFont()));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, chart->FixLegend("x", 4));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, chart->AddValue(1.0f, 4));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, chart->setBorderStyle(70000));
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, chart->setBorderStyle(-32769));
    QCOMPARE(chart->BorderStyle(), 0);
    QVERIFY(chart->LegendMarker().isEmpty());
    QCOMPARE(spy.count(), 0);
    chart->setBorderStyle(-32768);
    QCOMPARE(chart->BorderStyle(), -32768);
}

void TestCurveGraphProperties::movingModesClearTheChart()
{
    auto chart = MakeChart();
    const int n = chart->PointCount();
    chart->AddValue(1.0f);
    chart->AddValue(2.0f);
    QCOMPARE(chart->LastEmptyIndex(), n - 3);
    chart->setMovingGrid(1);
    QCOMPARE(chart->LastEmptyIndex(), n - 1);
    QCOMPARE(chart->GridOffset(), 0);
    chart->AddValue(1.0f);
    chart->setMovingCurve(0);
    QCOMPARE(chart->LastEmptyIndex(), n - 1);
    QVERIFY(chart->TimeLabels().at(0).isEmpty());
}

void TestCurveGraphProperties::horizontalSplitsDoNotClear()
{
    auto chart = MakeChart();
    chart->AddValue(1.0f);
    chart->AddValue(2.0f);
    const qint32 last = chart->LastEmptyIndex();
    chart->setHorizontalSplits(30);
    chart->setVerticalSplits(30);
    QCOMPARE(chart->LastEmptyIndex(), last);
    QCOMPARE(chart->TimeLabels().size(), 31);  // room for the new count's time texts
    chart->setVerticalGridColor(0xC0C000);
    for (int i = 0; i < 200; ++i) {
        chart->AddValue(1.0f);
        chart->DrawGridCurve();
    }
    QVERIFY(chart->TimeLabelIndex() <= 28);
    // The new count of columns: N = 300, a cell of 299 / 30 = 9.97 pixels. Row 2
    // holds no horizontal line, and right of the value text nothing but the grid.
    QList<int> columns;
    for (int x = 40; x < 300; ++x)
        if (chart->Picture().pixelColor(x, 2) == QColor(0x00, 0xC0, 0xC0))
            columns.append(x);
    QVERIFY(columns.size() >= 25);
    for (int k = 1; k < columns.size(); ++k)
        QVERIFY2(columns[k] - columns[k - 1] == 9 || columns[k] - columns[k - 1] == 10, qPrintable(QString::number(columns[k])));
}

void TestCurveGraphProperties::curveCountResetsCurves()
{
    auto chart = MakeChart();
    chart->setCurveCount(3);
    chart->setCurveLineColor(2, 0x0000FF);
    chart->setCurveLineType(3, 1);
    chart->AddValue(1.0f, 2);
    chart->setCurveCount(3);
    for (short i = 1; i <= 3; ++i) {
        QCOMPARE(chart->CurveLineColor(i), 0x00FF00);
        QCOMPARE(chart->CurveLineType(i), 0);
    }
    QVERIFY(!chart->CurveHasData(2));
    // Legends: 1 reads "— 1", the others marker plus number (the marker is "… " now).
    QCOMPARE(LegendLabel(*chart, 1)->text(), QStringLiteral("\u2014 1"));
    QCOMPARE(LegendLabel(*chart, 2)->text(), QStringLiteral("\u2026 2"));
    QCOMPARE(LegendLabel(*chart, 3)->text(), QStringLiteral("\u2026 3"));
    QCOMPARE(LegendLabel(*chart, 2)->palette().color(QPalette::WindowText), QColor(0, 255, 0));

    // Lowering the count hides the labels of curves that are gone.
    chart->AddValue(1.0f, 3);
    QVERIFY(LegendLabel(*chart, 3)->isVisible());
    chart->setCurveCount(2);
    QVERIFY(LegendLabel(*chart, 3));
    QVERIFY(!LegendLabel(*chart, 3)->isVisible());
    QCOMPARE(LegendLabel(*chart, 3)->text(), QStringLiteral("\u2026 3"));
    chart->setLegendFont(3, TestFont("Sans", 15));  // labels above the count still take a font
    QCOMPARE(chart->LegendFont(3).pointSize(), 15);
}

void TestCurveGraphProperties::showLegendReadsTheAnd()
{
    auto chart = MakeChart();
    chart->setCurveCount(3);
    chart->setShowLegend(2, true);
    chart->ClearAll();
    QVERIFY(!chart->ShowLegend(2));
    QVERIFY(!LegendLabel(*chart, 2)->isVisible());
    chart->AddValue(4.0f, 2);
    QVERIFY(chart->ShowLegend(2));
    QVERIFY(LegendLabel(*chart, 2)->isVisible());
    chart->setShowLegend(2, false);
    QVERIFY(!chart->ShowLegend(2));
    QVERIFY(!LegendLabel(*chart, 2)->isVisible());
    QVERIFY(chart->ShowLegend(1));  // curve 1 counts as having data after a clear
}

void TestCurveGraphProperties::lineTypeRenewsTheCaption()
{
    auto chart = MakeChart();
    chart->setCurveCount(2);
    chart->setCurveLineType(2, 7);
    // Built while the marker was empty, legend 2 reads "2": too short to hold a marker.
    QCOMPARE(LegendLabel(*chart, 2)->text(), QStringLiteral("2"));
    chart->setCurveCount(2);  // rebuilt with the marker "… " now
    QCOMPARE(LegendLabel(*chart, 2)->text(), QStringLiteral("\u2026 2"));
    chart->setCurveLineType(2, 0);
    QCOMPARE(LegendLabel(*chart, 2)->text(), QStringLiteral("\u2014 2"));
    chart->setCurveLineType(2, 7);
    QCOMPARE(LegendLabel(*chart, 2)->text(), QStringLiteral("\u2026 2"));
    chart->FixLegend(QStringLiteral("频率"), 1);
    QCOMPARE(LegendLabel(*chart, 1)->text(), QStringLiteral("\u2026 频率"));
    chart->setCurveLineType(1, 0);
    QCOMPARE(LegendLabel(*chart, 1)->text(), QStringLiteral("\u2014 频率"));
    chart->FixLegend(QString(), 2);  // caption "— " of two characters: renewed to an empty name
    chart->setCurveLineType(2, 1);
    QCOMPARE(LegendLabel(*chart, 2)->text(), QStringLiteral("\u2026 "));
}

void TestCurveGraphProperties::fixLegendUsesMarkerAndColour()
{
    auto chart = MakeChart();
    chart->FixLegend(QStringLiteral("频率"));
    QCOMPARE(LegendLabel(*chart, 1)->text(), QStringLiteral("频率"));  // no marker yet
    chart->setCurveLineColor(1, 0x0000FF);
    chart->setCurveLineType(1, 0);
    chart->FixLegend(QStringLiteral("频率"), 1);
    QLabel* label = LegendLabel(*chart, 1);
    QCOMPARE(label->text(), QStringLiteral("\u2014 频率"));
    QCOMPARE(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    const LegendPoint tl = chart->LegendTopLeft(1);
    const LegendPoint br = chart->LegendBottomRight(1);
    QCOMPARE(QRectF(QPointF(tl.X, tl.Y), QPointF(br.X, br.Y)).toRect(), label->geometry());
}

void TestCurveGraphProperties::colourHelpers_data()
{
    QTest::addColumn<qint32>("colour");
    QTest::addColumn<qint32>("inverse");
    QTest::newRow("black") << 0 << 0xFFFFFF;
    QTest::newRow("green") << 0x00FF00 << 0xFF00FF;
    QTest::newRow("0x123456") << 0x123456 << 0xEDCBA9;
    QTest::newRow("0x102030") << 0x102030 << 0xEFDFCF;
    QTest::newRow("high bits ignored") << 0x01FFFFFF << 0;
}

void TestCurveGraphProperties::colourHelpers()
{
    QFETCH(qint32, colour);
    QFETCH(qint32, inverse);
    QCOMPARE(CurveGraph::InverseColor(colour), inverse);
    short r = 0, g = 0, b = 0;
    CurveGraph::SplitRgb(colour & 0xFFFFFF, r, g, b);
    QCOMPARE(r, short(colour & 0xFF));
    QCOMPARE(g, short((colour >> 8) & 0xFF));
    QCOMPARE(b, short((colour >> 16) & 0xFF));
}

void TestCurveGraphProperties::splitRgbOfNegativeValues()
{
    short r = 0, g = 0, b = 0;
    CurveGraph::SplitRgb(-1, r, g, b);  // remainders take the dividend's sign
    QCOMPARE(r, short(-1));
    QCOMPARE(g, short(0));
    QCOMPARE(b, short(0));
    CurveGraph::SplitRgb(static_cast<qint32>(0x8000000F), r, g, b);
    QCOMPARE(b, short(-32767));  // truncated towards zero
    // A system colour (button face) resolves to the palette's colour before inverting.
    const QColor face = QGuiApplication::palette().color(QPalette::Active, QPalette::Button);
    const qint32 faceBgr = (face.blue() << 16) | (face.green() << 8) | face.red();
    QCOMPARE(CurveGraph::InverseColor(static_cast<qint32>(0x8000000F)), 0xFFFFFF - faceBgr);
}

void TestCurveGraphProperties::equalLimitsReachedThroughProperties()
{
    auto chart = MakeChart();
    chart->setCurveCount(2);
    chart->AddValue(1.0f);
    chart->setMinVertical(5);
    chart->setMaxVertical(5);  // the maximum's rule does not compare with the minimum
    const qint32 last = chart->LastEmptyIndex();
    const std::vector<float> before = chart->CurveBuffers(1).Values;
    QVERIFY_THROWS_EXCEPTION(std::domain_error, chart->AddValue(5.0f));
    QVERIFY_THROWS_EXCEPTION(std::domain_error, chart->AddValue(5.0f, 2));
    QCOMPARE(chart->LastEmptyIndex(), last);
    QCOMPARE(chart->CurveBuffers(1).Values, before);
    QVERIFY(!chart->ShowLegend(2));  // the refused sample did not show legend 2
    chart->DrawGridCurve();  // still draws: the top grid line
    QCOMPARE(chart->Picture().pixelColor(0, 0), QColor(0x00, 0x82, 0x00));
}

void TestCurveGraphProperties::emptyStoreGivesTheDefaults()
{
    QWidget host;
    host.setFont(TestFont("Sans", 11));
    CurveGraph chart(&host);
    // Every property away from the table first.
    chart.setAutoRedraw(false);
    chart.setBackColor(0x123456);
    chart.setBorderStyle(1);
    chart.setShowGrid(false);
    chart.setMovingGrid(0);
    chart.setMovingCurve(1);
    chart.setHorizontalSplits(4);
    chart.setVerticalSplits(5);
    chart.setMaxVertical(50);
    chart.setMinVertical(-5);
    chart.setHorizontalGridColor(1);
    chart.setVerticalGridColor(2);
    chart.setCurveCount(2);
    chart.setCurveLineColor(1, 0xFF);
    chart.setCurveLineType(1, 1);
    chart.setAxesTextColor(0xFF);
    chart.setShowAxesText(false);
    chart.setxBarNowTimeFormat("mm:ss");
    chart.setAxesFont(TestFont("Serif", 17));
    chart.setShowLegend(1, false);
    chart.setLegendFont(1, TestFont("Serif", 20));
    PropertyBag empty;
    chart.ReadProperties(empty);
    CompareWithTheTable(chart, host.font());
    QCOMPARE(chart.LegendMarker(), QStringLiteral("\u2014 "));
}

void TestCurveGraphProperties::defaultsStoreOnlyTheFonts()
{
    auto chart = MakeChart();
    PropertyBag store;
    chart->WriteProperties(store);
    QCOMPARE(store.Names(), (QStringList{"legendfont", "axesfont"}));
}

void TestCurveGraphProperties::writeOrder()
{
    auto chart = MakeChart();
    chart->setAutoRedraw(false);
    chart->setBorderStyle(1);
    chart->setMaxVertical(100);
    chart->setCurveCount(2);
    chart->setCurveLineColor(1, 0xFF);
    chart->setCurveLineColor(2, 0xFF);
    chart->setShowLegend(2, false);
    chart->setShowAxesText(false);
    PropertyBag store;
    chart->WriteProperties(store);
    QCOMPARE(store.Names(), (QStringList{"autoredraw", "borderstyle", "maxvertical", "curvelinecolor",
                                         "legendfont", "curvelinecolor2", "legendfont2", "showlegend2",
                                         "showaxestext", "curvecount", "axesfont"}));
    QCOMPARE(store.ReadProperty("BorderStyle").metaType(), QMetaType::fromType<short>());
    QCOMPARE(store.ReadProperty("CurveCount").metaType(), QMetaType::fromType<short>());
    QCOMPARE(store.ReadProperty("MaxVertical").metaType(), QMetaType::fromType<float>());
}

void TestCurveGraphProperties::roundTrip()
{
    auto chart = MakeChart();
    chart->setBackColor(0x102030);
    chart->setBorderStyle(1);
    chart->setShowGrid(false);
    chart->setMovingGrid(1);
    chart->setMovingCurve(0);
    chart->setHorizontalSplits(12);
    chart->setVerticalSplits(15);
    chart->setMaxVertical(100);
    chart->setMinVertical(-50);
    chart->setHorizontalGridColor(0x010203);
    chart->setVerticalGridColor(0x040506);
    chart->setCurveCount(3);
    chart->setCurveLineColor(2, 0xFFFFFF);
    chart->setCurveLineColor(3, 0x0000FF);
    chart->setCurveLineType(3, 1);
    chart->setShowLegend(2, false);
    chart->setLegendFont(2, TestFont("Serif", 14));
    chart->setAxesTextColor(0x00FFFF);
    chart->setShowAxesText(false);
    chart->setxBarNowTimeFormat("mm:ss");
    chart->setAxesFont(TestFont("Sans", 13));

    PropertyBag store;
    chart->WriteProperties(store);
    const PropertyBag kept = PropertyBag::FromBytes(store.ToBytes());
    PropertyBag reread = kept;

    auto copy = MakeChart();
    copy->ReadProperties(reread);
    QCOMPARE(copy->BackColor(), 0x102030);
    QCOMPARE(copy->BorderStyle(), 1);
    QVERIFY(!copy->ShowGrid());
    QCOMPARE(copy->MovingGrid(), 1);
    QCOMPARE(copy->MovingCurve(), 0);
    QCOMPARE(copy->HorizontalSplits(), 12);
    QCOMPARE(copy->VerticalSplits(), 15);
    QCOMPARE(copy->MaxVertical(), 100.0f);
    QCOMPARE(copy->MinVertical(), -50.0f);
    QCOMPARE(copy->HorizontalGridColor(), 0x010203);
    QCOMPARE(copy->VerticalGridColor(), 0x040506);
    QCOMPARE(copy->CurveCount(), short(3));
    QCOMPARE(copy->CurveLineColor(1), 0x00FF00);
    QCOMPARE(copy->CurveLineColor(2), 0xFFFFFF);
    QCOMPARE(copy->CurveLineColor(3), 0x0000FF);
    QCOMPARE(copy->CurveLineType(3), 1);
    QCOMPARE(copy->LegendMarker(), QStringLiteral("\u2026 "));  // the last line type read, curve 3's
    QVERIFY(!copy->Model().ShowLegendSwitch(2));
    QVERIFY(copy->Model().ShowLegendSwitch(3));
    QCOMPARE(copy->LegendFont(2).family(), QStringLiteral("Serif"));
    QCOMPARE(copy->LegendFont(2).pointSize(), 14);
    QCOMPARE(copy->AxesTextColor(), 0x00FFFF);
    QVERIFY(!copy->ShowAxesText());
    QCOMPARE(copy->xBarNowTimeFormat(), QStringLiteral("mm:ss"));
    QCOMPARE(copy->AxesFont().pointSize(), 13);

    PropertyBag again;
    copy->WriteProperties(again);
    QCOMPARE(again.Names(), kept.Names());
    for (const QString& name : kept.Names())
        QCOMPARE(again.ReadProperty(name), kept.ReadProperty(name));
}

void TestCurveGraphProperties::readingGoesThroughTheSetters()
{
    auto chart = MakeChart();
    PropertyBag store;
    store.WriteProperty("MaxVertical", 10.0f);
    store.WriteProperty("MinVertical", 20.0f);
    store.WriteProperty("HorizontalSplits", -4);
    store.WriteProperty("CurveCount", QVariant::fromValue<short>(40));
    chart->AddValue(3.0f);
    QSignalSpy spy(chart.get(), &CurveGraph::PropertyChanged);
    chart->ReadProperties(store);
    QCOMPARE(chart->MinVertical(), 9.0f);
    QCOMPARE(chart->HorizontalSplits(), 1);
    QCOMPARE(chart->CurveCount(), short(10));
    QCOMPARE(chart->LastEmptyIndex(), chart->PointCount() - 1);  // MovingGrid cleared the chart
    QVERIFY(spy.count() >= 19);
    QStringList names;
    for (const auto& args : spy)
        names << args.at(0).toString();
    QVERIFY(!names.contains("AxesFont"));
    QVERIFY(!names.contains("LegendFont"));
    QCOMPARE(names.first(), QStringLiteral("AutoRedraw"));
}

void TestCurveGraphProperties::readingStopsAtABadKey()
{
    auto chart = MakeChart();
    PropertyBag store;
    store.WriteProperty("BackColor", 0x0000FF);
    store.WriteProperty("BorderStyle", 100000);  // does not fit 16 bits
    store.WriteProperty("ShowGrid", false);
    QVERIFY_THROWS_EXCEPTION(std::overflow_error, chart->ReadProperties(store));
    QCOMPARE(chart->BackColor(), 0x0000FF);  // applied before the failing key
    QVERIFY(chart->ShowGrid());              // never reached

    PropertyBag typed;
    typed.WriteProperty("MovingGrid", QStringLiteral("left"));
    QVERIFY_THROWS_EXCEPTION(PropertyBag::TypeError, chart->ReadProperties(typed));
}

void TestCurveGraphProperties::descriptions()
{
    QCOMPARE(CurveGraph::PropertyDescription("MovingCurve"),
             QStringLiteral("返回/设置 网格线静止时，曲线移动方向！注意：仅在网格线静止时有效！！！"));
    QCOMPARE(CurveGraph::PropertyDescription("LegendFont"), QStringLiteral("返回/设置 图例说明文字字体"));
    QVERIFY(CurveGraph::PropertyDescription("NoSuchProperty").isEmpty());
}

QTEST_MAIN(TestCurveGraphProperties)
#include "test_curvegraph_properties.moc"

// DrawGridCurve rendered into the chart's surface, checked pixel by pixel: grid
// positions, the moving grid, the first curve segment in both directions, dotted
// curves, the value texts and the time texts after a fold-back.
#include "chart/curvegraph.h"
#include "common/colors.h"

#include <QPainter>
#include <QtTest>

namespace {

constexpr qint32 kHorizontal = 0x0000C0;  // dark red
constexpr qint32 kVertical = 0x00C000;    // green
constexpr qint32 kCurve1 = 0xFFFF00;      // cyan
constexpr qint32 kCurve2 = 0xFF00FF;      // magenta

// A chart whose surface is width x height pixels (the control is 52 twips larger).
std::unique_ptr<CurveGraph> MakeChart(int width, int height)
{
    auto chart = std::make_unique<CurveGraph>();
    chart->resize(width + 3, height + 3);
    chart->show();  // a hidden widget gets its resize only when shown
    chart->SetTimeSource([](const QString&) { return QStringLiteral("12:34:56"); });
    chart->setHorizontalGridColor(kHorizontal);
    chart->setVerticalGridColor(kVertical);
    return chart;
}

qint32 Pixel(const QImage& image, int x, int y)
{
    return kv::QColorToBgr(image.pixelColor(x, y));
}

// Pixels of a colour inside a rectangle of the picture.
int CountColour(const QImage& image, const QRect& area, qint32 colour)
{
    int n = 0;
    const QRect r = area.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += Pixel(image, x, y) == colour;
    return n;
}

} // namespace

class TestCurveGraphRender : public QObject {
    Q_OBJECT

private slots:
    void surfaceMatchesTheControl();
    void stillGridPositions();
    void movingGridSlidesLeft();
    void noGridStillFoldsBackAndWrites();
    void firstSegmentBothDirections_data();
    void firstSegmentBothDirections();
    void curveWithoutDataIsNotDrawn();
    void valueTextsFromTheTop();
    void timeTextsAfterFoldBack();
    void stillGridHasNoTimeTexts();
    void pictureIsPersistent();
    void offScaleSamplesDoNotShow();
    void backColourClearsAndPaints();
};

void TestCurveGraphRender::surfaceMatchesTheControl()
{
    auto chart = MakeChart(301, 151);
    auto* surface = chart->findChild<QWidget*>(QStringLiteral("picGraph"));
    QVERIFY(surface);
    QCOMPARE(surface->size(), QSize(301, 151));
    QCOMPARE(chart->PointCount(), 301);
    QCOMPARE(chart->PlotHeight(), 151);
    chart->DrawGridCurve();
    QCOMPARE(chart->Picture().size(), QSize(301, 151));
}

void TestCurveGraphRender::stillGridPositions()
{
    auto chart = MakeChart(301, 151);
    chart->setHorizontalSplits(10);
    chart->setVerticalSplits(10);
    chart->setMovingGrid(0);
    chart->setShowAxesText(false);
    QCOMPARE(chart->DrawGridCurve(), 0);
    const QImage& img = chart->Picture();
    // Horizontal lines at 0, 14.9999, ... 149.999: rows 0, 15, ..., 150.
    for (int y = 0; y < 151; ++y) {
        const bool line = y % 15 == 0;
        QCOMPARE(Pixel(img, 7, y) == kHorizontal, line);
        if (!line)
            QCOMPARE(Pixel(img, 7, y), 0);
    }
    // Vertical lines at 0, 29.9999, ... 299.999: columns 0, 30, ..., 300.
    for (int x = 0; x < 301; ++x) {
        const bool line = x % 30 == 0;
        QCOMPARE(Pixel(img, x, 7) == kVertical, line);
        if (!line)
            QCOMPARE(Pixel(img, x, 7), 0);
    }
    // Vertical lines are drawn after the horizontal ones.
    QCOMPARE(Pixel(img, 30, 15), kVertical);
}

void TestCurveGraphRender::movingGridSlidesLeft()
{
    auto chart = MakeChart(301, 151);
    chart->setHorizontalSplits(10);
    chart->setShowAxesText(false);
    for (int i = 0; i < 15; ++i)
        chart->AddValue(1.0f);
    chart->DrawGridCurve();
    QCOMPARE(chart->GridOffset(), -15);  // half a cell: no fold-back yet
    const QImage& img = chart->Picture();
    QCOMPARE(Pixel(img, 15, 5), kVertical);
    QCOMPARE(Pixel(img, 45, 5), kVertical);
    QCOMPARE(Pixel(img, 30, 5), 0);
    QCOMPARE(Pixel(img, 0, 5), 0);
}

void TestCurveGraphRender::noGridStillFoldsBackAndWrites()
{
    auto chart = MakeChart(301, 151);
    chart->setHorizontalSplits(10);
    chart->setShowGrid(false);
    for (int i = 0; i < 30; ++i)
        chart->AddValue(-100.0f);  // below the surface: the curve does not show
    chart->DrawGridCurve();
    QCOMPARE(chart->GridOffset(), 0);
    QCOMPARE(chart->TimeLabelIndex(), 1);
    const QImage& img = chart->Picture();
    QCOMPARE(CountColour(img, img.rect(), kHorizontal), 0);
    QCOMPARE(CountColour(img, img.rect(), kVertical), 0);
    QVERIFY(CountColour(img, QRect(0, 0, 60, 20), 0xFFFFFF) > 0);  // "9.0" at the top left
}

void TestCurveGraphRender::firstSegmentBothDirections_data()
{
    QTest::addColumn<int>("movingGrid");
    QTest::addColumn<int>("lineType");
    QTest::addColumn<QPoint>("older");  // (-1, -1): not drawn
    QTest::addColumn<QPoint>("newer");
    QTest::newRow("solid, moving left") << 2 << 0 << QPoint(299, 75) << QPoint(300, 65);
    QTest::newRow("solid, moving right") << 1 << 0 << QPoint(1, 75) << QPoint(0, 65);
    QTest::newRow("dotted, moving left") << 2 << 1 << QPoint(-1, -1) << QPoint(300, 65);
    QTest::newRow("dotted, moving right") << 1 << 4 << QPoint(-1, -1) << QPoint(0, 65);
}

void TestCurveGraphRender::firstSegmentBothDirections()
{
    QFETCH(int, movingGrid);
    QFETCH(int, lineType);
    QFETCH(QPoint, older);
    QFETCH(QPoint, newer);
    auto chart = MakeChart(301, 151);
    chart->setShowGrid(false);
    chart->setShowAxesText(false);
    chart->setMovingGrid(movingGrid);
    chart->setCurveLineColor(1, kCurve1);
    chart->setCurveLineType(1, lineType);
    chart->setMaxVertical(151.0f);  // row = 151 - value
    chart->AddValue(76.0f);
    chart->DrawGridCurve();
    QCOMPARE(CountColour(chart->Picture(), chart->Picture().rect(), kCurve1), 0);  // one sample: nothing

    chart->AddValue(86.0f);
    chart->DrawGridCurve();
    const QImage& img = chart->Picture();
    QCOMPARE(Pixel(img, newer.x(), newer.y()), kCurve1);
    int expected = 1;
    if (older.x() >= 0) {
        QCOMPARE(Pixel(img, older.x(), older.y()), kCurve1);
        expected = 11;  // a steep line of ten rows plus its end
        QVERIFY(CountColour(img, img.rect(), kCurve1) >= expected);
        QVERIFY(CountColour(img, img.rect(), kCurve1) <= expected + 1);
    } else {
        QCOMPARE(CountColour(img, img.rect(), kCurve1), 1);
    }
    // Nothing of the curve outside the two newest columns.
    const int left = newer.x() == 0 ? 2 : 0;
    QCOMPARE(CountColour(img, QRect(left, 0, 299, 151), kCurve1), 0);
}

void TestCurveGraphRender::curveWithoutDataIsNotDrawn()
{
    auto chart = MakeChart(301, 151);
    chart->setShowGrid(false);
    chart->setShowAxesText(false);
    chart->setCurveCount(2);
    chart->setCurveLineColor(1, kCurve1);
    chart->setCurveLineColor(2, kCurve2);
    chart->setMaxVertical(151.0f);
    chart->AddValue(50.0f);
    chart->AddValue(50.0f);
    chart->DrawGridCurve();
    // Curve 2's buffer holds rows 0.0, but the curve has no data: nothing at the top.
    QCOMPARE(CountColour(chart->Picture(), chart->Picture().rect(), kCurve2), 0);
    chart->AddValue(100.0f, 2);  // row 51
    chart->DrawGridCurve();
    const QImage& img = chart->Picture();
    QCOMPARE(Pixel(img, 299, 0), kCurve2);  // the old empty sample at row 0 ...
    QCOMPARE(Pixel(img, 300, 51), kCurve2);  // ... joined to the new one
    QCOMPARE(Pixel(img, 300, 101), kCurve1);
}

void TestCurveGraphRender::valueTextsFromTheTop()
{
    auto chart = MakeChart(301, 151);
    chart->setShowGrid(false);
    chart->setMovingGrid(0);
    chart->DrawGridCurve();
    const QImage& img = chart->Picture();

    // The same texts, written independently at the places the scale puts them.
    QImage expected(img.size(), QImage::Format_RGB32);
    expected.fill(Qt::black);
    {
        QPainter p(&expected);
        p.setFont(chart->AxesFont());
        p.setPen(Qt::white);
        const QFontMetrics fm(chart->AxesFont());
        const int t = fm.height();
        const QStringList values = {"9.0", "8.0", "7.0", "6.0", "5.0", "4.0", "3.0", "2.0", "1.0"};
        for (int u = 0; u < values.size(); ++u) {
            const int y = u == 0 ? 0 : static_cast<int>(std::floor(151.0 / 9 * u - t / 2.0));
            p.drawText(3, y + fm.ascent(), values[u]);
        }
        p.drawText(3, 151 - t + fm.ascent(), QStringLiteral(" 0"));
    }
    const QRect left(0, 0, 80, 151);
    QVERIFY(CountColour(img, left, 0xFFFFFF) > 0);
    QCOMPARE(img.copy(left), expected.copy(left));
    // And nothing written further right.
    QCOMPARE(img.copy(QRect(80, 0, 221, 151)), expected.copy(QRect(80, 0, 221, 151)));
}

void TestCurveGraphRender::timeTextsAfterFoldBack()
{
    auto chart = MakeChart(301, 151);
    chart->setShowGrid(false);
    chart->setHorizontalSplits(10);
    for (int i = 0; i < 30; ++i)
        chart->AddValue(-100.0f);
    chart->DrawGridCurve();
    QCOMPARE(chart->TimeLabelIndex(), 1);
    QCOMPARE(chart->TimeLabels().at(0), QStringLiteral("12:34:56"));
    QCOMPARE(chart->TimeLabels().at(1), QStringLiteral("12:34:56"));

    const QFontMetrics fm(chart->AxesFont());
    const int w = fm.horizontalAdvance(QStringLiteral("12:34:56"));
    const int t = fm.height();
    const QImage& img = chart->Picture();
    const QRect band(0, 151 - t, 301, t);
    // The newest centred on the right edge (half clipped), the older one a cell left.
    const int newestLeft = 301 - w / 2;
    const int olderLeft = 301 - 30 - w / 2;
    QVERIFY(CountColour(img, QRect(newestLeft, band.top(), 301 - newestLeft, t), 0xFFFFFF) > 0);
    QVERIFY(CountColour(img, QRect(olderLeft, band.top(), w / 2, t), 0xFFFFFF) > 0);
    // Between the bottom value text and the older time text the band is empty.
    QCOMPARE(CountColour(img, QRect(60, band.top(), olderLeft - 62, t), 0xFFFFFF), 0);
}

void TestCurveGraphRender::stillGridHasNoTimeTexts()
{
    auto chart = MakeChart(301, 151);
    chart->setShowGrid(false);
    chart->setMovingGrid(0);
    chart->setMovingCurve(1);
    chart->setCurveLineColor(1, kCurve1);
    chart->setMaxVertical(151.0f);
    for (int i = 0; i < 40; ++i)
        chart->AddValue(76.0f);  // row 75
    chart->DrawGridCurve();
    const QImage& img = chart->Picture();
    // Curves enter at the left edge and move right: columns 0..39 hold the samples.
    QCOMPARE(Pixel(img, 0, 75), kCurve1);
    QCOMPARE(Pixel(img, 39, 75), kCurve1);
    QCOMPARE(Pixel(img, 41, 75), 0);
    QCOMPARE(CountColour(img, QRect(60, 151 - 20, 241, 20), 0xFFFFFF), 0);
}

void TestCurveGraphRender::pictureIsPersistent()
{
    auto chart = MakeChart(120, 60);
    chart->setCurveLineColor(1, kCurve1);
    chart->setShowLegend(1, false);  // the legend label would lie over the picture
    chart->AddValue(3.0f);
    chart->AddValue(4.0f);
    chart->DrawGridCurve();
    const QImage drawn = chart->Picture();
    chart->show();
    QVERIFY(QTest::qWaitForWindowExposed(chart.get()));
    auto* surface = chart->findChild<QWidget*>(QStringLiteral("picGraph"));
    QCOMPARE(surface->grab().toImage().convertToFormat(QImage::Format_RGB32), drawn);
    chart->AddValue(5.0f);  // adding does not redraw
    surface->repaint();
    QCOMPARE(chart->Picture(), drawn);
    QCOMPARE(surface->grab().toImage().convertToFormat(QImage::Format_RGB32), drawn);
}

void TestCurveGraphRender::offScaleSamplesDoNotShow()
{
    auto chart = MakeChart(200, 100);
    chart->setShowGrid(false);
    chart->setShowAxesText(false);
    chart->setCurveLineColor(1, kCurve1);
    for (int i = 0; i < 50; ++i)
        chart->AddValue(i % 2 ? 1e30f : -1e30f);  // far above and below
    chart->DrawGridCurve();
    // Each segment crosses the whole surface; nothing else, and no failure.
    const QImage& img = chart->Picture();
    QVERIFY(CountColour(img, img.rect(), kCurve1) > 0);
    QCOMPARE(CountColour(img, QRect(0, 0, 149, 100), kCurve1), 0);
}

void TestCurveGraphRender::backColourClearsAndPaints()
{
    auto chart = MakeChart(120, 60);
    chart->setShowAxesText(false);
    chart->DrawGridCurve();
    QVERIFY(CountColour(chart->Picture(), chart->Picture().rect(), kHorizontal) > 0);
    chart->setBackColor(0x102030);
    const QImage& img = chart->Picture();
    QCOMPARE(CountColour(img, img.rect(), 0x102030), 120 * 60);  // the old picture is gone
    chart->DrawGridCurve();
    QCOMPARE(Pixel(chart->Picture(), 5, 5), 0x102030);
    QCOMPARE(Pixel(chart->Picture(), 0, 5), kVertical);
}

QTEST_MAIN(TestCurveGraphRender)
#include "test_curvegraph_render.moc"

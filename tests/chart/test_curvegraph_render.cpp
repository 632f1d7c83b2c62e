// DrawGridCurve rendered into the chart's surface, checked pixel by pixel: grid
// positions, the moving grid, the first curve segment in both directions, dotted
// curves, the value texts and the time texts after a fold-back; the fast painting
// against the plain QPainter one over a long scripted run; AutoRedraw.
#include "chart/curvegraph.h"
#include "common/colors.h"

#include <QPainter>
#include <QScreen>
#include <QTime>
#include <QtTest>

#include <array>
#include <cmath>
#include <functional>

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

// Where two pictures first differ, or an empty text.
QString FirstDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return QStringLiteral("sizes %1x%2 and %3x%4").arg(a.width()).arg(a.height()).arg(b.width()).arg(b.height());
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return QStringLiteral("(%1, %2): %3 and %4").arg(x).arg(y).arg(a.pixel(x, y), 0, 16).arg(b.pixel(x, y), 0, 16);
    return QString();
}

// The surface as it is on the screen (the window's backing store).
QImage OnScreen(CurveGraph& chart)
{
    auto* surface = chart.findChild<QWidget*>(QStringLiteral("picGraph"));
    const QPixmap shot = chart.screen()->grabWindow(chart.winId());
    return shot.toImage().convertToFormat(QImage::Format_RGB32).copy(QRect(QPoint(0, 0), surface->size()));
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
    void fastPaintingMatchesTheReference();
    void autoRedraw_data();
    void autoRedraw();
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
    chart->DrawGridCurve();
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
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    const QFontMetrics fm(font);
    QCOMPARE(fm.height(), 14);  // T
    QCOMPARE(fm.ascent(), 11);
    chart->setAxesFont(font);
    chart->setShowGrid(false);
    chart->setMovingGrid(0);
    chart->setMaxVertical(10.0f);
    chart->setVerticalSplits(10);
    chart->DrawGridCurve();
    const QImage& img = chart->Picture();

    // H = 151, VS = 10, T = 14: the inner texts start at Int(15.1 u - 7), the
    // bottom one at 151 - 14; each written with its top at the row given.
    struct Written {
        int top;
        const char* text;
    };
    const Written written[] = {{0, "10.0"}, {8, "9.0"},   {23, "8.0"},  {38, "7.0"},  {53, "6.0"}, {68, "5.0"},
                               {83, "4.0"}, {98, "3.0"},  {113, "2.0"}, {128, "1.0"}, {137, " 0"}};
    QImage expected(img.size(), QImage::Format_RGB32);
    expected.fill(Qt::black);
    {
        QPainter p(&expected);
        p.setFont(font);
        p.setPen(Qt::white);
        for (const Written& w : written)
            p.drawText(3, w.top + 11, QString::fromLatin1(w.text));
    }
    QVERIFY(CountColour(img, img.rect(), 0xFFFFFF) > 0);
    QCOMPARE(FirstDifference(img, expected), QString());
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

void TestCurveGraphRender::fastPaintingMatchesTheReference()
{
    // Twin charts fed the same script with the same clock; the second paints the
    // plain QPainter way. After every drawing their pictures must be the same.
    std::array<std::unique_ptr<CurveGraph>, 2> charts;
    for (auto& chart : charts) {
        chart = MakeChart(301, 151);
        auto tick = std::make_shared<int>(0);
        chart->SetTimeSource([tick](const QString& f) { return QTime(12, 0).addSecs(7 * (*tick)++).toString(f); });
    }
    charts[1]->SetReferencePainting(true);
    auto both = [&](const std::function<void(CurveGraph&)>& change) {
        for (auto& chart : charts)
            change(*chart);
    };
    auto paintCurves = [](CurveGraph& c) {  // every curve its own colour, every third one dotted
        for (short k = 1; k <= c.CurveCount(); ++k) {
            c.setCurveLineColor(k, 0x00FFFF ^ (k * 0x2A4C6E));
            c.setCurveLineType(k, k % 3 == 2 ? k : 0);
        }
    };

    QString differs;
    int drawings = 0;
    for (int s = 0; s < 1000; ++s) {
        switch (s) {
        case 0: both([&](CurveGraph& c) { c.setCurveCount(4); paintCurves(c); }); break;
        case 150: both([](CurveGraph& c) { c.setShowGrid(false); c.setHorizontalSplits(4); c.setVerticalSplits(12); }); break;
        case 220: both([](CurveGraph& c) { c.setShowGrid(true); c.setMovingGrid(1); }); break;
        case 330: both([](CurveGraph& c) { c.setMovingGrid(0); c.setMovingCurve(1); }); break;
        case 400: both([](CurveGraph& c) { c.setMovingCurve(2); c.setHorizontalSplits(9); }); break;
        case 450: both([](CurveGraph& c) { c.setMovingGrid(2); c.setMaxVertical(12); c.setMinVertical(-3); c.setVerticalSplits(15); }); break;
        case 520:
            both([](CurveGraph& c) {
                c.resize(203, 93);
                c.setAxesTextColor(0x00FFFF);
                c.setBackColor(0x202020);
                QFont bold(QStringLiteral("DejaVu Sans"));
                bold.setPixelSize(14);
                bold.setBold(true);
                c.setAxesFont(bold);
            });
            break;
        case 600: both([&](CurveGraph& c) { c.setCurveCount(10); paintCurves(c); c.setShowAxesText(false); }); break;
        case 700:
            both([](CurveGraph& c) {
                c.setShowAxesText(true);
                c.setHorizontalSplits(30);
                c.setHorizontalGridColor(0x0000C0);
                c.setVerticalGridColor(0xC0C000);
            });
            break;
        case 800: both([](CurveGraph& c) { c.resize(481, 169); c.setMovingGrid(1); c.setMaxVertical(9); c.setMinVertical(0); }); break;
        case 900: both([](CurveGraph& c) { c.setHorizontalSplits(1); c.setVerticalSplits(1); c.setxBarNowTimeFormat("mm:ss"); }); break;
        default: break;
        }
        both([s](CurveGraph& c) {
            for (short k = 1; k <= c.CurveCount(); ++k) {
                if (k == 2 && s % 17 == 0)
                    continue;  // a curve out of step
                // Swings past both limits; now and then a value far off the scale.
                float v = static_cast<float>(4.5 + 7.0 * std::sin(s * 0.07 + k) + 3.0 * std::sin(s * 1.3 * k));
                if (k == 3 && s % 97 == 0)
                    v = s % 2 ? 1e30f : -1e30f;
                c.AddValue(v, k);
            }
        });
        if (s % 13 == 5)
            continue;  // a late call: the grid has moved on by two
        both([](CurveGraph& c) { c.DrawGridCurve(); });
        ++drawings;
        if (differs.isEmpty()) {
            const QString at = FirstDifference(charts[0]->Picture(), charts[1]->Picture());
            if (!at.isEmpty())
                differs = QStringLiteral("sample %1, pixel %2").arg(s).arg(at);
        }
    }
    QCOMPARE(differs, QString());
    QVERIFY(drawings > 900);
    const QImage& last = charts[1]->Picture();
    QVERIFY(CountColour(last, last.rect(), charts[1]->CurveLineColor(1)) > 0);
}

void TestCurveGraphRender::autoRedraw_data()
{
    QTest::addColumn<bool>("autoRedraw");
    QTest::newRow("on: the picture is kept") << true;
    QTest::newRow("off: nothing is kept") << false;
}

void TestCurveGraphRender::autoRedraw()
{
    QFETCH(bool, autoRedraw);
    auto chart = MakeChart(120, 60);
    chart->setShowLegend(1, false);  // the legend label would lie over the picture
    QVERIFY(QTest::qWaitForWindowExposed(chart.get()));
    chart->setAutoRedraw(autoRedraw);
    chart->setCurveLineColor(1, kCurve1);
    for (float v : {2.0f, 5.0f, 7.0f})
        chart->AddValue(v);
    chart->DrawGridCurve();
    const QImage drawn = chart->Picture();
    QVERIFY(CountColour(drawn, drawn.rect(), kCurve1) > 0);
    QTRY_COMPARE(FirstDifference(OnScreen(*chart), drawn), QString());  // shown either way

    // The system repaints the surface: shown again after being hidden.
    chart->hide();
    chart->show();
    QVERIFY(QTest::qWaitForWindowExposed(chart.get()));
    QImage background(drawn.size(), QImage::Format_RGB32);
    background.fill(Qt::black);
    QTRY_COMPARE(FirstDifference(OnScreen(*chart), autoRedraw ? drawn : background), QString());
}

QTEST_MAIN(TestCurveGraphRender)
#include "test_curvegraph_render.moc"

// Geometry and legend of the chart: fitting the surface on resize, building and
// stacking the legend labels, dragging them with the mouse (the frame follows, the
// release pins, the right button abandons), and the mouse events of the surface.
#include "chart/curvegraph.h"
#include "common/colors.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QtTest>

namespace {

struct Chart {
    std::unique_ptr<CurveGraph> graph;
    QWidget* surface = nullptr;

    explicit Chart(int curves = 1, QSize size = QSize(480, 180))
        : graph(std::make_unique<CurveGraph>())
    {
        graph->resize(size);
        graph->show();
        surface = graph->findChild<QWidget*>(QStringLiteral("picGraph"));
        if (curves > 1)
            graph->setCurveCount(static_cast<short>(curves));
        for (short i = 2; i <= curves; ++i)
            graph->AddValue(1.0f, i);  // a label shows once its curve has data
    }
    QLabel* Label(int i) const { return graph->findChild<QLabel*>(QStringLiteral("lblLegend%1").arg(i)); }
    QWidget* Frame(int i) const { return graph->findChild<QWidget*>(QStringLiteral("ShapeLegend%1").arg(i)); }
};

QRect RectOf(const LegendPoint& tl, const LegendPoint& br)
{
    return QRectF(QPointF(tl.X, tl.Y), QPointF(br.X, br.Y)).toRect();
}

} // namespace

class TestCurveGraphLegend : public QObject {
    Q_OBJECT

private slots:
    void resizeFitsTheSurface();
    void tinyControlsDoNotFail_data();
    void tinyControlsDoNotFail();
    void legendsStackUnderEachOther();
    void legendOneIsBuiltCentred();
    void dragMovesTheLabel();
    void clickWithoutMovingPins();
    void rightButtonStartsNoDrag();
    void rightButtonAbandonsADrag();
    void dragBeyondTheEdge();
    void resizeLeavesPinnedLabels();
    void curveCountUnpins();
    void hiddenLabelCannotBeDragged();
    void frameColourIsTheInverseBackground_data();
    void frameColourIsTheInverseBackground();
    void surfaceMouseEvents();
    void labelClicksAreNotPassedOn();
};

void TestCurveGraphLegend::resizeFitsTheSurface()
{
    Chart c;  // 7200 x 2700 twips
    c.graph->AddValue(1.0f);
    c.graph->AddValue(2.0f);
    c.graph->resize(480, 180);
    QCOMPARE(c.surface->geometry(), QRect(0, 0, 477, 177));  // 7148 x 2648 twips
    c.graph->resize(500, 200);
    QCOMPARE(c.surface->size(), QSize(497, 197));
    QCOMPARE(c.graph->PointCount(), 497);
    QCOMPARE(c.graph->PlotHeight(), 197);
    QCOMPARE(c.graph->LastEmptyIndex(), 496);  // empty again
    QCOMPARE(c.graph->CurveBuffers(1).Values.size(), std::size_t(497));
}

void TestCurveGraphLegend::tinyControlsDoNotFail_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("nothing") << QSize(0, 0);
    QTest::newRow("smaller than the margin") << QSize(3, 2);
    QTest::newRow("one pixel of surface") << QSize(4, 4);
}

void TestCurveGraphLegend::tinyControlsDoNotFail()
{
    QFETCH(QSize, size);
    Chart c(2);
    c.graph->resize(size);
    QVERIFY(c.surface->width() >= 0 && c.surface->height() >= 0);
    QCOMPARE(c.graph->PointCount(), c.surface->width());
    for (int i = 0; i < 4; ++i) {
        c.graph->AddValue(3.0f);
        c.graph->AddValue(3.0f, 2);
        c.graph->DrawGridCurve();
    }
    QCOMPARE(c.graph->Picture().size(), c.surface->size());
    if (!c.graph->Picture().isNull())  // the one pixel: the top grid line, drawn over nothing else
        QCOMPARE(c.graph->Picture().pixelColor(0, 0), QColor(0x00, 0x82, 0x00));
    c.graph->resize(100, 60);
    QCOMPARE(c.graph->PointCount(), 97);
}

void TestCurveGraphLegend::legendsStackUnderEachOther()
{
    Chart c(3);
    c.graph->FixLegend(QStringLiteral("频率"), 1);
    c.graph->FixLegend(QStringLiteral("直流电压"), 2);
    c.graph->resize(500, 220);
    QLabel* l1 = c.Label(1);
    QLabel* l2 = c.Label(2);
    QLabel* l3 = c.Label(3);
    QCOMPARE(l1->x(), static_cast<int>(std::lround((c.surface->width() - l1->width()) / 2.0)));
    QCOMPARE(l2->x(), l1->x());
    QCOMPARE(l3->x(), l1->x());
    QCOMPARE(l2->y(), l1->y() + l2->height());
    QCOMPARE(l3->y(), l2->y() + l3->height());
    for (int i = 1; i <= 3; ++i) {
        QCOMPARE(RectOf(c.graph->LegendTopLeft(i), c.graph->LegendBottomRight(i)), c.Label(i)->geometry());
        QCOMPARE(c.Frame(i)->geometry(), c.Label(i)->geometry());
        QVERIFY(!c.Frame(i)->isVisible());
        QCOMPARE(c.Label(i)->parentWidget(), c.surface);
    }
}

void TestCurveGraphLegend::legendOneIsBuiltCentred()
{
    Chart c;
    QLabel* l1 = c.Label(1);
    QCOMPARE(l1->text(), QStringLiteral("\u2014 1"));
    QCOMPARE(l1->y(), 6);
    QCOMPARE(l1->x(), static_cast<int>(std::lround((c.surface->width() - l1->width()) / 2.0)));
    QVERIFY(l1->isVisible());
}

void TestCurveGraphLegend::dragMovesTheLabel()
{
    Chart c(3);
    QLabel* l2 = c.Label(2);
    const QRect before = l2->geometry();
    const QPoint press(5, 4);
    QTest::mousePress(l2, Qt::LeftButton, {}, press);
    QVERIFY(c.graph->LegendDragging(2));
    QVERIFY(c.Frame(2)->isVisible());
    QCOMPARE(c.Frame(2)->geometry(), before);

    QTest::mouseMove(l2, press + QPoint(12, 3));
    QCOMPARE(c.Frame(2)->geometry(), before.translated(12, 3));
    QTest::mouseMove(l2, press + QPoint(30, -10));
    QCOMPARE(c.Frame(2)->geometry(), before.translated(30, -10));
    QCOMPARE(l2->geometry(), before);  // the label waits for the release

    QTest::mouseRelease(l2, Qt::LeftButton, {}, press + QPoint(30, -10));
    QCOMPARE(l2->geometry(), before.translated(30, -10));
    QVERIFY(!c.Frame(2)->isVisible());
    QVERIFY(!c.graph->LegendDragging(2));
    QVERIFY(c.graph->LegendPinned(2));
    QCOMPARE(RectOf(c.graph->LegendTopLeft(2), c.graph->LegendBottomRight(2)), before.translated(30, -10));
    QVERIFY(!c.graph->LegendPinned(1));
    QVERIFY(!c.graph->LegendPinned(3));
}

void TestCurveGraphLegend::clickWithoutMovingPins()
{
    Chart c(3);
    QLabel* l1 = c.Label(1);
    QLabel* l2 = c.Label(2);
    const QRect before = l1->geometry();
    QTest::mouseClick(l1, Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(l1->geometry(), before);
    QVERIFY(c.graph->LegendPinned(1));
    c.graph->resize(640, 240);
    QCOMPARE(l1->geometry(), before);  // pinned: not centred again
    QCOMPARE(l2->x(), l1->x());        // unpinned ones still follow legend 1's left
    QCOMPARE(l2->y(), l1->y() + l2->height());
}

void TestCurveGraphLegend::rightButtonStartsNoDrag()
{
    Chart c(2);
    QLabel* l2 = c.Label(2);
    const QRect before = l2->geometry();
    QTest::mousePress(l2, Qt::RightButton, {}, QPoint(4, 4));
    QVERIFY(!c.graph->LegendDragging(2));
    QVERIFY(!c.Frame(2)->isVisible());
    QTest::mouseMove(l2, QPoint(40, 40));
    QTest::mouseRelease(l2, Qt::RightButton, {}, QPoint(40, 40));
    QCOMPARE(l2->geometry(), before);
    QVERIFY(!c.graph->LegendPinned(2));
}

void TestCurveGraphLegend::rightButtonAbandonsADrag()
{
    Chart c(2);
    QLabel* l2 = c.Label(2);
    const QRect before = l2->geometry();
    QTest::mousePress(l2, Qt::LeftButton, {}, QPoint(4, 4));
    QTest::mouseMove(l2, QPoint(24, 14));
    QTest::mousePress(l2, Qt::RightButton, Qt::NoModifier, QPoint(24, 14));
    QVERIFY(!c.graph->LegendDragging(2));
    QTest::mouseMove(l2, QPoint(60, 30));
    QTest::mouseRelease(l2, Qt::LeftButton, {}, QPoint(60, 30));
    QCOMPARE(l2->geometry(), before);
    QVERIFY(!c.graph->LegendPinned(2));
    // The frame stays where the pointer left it until the entry is fitted again.
    QVERIFY(c.Frame(2)->isVisible());
    QCOMPARE(c.Frame(2)->geometry(), before.translated(20, 10));
    c.graph->FixLegend(QStringLiteral("电流"), 2);
    QVERIFY(!c.Frame(2)->isVisible());
    QCOMPARE(c.Frame(2)->geometry(), l2->geometry());
}

void TestCurveGraphLegend::dragBeyondTheEdge()
{
    Chart c(2);
    QLabel* l2 = c.Label(2);
    const QRect before = l2->geometry();
    const QPoint travel(-before.x() - 200, 500);
    QTest::mousePress(l2, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseMove(l2, QPoint(2, 2) + travel);
    QTest::mouseRelease(l2, Qt::LeftButton, {}, QPoint(2, 2) + travel);
    QCOMPARE(l2->geometry(), before.translated(travel));
    c.graph->resize(520, 200);
    QCOMPARE(l2->geometry(), before.translated(travel));  // a resize does not bring it back
    c.graph->setCurveCount(2);                               // a new count does
    QVERIFY(!c.graph->LegendPinned(2));
    QCOMPARE(l2->x(), c.Label(1)->x());
}

void TestCurveGraphLegend::resizeLeavesPinnedLabels()
{
    Chart c(3);
    QLabel* l1 = c.Label(1);
    QLabel* l2 = c.Label(2);
    QLabel* l3 = c.Label(3);
    QTest::mousePress(l2, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseMove(l2, QPoint(-38, 42));
    QTest::mouseRelease(l2, Qt::LeftButton, {}, QPoint(-38, 42));
    const QRect pinned = l2->geometry();
    const int oldLeft = l1->x();
    c.graph->resize(700, 300);
    QVERIFY(l1->x() != oldLeft);
    QCOMPARE(l2->geometry(), pinned);
    QCOMPARE(l3->x(), l1->x());
    QCOMPARE(l3->y(), pinned.y() + l3->height());  // stacks under wherever legend 2 is
    QCOMPARE(c.Frame(2)->geometry(), pinned);
}

void TestCurveGraphLegend::curveCountUnpins()
{
    Chart c(3);
    QLabel* l3 = c.Label(3);
    QTest::mousePress(l3, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseMove(l3, QPoint(52, 22));
    c.graph->setCurveCount(3);  // during a drag
    QVERIFY(!c.graph->LegendDragging(3));
    QTest::mouseRelease(l3, Qt::LeftButton, {}, QPoint(52, 22));
    QVERIFY(!c.graph->LegendPinned(3));
    QCOMPARE(l3->x(), c.Label(1)->x());
    QCOMPARE(l3->y(), c.Label(2)->y() + l3->height());
}

void TestCurveGraphLegend::hiddenLabelCannotBeDragged()
{
    Chart c(1);
    c.graph->setCurveCount(2);  // curve 2 has no data yet: its label is hidden
    QLabel* l2 = c.Label(2);
    QVERIFY(!l2->isVisible());
    QSignalSpy down(c.graph.get(), &CurveGraph::MouseDown);
    const QPoint at = l2->geometry().center();
    QTest::mousePress(c.surface, Qt::LeftButton, {}, at);
    QTest::mouseRelease(c.surface, Qt::LeftButton, {}, at);
    QVERIFY(!c.graph->LegendDragging(2));
    QVERIFY(!c.graph->LegendPinned(2));
    QCOMPARE(down.count(), 1);  // the press went to the surface
}

void TestCurveGraphLegend::frameColourIsTheInverseBackground_data()
{
    QTest::addColumn<qint32>("back");
    QTest::addColumn<qint32>("frame");
    QTest::newRow("black") << 0x000000 << 0xFFFFFF;
    QTest::newRow("0x102030") << 0x102030 << 0xEFDFCF;
}

void TestCurveGraphLegend::frameColourIsTheInverseBackground()
{
    QFETCH(qint32, back);
    QFETCH(qint32, frame);
    Chart c(2);
    c.graph->setBackColor(back);
    c.graph->setShowGrid(false);
    c.graph->DrawGridCurve();
    QLabel* l2 = c.Label(2);
    QTest::mousePress(l2, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseMove(l2, QPoint(2, 62));  // away from the labels
    const QRect r = c.Frame(2)->geometry();
    const QImage shot = c.surface->grab().toImage();
    QCOMPARE(kv::QColorToBgr(shot.pixelColor(r.topLeft())), frame);
    QCOMPARE(kv::QColorToBgr(shot.pixelColor(r.bottomRight())), frame);
    QCOMPARE(kv::QColorToBgr(shot.pixelColor(r.left() + r.width() / 2, r.top())), frame);
    QCOMPARE(kv::QColorToBgr(shot.pixelColor(r.center())), back);  // an outline only
    QTest::mouseRelease(l2, Qt::LeftButton, {}, QPoint(2, 62));
}

void TestCurveGraphLegend::surfaceMouseEvents()
{
    Chart c;
    QSignalSpy down(c.graph.get(), &CurveGraph::MouseDown);
    QSignalSpy up(c.graph.get(), &CurveGraph::MouseUp);
    QSignalSpy dbl(c.graph.get(), &CurveGraph::DblClick);
    QSignalSpy move(c.graph.get(), &CurveGraph::MouseMove);
    QTest::mouseClick(c.surface, Qt::LeftButton, Qt::ShiftModifier, QPoint(100, 120));
    QCOMPARE(down.count(), 1);
    QCOMPARE(up.count(), 1);
    QCOMPARE(down.at(0).at(0).value<short>(), short(1));
    QCOMPARE(down.at(0).at(1).value<short>(), short(1));
    QCOMPARE(down.at(0).at(2).toFloat(), 100.0f);
    QCOMPARE(down.at(0).at(3).toFloat(), 120.0f);
    QCOMPARE(up.at(0).at(2).toFloat(), 100.0f);

    // A move without a button (the pointer passing over the surface).
    QMouseEvent hover(QEvent::MouseMove, QPointF(40, 50), c.surface->mapToGlobal(QPointF(40, 50)),
                      Qt::NoButton, Qt::NoButton, Qt::ControlModifier);
    QApplication::sendEvent(c.surface, &hover);
    QCOMPARE(move.count(), 1);
    QCOMPARE(move.last().at(0).value<short>(), short(0));
    QCOMPARE(move.last().at(1).value<short>(), short(2));
    QCOMPARE(move.last().at(2).toFloat(), 40.0f);
    QCOMPARE(move.last().at(3).toFloat(), 50.0f);
    // A move with the left button held reports the button.
    QTest::mousePress(c.surface, Qt::LeftButton, {}, QPoint(60, 60));
    QTest::mouseMove(c.surface, QPoint(70, 65));
    QTest::mouseRelease(c.surface, Qt::LeftButton, {}, QPoint(70, 65));
    QCOMPARE(move.count(), 2);
    QCOMPARE(move.last().at(0).value<short>(), short(1));
    QCOMPARE(move.last().at(2).toFloat(), 70.0f);

    QTest::mouseDClick(c.surface, Qt::LeftButton, {}, QPoint(30, 30));
    QCOMPARE(dbl.count(), 1);
    QTest::mouseClick(c.surface, Qt::RightButton, {}, QPoint(10, 10));
    QCOMPARE(down.last().at(0).value<short>(), short(2));
}

void TestCurveGraphLegend::labelClicksAreNotPassedOn()
{
    Chart c;
    QSignalSpy down(c.graph.get(), &CurveGraph::MouseDown);
    QSignalSpy up(c.graph.get(), &CurveGraph::MouseUp);
    QTest::mouseClick(c.Label(1), Qt::LeftButton, {}, QPoint(3, 3));
    QCOMPARE(down.count(), 0);
    QCOMPARE(up.count(), 0);
}

QTEST_MAIN(TestCurveGraphLegend)
#include "test_curvegraph_legend.moc"

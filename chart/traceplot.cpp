#include "chart/traceplot.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kv {

namespace {

// Nothing to draw.
class EmptySource final : public TraceSource {
public:
    int CurveCount() const override { return 0; }
    TraceCurve Curve(int) const override { return {}; }
    int LaneCount() const override { return 0; }
    QString LaneName(int) const override { return {}; }
    qint64 Count() const override { return 0; }
    qint64 FirstMs() const override { return 0; }
    qint64 LastMs() const override { return 0; }
    bool Trimmed() const override { return false; }
    void Reduce(qint64, qint64, int columns, std::vector<TraceColumn>& out) const override
    {
        out.assign(size_t(std::max(columns, 0)), TraceColumn{});
    }
    qint64 FirstAtOrAfter(qint64) const override { return 0; }
    TracePoint At(qint64) const override { return {}; }
    qint64 StretchOf(qint64) const override { return 0; }
};

const EmptySource kNothing;

constexpr int kGrabPx = 4;       // how near a cursor a press takes it
constexpr int kClickSlopPx = 3;  // movement that still makes a click
constexpr double kWheelStep = 0.8;

} // namespace

TracePlot::TracePlot(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TracePlot"));
    setMinimumSize(320, 240);
    setMouseTracking(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_frameTimer.setSingleShot(true);
    connect(&m_frameTimer, &QTimer::timeout, this, [this] {
        if (isVisible())
            DrawNow();
        else
            m_pending = true;
    });
}

void TracePlot::SetSource(const TraceSource* source)
{
    m_source = source;
    RequestFrame();
}

void TracePlot::SetTitle(const QString& title)
{
    m_title = title;
    RequestFrame();
}

void TracePlot::RequestFrame()
{
    if (m_frameTimer.isActive())
        return;
    const qint64 since = m_sinceFrame.isValid() ? m_sinceFrame.elapsed() : kFrameMs;
    m_frameTimer.start(int(std::clamp<qint64>(kFrameMs - since, 0, kFrameMs)));
}

void TracePlot::DrawNow()
{
    m_frameTimer.stop();
    m_pending = false;
    const TraceSource& source = m_source ? *m_source : kNothing;
    m_view.Track(source);
    const QSize size = this->size().expandedTo(QSize(1, 1));
    if (m_image.size() != size)
        m_image = QImage(size, QImage::Format_RGB32);
    m_renderer.SetFont(font());
    m_renderer.Render(m_image, source, m_view, m_title);
    m_sinceFrame.start();
    update();
    emit Drawn();
}

void TracePlot::PlaceCursor(TraceView::Cursor cursor, qint64 timeMs)
{
    const TraceSource& source = m_source ? *m_source : kNothing;
    m_view.SetCursor(cursor, NearestSampleMs(source, timeMs));
    RequestFrame();
    emit CursorsChanged();
}

void TracePlot::ClickAt(qint64 timeMs)
{
    using C = TraceView::Cursor;
    const auto a = m_view.CursorAt(C::A);
    const auto b = m_view.CursorAt(C::B);
    C which = C::A;
    if (a && !b)
        which = C::B;
    else if (a && b)
        which = std::llabs(*a - timeMs) <= std::llabs(*b - timeMs) ? C::A : C::B;
    PlaceCursor(which, timeMs);
}

void TracePlot::ZoomToBox(QPoint from, QPoint to)
{
    const QRect box = QRect(from, to).normalized();
    const QRect& plot = m_renderer.Layout().plot;
    const QRect inPlot = box.intersected(plot);
    if (inPlot.width() < kClickSlopPx || inPlot.height() < kClickSlopPx)
        return;
    const TraceSource& source = m_source ? *m_source : kNothing;
    for (int k = 0; k < std::min(source.CurveCount(), kTraceMaxCurves); ++k)
        if (m_view.CurveShown(k))
            m_view.SetScale(k, m_renderer.ValueAtY(k, inPlot.bottom()), m_renderer.ValueAtY(k, inPlot.top()));
    m_view.ShowRange(m_renderer.TimeAtX(inPlot.left()), m_renderer.TimeAtX(inPlot.right() + 1));
    RequestFrame();
    emit ViewChanged();
}

std::optional<TraceView::Cursor> TracePlot::CursorNear(int x) const
{
    for (const TraceView::Cursor c : {TraceView::Cursor::A, TraceView::Cursor::B}) {
        const auto at = m_view.CursorAt(c);
        if (at && std::abs(m_renderer.XOfTime(double(*at)) - x) <= kGrabPx)
            return c;
    }
    return std::nullopt;
}

void TracePlot::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_image.isNull())
        p.fillRect(rect(), Qt::white);
    else
        p.drawImage(0, 0, m_image);
    if (m_drag == Drag::Box) {
        p.setPen(QPen(QColor(0x30, 0x30, 0x30), 1, Qt::DashLine));
        p.setBrush(QColor(0x40, 0x80, 0xC0, 0x30));
        p.drawRect(QRect(m_pressAt, m_lastAt).normalized());
    }
}

void TracePlot::resizeEvent(QResizeEvent*)
{
    RequestFrame();
}

void TracePlot::showEvent(QShowEvent*)
{
    // What came while the control was hidden was not drawn.
    RequestFrame();
}

void TracePlot::mousePressEvent(QMouseEvent* event)
{
    m_pressAt = m_lastAt = event->position().toPoint();
    if (event->button() == Qt::RightButton || (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ShiftModifier))) {
        m_drag = Drag::Box;
    } else if (event->button() == Qt::LeftButton) {
        const auto grabbed = CursorNear(m_pressAt.x());
        m_drag = !grabbed ? Drag::Pending : *grabbed == TraceView::Cursor::A ? Drag::CursorA : Drag::CursorB;
    }
}

void TracePlot::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    switch (m_drag) {
    case Drag::Pending:
        if ((at - m_pressAt).manhattanLength() <= kClickSlopPx)
            break;
        m_drag = Drag::Pan;
        [[fallthrough]];
    case Drag::Pan:
        m_view.Pan(m_renderer.TimeAtX(m_lastAt.x()) - m_renderer.TimeAtX(at.x()));
        RequestFrame();
        emit ViewChanged();
        break;
    case Drag::Box:
        update();
        break;
    case Drag::CursorA:
    case Drag::CursorB:
        PlaceCursor(m_drag == Drag::CursorA ? TraceView::Cursor::A : TraceView::Cursor::B,
                    std::llround(m_renderer.TimeAtX(at.x())));
        break;
    case Drag::None:
        break;
    }
    m_lastAt = at;
}

void TracePlot::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (m_drag == Drag::Pending)
        ClickAt(std::llround(m_renderer.TimeAtX(at.x())));
    else if (m_drag == Drag::Box)
        ZoomToBox(m_pressAt, at);
    m_drag = Drag::None;
    update();
}

void TracePlot::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0.0)
        return;
    m_view.ZoomTime(std::pow(kWheelStep, notches), m_renderer.TimeAtX(event->position().x()));
    RequestFrame();
    emit ViewChanged();
    event->accept();
}

} // namespace kv

#include "moc_traceplot.cpp"

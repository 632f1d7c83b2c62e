#include "chart/tracerender.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

constexpr QRgb kBack = 0xFFFFFFFF;
constexpr QRgb kGrid = 0xFFE4E4E4;
constexpr QRgb kFrame = 0xFF8C8C8C;
constexpr QRgb kText = 0xFF202020;
constexpr QRgb kCursorA = 0xFFC71585;
constexpr QRgb kCursorB = 0xFF008B8B;
constexpr int kTickLength = 4;
constexpr int kRightMargin = 14;
constexpr int kLaneGap = 8;
// Pixel rows far beyond the picture are held here, so that a value far off
// its scale still gives a line in the right direction.
constexpr int kFarRow = 1 << 20;

QRgb Mix(QRgb colour, QRgb with, double share)
{
    auto part = [&](int a, int b) { return int(std::lround(a * share + b * (1.0 - share))); };
    return qRgb(part(qRed(colour), qRed(with)), part(qGreen(colour), qGreen(with)), part(qBlue(colour), qBlue(with)));
}

// The pixels of a Format_RGB32 picture, drawn into within a clip rectangle.
class Pixels {
public:
    Pixels(QImage& image, const QRect& clip)
        : m_bits(reinterpret_cast<quint32*>(image.bits()))
        , m_stride(image.bytesPerLine() / 4)
        , m_clip(clip.intersected(image.rect()))
    {
    }

    void Set(int x, int y, QRgb c)
    {
        if (m_clip.contains(x, y))
            m_bits[qsizetype(y) * m_stride + x] = c;
    }

    // A vertical run from y0 to y1, both included.
    void VRun(int x, int y0, int y1, QRgb c)
    {
        if (x < m_clip.left() || x > m_clip.right())
            return;
        if (y0 > y1)
            std::swap(y0, y1);
        y0 = std::max(y0, m_clip.top());
        y1 = std::min(y1, m_clip.bottom());
        for (quint32* p = m_bits + qsizetype(y0) * m_stride + x; y0 <= y1; ++y0, p += m_stride)
            *p = c;
    }

    // A horizontal run from x0 to x1, both included.
    void HRun(int x0, int x1, int y, QRgb c)
    {
        if (y < m_clip.top() || y > m_clip.bottom())
            return;
        if (x0 > x1)
            std::swap(x0, x1);
        x0 = std::max(x0, m_clip.left());
        x1 = std::min(x1, m_clip.right());
        if (x0 <= x1)
            std::fill(m_bits + qsizetype(y) * m_stride + x0, m_bits + qsizetype(y) * m_stride + x1 + 1, c);
    }

    // A line between two pixel centres, cut to the clip rectangle first.
    void Line(double x0, double y0, double x1, double y1, QRgb c)
    {
        if (!Cut(x0, y0, x1, y1))
            return;
        int ax = int(std::lround(x0));
        int ay = int(std::lround(y0));
        const int bx = int(std::lround(x1));
        const int by = int(std::lround(y1));
        const int dx = std::abs(bx - ax);
        const int dy = -std::abs(by - ay);
        const int sx = ax < bx ? 1 : -1;
        const int sy = ay < by ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            Set(ax, ay, c);
            if (ax == bx && ay == by)
                break;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                ax += sx;
            }
            if (e2 <= dx) {
                err += dx;
                ay += sy;
            }
        }
    }

private:
    // Liang-Barsky: the part of the line within the clip rectangle.
    bool Cut(double& x0, double& y0, double& x1, double& y1) const
    {
        const double dx = x1 - x0;
        const double dy = y1 - y0;
        double t0 = 0.0;
        double t1 = 1.0;
        auto edge = [&](double p, double q) {
            if (p == 0.0)
                return q >= 0.0;
            const double t = q / p;
            if (p < 0.0) {
                if (t > t1)
                    return false;
                t0 = std::max(t0, t);
            } else {
                if (t < t0)
                    return false;
                t1 = std::min(t1, t);
            }
            return true;
        };
        if (!edge(-dx, x0 - m_clip.left()) || !edge(dx, m_clip.right() - x0) || !edge(-dy, y0 - m_clip.top())
            || !edge(dy, m_clip.bottom() - y0))
            return false;
        const double sx = x0;
        const double sy = y0;
        x0 = sx + t0 * dx;
        y0 = sy + t0 * dy;
        x1 = sx + t1 * dx;
        y1 = sy + t1 * dy;
        return true;
    }

    quint32* m_bits;
    qsizetype m_stride;
    QRect m_clip;
};

QString ValueText(double v, int decimals, double step)
{
    if (std::abs(v) < step * 1e-6)
        v = 0.0;
    return QString::number(v, 'f', decimals);
}

QRgb LaneColour(int lane)
{
    switch (lane) {
    case 3:  // the fault
        return qRgb(0xC0, 0x39, 0x2B);
    case 7:  // the alarm
        return qRgb(0xD3, 0x84, 0x00);
    default:
        return qRgb(0x2E, 0x4A, 0x66);
    }
}

} // namespace

TraceRenderer::TraceRenderer()
{
    m_font.setPointSizeF(9.0);
}

void TraceRenderer::SetFont(const QFont& font)
{
    m_font = font;
    m_dotsPerMeter = 0;  // measured again at the next drawing
}

const QStaticText& TraceRenderer::Laid(const QString& text)
{
    auto it = m_texts.find(text);
    if (it != m_texts.end())
        return it.value();
    if (m_texts.size() > 4096)
        m_texts.clear();
    QStaticText laid(text);
    laid.setTextFormat(Qt::PlainText);
    laid.prepare(QTransform(), m_font);
    return m_texts.insert(text, laid).value();
}

void TraceRenderer::Measure(const QImage& image)
{
    if (m_dotsPerMeter == image.dotsPerMeterY())
        return;
    m_dotsPerMeter = image.dotsPerMeterY();
    m_texts.clear();
    const QFontMetrics fm(m_font, &image);
    m_metrics.line = fm.height();
    m_metrics.ascent = fm.ascent();
    m_metrics.axisWidth = fm.horizontalAdvance(QStringLiteral("-0000.00")) + kTickLength + 8;
    const int spacing = fm.horizontalAdvance(QStringLiteral("000"));
    m_metrics.timeGaps = {fm.horizontalAdvance(QStringLiteral("00:00:00.000")) + spacing,
                          fm.horizontalAdvance(QStringLiteral("00:00:00")) + spacing,
                          fm.horizontalAdvance(QStringLiteral("0000-00-00")) + spacing};
}

void TraceRenderer::PlanLayout(QSize size, const TraceSource& source, const TraceView& view)
{
    const int line = m_metrics.line;
    const int width = size.width();
    const int height = size.height();
    TraceLayout& l = m_layout;
    const int curves = std::min(source.CurveCount(), kTraceMaxCurves);
    const int laneCount = std::min(source.LaneCount(), kTraceMaxLanes);

    int shown = 0;
    for (int k = 0; k < curves; ++k)
        shown += view.CurveShown(k);
    int names = 0;
    for (int i = 0; i < laneCount; ++i)
        names = std::max(names, int(std::ceil(Laid(source.LaneName(i)).size().width())) + 10);
    const int left = std::max({shown * m_metrics.axisWidth, names, 30}) + 4;

    const int plotTop = 4 + 2 * (line + 4);  // the title and legend, then the units
    const int timeHeight = kTickLength + 2 * line + 4;
    const int room = std::max(height - plotTop - timeHeight - kLaneGap, 20);
    int laneHeight = laneCount > 0 ? std::clamp(line + 3, 6, std::max(6, room * 2 / 5 / laneCount)) : 0;
    if (laneCount > 0 && laneHeight * laneCount > room * 2 / 5)
        laneHeight = std::max(2, room * 2 / 5 / laneCount);
    const int lanesHeight = laneHeight * laneCount;
    const int plotWidth = std::max(width - left - kRightMargin, 10);
    const int plotHeight = std::max(room - lanesHeight, 10);
    l.plot = QRect(left, plotTop, plotWidth, plotHeight);
    l.lanes = QRect(left, l.plot.bottom() + 1 + kLaneGap, plotWidth, lanesHeight);
    l.laneHeight = laneHeight;
    l.timeTextTop = (laneCount > 0 ? l.lanes.bottom() : l.plot.bottom()) + 1 + kTickLength + 1;
    l.divisions = std::clamp(plotHeight / 45, 2, 10);
    int j = 0;
    for (int k = 0; k < kTraceMaxCurves; ++k) {
        if (k < curves && view.CurveShown(k)) {
            l.axisRight[size_t(k)] = left - 2 - j * m_metrics.axisWidth;
            l.axisLeft[size_t(k)] = l.axisRight[size_t(k)] - m_metrics.axisWidth;
            ++j;
        } else {
            l.axisLeft[size_t(k)] = l.axisRight[size_t(k)] = -1;
        }
    }
}

void TraceRenderer::PlanScales(const TraceSource& source, const TraceView& view)
{
    const int curves = std::min(source.CurveCount(), kTraceMaxCurves);
    for (int k = 0; k < curves; ++k) {
        const size_t kk = size_t(k);
        if (!view.Autoscale(k)) {
            m_scales[kk] = FixedScale(view.ScaleLow(k), view.ScaleHigh(k), m_layout.divisions);
            continue;
        }
        double low = 0.0;
        double high = 0.0;
        bool any = false;
        for (const TraceColumn& c : m_columns) {
            if (c.count == 0)
                continue;
            low = any ? std::min(low, c.low[kk]) : c.low[kk];
            high = any ? std::max(high, c.high[kk]) : c.high[kk];
            any = true;
        }
        m_scales[kk] = any ? AutoScale(low, high, m_layout.divisions) : AutoScale(0.0, 1.0, m_layout.divisions);
    }
}

double TraceRenderer::XOfTime(double timeMs) const
{
    const QRect& p = m_layout.plot;
    return p.left() + (timeMs - m_from) / (m_to - m_from) * p.width();
}

int TraceRenderer::PixelOf(qint64 timeMs) const
{
    // The columns of the reduction: column c holds [from + floor(c w), from + floor((c + 1) w)).
    const int columns = std::max(m_layout.plot.width(), 1);
    const double width = (m_to - m_from) / columns;
    const qint64 from = qint64(m_from);
    auto start = [&](qint64 c) { return from + qint64(width * double(c)); };
    qint64 c = qint64(std::floor(double(timeMs - from) / width));
    if (c >= 0 && c < columns) {
        if (timeMs < start(c))
            --c;
        else if (c + 1 < columns && timeMs >= start(c + 1))
            ++c;
    }
    return m_layout.plot.left() + int(std::clamp<qint64>(c, -1, columns));
}

double TraceRenderer::TimeAtX(double x) const
{
    const QRect& p = m_layout.plot;
    return m_from + (x - p.left()) / std::max(p.width(), 1) * (m_to - m_from);
}

double TraceRenderer::YOfValue(int k, double value) const
{
    const TraceScale& s = ScaleOf(k);
    const QRect& p = m_layout.plot;
    return p.bottom() - (value - s.low) / (s.high - s.low) * (p.height() - 1);
}

double TraceRenderer::ValueAtY(int k, double y) const
{
    const TraceScale& s = ScaleOf(k);
    const QRect& p = m_layout.plot;
    return s.low + (p.bottom() - y) / std::max(p.height() - 1, 1) * (s.high - s.low);
}

void TraceRenderer::DrawCurves(QImage& image, const TraceSource& source, const TraceView& view)
{
    Pixels px(image, m_layout.plot);
    const int curves = std::min(source.CurveCount(), kTraceMaxCurves);
    const int left = m_layout.plot.left();
    for (int k = 0; k < curves; ++k) {
        if (!view.CurveShown(k))
            continue;
        const QRgb colour = 0xFF000000u | source.Curve(k).colour;
        const size_t kk = size_t(k);
        auto row = [&](double v) { return int(std::clamp(std::floor(YOfValue(k, v) + 0.5), -double(kFarRow), double(kFarRow))); };
        int before = -1;
        int beforeTop = 0;
        int beforeBottom = 0;
        for (int c = 0; c < int(m_columns.size()); ++c) {
            const TraceColumn& col = m_columns[size_t(c)];
            if (col.count == 0)
                continue;
            const int top = row(col.high[kk]);
            const int bottom = row(col.low[kk]);
            int runTop = top;
            int runBottom = bottom;
            if (before >= 0 && m_columns[size_t(before)].lastStretch == col.firstStretch) {
                if (before == c - 1) {
                    // Touching the column before.
                    runTop = std::min(top, beforeBottom);
                    runBottom = std::max(bottom, beforeTop);
                } else {
                    // Across columns without samples: a line from the one sample to the next.
                    const int from = std::clamp((top + bottom) / 2, beforeTop, beforeBottom);
                    const int to = std::clamp((beforeTop + beforeBottom) / 2, top, bottom);
                    px.Line(left + before, from, left + c, to, colour);
                }
            }
            px.VRun(left + c, runTop, runBottom, colour);
            before = c;
            beforeTop = top;
            beforeBottom = bottom;
        }
    }
}

void TraceRenderer::DrawLanes(QImage& image, const TraceSource& source)
{
    const TraceLayout& l = m_layout;
    const int lanes = std::min(source.LaneCount(), kTraceMaxLanes);
    if (lanes == 0 || l.laneHeight < 2)
        return;
    Pixels px(image, l.lanes);
    const int left = l.lanes.left();
    for (int i = 0; i < lanes; ++i) {
        const int top = l.lanes.top() + i * l.laneHeight;
        const int high = top + (l.laneHeight >= 7 ? 2 : 0);
        const int low = top + l.laneHeight - (l.laneHeight >= 7 ? 3 : 1);
        const QRgb line = 0xFF000000u | LaneColour(i);
        const QRgb fill = 0xFF000000u | Mix(LaneColour(i), 0xFFFFFFFF, 0.22);
        const quint32 bit = 1u << i;
        // Level 1: set in every sample of the column, 0: in none, 2: both.
        auto draw = [&](int x, int level) {
            if (level == 1) {
                px.VRun(x, high + 1, low, fill);
                px.Set(x, high, line);
            } else if (level == 0) {
                px.Set(x, low, line);
            } else {
                px.VRun(x, high, low, line);
            }
        };
        int before = -1;
        int beforeLevel = 0;
        for (int c = 0; c < int(m_columns.size()); ++c) {
            const TraceColumn& col = m_columns[size_t(c)];
            if (col.count == 0)
                continue;
            const int level = (col.all & bit) ? 1 : (col.any & bit) ? 2 : 0;
            const int x = left + c;
            if (before >= 0 && m_columns[size_t(before)].lastStretch == col.firstStretch) {
                // The level holds from one sample to the next.
                const int held = beforeLevel == 2 ? (level == 2 ? 1 : level) : beforeLevel;
                for (int e = before + 1; e < c; ++e)
                    draw(left + e, held);
                if (held != level && level != 2)
                    px.VRun(x, high, low, line);
            }
            draw(x, level);
            before = c;
            beforeLevel = level;
        }
    }
}

void TraceRenderer::Render(QImage& image, const TraceSource& source, const TraceView& view, const QString& title)
{
    Measure(image);
    image.fill(kBack);
    const qint64 from = std::llround(view.FromMs());
    const qint64 to = std::max(std::llround(view.ToMs()), from + 1);
    m_from = double(from);
    m_to = double(to);
    PlanLayout(image.size(), source, view);
    const TraceLayout& l = m_layout;
    const int curves = std::min(source.CurveCount(), kTraceMaxCurves);
    const int laneCount = std::min(source.LaneCount(), kTraceMaxLanes);
    source.Reduce(from, to, l.plot.width(), m_columns);
    m_columns.resize(size_t(l.plot.width()));
    PlanScales(source, view);

    // The grid: the divisions of the scales, the time ticks, the lanes' borders.
    Pixels all(image, image.rect());
    for (int d = 1; d < l.divisions; ++d)
        all.HRun(l.plot.left(), l.plot.right(), l.plot.top() + int(std::lround(double(d) * (l.plot.height() - 1) / l.divisions)), kGrid);
    const bool dates = !source.Empty() && DifferentDates(source.FirstMs(), source.LastMs());
    const std::vector<TraceTick> ticks = TimeTicks(m_from, m_to, l.plot.width(), m_metrics.timeGaps, dates);
    const int gridBottom = laneCount > 0 ? l.lanes.bottom() : l.plot.bottom();
    for (const TraceTick& t : ticks) {
        const int x = PixelOf(t.timeMs);
        all.VRun(x, l.plot.top(), l.plot.bottom(), kGrid);
        if (laneCount > 0)
            all.VRun(x, l.lanes.top(), l.lanes.bottom(), kGrid);
        all.VRun(x, gridBottom + 1, gridBottom + kTickLength, kFrame);
    }
    for (int i = 1; i < laneCount; ++i)
        all.HRun(l.lanes.left(), l.lanes.right(), l.lanes.top() + i * l.laneHeight, kGrid);

    // The cursors: under the curves (a spike on a cursor stays visible), over the lanes' fill.
    struct Mark {
        std::optional<qint64> at;
        QRgb colour;
        QString name;
    };
    const Mark marks[] = {{view.CursorAt(TraceView::Cursor::A), kCursorA, QStringLiteral("A")},
                          {view.CursorAt(TraceView::Cursor::B), kCursorB, QStringLiteral("B")}};
    std::vector<std::pair<int, const Mark*>> shownMarks;
    for (const Mark& m : marks) {
        if (!m.at)
            continue;
        const int x = PixelOf(*m.at);
        if (x < l.plot.left() || x > l.plot.right())
            continue;
        all.VRun(x, l.plot.top(), l.plot.bottom(), m.colour);
        shownMarks.emplace_back(x, &m);
    }
    DrawCurves(image, source, view);
    DrawLanes(image, source);
    if (laneCount > 0)
        for (const auto& [x, m] : shownMarks)
            all.VRun(x, l.lanes.top(), l.lanes.bottom(), m->colour);

    // Frames and axes.
    auto frame = [&](const QRect& r) {
        all.HRun(r.left() - 1, r.right() + 1, r.top() - 1, kFrame);
        all.HRun(r.left() - 1, r.right() + 1, r.bottom() + 1, kFrame);
        all.VRun(r.left() - 1, r.top() - 1, r.bottom() + 1, kFrame);
        all.VRun(r.right() + 1, r.top() - 1, r.bottom() + 1, kFrame);
    };
    frame(l.plot);
    if (laneCount > 0 && l.laneHeight >= 2)
        frame(l.lanes);
    for (int k = 0; k < curves; ++k) {
        const int right = l.axisRight[size_t(k)];
        if (right < 0)
            continue;
        const QRgb colour = 0xFF000000u | source.Curve(k).colour;
        all.VRun(right - 1, l.plot.top(), l.plot.bottom(), colour);
        for (int d = 0; d <= l.divisions; ++d) {
            const int y = l.plot.top() + int(std::lround(double(d) * (l.plot.height() - 1) / l.divisions));
            all.HRun(right - 1 - kTickLength, right - 1, y, colour);
        }
    }

    // The texts.
    QPainter p(&image);
    p.setFont(m_font);
    auto text = [&](const QString& s, double x, double y, QRgb colour) {
        p.setPen(QColor::fromRgb(colour));
        p.drawStaticText(QPointF(x, y), Laid(s));
    };
    auto widthOf = [&](const QString& s) { return Laid(s).size().width(); };
    const int line = m_metrics.line;
    double x = l.plot.left();
    if (!title.isEmpty()) {
        text(title, 6, 4, kText);
        x = std::max(x, 6 + widthOf(title) + 24);
    }
    for (int k = 0; k < curves; ++k) {
        if (!view.CurveShown(k))
            continue;
        const TraceCurve c = source.Curve(k);
        const QString legend = c.unit.isEmpty() ? c.name : QStringLiteral("%1 (%2)").arg(c.name, c.unit);
        p.fillRect(QRectF(x, 4 + (line - 10) / 2.0, 10, 10), QColor::fromRgb(c.colour));
        text(legend, x + 14, 4, kText);
        x += 14 + widthOf(legend) + 18;
        const int right = l.axisRight[size_t(k)];
        text(c.unit, right - 4 - widthOf(c.unit), l.plot.top() - line - 3, 0xFF000000u | c.colour);
        const TraceScale& s = m_scales[size_t(k)];
        const double step = (s.high - s.low) / l.divisions;
        for (int d = 0; d <= l.divisions; ++d) {
            const QString v = ValueText(s.low + d * step, s.decimals, step);
            const double y = l.plot.bottom() - std::lround(double(d) * (l.plot.height() - 1) / l.divisions);
            text(v, right - kTickLength - 3 - widthOf(v), y - line / 2.0, 0xFF000000u | c.colour);
        }
    }
    if (l.laneHeight >= line - 2) {
        for (int i = 0; i < laneCount; ++i) {
            const QString name = source.LaneName(i);
            text(name, l.lanes.left() - 6 - widthOf(name), l.lanes.top() + i * l.laneHeight + (l.laneHeight - line) / 2.0,
                 0xFF000000u | LaneColour(i));
        }
    }
    for (const TraceTick& t : ticks) {
        const double cx = XOfTime(double(t.timeMs));
        const double w = widthOf(t.text);
        if (cx - w / 2 < 0 || cx + w / 2 > image.width())
            continue;
        text(t.text, cx - w / 2, l.timeTextTop, kText);
        if (!t.date.isEmpty()) {
            const double dw = widthOf(t.date);
            text(t.date, std::clamp(cx - dw / 2, 0.0, image.width() - dw), l.timeTextTop + line, kText);
        }
    }
    for (const auto& [mx, m] : shownMarks) {
        const double w = widthOf(m->name) + 6;
        p.fillRect(QRectF(mx - w / 2, l.plot.top(), w, line), QColor::fromRgb(m->colour));
        text(m->name, mx - w / 2 + 3, l.plot.top(), kBack);
    }
    if (source.Empty()) {
        const QString none = QCoreApplication::translate("kv::TraceRenderer", "暂无数据");
        text(none, l.plot.center().x() - widthOf(none) / 2, l.plot.center().y() - line / 2.0, kFrame);
    }
}

QImage RenderTrace(const TraceSource& source, qint64 fromMs, qint64 toMs, QSize size, std::optional<qint64> cursorMs,
                   const QString& title)
{
    TraceView view;
    view.Track(source);
    view.ShowRange(double(fromMs), double(toMs));
    if (cursorMs)
        view.SetCursor(TraceView::Cursor::A, cursorMs);
    QImage image(size, QImage::Format_RGB32);
    TraceRenderer renderer;
    renderer.Render(image, source, view, title);
    return image;
}

} // namespace kv

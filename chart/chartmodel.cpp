#include "chart/chartmodel.h"

#include "common/numbers.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace {

// Time texts prepared by ClearAll at most; entries further out are added when stamped.
constexpr qint32 kPreparedTimeLabels = 1024;

// Inner value texts written at most.
constexpr qint64 kMostValueTexts = 4096;

// A pixel coordinate from a float. Rows far outside the surface are pulled in to
// a band around it first: the part of a line that shows does not change, and the
// painter never sees coordinates it cannot handle.
int ToPixel(float v, int extent)
{
    const float lo = -4.0f * static_cast<float>(extent) - 64.0f;
    const float hi = 5.0f * static_cast<float>(extent) + 64.0f;
    if (!(v >= lo))  // also NaN
        v = lo;
    if (v > hi)
        v = hi;
    // floor(v + 0.5), without a library call: the drawing does this for every sample.
    const float t = v + 0.5f;
    const int i = static_cast<int>(t);
    return static_cast<float>(i) > t ? i - 1 : i;
}

// Emits the grid positions start, start + step, ... while <= limit, accumulating in
// single precision. A step of zero or less would never end: only the first line is
// drawn. Steps below half a pixel put a line on every pixel anyway, so half a pixel
// is used; lines far to the left of the surface are skipped in one jump.
template <typename Draw>
void Sweep(float start, float step, float limit, Draw draw)
{
    if (!(start <= limit))
        return;
    if (!(step > 0.0f)) {
        draw(start);
        return;
    }
    const float s = std::max(step, 0.5f);
    float x = start;
    if (x < -s) {
        const float k = std::floor(-x / s) - 1.0f;
        if (k > 0.0f)
            x += k * s;
    }
    for (;;) {
        draw(x);
        const float next = x + s;
        if (!(next > x))
            break;
        x = next;
        if (!(x <= limit))
            break;
    }
}

} // namespace

void ChartDrawPlan::Clear()
{
    HorizontalLines.clear();
    VerticalLines.clear();
    for (Curve& c : Curves) {
        c.Drawn = false;
        c.Lines.clear();
        c.Points.clear();
    }
    Texts.clear();
}

ChartModel::ChartModel()
    : m_curves(1)
{
    m_curves[0].hasData = true;
    m_timeSource = [](const QString& pattern) { return QDateTime::currentDateTime().toString(pattern); };
}

void ChartModel::SetTimeSource(TimeSource source)
{
    if (source)
        m_timeSource = std::move(source);
}

void ChartModel::CheckIndex(short Index) const
{
    if (Index < 1 || Index > m_curveCount)
        throw std::out_of_range("curve index " + std::to_string(Index) + " outside 1.."
                                + std::to_string(m_curveCount));
}

ChartModel::Curve& ChartModel::At(short Index)
{
    CheckIndex(Index);
    return m_curves[static_cast<std::size_t>(Index - 1)];
}

const ChartModel::Curve& ChartModel::At(short Index) const
{
    CheckIndex(Index);
    return m_curves[static_cast<std::size_t>(Index - 1)];
}

QString ChartModel::Now() const
{
    return m_timeSource(m_timeFormat);
}

void ChartModel::StampTime(qint32 index)
{
    if (index < 0)
        return;
    while (m_timeLabels.size() <= index)
        m_timeLabels.append(QString());
    m_timeLabels[index] = Now();
}

// ---- samples -------------------------------------------------------------------

float ChartModel::RowOf(float yValue) const
{
    const float d = yValue - m_minVertical;
    if (!std::isfinite(d))
        throw std::overflow_error("value outside the chart's number range");
    const float range = m_maxVertical - m_minVertical;
    if (range == 0.0f)
        throw std::domain_error("the vertical maximum equals the minimum: no scale");
    if (!std::isfinite(range))
        throw std::overflow_error("vertical limits outside the chart's number range");
    const double h = m_plotHeight;
    const double row = h - (static_cast<double>(d) / static_cast<double>(range)) * h;
    if (!(std::fabs(row) <= static_cast<double>(std::numeric_limits<float>::max())))
        throw std::overflow_error("row outside the chart's number range");
    return static_cast<float>(row);
}

void ChartModel::AddValue(float yValue, short Index)
{
    Curve& curve = At(Index);
    const float row = RowOf(yValue);  // every check happens before anything changes

    curve.hasData = true;
    std::vector<float>& y = curve.buffer.Values;
    if (!y.empty()) {
        std::move(y.begin() + 1, y.end(), y.begin());
        y.back() = row;
    }

    if (Index == 1) {
        if (m_lastEmptyIndex >= 1)
            --m_lastEmptyIndex;
        if (m_movingGrid == 2 && m_gridOffset > std::numeric_limits<qint32>::min())
            --m_gridOffset;
        else if (m_movingGrid == 1 && m_gridOffset < std::numeric_limits<qint32>::max())
            ++m_gridOffset;
        if (m_timeLabels.isEmpty() || m_timeLabels.at(0).isEmpty())
            StampTime(0);
    }
}

void ChartModel::ClearAll(double surfaceWidth, double surfaceHeight)
{
    m_plotHeight = std::max<qint32>(0, kv::RoundHalfEven<qint32>(surfaceHeight));
    m_pointCount = std::max<qint32>(0, kv::RoundHalfEven<qint32>(surfaceWidth));
    m_gridOffset = 0;
    m_lastEmptyIndex = std::max<qint32>(0, m_pointCount - 1);
    m_timeLabelIndex = 0;
    for (Curve& c : m_curves) {
        c.hasData = false;
        c.buffer.Values.assign(static_cast<std::size_t>(m_pointCount), 0.0f);
    }
    m_curves[0].hasData = true;
    m_timeLabels = QStringList();
    const qint32 labels = std::min(m_horizontalSplits, kPreparedTimeLabels) + 1;
    m_timeLabels.reserve(labels);
    for (qint32 i = 0; i < labels; ++i)
        m_timeLabels.append(QString());
}

void ChartModel::Release()
{
    for (Curve& c : m_curves)
        std::vector<float>().swap(c.buffer.Values);
    m_timeLabels = QStringList();
}

// ---- drawing -------------------------------------------------------------------

double ChartModel::CellWidth() const
{
    return static_cast<double>(m_pointCount - 1) / static_cast<double>(m_horizontalSplits);
}

bool ChartModel::CurvesMoveLeft() const
{
    if (m_movingGrid == 2)
        return true;
    if (m_movingGrid == 1)
        return false;
    return m_movingCurve == 0 || m_movingCurve == 2;
}

void ChartModel::FoldBack()
{
    const double cell = std::floor(CellWidth());
    const double offset = m_gridOffset;
    const bool fold = (m_movingGrid == 2 && offset <= -cell) || (m_movingGrid == 1 && offset >= cell);
    if (fold) {
        ++m_timeLabelIndex;
        m_gridOffset = 0;
        StampTime(m_timeLabelIndex);
    }
    if (m_timeLabelIndex >= m_horizontalSplits - 1) {
        m_timeLabelIndex = 0;
        StampTime(0);
    }
}

void ChartModel::PlanDrawing(ChartDrawPlan& plan, int textHeight, const TextWidth& textWidth)
{
    plan.Clear();
    const qint32 n = m_pointCount;
    const qint32 h = m_plotHeight;

    if (m_showGrid) {
        const float rowSpacing =
            static_cast<float>(static_cast<double>(h - 1) / m_verticalSplits - 0.0001);
        Sweep(0.0f, rowSpacing, static_cast<float>(h - 1), [&](float y) {
            const int py = ToPixel(y, h);
            plan.HorizontalLines.emplace_back(0, py, n, py);
        });
        const float start = m_movingGrid == 0 ? 0.0f : static_cast<float>(m_gridOffset);
        const float columnSpacing = static_cast<float>(CellWidth() - 0.0001);
        Sweep(start, columnSpacing, static_cast<float>(n - 1), [&](float x) {
            const int px = ToPixel(x, n);
            if (px >= 0)
                plan.VerticalLines.emplace_back(px, 0, px, h);
        });
    }

    FoldBack();
    PlanCurves(plan);
    if (m_showAxesText)
        PlanTexts(plan, textHeight, textWidth);
}

void ChartModel::PlanCurves(ChartDrawPlan& plan) const
{
    const qint32 n = m_pointCount;
    const qint32 h = m_plotHeight;
    plan.Curves.resize(m_curves.size());
    if (m_lastEmptyIndex > n - 1)
        return;
    const bool left = CurvesMoveLeft();
    for (std::size_t k = 0; k < m_curves.size(); ++k) {
        const Curve& curve = m_curves[k];
        if (!curve.hasData)
            continue;
        ChartDrawPlan::Curve& out = plan.Curves[k];
        out.Drawn = true;
        out.Color = curve.lineColor;
        out.Dotted = curve.lineType != 0;
        const std::vector<float>& y = curve.buffer.Values;
        if (static_cast<qint32>(y.size()) < n)
            continue;  // released by Terminate
        const qint32 first = m_lastEmptyIndex + 1;
        if (out.Dotted) {
            out.Points.reserve(static_cast<std::size_t>(std::max(0, n - 1 - first)));
            for (qint32 i = first; i <= n - 2; ++i) {
                const int x = left ? i + 1 : n - 2 - i;
                out.Points.emplace_back(x, ToPixel(y[static_cast<std::size_t>(i + 1)], h));
            }
        } else {
            out.Lines.reserve(static_cast<std::size_t>(std::max(0, n - 1 - first)));
            int y1 = first <= n - 2 ? ToPixel(y[static_cast<std::size_t>(first)], h) : 0;
            for (qint32 i = first; i <= n - 2; ++i) {
                const int y0 = y1;
                y1 = ToPixel(y[static_cast<std::size_t>(i + 1)], h);
                if (left)
                    out.Lines.emplace_back(i, y0, i + 1, y1);
                else
                    out.Lines.emplace_back(n - 1 - i, y0, n - 2 - i, y1);
            }
        }
    }
}

void ChartModel::PlanTexts(ChartDrawPlan& plan, int textHeight, const TextWidth& textWidth) const
{
    const qint32 n = m_pointCount;
    const qint32 h = m_plotHeight;
    const qint32 vs = m_verticalSplits;
    const double maxV = m_maxVertical;
    const double minV = m_minVertical;

    plan.Texts.push_back({QPoint(3, 0), kv::FormatFixed0_0Sharp(maxV)});

    // Every inner text, also where they lie on top of each other. Only a count far
    // beyond any the window offers (it allows 1000) is spread over kMostValueTexts
    // texts, so that it cannot stall the drawing.
    const qint64 inner = static_cast<qint64>(vs) - 1;
    const qint64 stride = inner > kMostValueTexts ? (inner + kMostValueTexts - 1) / kMostValueTexts : 1;
    for (qint64 u = 1; u <= inner; u += stride) {
        const double y = std::floor(static_cast<double>(h) / vs * static_cast<double>(u) - textHeight / 2.0);
        const double value = maxV - (maxV - minV) / vs * static_cast<double>(u);
        plan.Texts.push_back({QPoint(3, static_cast<int>(std::clamp(y, -1e6, 1e6))),
                              kv::FormatFixed0_0Sharp(value)});
    }

    plan.Texts.push_back({QPoint(3, h - textHeight), kv::FormatGeneralSigned(m_minVertical)});

    if (m_movingGrid != 1 && m_movingGrid != 2)
        return;
    const double cell = CellWidth();
    const int y = h - textHeight;
    for (qint32 j = 0; j <= m_timeLabelIndex; ++j) {
        const qint32 at = m_timeLabelIndex - j;
        if (at >= m_timeLabels.size())
            continue;
        const QString& s = m_timeLabels.at(at);
        if (s.isEmpty())
            continue;
        const double centre = m_movingGrid == 2 ? m_gridOffset + n - cell * j : cell * j + m_gridOffset;
        if (centre < -static_cast<double>(n) - 4096.0 || centre > 2.0 * n + 4096.0)
            continue;  // far outside: clipped anyway
        const int w = textWidth ? textWidth(s) : 0;
        const float x = static_cast<float>(centre - w / 2.0);
        plan.Texts.push_back({QPoint(static_cast<int>(std::floor(x + 0.5f)), y), s});
    }
}

// ---- settings ------------------------------------------------------------------

void ChartModel::SetHorizontalSplits(qint32 v)
{
    m_horizontalSplits = v <= 0 ? 1 : v;
    // Time texts written after a raise need room: grow the prepared entries.
    const qint32 wanted = std::min(m_horizontalSplits, kPreparedTimeLabels) + 1;
    while (m_timeLabels.size() < wanted)
        m_timeLabels.append(QString());
}

void ChartModel::SetVerticalSplits(qint32 v)
{
    m_verticalSplits = v <= 0 ? 1 : v;
}

void ChartModel::SetMaxVertical(float v)
{
    m_maxVertical = v > 0.0f ? v : 1.0f;  // NaN too becomes 1.0
}

void ChartModel::SetMinVertical(float v)
{
    m_minVertical = v < m_maxVertical ? v : m_maxVertical - 1.0f;  // NaN too
}

void ChartModel::SetCurveLineColor(short Index, qint32 colour)
{
    At(Index).lineColor = colour;
}

void ChartModel::SetCurveLineType(short Index, qint32 type)
{
    At(Index).lineType = type;
    m_legendMarker = type == 0 ? QStringLiteral("\u2014 ") : QStringLiteral("\u2026 ");
}

short ChartModel::SetCurveCount(short v)
{
    const short n = std::clamp<short>(v, 1, kMaxCurves);
    m_curveCount = n;
    m_curves.assign(static_cast<std::size_t>(n), Curve{});
    for (Curve& c : m_curves)
        c.buffer.Values.assign(static_cast<std::size_t>(m_pointCount), 0.0f);
    m_curves[0].hasData = true;
    return n;
}

void ChartModel::SetShowLegend(short Index, bool v)
{
    At(Index).showLegend = v;
}

// ---- legend geometry -----------------------------------------------------------

void ChartModel::SetLegendRect(short Index, LegendPoint topLeft, LegendPoint bottomRight)
{
    Curve& c = At(Index);
    c.topLeft = topLeft;
    c.bottomRight = bottomRight;
}

void ChartModel::SetLegendDragging(short Index, bool v) { At(Index).dragging = v; }
void ChartModel::SetLegendDragOffset(short Index, LegendPoint v) { At(Index).dragOffset = v; }
void ChartModel::SetLegendPinned(short Index, bool v) { At(Index).pinned = v; }

bool ChartModel::LegendVisible(short Index) const
{
    const Curve& c = At(Index);
    return c.showLegend && c.hasData;
}

// ---- state ---------------------------------------------------------------------

qint32 ChartModel::CurveLineColor(short Index) const { return At(Index).lineColor; }
qint32 ChartModel::CurveLineType(short Index) const { return At(Index).lineType; }
bool ChartModel::ShowLegendSwitch(short Index) const { return At(Index).showLegend; }
const SampleBuffer& ChartModel::CurveBuffers(short Index) const { return At(Index).buffer; }
bool ChartModel::CurveHasData(short Index) const { return At(Index).hasData; }
bool ChartModel::LegendDragging(short Index) const { return At(Index).dragging; }
LegendPoint ChartModel::LegendTopLeft(short Index) const { return At(Index).topLeft; }
LegendPoint ChartModel::LegendBottomRight(short Index) const { return At(Index).bottomRight; }
LegendPoint ChartModel::LegendDragOffset(short Index) const { return At(Index).dragOffset; }
bool ChartModel::LegendPinned(short Index) const { return At(Index).pinned; }

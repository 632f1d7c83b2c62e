#include "chart/traceview.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

namespace kv {

TraceView::TraceView() = default;

void TraceView::ShowWhole()
{
    m_whole = true;
    m_follow = true;
    if (m_hasData) {
        m_from = m_first;
        m_to = m_first + std::max(m_last - m_first, double(kMinSpanMs));
    }
}

void TraceView::ShowLast(qint64 spanMs)
{
    m_whole = false;
    m_follow = true;
    const double end = m_hasData ? m_last : m_to;
    m_to = end;
    m_from = end - double(std::max(spanMs, kMinSpanMs));
    Clamp();
}

void TraceView::SetFollow(bool on)
{
    m_follow = on;
    if (!on) {
        m_whole = false;
        return;
    }
    if (m_hasData) {
        const double span = SpanMs();
        m_to = m_last;
        m_from = m_last - span;
    }
}

void TraceView::ZoomTime(double factor, double atMs)
{
    if (!(factor > 0.0))
        return;
    const double span = SpanMs();
    const double wanted = std::clamp(span * factor, double(kMinSpanMs), m_hasData ? std::max(MaxSpan(), span) : 1e300);
    m_whole = false;
    if (m_follow) {
        m_from = m_to - wanted;
    } else {
        const double at = std::clamp(atMs, m_from, m_to);
        const double f = wanted / span;
        m_from = at - (at - m_from) * f;
        m_to = m_from + wanted;
    }
    Clamp();
}

void TraceView::Pan(double deltaMs)
{
    m_whole = false;
    m_follow = false;
    m_from += deltaMs;
    m_to += deltaMs;
    Clamp();
}

void TraceView::ShowRange(double fromMs, double toMs)
{
    m_whole = false;
    m_follow = false;
    if (toMs < fromMs)
        std::swap(fromMs, toMs);
    m_from = fromMs;
    m_to = std::max(toMs, fromMs + double(kMinSpanMs));
    Clamp();
}

bool TraceView::Track(const TraceSource& source)
{
    const double from = m_from;
    const double to = m_to;
    m_hasData = !source.Empty();
    if (!m_hasData)
        return false;
    m_first = double(source.FirstMs());
    m_last = double(source.LastMs());
    if (m_whole) {
        m_from = m_first;
        m_to = m_first + std::max(m_last - m_first, double(kMinSpanMs));
    } else if (m_follow) {
        const double span = SpanMs();
        m_to = m_last;
        m_from = m_last - span;
    }
    Clamp();
    return m_from != from || m_to != to;
}

void TraceView::AutoscaleAll()
{
    for (CurveState& c : m_curves)
        c.autoscale = true;
}

void TraceView::SetScale(int k, double low, double high)
{
    CurveState& c = m_curves[Index(k)];
    if (high < low)
        std::swap(low, high);
    if (!(high > low))
        return;
    c.autoscale = false;
    c.low = low;
    c.high = high;
}

double TraceView::MaxSpan() const
{
    return std::max(2.5 * (m_last - m_first), double(kEmptySpanMs));
}

void TraceView::Clamp()
{
    // Before the source is known, any span from the least on.
    const double span = m_hasData ? std::clamp(SpanMs(), double(kMinSpanMs), std::max(MaxSpan(), double(kMinSpanMs)))
                                   : std::max(SpanMs(), double(kMinSpanMs));
    m_to = m_from + span;
    if (!m_hasData)
        return;
    // Some of what the source holds stays in view.
    if (m_from > m_last) {
        m_from = m_last;
        m_to = m_last + span;
    }
    if (m_to < m_first) {
        m_to = m_first;
        m_from = m_first - span;
    }
}

// ---- scales and ticks ----

namespace {

// The round step at or above `raw`: 1, 2 or 5 times a power of ten.
double RoundStepAtLeast(double raw)
{
    if (!(raw > 0.0) || !std::isfinite(raw))
        return 1.0;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double m : {1.0, 2.0, 5.0, 10.0})
        if (m * power >= raw * (1.0 - 1e-9))
            return m * power;
    return 10.0 * power;
}

double NextRoundStep(double step)
{
    return RoundStepAtLeast(step * 1.000001 + std::numeric_limits<double>::min());
}

} // namespace

TraceScale AutoScale(double low, double high, int divisions)
{
    divisions = std::max(divisions, 1);
    if (!std::isfinite(low) || !std::isfinite(high))
        low = 0.0, high = 1.0;
    if (high < low)
        std::swap(low, high);
    if (high - low < 1e-9 * std::max(1.0, std::abs(high))) {
        const double pad = std::max(std::abs(low) * 0.05, 1.0);
        low -= pad;
        high += pad;
    }
    double step = RoundStepAtLeast((high - low) / divisions);
    double start = std::floor(low / step + 1e-9) * step;
    while (start + divisions * step < high - 1e-9 * step) {
        step = NextRoundStep(step * 1.5);
        start = std::floor(low / step + 1e-9) * step;
    }
    TraceScale s;
    s.low = start;
    s.high = start + divisions * step;
    s.decimals = std::max(0, -int(std::floor(std::log10(step) + 1e-9)));
    return s;
}

TraceScale FixedScale(double low, double high, int divisions)
{
    TraceScale s;
    s.low = low;
    s.high = high;
    const double step = (high - low) / std::max(divisions, 1);
    s.decimals = step > 0.0 ? std::clamp(1 - int(std::floor(std::log10(step))), 0, 6) : 0;
    return s;
}

namespace {

constexpr qint64 kSecond = 1000;
constexpr qint64 kMinute = 60 * kSecond;
constexpr qint64 kHour = 60 * kMinute;
constexpr qint64 kDay = 24 * kHour;
constexpr qint64 kTimeSteps[] = {
    1, 2, 5, 10, 20, 50, 100, 200, 500,
    kSecond, 2 * kSecond, 5 * kSecond, 10 * kSecond, 15 * kSecond, 30 * kSecond,
    kMinute, 2 * kMinute, 5 * kMinute, 10 * kMinute, 15 * kMinute, 30 * kMinute,
    kHour, 2 * kHour, 3 * kHour, 6 * kHour, 12 * kHour,
    kDay, 2 * kDay, 7 * kDay, 30 * kDay,
};

qint64 LocalOffsetMs(qint64 timeMs)
{
    return qint64(QDateTime::fromMSecsSinceEpoch(timeMs).offsetFromUtc()) * 1000;
}

} // namespace

int TimeFormatIndex(qint64 stepMs)
{
    return stepMs < kSecond ? 0 : stepMs < kMinute ? 1 : 2;
}

QString TimeFormatFor(qint64 stepMs)
{
    static const QString formats[] = {QStringLiteral("hh:mm:ss.zzz"), QStringLiteral("hh:mm:ss"),
                                      QStringLiteral("hh:mm")};
    return formats[TimeFormatIndex(stepMs)];
}

qint64 TimeTickStep(double spanMs, int widthPx, const TimeTextGaps& gapPx)
{
    if (!(spanMs > 0.0) || widthPx <= 0)
        return kTimeSteps[std::size(kTimeSteps) - 1];
    for (const qint64 step : kTimeSteps)
        if (double(step) / spanMs * widthPx >= gapPx[size_t(TimeFormatIndex(step))])
            return step;
    return kTimeSteps[std::size(kTimeSteps) - 1];
}

std::vector<TraceTick> TimeTicks(double fromMs, double toMs, int widthPx, const TimeTextGaps& gapPx, bool withDates)
{
    std::vector<TraceTick> ticks;
    const qint64 step = TimeTickStep(toMs - fromMs, widthPx, gapPx);
    const QString format = TimeFormatFor(step);
    withDates = withDates || step >= kDay;
    const qint64 offset = LocalOffsetMs(qint64(fromMs));
    const double first = std::ceil((fromMs + double(offset)) / double(step)) * double(step) - double(offset);
    QString lastDate;
    for (double t = first; t <= toMs && ticks.size() < 1000; t += double(step)) {
        TraceTick tick;
        tick.timeMs = qint64(std::llround(t));
        const QDateTime when = QDateTime::fromMSecsSinceEpoch(tick.timeMs);
        tick.text = when.toString(format);
        if (withDates) {
            const QString date = when.toString(QStringLiteral("yyyy-MM-dd"));
            if (date != lastDate)
                tick.date = date;
            lastDate = date;
        }
        ticks.push_back(tick);
    }
    return ticks;
}

bool DifferentDates(qint64 aMs, qint64 bMs)
{
    return QDateTime::fromMSecsSinceEpoch(aMs).date() != QDateTime::fromMSecsSinceEpoch(bMs).date();
}

std::optional<qint64> NearestSampleMs(const TraceSource& source, qint64 timeMs)
{
    const qint64 n = source.Count();
    if (n == 0)
        return std::nullopt;
    const qint64 i = source.FirstAtOrAfter(timeMs);
    if (i >= n)
        return source.LastMs();
    const qint64 after = source.At(i).timeMs;
    if (i == 0)
        return after;
    const qint64 before = source.At(i - 1).timeMs;
    return timeMs - before <= after - timeMs ? before : after;
}

} // namespace kv

#include "chart/tracestats.h"

#include <algorithm>

namespace kv {

namespace {

// The index of the sample nearest to the time (-1 when there is none).
qint64 NearestIndex(const TraceSource& source, qint64 timeMs)
{
    const qint64 n = source.Count();
    if (n == 0)
        return -1;
    const qint64 i = source.FirstAtOrAfter(timeMs);
    if (i >= n)
        return n - 1;
    if (i == 0)
        return 0;
    return timeMs - source.At(i - 1).timeMs <= source.At(i).timeMs - timeMs ? i - 1 : i;
}

} // namespace

std::optional<double> TraceCursorStats::Curve::Difference() const
{
    if (!atA || !atB)
        return std::nullopt;
    return *atB - *atA;
}

std::optional<qint64> TraceCursorStats::DeltaMs() const
{
    if (!aMs || !bMs)
        return std::nullopt;
    return *bMs - *aMs;
}

TraceCursorStats CursorStats(const TraceSource& source, std::optional<qint64> aMs, std::optional<qint64> bMs,
                             int listed)
{
    TraceCursorStats stats;
    const int curves = std::min(source.CurveCount(), kTraceMaxCurves);
    const int lanes = std::min(source.LaneCount(), kTraceMaxLanes);
    stats.curves.resize(size_t(curves));
    stats.lanes.resize(size_t(lanes));
    const qint64 ia = aMs ? NearestIndex(source, *aMs) : -1;
    const qint64 ib = bMs ? NearestIndex(source, *bMs) : -1;
    if (ia >= 0) {
        const TracePoint p = source.At(ia);
        stats.aMs = p.timeMs;
        for (int k = 0; k < curves; ++k)
            stats.curves[size_t(k)].atA = p.values[size_t(k)];
    }
    if (ib >= 0) {
        const TracePoint p = source.At(ib);
        stats.bMs = p.timeMs;
        for (int k = 0; k < curves; ++k)
            stats.curves[size_t(k)].atB = p.values[size_t(k)];
    }
    if (ia < 0 || ib < 0)
        return stats;

    const qint64 from = std::min(ia, ib);
    const qint64 to = std::max(ia, ib);
    std::array<double, kTraceMaxCurves> low{};
    std::array<double, kTraceMaxCurves> high{};
    std::array<double, kTraceMaxCurves> sum{};
    // A change at A's sample counts: the bit changed since the sample before.
    quint32 before = source.At(from > 0 ? from - 1 : from).bits;
    for (qint64 i = from; i <= to; ++i) {
        const TracePoint p = source.At(i);
        for (size_t k = 0; k < size_t(curves); ++k) {
            const double v = p.values[k];
            low[k] = i == from ? v : std::min(low[k], v);
            high[k] = i == from ? v : std::max(high[k], v);
            sum[k] += v;
        }
        {
            const quint32 changed = p.bits ^ before;
            for (int b = 0; changed != 0 && b < lanes; ++b) {
                if (!(changed & (1u << b)))
                    continue;
                TraceCursorStats::Lane& lane = stats.lanes[size_t(b)];
                if (lane.total++ < listed)
                    lane.changes.push_back({p.timeMs, (p.bits & (1u << b)) != 0});
            }
        }
        before = p.bits;
    }
    stats.samples = to - from + 1;
    for (size_t k = 0; k < size_t(curves); ++k) {
        stats.curves[k].low = low[k];
        stats.curves[k].high = high[k];
        stats.curves[k].mean = sum[k] / double(stats.samples);
    }
    return stats;
}

} // namespace kv

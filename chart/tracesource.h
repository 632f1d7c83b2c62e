// What the trace's plot draws, behind an interface of the chart: a run of
// samples in time order, each with a few values (curves, each with its name,
// unit and colour) and a word of bits (lanes), kept in stretches (a gap lies
// between two stretches and is never bridged). The plot asks for the extremes
// of each pixel column (Reduce) and, for the cursors, for single samples.
// The tool adapts its sample history to it (app/); tests and the benchmark
// may feed it anything.
#pragma once

#include <QRgb>
#include <QString>
#include <QtGlobal>

#include <array>
#include <vector>

namespace kv {

inline constexpr int kTraceMaxCurves = 8;
inline constexpr int kTraceMaxLanes = 16;

struct TraceCurve {
    QString name;      // "频率"
    QString unit;      // "Hz"
    QRgb colour = 0;
    int decimals = 1;  // the resolution of its values
};

// One pixel column: the extremes of the samples whose times fall in it.
struct TraceColumn {
    qint64 count = 0;  // 0: no sample in the column
    std::array<double, kTraceMaxCurves> low{};
    std::array<double, kTraceMaxCurves> high{};
    quint32 all = 0;  // the bits set in every sample of the column
    quint32 any = 0;  // the bits set in some sample
    // The stretches of the column's first and last sample: a column joins the
    // one before only when they share a stretch.
    qint64 firstStretch = -1;
    qint64 lastStretch = -1;
};

struct TracePoint {
    qint64 timeMs = 0;
    std::array<double, kTraceMaxCurves> values{};
    quint32 bits = 0;
};

class TraceSource {
public:
    virtual ~TraceSource() = default;

    virtual int CurveCount() const = 0;
    virtual TraceCurve Curve(int k) const = 0;
    virtual int LaneCount() const = 0;
    // Lane i shows bit i.
    virtual QString LaneName(int lane) const = 0;

    virtual qint64 Count() const = 0;
    bool Empty() const { return Count() == 0; }
    // The oldest and newest sample's times (0 when empty).
    virtual qint64 FirstMs() const = 0;
    virtual qint64 LastMs() const = 0;
    // Whether older samples have gone: the source holds data from FirstMs only.
    virtual bool Trimmed() const = 0;

    // The extremes of each of `columns` equal slices of [fromMs, toMs):
    // column c holds the samples from fromMs + floor(c w) up to (not
    // including) fromMs + floor((c + 1) w), w = (toMs - fromMs) / columns.
    virtual void Reduce(qint64 fromMs, qint64 toMs, int columns, std::vector<TraceColumn>& out) const = 0;
    // The index of the first sample at or after the time (Count() when none).
    virtual qint64 FirstAtOrAfter(qint64 timeMs) const = 0;
    // Sample i, 0 <= i < Count(), and the stretch it belongs to.
    virtual TracePoint At(qint64 i) const = 0;
    virtual qint64 StretchOf(qint64 i) const = 0;
};

} // namespace kv

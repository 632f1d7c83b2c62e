// What the trace's plot shows, without a window: the span of time (the
// whole history, the newest sample kept at the right edge, or a span the user
// zoomed or panned to), which curves on which scales, and the cursors A and
// B. The plot widget changes it on the user's gestures; the drawing reads it.
#pragma once

#include "chart/tracesource.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace kv {

class TraceView {
public:
    static constexpr qint64 kMinSpanMs = 100;       // zoomed in at most
    static constexpr qint64 kEmptySpanMs = 10'000;  // shown before there is a span of data

    enum class Cursor { A, B };

    TraceView();

    // ---- time ----
    double FromMs() const { return m_from; }
    double ToMs() const { return m_to; }
    double SpanMs() const { return m_to - m_from; }
    // The view shows the whole history and grows with it.
    bool Whole() const { return m_whole; }
    // The newest sample stays at the right edge as samples come.
    bool Follow() const { return m_follow; }

    void ShowWhole();
    // The last `spanMs` up to the newest sample, following it.
    void ShowLast(qint64 spanMs);
    void SetFollow(bool on);
    // Zooms the time by `factor` (below 1: in) around the time `atMs`; while
    // following, around the right edge (the newest sample stays there).
    void ZoomTime(double factor, double atMs);
    // Moves the view `deltaMs` later (earlier when negative); stops following.
    void Pan(double deltaMs);
    // Shows exactly this span (a box drawn, a capture); stops following.
    void ShowRange(double fromMs, double toMs);
    // Brings the span up to date with the source (the whole history, or the
    // newest sample at the right edge) and keeps it within what the source
    // holds. True when the span moved.
    bool Track(const TraceSource& source);

    // ---- curves ----
    bool CurveShown(int k) const { return m_curves[Index(k)].shown; }
    void ShowCurve(int k, bool shown) { m_curves[Index(k)].shown = shown; }
    // Autoscaled curves take the range of what the view shows of them.
    bool Autoscale(int k) const { return m_curves[Index(k)].autoscale; }
    void SetAutoscale(int k, bool on) { m_curves[Index(k)].autoscale = on; }
    void AutoscaleAll();
    // A fixed scale (the curve is no longer autoscaled).
    void SetScale(int k, double low, double high);
    double ScaleLow(int k) const { return m_curves[Index(k)].low; }
    double ScaleHigh(int k) const { return m_curves[Index(k)].high; }

    // ---- cursors ----
    std::optional<qint64> CursorAt(Cursor c) const { return c == Cursor::A ? m_a : m_b; }
    void SetCursor(Cursor c, std::optional<qint64> timeMs) { (c == Cursor::A ? m_a : m_b) = timeMs; }
    void ClearCursors() { m_a.reset(), m_b.reset(); }

private:
    struct CurveState {
        bool shown = true;
        bool autoscale = true;
        double low = 0.0;
        double high = 1.0;
    };
    static size_t Index(int k) { return static_cast<size_t>(qBound(0, k, kTraceMaxCurves - 1)); }
    // The longest span one may zoom out to.
    double MaxSpan() const;
    void Clamp();

    double m_from = 0.0;
    double m_to = kEmptySpanMs;
    bool m_whole = true;
    bool m_follow = true;
    // What the source held at the last Track.
    bool m_hasData = false;
    double m_first = 0.0;
    double m_last = 0.0;
    std::array<CurveState, kTraceMaxCurves> m_curves{};
    std::optional<qint64> m_a;
    std::optional<qint64> m_b;
};

// ---- scales and ticks ----

// A scale of a curve: `divisions` equal steps from low to high, the labels'
// decimals.
struct TraceScale {
    double low = 0.0;
    double high = 1.0;
    int decimals = 0;
};

// The scale for values from `low` to `high` in `divisions` steps of a round
// size (1, 2 or 5 times a power of ten), starting at a multiple of the step.
TraceScale AutoScale(double low, double high, int divisions);
// A given range in `divisions` steps, with the decimals its steps need.
TraceScale FixedScale(double low, double high, int divisions);

// The time ticks for a span drawn `widthPx` wide, far enough apart for their
// texts (`gapPx`: the room a text takes in each of the three formats below):
// round local times (every 100 ms, 1 s, 15 s, 10 min, 1 h, ... as the span
// asks) with their texts: "hh:mm:ss.zzz" when the step is below a second,
// "hh:mm:ss" below a minute, "hh:mm" from a minute; a tick starts a new date
// line ("yyyy-MM-dd") when `withDates` and its date differs from the tick's
// before it (the first tick always has one then).
struct TraceTick {
    qint64 timeMs = 0;
    QString text;
    QString date;  // empty when the tick shows no date
};
using TimeTextGaps = std::array<int, 3>;
std::vector<TraceTick> TimeTicks(double fromMs, double toMs, int widthPx, const TimeTextGaps& gapPx, bool withDates);
// The step TimeTicks takes, and the time text format for it (0, 1, 2: the
// formats with milliseconds, with seconds, with minutes).
qint64 TimeTickStep(double spanMs, int widthPx, const TimeTextGaps& gapPx);
int TimeFormatIndex(qint64 stepMs);
QString TimeFormatFor(qint64 stepMs);

// Whether two times fall on different local dates.
bool DifferentDates(qint64 aMs, qint64 bMs);

// The time of the sample nearest to `timeMs` (nothing when the source is empty).
std::optional<qint64> NearestSampleMs(const TraceSource& source, qint64 timeMs);

} // namespace kv

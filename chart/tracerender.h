// Drawing the trace: the view of a source into a picture, without a window.
//
// Above, the curves, each on its own scale (an axis on the left in the
// curve's colour, its unit on top, one grid of divisions shared by all);
// below them the bit lanes, drawn as steps; under everything the clock time.
// The picture is made from the extremes of each pixel column (the source's
// Reduce): a column is drawn as the run from its least to its greatest
// value, joined to the column before when both hold samples of one stretch,
// so a single-sample spike shows at every zoom and a gap stays empty. The
// cost of a drawing follows the picture's width, not the history's length.
// Columns, lines and runs are set straight into the pixels; texts and the
// odd grid line go through QPainter, the texts laid out once and kept.
#pragma once

#include "chart/tracesource.h"
#include "chart/traceview.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QRect>
#include <QStaticText>

#include <array>
#include <optional>
#include <vector>

namespace kv {

// Where the parts of a drawing lie.
struct TraceLayout {
    QRect plot;   // the curves
    QRect lanes;  // the bit lanes
    int laneHeight = 0;
    int divisions = 1;  // of the value scales
    int timeTextTop = 0;
    // Each shown curve's axis: [left, right) on the left of the plot; hidden
    // curves have none (right < 0).
    std::array<int, kTraceMaxCurves> axisLeft{};
    std::array<int, kTraceMaxCurves> axisRight{};
};

class TraceRenderer {
public:
    TraceRenderer();

    void SetFont(const QFont& font);
    QFont Font() const { return m_font; }

    // Draws the view of the source into the picture (Format_RGB32), a title
    // on its first line when one is given.
    void Render(QImage& image, const TraceSource& source, const TraceView& view, const QString& title = QString());

    // Of the last drawing: where its parts lie, the scale each curve took,
    // and the conversions between pixels, times and values.
    const TraceLayout& Layout() const { return m_layout; }
    const TraceScale& ScaleOf(int k) const { return m_scales[size_t(qBound(0, k, kTraceMaxCurves - 1))]; }
    double TimeAtX(double x) const;
    double XOfTime(double timeMs) const;
    // The pixel column a sample at that time is drawn in.
    int PixelOf(qint64 timeMs) const;
    double ValueAtY(int k, double y) const;
    double YOfValue(int k, double value) const;

private:
    struct Metrics {
        int line = 0;    // height of a line of text
        int ascent = 0;
        int axisWidth = 0;
        TimeTextGaps timeGaps{};
    };
    void Measure(const QImage& image);
    void PlanLayout(QSize size, const TraceSource& source, const TraceView& view);
    void PlanScales(const TraceSource& source, const TraceView& view);
    void DrawCurves(QImage& image, const TraceSource& source, const TraceView& view);
    void DrawLanes(QImage& image, const TraceSource& source);
    const QStaticText& Laid(const QString& text);

    QFont m_font;
    int m_dotsPerMeter = 0;
    Metrics m_metrics;
    QHash<QString, QStaticText> m_texts;
    TraceLayout m_layout;
    std::array<TraceScale, kTraceMaxCurves> m_scales{};
    std::vector<TraceColumn> m_columns;
    double m_from = 0.0;
    double m_to = 1.0;
};

// The source from `fromMs` to `toMs` drawn into a picture of the given size,
// every curve shown and autoscaled, cursor A at `cursorMs` when given: for a
// file or the clipboard, without a window on screen.
QImage RenderTrace(const TraceSource& source, qint64 fromMs, qint64 toMs, QSize size,
                   std::optional<qint64> cursorMs = std::nullopt, const QString& title = QString());

} // namespace kv

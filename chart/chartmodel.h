// The data model of the strip chart: sample buffers, the clock of curve 1, the
// moving grid and its time texts, per-curve settings and the legend geometry.
//
// Every curve keeps one sample per pixel column of the drawing surface, stored as
// the pixel row it will be drawn at; the newest sample sits at the last index and
// the buffer shifts one place towards index 0 per sample. Only a sample of curve 1
// advances the moving grid and the count of filled columns.
//
// Curves are numbered from 1. Indexes outside 1..CurveCount throw std::out_of_range
// before anything changes. No QtWidgets here: the widget (CurveGraph) measures its
// surface and text and paints what PlanDrawing() lays out.
#pragma once

#include <QLine>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <functional>
#include <vector>

// A point on the drawing surface, in pixels.
struct LegendPoint {
    float X = 0.0f;
    float Y = 0.0f;
};

// The samples of one curve: the pixel row of each sample, index PointCount - 1 newest.
struct SampleBuffer {
    std::vector<float> Values;
};

// Everything one call of DrawGridCurve puts on the surface, in painting order:
// clear, horizontal grid lines, vertical grid lines, curves 1..n, texts.
struct ChartDrawPlan {
    // One entry per curve 1..CurveCount; Drawn is false for a curve without data.
    struct Curve {
        bool Drawn = false;
        qint32 Color = 0;
        bool Dotted = false;
        std::vector<QLine> Lines;    // solid curve
        std::vector<QPoint> Points;  // dotted curve
    };
    struct Text {
        QPoint TopLeft;  // current position of the text output
        QString Value;
    };
    std::vector<QLine> HorizontalLines;
    std::vector<QLine> VerticalLines;
    std::vector<Curve> Curves;
    std::vector<Text> Texts;

    void Clear();
};

class ChartModel {
public:
    static constexpr short kMaxCurves = 10;
    static constexpr qint32 kDefaultGridColor = 0x008200;  // RGB(0, 130, 0)
    static constexpr qint32 kDefaultCurveColor = 0x00FF00;
    static constexpr qint32 kDefaultAxesTextColor = 0xFFFFFF;

    // The current local date and time formatted with a pattern such as "hh:mm:ss".
    using TimeSource = std::function<QString(const QString& pattern)>;
    // Width of a text in the axis font, in pixels.
    using TextWidth = std::function<int(const QString& text)>;

    // The state right after construction: one curve, defaults everywhere, no buffers
    // (ClearAll with the surface's size makes them).
    ChartModel();

    void SetTimeSource(TimeSource source);

    // --- samples --------------------------------------------------------------
    // Adds the value of one curve. Throws std::out_of_range for a bad index,
    // std::domain_error when the vertical limits are equal (no scale), and
    // std::overflow_error when the value or its row is not a finite single;
    // all of these before anything changed.
    void AddValue(float yValue, short Index = 1);
    // Starts the chart empty for a surface of the given inner size in pixels.
    void ClearAll(double surfaceWidth, double surfaceHeight);
    // Releases the sample buffers and time texts (the chart is not used afterwards;
    // adding or drawing then stores and draws nothing, without failing).
    void Release();
    // The pixel row a value would be stored at (same checks as AddValue).
    float RowOf(float yValue) const;

    // --- drawing --------------------------------------------------------------
    // Lays out one DrawGridCurve: grid lines (from the offset before fold-back), the
    // fold-back and time stamps, curves and axis texts. textHeight is the height of
    // one line of text in the axis font. Changes GridOffset, TimeLabelIndex, TimeLabels.
    void PlanDrawing(ChartDrawPlan& plan, int textHeight, const TextWidth& textWidth);
    // Step 3 of the drawing alone: fold the moving grid back and stamp times.
    void FoldBack();
    // True when curves enter at the right edge and move left.
    bool CurvesMoveLeft() const;
    double CellWidth() const;

    // --- settings (the property rules; widget side effects live in CurveGraph) ---
    void SetShowGrid(bool v) { m_showGrid = v; }
    void SetMovingGrid(qint32 v) { m_movingGrid = v; }
    void SetMovingCurve(qint32 v) { m_movingCurve = v; }
    void SetHorizontalSplits(qint32 v);  // <= 0 becomes 1; time texts grow to fit
    void SetVerticalSplits(qint32 v);    // <= 0 becomes 1
    void SetMaxVertical(float v);        // <= 0 becomes 1.0
    void SetMinVertical(float v);        // >= MaxVertical becomes MaxVertical - 1
    void SetHorizontalGridColor(qint32 v) { m_horizontalGridColor = v; }
    void SetVerticalGridColor(qint32 v) { m_verticalGridColor = v; }
    void SetCurveLineColor(short Index, qint32 colour);
    // Stores the type and renews the shared legend marker from it.
    void SetCurveLineType(short Index, qint32 type);
    void SetAxesTextColor(qint32 v) { m_axesTextColor = v; }
    void SetShowAxesText(bool v) { m_showAxesText = v; }
    void SetxBarNowTimeFormat(const QString& v) { m_timeFormat = v; }
    // Clamps to 1..10 and re-creates every per-curve list (defaults, unpinned,
    // only curve 1 with data, fresh buffers of PointCount samples). Returns the count.
    short SetCurveCount(short v);
    void SetShowLegend(short Index, bool v);

    // --- legend geometry ------------------------------------------------------
    void SetLegendRect(short Index, LegendPoint topLeft, LegendPoint bottomRight);
    void SetLegendDragging(short Index, bool v);
    void SetLegendDragOffset(short Index, LegendPoint v);
    void SetLegendPinned(short Index, bool v);
    // ShowLegend(i) and CurveHasData(i): whether legend i is shown.
    bool LegendVisible(short Index) const;

    // --- state ----------------------------------------------------------------
    bool ShowGrid() const { return m_showGrid; }
    qint32 MovingGrid() const { return m_movingGrid; }
    qint32 MovingCurve() const { return m_movingCurve; }
    qint32 HorizontalSplits() const { return m_horizontalSplits; }
    qint32 VerticalSplits() const { return m_verticalSplits; }
    float MaxVertical() const { return m_maxVertical; }
    float MinVertical() const { return m_minVertical; }
    qint32 HorizontalGridColor() const { return m_horizontalGridColor; }
    qint32 VerticalGridColor() const { return m_verticalGridColor; }
    qint32 CurveLineColor(short Index) const;
    qint32 CurveLineType(short Index) const;
    qint32 AxesTextColor() const { return m_axesTextColor; }
    bool ShowAxesText() const { return m_showAxesText; }
    QString xBarNowTimeFormat() const { return m_timeFormat; }
    short CurveCount() const { return m_curveCount; }
    bool ShowLegendSwitch(short Index) const;  // the switch alone
    qint32 PlotHeight() const { return m_plotHeight; }
    qint32 PointCount() const { return m_pointCount; }
    qint32 GridOffset() const { return m_gridOffset; }
    qint32 LastEmptyIndex() const { return m_lastEmptyIndex; }
    const SampleBuffer& CurveBuffers(short Index) const;
    const QStringList& TimeLabels() const { return m_timeLabels; }
    qint32 TimeLabelIndex() const { return m_timeLabelIndex; }
    QString LegendMarker() const { return m_legendMarker; }
    bool CurveHasData(short Index) const;
    bool LegendDragging(short Index) const;
    LegendPoint LegendTopLeft(short Index) const;
    LegendPoint LegendBottomRight(short Index) const;
    LegendPoint LegendDragOffset(short Index) const;
    bool LegendPinned(short Index) const;

    // Throws std::out_of_range unless 1 <= Index <= CurveCount.
    void CheckIndex(short Index) const;

private:
    struct Curve {
        qint32 lineColor = kDefaultCurveColor;
        qint32 lineType = 0;
        bool showLegend = true;
        bool hasData = false;
        SampleBuffer buffer;
        bool dragging = false;
        LegendPoint topLeft;
        LegendPoint bottomRight;
        LegendPoint dragOffset;
        bool pinned = false;
    };
    Curve& At(short Index);
    const Curve& At(short Index) const;
    QString Now() const;
    void StampTime(qint32 index);
    void PlanCurves(ChartDrawPlan& plan) const;
    void PlanTexts(ChartDrawPlan& plan, int textHeight, const TextWidth& textWidth) const;

    bool m_showGrid = true;
    qint32 m_movingGrid = 2;
    qint32 m_movingCurve = 2;
    qint32 m_horizontalSplits = 9;
    qint32 m_verticalSplits = 9;
    float m_maxVertical = 9.0f;
    float m_minVertical = 0.0f;
    qint32 m_horizontalGridColor = kDefaultGridColor;
    qint32 m_verticalGridColor = kDefaultGridColor;
    qint32 m_axesTextColor = kDefaultAxesTextColor;
    bool m_showAxesText = true;
    QString m_timeFormat = QStringLiteral("hh:mm:ss");
    short m_curveCount = 1;
    qint32 m_plotHeight = 0;
    qint32 m_pointCount = 0;
    qint32 m_gridOffset = 0;
    qint32 m_lastEmptyIndex = 0;
    QStringList m_timeLabels;
    qint32 m_timeLabelIndex = 0;
    QString m_legendMarker;
    std::vector<Curve> m_curves;  // element k is curve k + 1
    TimeSource m_timeSource;
};

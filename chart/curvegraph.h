// CurveGraph: the tool's reusable real-time strip chart.
//
// Up to ten curves of live values against time on one drawing surface "picGraph",
// with a grid, axis texts and one legend label per curve ("lblLegend1"...), which
// the user may drag to another place (the frame "ShapeLegend<i>" follows the
// pointer). Every curve keeps one sample per pixel column, stored as a pixel row;
// curve 1 is the clock of the chart (see ChartModel).
//
// The host adds the samples of one poll with AddValue and then calls DrawGridCurve
// once; with AutoRedraw on (the default) the surface keeps the picture until the
// next call, with it off a repaint by the system leaves only the background. No
// setter redraws. Curves are numbered from 1.
//
// Failures are reported as exceptions and the control shows no message:
// std::out_of_range for an index outside its bounds, std::overflow_error for a
// value that does not fit, std::domain_error for an undefined scale.
#pragma once

#include "chart/chartmodel.h"
#include "chart/chartpaint.h"
#include "chart/propertybag.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <vector>

class QLabel;
class ChartSurface;
class LegendFrame;

class CurveGraph : public QWidget {
    Q_OBJECT
public:
    // The layout constants of the control.
    static constexpr int kTwipsPerPixel = 15;
    static constexpr int kSurfaceMarginTwips = 52;
    static constexpr int kLegendTop = 6;

    // Initialize: defaults, legend 1 built, chart cleared.
    explicit CurveGraph(QWidget* parent = nullptr);
    ~CurveGraph() override;

    // --- methods ----------------------------------------------------------------
    // "添加Y坐标数据，用于画曲线！" Adds one sample of curve Index; does not redraw.
    void AddValue(float yValue, short Index = 1);
    // "清空曲线、X 坐标时间等。" Empties the chart for the surface's current size.
    void ClearAll();
    // Repaints the whole surface from the chart's state. Always returns 0.
    int DrawGridCurve();
    // Sets legend Index's text to the legend marker followed by strText.
    void FixLegend(const QString& strText, short Index = 1);
    void about();

    // --- properties -------------------------------------------------------------
    bool AutoRedraw() const;
    void setAutoRedraw(bool v);
    qint32 BackColor() const;
    void setBackColor(qint32 v);
    qint32 BorderStyle() const;
    void setBorderStyle(qint32 v);  // must fit 16 bits (std::overflow_error)
    bool ShowGrid() const;
    void setShowGrid(bool v);
    qint32 MovingGrid() const;
    void setMovingGrid(qint32 v);  // clears the chart
    qint32 MovingCurve() const;
    void setMovingCurve(qint32 v);  // clears the chart
    qint32 HorizontalSplits() const;
    void setHorizontalSplits(qint32 v);
    qint32 VerticalSplits() const;
    void setVerticalSplits(qint32 v);
    float MaxVertical() const;
    void setMaxVertical(float v);
    float MinVertical() const;
    void setMinVertical(float v);
    qint32 HorizontalGridColor() const;
    void setHorizontalGridColor(qint32 v);
    qint32 VerticalGridColor() const;
    void setVerticalGridColor(qint32 v);
    qint32 CurveLineColor(short Index = 1) const;
    void setCurveLineColor(short Index, qint32 colour);
    qint32 CurveLineType(short Index = 1) const;
    void setCurveLineType(short Index, qint32 type);
    qint32 AxesTextColor() const;
    void setAxesTextColor(qint32 v);
    bool ShowAxesText() const;
    void setShowAxesText(bool v);
    QString xBarNowTimeFormat() const;
    void setxBarNowTimeFormat(const QString& v);
    QFont AxesFont() const;
    void setAxesFont(const QFont& v);
    short CurveCount() const;
    void setCurveCount(short v);  // clamps to 1..10; every curve back to its defaults
    // ShowLegend(i) AND CurveHasData(i).
    bool ShowLegend(short Index = 1) const;
    void setShowLegend(short Index, bool v);
    QFont LegendFont(short Index = 1) const;
    void setLegendFont(short Index, const QFont& v);

    // The descriptions the control publishes for its properties.
    static QString PropertyDescription(const QString& name);

    // --- state (read-only) ----------------------------------------------------------
    qint32 PointCount() const;
    qint32 PlotHeight() const;
    qint32 GridOffset() const;
    qint32 LastEmptyIndex() const;
    qint32 TimeLabelIndex() const;
    QStringList TimeLabels() const;
    const SampleBuffer& CurveBuffers(short Index) const;
    bool CurveHasData(short Index) const;
    QString LegendMarker() const;
    LegendPoint LegendTopLeft(short Index) const;
    LegendPoint LegendBottomRight(short Index) const;
    LegendPoint LegendDragOffset(short Index) const;
    bool LegendDragging(short Index) const;
    bool LegendPinned(short Index) const;
    const ChartModel& Model() const { return m_model; }
    // The surface's picture, as last drawn.
    const QImage& Picture() const;
    // The surface as it is shown now, the legends where they stand on it.
    QImage ShownPicture() const;
    // Paints every later DrawGridCurve through QPainter alone, the plain way the
    // fast painting is checked against (the pixels are the same).
    void SetReferencePainting(bool on) { m_referencePainting = on; }

    // Red, green and blue parts of a colour (remainders take the dividend's sign).
    static void SplitRgb(qint32 colour, short& red, short& green, short& blue);
    // The complement of a colour; a system-colour code (top bit set) is resolved to
    // its RGB value first, and other bits above the 24 colour bits are ignored.
    static qint32 InverseColor(qint32 colour);
    // A 0x00BBGGRR value ready to paint: system-colour codes resolved, high bits dropped.
    static qint32 ResolveColor(qint32 colour);
    // The same as a colour to paint with.
    static QRgb ResolveRgb(qint32 colour);

    // --- lifecycle and persistence ----------------------------------------------------
    // A new instance placed in a design environment.
    void InitProperties();
    // The stored set, in this order: AutoRedraw .. VerticalGridColor, then per curve
    // CurveLineColor, CurveLineType, LegendFont, ShowLegend (curve 1 under these
    // names, curve i >= 2 under the name followed by i, e.g. "CurveLineColor2"),
    // then AxesTextColor, ShowAxesText, xBarNowTimeFormat, CurveCount, AxesFont.
    // Values equal to their defaults are not stored; fonts always are.
    // Reading passes every value through its setter (clamps and side effects
    // apply); the per-curve values are applied again after CurveCount, whose
    // re-creation would otherwise reset them. Fonts are assigned without
    // notification. A failing key ends the read, keys before it stay applied.
    void ReadProperties(PropertyBag& store);
    void WriteProperties(PropertyBag& store) const;
    // Releases the sample buffers and time texts; the instance is not used afterwards.
    void Terminate();

    // Host services: the ambient font (default: the parent's font, else the
    // application's) and whether the host is running the program (true) or designing.
    QFont AmbientFont() const;
    void setAmbientFont(const QFont& font);
    bool AmbientUserMode() const { return m_userMode; }
    void setAmbientUserMode(bool v) { m_userMode = v; }

    // Where the time texts come from (a fixed clock in tests).
    void SetTimeSource(ChartModel::TimeSource source);

signals:
    void DblClick();
    void MouseMove(short Button, short Shift, float X, float Y);
    void MouseUp(short Button, short Shift, float X, float Y);
    void MouseDown(short Button, short Shift, float X, float Y);
    // After every successful setter, with the property's name.
    void PropertyChanged(const QString& name);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* Label(short Index) const;  // throws std::out_of_range when it does not exist
    LegendFrame* Frame(short Index) const;
    void CreateLegendElement(short Index);
    void RebuildLegend();
    void FitLegendBox(short Index);
    void ApplyLegendVisibility(short Index);
    void SetLabelText(QLabel* label, const QString& text);
    void SetLabelColor(QLabel* label, qint32 colour);
    void LayoutLegends();
    void HideLegendsAbove(short count);
    void LegendMouse(short Index, QEvent* event);
    void SurfaceMouse(QEvent* event);

    ChartModel m_model;
    ChartDrawPlan m_plan;
    ChartPaintStyle m_style;
    ChartPainter m_painter;
    bool m_referencePainting = false;
    QHash<QString, int> m_textWidths;  // time texts in the axis font, at the picture's resolution
    QFont m_textWidthFont;
    int m_textWidthDpm = 0;
    ChartSurface* m_surface = nullptr;
    std::vector<QLabel*> m_labels;        // element k is lblLegend(k + 1)
    std::vector<LegendFrame*> m_frames;   // element k is ShapeLegend(k + 1)
    short m_borderStyle = 0;
    bool m_userMode = true;
    QFont m_ambientFont;
    bool m_hasAmbientFont = false;
};

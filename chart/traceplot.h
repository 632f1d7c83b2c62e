// The trace's plot: a control that draws a TraceSource as its TraceView says
// and lets the user move the view and the cursors.
//
//   wheel                 zooms the time around the pointer
//   drag                  pans the time
//   right-drag, or drag with Shift held
//                         draws a box: its time span, and its range of values
//                         on each shown curve's scale, become the view
//   click                 places cursor A, then B, then moves the nearer one
//   drag a cursor         moves it
//
// Cursors stand on samples (the nearest one). Redraws are batched: whatever
// asks for one (new samples, a gesture, a resize) is drawn at the next frame,
// at most one drawing per kFrameMs.
#pragma once

#include "chart/tracerender.h"
#include "chart/traceview.h"

#include <QElapsedTimer>
#include <QImage>
#include <QTimer>
#include <QWidget>

#include <optional>

namespace kv {

class TracePlot : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFrameMs = 16;

    explicit TracePlot(QWidget* parent = nullptr);

    // What is drawn (nothing: an empty plot). The source must outlive its use here.
    void SetSource(const TraceSource* source);
    const TraceSource* Source() const { return m_source; }
    TraceView& View() { return m_view; }
    const TraceView& View() const { return m_view; }
    const TraceRenderer& Renderer() const { return m_renderer; }

    // A drawing at the next frame (the view, the source or the cursors changed).
    void RequestFrame();
    // The drawing now, whether or not the control is on screen.
    void DrawNow();
    // The picture as last drawn.
    const QImage& Picture() const { return m_image; }
    // A title drawn on the picture's first line.
    void SetTitle(const QString& title);

    // A cursor placed as a click at that time would place it (on the nearest sample).
    void PlaceCursor(TraceView::Cursor cursor, qint64 timeMs);
    // A click at that time: cursor A when it is not set, then B, then the nearer one.
    void ClickAt(qint64 timeMs);
    // The zoom box from one point of the control to another.
    void ZoomToBox(QPoint from, QPoint to);

signals:
    // The user zoomed or panned (following may have stopped).
    void ViewChanged();
    void CursorsChanged();
    // A drawing was made.
    void Drawn();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    enum class Drag { None, Pending, Pan, Box, CursorA, CursorB };
    std::optional<TraceView::Cursor> CursorNear(int x) const;

    const TraceSource* m_source = nullptr;
    TraceView m_view;
    TraceRenderer m_renderer;
    QImage m_image;
    QString m_title;
    QTimer m_frameTimer;
    QElapsedTimer m_sinceFrame;
    bool m_pending = false;
    Drag m_drag = Drag::None;
    QPoint m_pressAt;
    QPoint m_lastAt;
};

} // namespace kv

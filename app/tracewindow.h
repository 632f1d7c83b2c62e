// "分析" → "趋势分析…": the run's samples as curves and bit lanes in a
// window of its own, live while sampling runs, with zoom, pan, cursors A and
// B and their figures, export of the cursors' range as CSV and of the view
// as a picture, and the trigger's captures beside the live view.
//
// The plot and its figures are the chart's (TracePlot, CursorStats); this
// window lays them out with their buttons and tables and gives them the
// line session's history (or a capture's samples) to draw.
#pragma once

#include "app/tracesource.h"
#include "chart/tracestats.h"
#include "chart/traceview.h"
#include "session/tracecapture.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <memory>

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QTableWidget;
class QToolButton;

namespace kv {

class FileChooser;
class MessageBoxes;
class TracePlot;

class TraceWindow : public QWidget {
    Q_OBJECT
public:
    // Columns of the cursor table: a row per curve, then a row per status bit
    // (its name, then the times it changed between the cursors).
    enum Column { ColName, ColAuto, ColA, ColB, ColDiff, ColMin, ColMax, ColMean, ColumnCount };
    static constexpr qint64 kLastSpansMs[] = {10'000, 60'000, 600'000};
    // The list keeps the newest captures; the oldest goes beyond this.
    static constexpr int kMaxCaptures = 100;

    TraceWindow(const SampleHistory& history, MessageBoxes& boxes, FileChooser& files, QWidget* parent = nullptr);
    ~TraceWindow() override;

    // A capture of the trigger joins the list beside the live view; what is
    // on show stays (unless it is the oldest of a full list).
    void AddCapture(const TraceCapture& capture);
    const QList<TraceCapture>& Captures() const { return m_captures; }
    // Capture `index` of the list: its samples, the trigger moment at the
    // centre and cursor A on it, its fault record beside it.
    void ShowCapture(int index);
    // Back to the live view as it was left.
    void ShowLive();
    bool ShowingCapture() const { return m_shown >= 0; }

    // Draws what is pending now and brings the figures up to date (the
    // window does so by itself at the next frame).
    void Refresh();
    const TraceCursorStats& Stats() const { return m_stats; }
    TraceView& View();

    void Whole_Click();
    void Last_Click(qint64 spanMs);
    void Follow_Toggled(bool on);
    void Autoscale_Click();
    void ClearCursors_Click();
    void ExportCsv_Click();
    void ExportPng_Click();
    void CopyPicture_Click();

    TracePlot* Plot = nullptr;
    QPushButton* Whole = nullptr;       // "全部"
    QList<QPushButton*> Last;           // "10秒", "1分钟", "10分钟"
    QPushButton* Follow = nullptr;      // "跟随"
    QPushButton* Autoscale = nullptr;   // "自动缩放"
    QPushButton* ClearCursors = nullptr;
    QToolButton* Export = nullptr;      // "导出…": ExportCsv, ExportPng
    QAction* ExportCsv = nullptr;
    QAction* ExportPng = nullptr;
    QPushButton* CopyPicture = nullptr;
    QLabel* HeldFrom = nullptr;         // from when the history holds data, once older samples went
    QLabel* CursorText = nullptr;       // "A 14:05:33.125  B 14:05:35.375  Δt 2.250 s"
    QTableWidget* CursorTable = nullptr;
    QListWidget* CaptureList = nullptr;
    QLabel* CaptureBanner = nullptr;    // the capture on show
    QPushButton* BackToLive = nullptr;  // "返回实时"
    QLabel* FaultRecordText = nullptr;  // why there is no fault record
    QTableWidget* FaultRecord = nullptr;

private:
    const SampleHistory& Shown() const;
    void OnGrew();
    void OnViewChanged();
    void OnDrawn();
    void OnTableEdited(int row, int column);
    void UpdateHeldFrom();
    void UpdateTable();
    void ShowFaultRecord(const TraceCapture* capture);
    // The export's range: between the cursors, else the view.
    std::pair<qint64, qint64> ExportRange() const;

    const SampleHistory& m_history;
    MessageBoxes& m_boxes;
    FileChooser& m_files;
    HistorySource m_live;
    const SampleHistory m_noSamples;  // a capture's when it has none
    std::unique_ptr<HistorySource> m_captureSource;
    QList<TraceCapture> m_captures;
    int m_shown = -1;
    TraceView m_liveView;  // while a capture is on show
    TraceCursorStats m_stats;
    bool m_statsDirty = true;
    bool m_filling = false;
};

// "分析" → "趋势分析…": the trace window, made when first needed (a capture
// added before the window was opened waits in it).
class TraceMenu : public QObject {
    Q_OBJECT
public:
    TraceMenu(const SampleHistory& history, QMenu* menu, MessageBoxes& boxes, FileChooser& files, QWidget* window,
              QObject* parent = nullptr);
    ~TraceMenu() override;

    QAction* TraceOpen = nullptr;  // "趋势分析…"

    TraceWindow* Window();
    void TraceOpen_Click();
    // The trigger's captures, into the window's list.
    void AddCapture(const TraceCapture& capture) { Window()->AddCapture(capture); }

private:
    const SampleHistory& m_history;
    MessageBoxes& m_boxes;
    FileChooser& m_files;
    QWidget* m_window;
    QPointer<TraceWindow> m_trace;
};

} // namespace kv

// What the tool adds beside the original window, wired to it in this one
// place: the transaction engine over the window's serial control, the line's
// statistics and the traffic capture, the status line, and the menus after
// "开始". The window itself does not know of them, except that it asks
// whether the line is busy before its own handlers use it.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class Form1;
class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace kv {

class ChartExport;
class FileChooser;
class LiveRecordingUi;
class MessageBoxes;
class PortList;
class ParameterEditDialog;
class ParameterSetWindow;
class Preferences;
class Reconnect;
class ResponseTimeoutItem;
class StatusLine;

class FastPoll;

namespace mb {
class LinePort;
class LineStatistics;
class TrafficCapture;
class TransactionEngine;
} // namespace mb

class Additions : public QObject {
    Q_OBJECT
public:
    // `prefs` holds the settings of the additions (kept between runs).
    Additions(Form1& form, MessageBoxes& boxes, FileChooser& files, Preferences& prefs, QObject* parent = nullptr);
    ~Additions() override;

    Form1& Window() { return m_form; }
    mb::TransactionEngine& Engine() { return *m_engine; }
    mb::LineStatistics& Statistics() { return *m_statistics; }
    mb::TrafficCapture& Capture() { return *m_capture; }
    StatusLine& Status() { return *m_status; }
    MessageBoxes& Boxes() { return m_boxes; }
    FileChooser& Files() { return m_files; }
    Preferences& Prefs() { return m_prefs; }
    LiveRecordingUi& Recording() { return *m_recording; }
    ChartExport& ChartPicture() { return *m_chartExport; }
    PortList& Ports() { return *m_ports; }
    Reconnect& Reconnecting() { return *m_reconnect; }
    ResponseTimeoutItem& ResponseTimeout() { return *m_responseTimeout; }

    // The station of the drive as the port was last opened with ("01" -> 1).
    quint8 Station() const;
    // For added features about to use the line: false, after telling the user,
    // when the port is closed ("请打开串口").
    bool PortReady();

    // Menu "记录".
    QMenu* RecordMenu = nullptr;
    QAction* SaveLog = nullptr;        // "保存日志…"
    QAction* CaptureStart = nullptr;   // "通讯记录到文件…"
    QAction* CaptureStop = nullptr;    // "停止通讯记录"
    QAction* ResetCounters = nullptr;  // "统计清零"
    // Menu "参数": the parameter work beside the browser.
    QMenu* ParamMenu = nullptr;
    QAction* ParamSet = nullptr;  // "参数备份与恢复…"
    // The parameter set window and the window "修改参数", made when first needed.
    ParameterSetWindow* ParamSetWindow();
    ParameterEditDialog* ParamEditor();
    // Menu "设置": the settings of the additions.
    QMenu* SettingsMenu = nullptr;
    // "设置" → "高速采样": on/off and the period.
    QMenu* FastMenu = nullptr;
    QAction* FastOn = nullptr;
    QList<QAction*> FastPeriods;  // 20, 50, 100, 200 ms, "尽快"

    FastPoll& Sampler() { return *m_fastPoll; }
    // Switches fast sampling on or off (kept between runs); polling that runs goes on in the new way.
    void SetFastSampling(bool on);
    void SetFastPeriod(int ms);

    void SaveLog_Click();
    void CaptureStart_Click();
    void CaptureStop_Click();
    void ParamSet_Click();
    // A double-click on row `row` of the parameter list (List1) or of its
    // result list (List2): the window "修改参数" for that parameter.
    void EditParameterRow(int row);

private:
    void OnEngineBusy(bool busy);
    void RefreshPort();
    void RefreshCounters();
    void RefreshCapture();
    void RefreshSampling();
    bool LineBusyForWindow();
    void ShowWritten(int code, quint16 value);

    Form1& m_form;
    MessageBoxes& m_boxes;
    FileChooser& m_files;
    Preferences& m_prefs;
    std::unique_ptr<mb::LinePort> m_line;
    std::unique_ptr<mb::TransactionEngine> m_engine;
    std::unique_ptr<mb::LineStatistics> m_statistics;
    std::unique_ptr<mb::TrafficCapture> m_capture;
    std::unique_ptr<FastPoll> m_fastPoll;
    StatusLine* m_status = nullptr;
    QLabel* m_samplingPart = nullptr;
    QPointer<ParameterSetWindow> m_paramSetWindow;
    QPointer<ParameterEditDialog> m_paramEditor;
    QTimer* m_refresh = nullptr;
    bool m_countersDirty = false;
    // Features of their own, children of this object.
    LiveRecordingUi* m_recording = nullptr;
    ChartExport* m_chartExport = nullptr;
    PortList* m_ports = nullptr;
    Reconnect* m_reconnect = nullptr;
    ResponseTimeoutItem* m_responseTimeout = nullptr;
};

} // namespace kv

// "记录" → "记录实时数据…" / "停止记录": every live sample as a row of a CSV
// file, with the recording's file and row count on the status line. The
// recording (the line session's) goes on while polling pauses and across a
// port loss and a reopen; it ends with "停止记录", with the tool, or when the
// file cannot be written.
#pragma once

#include <QObject>

class QAction;
class QLabel;
class QMenu;

namespace kv {

class FileChooser;
class LiveRecording;
class MessageBoxes;
class StatusLine;

class LiveRecordingUi : public QObject {
    Q_OBJECT
public:
    LiveRecordingUi(LiveRecording& recording, QMenu* menu, StatusLine& status, MessageBoxes& boxes,
                    FileChooser& files, QObject* parent = nullptr);

    LiveRecording& Recording() { return m_recording; }

    QAction* RecordStart = nullptr;  // "记录实时数据…"
    QAction* RecordStop = nullptr;   // "停止记录"
    QLabel* Part = nullptr;          // the status line's part, while a recording runs

    void RecordStart_Click();
    void RecordStop_Click();

private:
    void Refresh();

    LiveRecording& m_recording;
    MessageBoxes& m_boxes;
    FileChooser& m_files;
};

} // namespace kv

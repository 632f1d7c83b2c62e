// "记录" → "通讯记录到文件…" / "停止通讯记录": every frame out and in, from every
// source, to a text file, with the capture's file and lines on the status line.
#pragma once

#include <QObject>

class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace kv {

class FileChooser;
class MessageBoxes;
class StatusLine;

namespace mb {
class TrafficCapture;
}

class CaptureUi : public QObject {
    Q_OBJECT
public:
    CaptureUi(mb::TrafficCapture& capture, QMenu* menu, StatusLine& status, MessageBoxes& boxes, FileChooser& files,
              QObject* parent = nullptr);

    QAction* CaptureStart = nullptr;  // "通讯记录到文件…"
    QAction* CaptureStop = nullptr;   // "停止通讯记录"

    void CaptureStart_Click();
    void CaptureStop_Click();

private:
    void Refresh();

    mb::TrafficCapture& m_capture;
    MessageBoxes& m_boxes;
    FileChooser& m_files;
    QLabel* m_part;
    QTimer* m_refresh;
};

} // namespace kv

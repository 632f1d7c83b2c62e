// The status line under the main window: the port and its settings, the
// counters of the line, and what the additions have running (a capture, a
// recording, ...). Each part is a label of its own; additions put their own
// part in with AddPart. The parts share the window's width: when their texts
// do not fit, the longest are shortened in the middle ("…", the whole text as
// tooltip); the window does not grow for them.
#pragma once

#include <QObject>
#include <QString>

class QLabel;
class QStatusBar;

namespace kv {

class StatusLine : public QObject {
    Q_OBJECT
public:
    explicit StatusLine(QStatusBar* bar, QObject* parent = nullptr);
    // Its parts leave the window's status bar with it.
    ~StatusLine() override;

    // A new part at the right end, named for tests (objectName).
    QLabel* AddPart(const QString& objectName);

    QLabel* Port = nullptr;      // "未打开" or "COM 3 → /dev/pts/4  9600,N,8,1  站号 01"
    QLabel* Counters = nullptr;  // the line's counters
    QLabel* Capture = nullptr;   // the traffic capture, when one runs

    // The port part while the port is open.
    static QString PortText(const QString& portText, const QString& device, const QString& settings,
                            const QString& stationAddr);
    static QString ClosedText() { return tr("未打开"); }
    // The port part for a network line: the converter, whether the connection
    // is still being made, the settings as the frame timing only (the
    // converter's own, which this end cannot see), the station.
    static QString NetworkPortText(const QString& description, bool connecting, const QString& settings,
                                   const QString& stationAddr);
    // A line that could not be opened or went away, and why: "未打开 — 192.168.1.20:4001：连接被拒绝".
    static QString ClosedText(const QString& where, const QString& why);

private:
    class Row;

    QStatusBar* m_bar;
    Row* m_row;
};

} // namespace kv

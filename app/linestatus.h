// The status line's account of the line: the port part ("未打开", or the port
// text, the device, the settings and the station while open) and the
// counters of the line since the port was opened, refreshed a few times a
// second at most.
#pragma once

#include <QObject>

class QTimer;

namespace kv {

class LineSession;
class StatusLine;
class WindowPort;

class LineStatus : public QObject {
    Q_OBJECT
public:
    LineStatus(StatusLine& status, LineSession& session, const WindowPort& port, QObject* parent = nullptr);

    // The port part again, from what the window says of its port.
    void ShowPort();

private:
    void ShowCounters();

    StatusLine& m_status;
    LineSession& m_session;
    const WindowPort& m_port;
    QTimer* m_refresh;
    QString m_closedText;  // why a network line is closed, until it opens again
    bool m_countersDirty = false;
};

} // namespace kv

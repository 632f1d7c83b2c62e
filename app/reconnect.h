// "设置" → "断线自动重连": when the port is lost while this is on, the window
// shows it closed as always (and tells the user once), then every second the
// tool looks for the same device and opens it again with the same settings, as
// "打开串口" would; polling goes on as the chart's button says. The status line
// counts the tries. A converter on the network is looked for by a trial
// connection each second, closed again before the window opens the line.
// Pressing "打开串口"/"关闭串口" yourself ends the retries.
#pragma once

#include "app/windowport.h"

#include <QObject>
#include <QString>

class QAction;
class QLabel;
class QMenu;
class QTcpSocket;
class QTimer;

namespace kv {

class Preferences;
class StatusLine;

class Reconnect : public QObject {
    Q_OBJECT
public:
    static constexpr int kRetryIntervalMs = 1000;

    Reconnect(WindowPort& port, QMenu* menu, StatusLine& status, Preferences& prefs, QObject* parent = nullptr);

    // What happened to the window's port: a loss starts the retries (when
    // they are on); the user's own open or close ends them.
    void OnPortEvent(PortEvent event);

    QAction* AutoReconnect = nullptr;  // "断线自动重连", checkable
    QLabel* Part = nullptr;            // "重新连接中…（已试 3 次）" while retrying

    bool Retrying() const;
    int Tries() const { return m_tries; }

private:
    void Try();
    void Begin();
    void End();
    // A trial connection to the converter; the window opens the line once it is made.
    void Probe(const QString& host, quint16 port);
    // Ends a trial connection (nothing for none).
    void DropProbe(QTcpSocket* probe);

    WindowPort& m_port;
    Preferences& m_prefs;
    QTimer* m_timer = nullptr;
    QTcpSocket* m_probe = nullptr;
    PortChoice m_opened;  // the boxes as they were when the port was last opened
    int m_tries = 0;
};

} // namespace kv

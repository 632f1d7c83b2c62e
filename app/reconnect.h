// "设置" → "断线自动重连": when the port is lost while this is on, the window
// shows it closed as always (and tells the user once), then every second the
// tool looks for the same device and opens it again with the same settings, as
// "打开串口" would; polling goes on as the chart's button says. The status line
// counts the tries. Pressing "打开串口"/"关闭串口" yourself ends the retries.
#pragma once

#include <QObject>
#include <QString>

class Form1;
class QAction;
class QLabel;
class QMenu;
class QTimer;

namespace kv {

class Preferences;
class StatusLine;

class Reconnect : public QObject {
    Q_OBJECT
public:
    static constexpr int kRetryIntervalMs = 1000;

    Reconnect(Form1& form, QMenu* menu, StatusLine& status, Preferences& prefs, QObject* parent = nullptr);

    QAction* AutoReconnect = nullptr;  // "断线自动重连", checkable
    QLabel* Part = nullptr;            // "重新连接中…（已试 3 次）" while retrying

    bool Retrying() const;
    int Tries() const { return m_tries; }

private:
    // The settings boxes as they were when the port was last opened.
    struct Boxes {
        QString port, baud, parity, dataBits, stopBits, station;
    };
    Boxes Current() const;
    void Restore(const Boxes& boxes);

    void OnOpenChanged(bool open);
    void Try();
    void Begin();
    void End();

    Form1& m_form;
    Preferences& m_prefs;
    QTimer* m_timer = nullptr;
    Boxes m_opened;
    int m_tries = 0;
};

} // namespace kv

// The serial control: one port, the properties the tool relies on, and the
// communication event, over a byte transport (a serial port unless it is
// given another).
//
// Received bytes gather in the transport until Input reads them. OnComm is
// raised on the user-interface thread from the event loop only, never inside
// another handler (a handler that blocks keeps it back, and the bytes keep
// gathering). Failing operations throw CommError.
#pragma once

#include "serial/commerror.h"
#include "serial/portsettings.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringDecoder>
#include <QVariant>

namespace kv {

class Transport;

class MSComm : public QObject {
    Q_OBJECT
public:
    // Event codes of CommEvent.
    enum CommEvents : short {
        comEvSend = 1,
        comEvReceive = 2,
        comEventBreak = 1001,
        comEventFrame = 1004,
        comEventOverrun = 1006,
        comEventRxOver = 1008,
        comEventRxParity = 1009,
        comEventTxFull = 1010,
        // The device went away (adapter unplugged, peer closed): the port is closed.
        comEventPortLost = 1100,
        // A network line that was opened could not be connected: the port is closed.
        comEventOpenFailed = 1101,
    };

    // A control with a serial port of its own.
    explicit MSComm(QObject* parent = nullptr);
    // A control over a line someone else owns (and keeps for the control's life).
    explicit MSComm(Transport& line, QObject* parent = nullptr);
    ~MSComm() override;

    // The line the control works over.
    Transport& Line() const { return *m_line; }

    // Port number 1..255; the device is COM<n> on Windows and follows the
    // port-link rules on POSIX. Rejected numbers and a change while open throw.
    short CommPort() const { return m_commPort; }
    void setCommPort(int portNumber);
    // A device named directly (a device path or a system port name); it takes
    // the place of the port number until the next setCommPort.
    void setPortDevice(const QString& devicePath);
    // The device the next open uses (full path on POSIX).
    QString DevicePath() const;

    QString Settings() const { return m_settingsText; }
    void setSettings(const QString& text);  // throws on a rejected text

    int InputMode() const { return m_inputMode; }
    void setInputMode(int mode);  // 1 bytes, 0 text

    short RThreshold() const { return m_rThreshold; }
    void setRThreshold(int threshold);

    short InputLen() const { return m_inputLen; }
    void setInputLen(int length);

    bool PortOpen() const;
    // Opening a missing or busy port throws. A network line opens at once and
    // connects afterwards; when that fails, comEventOpenFailed follows.
    void setPortOpen(bool open);
    // Why the last network connection failed or was lost ("连接被拒绝").
    QString LineFailure() const { return m_lineFailure; }

    // Puts the bytes on the line before returning; a text is sent in the
    // system's code page. Throws when the port is closed or the write fails.
    void setOutput(const QByteArray& bytes);
    void setOutput(const QString& text);

    // Returns and removes what waits (at most InputLen bytes when it is not 0),
    // including bytes the operating system holds that Qt has not read yet.
    // Byte mode yields a QByteArray, text mode a QString. Throws when closed.
    QVariant Input();
    QByteArray InputBytes();
    QString InputText();

    // Bytes waiting; setting 0 discards them (works with the port closed too).
    int InBufferCount();
    void setInBufferCount(int count);

    // The code of the event being handled.
    short CommEvent() const { return m_commEvent; }

signals:
    void OnComm();
    // The port has been opened or closed (by the program or because the device went away).
    void OpenChanged(bool open);

private:
    void connectLine();
    void scheduleDelivery();
    void deliver();
    void pullFromSystem();
    void requireOpen(const char* operation) const;
    void raise(short event);

    Transport* m_line;
    short m_commPort = 1;
    QString m_device;  // a device named directly, else empty
    QString m_settingsText = QStringLiteral("9600,N,8,1");
    LineSettings m_settings;
    int m_inputMode = 0;
    short m_rThreshold = 0;
    short m_inputLen = 0;
    short m_commEvent = 0;
    bool m_deliveryQueued = false;
    bool m_inHandler = false;
    bool m_pulling = false;
    QStringDecoder m_decoder;
    QString m_lineFailure;
};

} // namespace kv

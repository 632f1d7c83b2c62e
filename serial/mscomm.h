// The serial control: one port, the properties the tool relies on, and the
// communication event, on QSerialPort.
//
// Received bytes gather in the control until Input reads them. OnComm is
// raised on the user-interface thread from the event loop only, never inside
// another handler (a handler that blocks keeps it back, and the bytes keep
// gathering). Failing operations throw CommError.
#pragma once

#include "serial/commerror.h"
#include "serial/portsettings.h"

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QStringDecoder>
#include <QVariant>

namespace kv {

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
    };

    explicit MSComm(QObject* parent = nullptr);
    ~MSComm() override;

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
    void setPortOpen(bool open);  // opening a missing or busy port throws

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

    // Queues bytes for the line and returns at once (the event loop writes
    // them). For work that must never block the user-interface thread.
    // Throws when the port is closed or refuses the bytes.
    void OutputNoWait(const QByteArray& bytes);

    // While claimed, received bytes do not raise OnComm: every arrival is read
    // at once and handed out through ClaimedBytes(). Releasing the claim gives
    // whatever arrives afterwards (or still waits) back to OnComm.
    void setClaimed(bool claimed);
    bool Claimed() const { return m_claimed; }

    // The line settings of the port (as last set).
    const LineSettings& Line() const { return m_settings; }
    // Milliseconds one character takes on the line: start bit, data bits,
    // parity bit and stop bits at the baud rate.
    double CharTimeMs() const;

signals:
    void OnComm();
    // Every byte the control puts on the line and every byte it hands out
    // (to Input or to a claim), in order, from every source.
    void Transmitted(const QByteArray& bytes);
    void Received(const QByteArray& bytes);
    // Bytes read while the line is claimed.
    void ClaimedBytes(const QByteArray& bytes);
    // The port has been opened or closed (by the program or because the device went away).
    void OpenChanged(bool open);

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);
    // Whether the open device has gone away (hang-up or error on it).
    bool DeviceGone() const;
    void scheduleDelivery();
    void deliver();
    void pullFromSystem();
    void requireOpen(const char* operation) const;
    void raise(short event);

    QSerialPort* m_port;
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
    bool m_claimed = false;
    QStringDecoder m_decoder;
};

} // namespace kv

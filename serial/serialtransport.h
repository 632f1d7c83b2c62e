// The line over a serial port (QSerialPort): a device path, the line settings,
// and what the port's quirks ask for: a write that waits until the bytes have
// left, a read inside a blocking handler that takes what the system holds, a
// stale read notice that must not close the port, and a device that went away
// closed at the first error and reported once.
#pragma once

#include "serial/transport.h"

#include <QSerialPort>

namespace kv {

class SerialTransport final : public Transport {
    Q_OBJECT
public:
    explicit SerialTransport(QObject* parent = nullptr);
    ~SerialTransport() override;

    bool Open(const QString& where, const LineSettings& settings, QString* error) override;
    void Close() override;
    bool IsOpen() const override;
    bool ApplySettings(const LineSettings& settings) override;
    QString Description() const override { return m_device; }

    bool WaitWritten(int timeoutMs) override;
    qint64 BytesAvailable() const override;
    void Poll() override;
    void DiscardInput() override;

protected:
    bool WriteBytes(const QByteArray& bytes) override;
    QByteArray ReadBytes(qint64 max) override;

private:
    void OnReadyRead();
    void OnError(QSerialPort::SerialPortError error);
    // Whether the open device has gone away (hang-up or error on it).
    bool DeviceGone() const;
    bool Configure(const LineSettings& settings);
    // Sets the parity, also where Qt refuses it on an open pseudo-terminal.
    bool SetParity(QSerialPort::Parity parity);
    // The receiver checks the parity when the line has one (POSIX).
    bool CheckParity(QSerialPort::Parity parity);

    QSerialPort* m_port;
    QString m_device;
    bool m_polling = false;
};

} // namespace kv

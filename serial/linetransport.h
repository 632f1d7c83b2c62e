// The line the tool opens from the port box: a serial port, or a TCP
// connection to a serial-to-Ethernet converter when the text is a network
// address (see netaddress.h). Chosen afresh at every open; everyone above
// works with this one object whichever it is.
#pragma once

#include "serial/transport.h"

namespace kv {

class SerialTransport;
class TcpTransport;

class LineTransport final : public Transport {
    Q_OBJECT
public:
    explicit LineTransport(QObject* parent = nullptr);
    ~LineTransport() override;

    bool Open(const QString& where, const LineSettings& settings, QString* error) override;
    void Close() override;
    bool IsOpen() const override;
    bool Connecting() const override;
    bool OwnsLineSettings() const override;
    bool ApplySettings(const LineSettings& settings) override;
    QString Description() const override;

    bool WaitWritten(int timeoutMs) override;
    qint64 BytesAvailable() const override;
    void Poll() override;
    void DiscardInput() override;

    double CharTimeMs() const override;
    int SilenceMs() const override;
    double FrameGapMs() const override;
    int DefaultResponseTimeoutMs() const override;

protected:
    bool WriteBytes(const QByteArray& bytes) override;
    QByteArray ReadBytes(qint64 max) override;

private:
    void Follow(Transport* line);

    SerialTransport* m_serial;
    TcpTransport* m_tcp;
    Transport* m_active;
};

} // namespace kv

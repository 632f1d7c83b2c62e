// The line over a TCP connection to a serial-to-Ethernet converter in
// transparent mode: the RTU frames, CRC included, go over the connection as
// they would over the cable.
//
// Opening only starts the connection and never waits for it: the line counts
// as open from then on (the window shows it open, as for a serial port), bytes
// written meanwhile wait and go out once it is established (Connected), and a
// connection that is refused, unreachable or not made within the connect
// timeout ends as OpenFailed with the reason, the bytes dropped. A connection
// the converter closes later is a lost line, as an unplugged adapter is.
//
// The line settings are those of the cable behind the converter: the
// converter's own, which this end can neither set nor see. They serve only
// for the timing (a character's time, the gap between frames).
//
// Timing: replies arrive in network packets, so the silence that ends a reply
// which stopped short is taken long enough to cover a packet's delay (at
// least 100 ms), and the response timeout, counted from the request handed to
// the socket, defaults to 1000 ms.
#pragma once

#include "serial/netaddress.h"
#include "serial/transport.h"

#include <QAbstractSocket>

class QTcpSocket;
class QTimer;

namespace kv {

class TcpTransport final : public Transport {
    Q_OBJECT
public:
    static constexpr int kConnectTimeoutMs = 3000;
    static constexpr int kMinSilenceMs = 100;
    static constexpr int kResponseTimeoutMs = 1000;

    explicit TcpTransport(QObject* parent = nullptr);
    ~TcpTransport() override;

    // `where` is a network address text (ParseNetAddress); false, with the
    // reason, only when it is none.
    bool Open(const QString& where, const LineSettings& settings, QString* error) override;
    void Close() override;
    bool IsOpen() const override { return m_state != State::Closed; }
    bool Connecting() const override { return m_state == State::Connecting; }
    bool OwnsLineSettings() const override { return false; }
    bool ApplySettings(const LineSettings& settings) override;
    // "192.168.1.20:4001 (TCP)"
    QString Description() const override;

    bool WaitWritten(int timeoutMs) override;
    qint64 BytesAvailable() const override;
    void Poll() override;
    void DiscardInput() override;

    int SilenceMs() const override;
    int DefaultResponseTimeoutMs() const override { return kResponseTimeoutMs; }

    // The text shown for a failed connection: "连接被拒绝", "连接超时", "主机未找到"...
    static QString FailureText(QAbstractSocket::SocketError error);

protected:
    bool WriteBytes(const QByteArray& bytes) override;
    QByteArray ReadBytes(qint64 max) override;

private:
    enum class State { Closed, Connecting, Connected };

    void OnConnected();
    void OnReadyRead();
    void OnError(QAbstractSocket::SocketError error);
    void OnDisconnected();
    void Fail(const QString& reason);
    void Drop();

    QTcpSocket* m_socket = nullptr;
    QTimer* m_connectTimer;
    NetAddress m_address;
    QByteArray m_pending;  // written while connecting
    State m_state = State::Closed;
    bool m_polling = false;
};

} // namespace kv

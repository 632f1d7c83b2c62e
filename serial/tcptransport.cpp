#include "serial/tcptransport.h"


#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

namespace kv {

TcpTransport::TcpTransport(QObject* parent)
    : Transport(parent)
    , m_connectTimer(new QTimer(this))
{
    m_connectTimer->setSingleShot(true);
    m_connectTimer->setInterval(kConnectTimeoutMs);
    connect(m_connectTimer, &QTimer::timeout, this, [this] {
        if (m_state == State::Connecting)
            Fail(FailureText(QAbstractSocket::SocketTimeoutError));
    });
}

TcpTransport::~TcpTransport()
{
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
    }
}

QString TcpTransport::FailureText(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return QCoreApplication::translate("kv::TcpTransport", "连接被拒绝");
    case QAbstractSocket::SocketTimeoutError: return QCoreApplication::translate("kv::TcpTransport", "连接超时");
    case QAbstractSocket::HostNotFoundError: return QCoreApplication::translate("kv::TcpTransport", "主机未找到");
    case QAbstractSocket::NetworkError: return QCoreApplication::translate("kv::TcpTransport", "网络不可达");
    case QAbstractSocket::RemoteHostClosedError:
        return QCoreApplication::translate("kv::TcpTransport", "连接已被对方关闭");
    default: return QCoreApplication::translate("kv::TcpTransport", "网络错误");
    }
}

bool TcpTransport::Open(const QString& where, const LineSettings& settings, QString* error)
{
    if (m_state != State::Closed) {
        if (error)
            *error = QStringLiteral("Port already open");
        return false;
    }
    const std::optional<NetAddress> address = ParseNetAddress(where);
    if (!address) {
        if (error)
            *error = QStringLiteral("Not a network address: %1").arg(where);
        return false;
    }
    m_address = *address;
    SetSettingsKept(settings);
    m_pending.clear();
    // A fresh socket for every connection (the last one went with Drop):
    // nothing of an earlier one, its buffered bytes or late signals, reaches this one.
    m_socket = new QTcpSocket(this);
    // Frames are small and every one is awaited: send each at once.
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(m_socket, &QTcpSocket::connected, this, &TcpTransport::OnConnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &TcpTransport::OnReadyRead);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &TcpTransport::OnError);
    connect(m_socket, &QTcpSocket::disconnected, this, &TcpTransport::OnDisconnected);
    m_state = State::Connecting;
    m_connectTimer->start();
    emit OpenChanged(true);
    // Queued, so that whoever opened hears of a failure only after Open returned.
    QMetaObject::invokeMethod(
        m_socket, [socket = m_socket, host = m_address.host, port = m_address.port] { socket->connectToHost(host, port); },
        Qt::QueuedConnection);
    return true;
}

void TcpTransport::Close()
{
    if (m_state == State::Closed)
        return;
    Drop();
    emit OpenChanged(false);
}

void TcpTransport::Drop()
{
    m_state = State::Closed;
    m_connectTimer->stop();
    m_pending.clear();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
}

void TcpTransport::Fail(const QString& reason)
{
    const bool connecting = m_state == State::Connecting;
    Drop();
    emit OpenChanged(false);
    if (connecting)
        emit OpenFailed(reason);
    else
        emit Lost(reason);
}

bool TcpTransport::ApplySettings(const LineSettings& settings)
{
    // The converter's cable is set on the converter; these serve the timing only.
    SetSettingsKept(settings);
    return true;
}

QString TcpTransport::Description() const
{
    return m_address.port == 0 ? QString() : m_address.Text() + QStringLiteral(" (TCP)");
}

bool TcpTransport::WriteBytes(const QByteArray& bytes)
{
    if (m_state == State::Connecting) {
        m_pending += bytes;
        return true;
    }
    if (m_state != State::Connected || m_socket->write(bytes) != bytes.size())
        return false;
    m_socket->flush();
    return true;
}

bool TcpTransport::WaitWritten(int timeoutMs)
{
    // Handed to the system is on its way; while connecting, the bytes wait
    // for the connection (or go with it when it fails).
    if (m_state == State::Connecting)
        return true;
    QDeadlineTimer deadline(timeoutMs);
    while (m_state == State::Connected && m_socket->bytesToWrite() > 0) {
        if (!m_socket->waitForBytesWritten(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())))
            && deadline.hasExpired())
            break;
    }
    return m_state == State::Connected && m_socket->bytesToWrite() == 0;
}

qint64 TcpTransport::BytesAvailable() const
{
    return m_state == State::Connected ? m_socket->bytesAvailable() : 0;
}

QByteArray TcpTransport::ReadBytes(qint64 max)
{
    if (m_state != State::Connected)
        return QByteArray();
    return max > 0 ? m_socket->read(max) : m_socket->readAll();
}

void TcpTransport::Poll()
{
    if (m_state != State::Connected)
        return;
    // waitForReadyRead(0) takes what the system holds; its readyRead must not
    // start a delivery while the caller reads. It may also find the peer gone.
    m_polling = true;
    for (int i = 0; i < 64 && m_state == State::Connected; ++i) {
        const qint64 before = m_socket->bytesAvailable();
        m_socket->waitForReadyRead(0);
        if (m_state != State::Connected || m_socket->bytesAvailable() == before)
            break;
    }
    m_polling = false;
}

void TcpTransport::DiscardInput()
{
    if (m_state != State::Connected)
        return;
    Poll();
    if (m_state == State::Connected)
        m_socket->readAll();
}

int TcpTransport::SilenceMs() const
{
    return std::max(kMinSilenceMs, Transport::SilenceMs());
}

void TcpTransport::OnConnected()
{
    if (m_state != State::Connecting)
        return;
    m_connectTimer->stop();
    m_state = State::Connected;
    const QByteArray pending = std::exchange(m_pending, QByteArray());
    if (!pending.isEmpty()) {
        m_socket->write(pending);
        m_socket->flush();
    }
    emit Connected();
}

void TcpTransport::OnReadyRead()
{
    if (!m_polling)
        emit ReadyRead();
}

void TcpTransport::OnError(QAbstractSocket::SocketError error)
{
    if (m_state == State::Closed)
        return;
    // A wait of Poll's that found nothing is reported as a timeout: the
    // connection is fine.
    if (error == QAbstractSocket::SocketTimeoutError && m_state == State::Connected)
        return;
    // Bytes that came with the closing are still the reader's: let it take
    // them before the line is reported gone.
    if (m_state == State::Connected && m_socket->bytesAvailable() > 0 && !m_polling)
        emit ReadyRead();
    Fail(FailureText(error));
}

void TcpTransport::OnDisconnected()
{
    if (m_state == State::Closed)
        return;
    Fail(FailureText(QAbstractSocket::RemoteHostClosedError));
}

} // namespace kv

#include "moc_tcptransport.cpp"

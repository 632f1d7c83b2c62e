#include "serial/serialtransport.h"

#include <QDeadlineTimer>

#ifndef Q_OS_WIN
#include <poll.h>
#endif

namespace kv {

SerialTransport::SerialTransport(QObject* parent)
    : Transport(parent)
    , m_port(new QSerialPort(this))
{
    connect(m_port, &QSerialPort::readyRead, this, &SerialTransport::OnReadyRead);
    connect(m_port, &QSerialPort::errorOccurred, this, &SerialTransport::OnError);
}

SerialTransport::~SerialTransport()
{
    if (m_port->isOpen())
        m_port->close();
}

bool SerialTransport::Configure(const LineSettings& settings)
{
    return m_port->setBaudRate(settings.baud) && m_port->setParity(settings.parity)
        && m_port->setDataBits(settings.dataBits) && m_port->setStopBits(settings.stopBits);
}

bool SerialTransport::Open(const QString& where, const LineSettings& settings, QString* error)
{
    if (m_port->isOpen()) {
        if (error)
            *error = QStringLiteral("Port already open");
        return false;
    }
    m_port->setPortName(where);
    Configure(settings);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadWrite)) {
        if (error)
            *error = m_port->errorString();
        m_port->clearError();
        return false;
    }
    m_device = where;
    SetSettingsKept(settings);
    m_port->clear(QSerialPort::AllDirections);
    emit OpenChanged(true);
    return true;
}

void SerialTransport::Close()
{
    if (!m_port->isOpen())
        return;
    m_port->close();
    emit OpenChanged(false);
}

bool SerialTransport::IsOpen() const
{
    return m_port->isOpen();
}

bool SerialTransport::ApplySettings(const LineSettings& settings)
{
    if (m_port->isOpen() && !Configure(settings)) {
        // Put back what the port had, so that it keeps matching Settings.
        Configure(Settings());
        return false;
    }
    SetSettingsKept(settings);
    return true;
}

bool SerialTransport::WriteBytes(const QByteArray& bytes)
{
    if (m_port->write(bytes) != bytes.size())
        return false;
    m_port->flush();  // hand them to the system now rather than on the next pass of the event loop
    return true;
}

bool SerialTransport::WaitWritten(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (m_port->isOpen() && m_port->bytesToWrite() > 0) {
        if (!m_port->waitForBytesWritten(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())))) {
            if (deadline.hasExpired() || !m_port->isOpen())
                break;
        }
    }
    return m_port->isOpen() && m_port->bytesToWrite() == 0;
}

qint64 SerialTransport::BytesAvailable() const
{
    return m_port->isOpen() ? m_port->bytesAvailable() : 0;
}

QByteArray SerialTransport::ReadBytes(qint64 max)
{
    if (!m_port->isOpen())
        return QByteArray();
    return max > 0 ? m_port->read(max) : m_port->readAll();
}

void SerialTransport::Poll()
{
    // waitForReadyRead(0) moves what the system holds into Qt's buffer; the
    // readyRead it emits must not start a delivery while the caller reads.
    if (!m_port->isOpen())
        return;
    m_polling = true;
    for (int i = 0; i < 64 && m_port->isOpen(); ++i) {
        const qint64 before = m_port->bytesAvailable();
        m_port->waitForReadyRead(0);
        if (m_port->bytesAvailable() == before)
            break;
    }
    m_polling = false;
}

void SerialTransport::DiscardInput()
{
    if (!m_port->isOpen())
        return;
    Poll();
    m_port->clear(QSerialPort::Input);
    m_port->readAll();
}

void SerialTransport::OnReadyRead()
{
    if (!m_polling)
        emit ReadyRead();
}

bool SerialTransport::DeviceGone() const
{
#ifdef Q_OS_WIN
    return true;
#else
    // A device that went away (unplugged adapter, closed pseudo-terminal)
    // reports a hang-up or an error; a live one with nothing to read does not.
    pollfd p{static_cast<int>(m_port->handle()), POLLIN, 0};
    if (p.fd < 0 || ::poll(&p, 1, 0) < 0)
        return true;
    return (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
#endif
}

void SerialTransport::OnError(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::NoError:
        return;
    case QSerialPort::ResourceError:
    case QSerialPort::PermissionError:
    case QSerialPort::DeviceNotFoundError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
        if ((error == QSerialPort::ReadError || error == QSerialPort::ResourceError) && !DeviceGone()) {
            // A read notice whose bytes were already taken by a wait inside a
            // write or a poll: the read finds nothing, which Qt reports as an
            // error with whatever error number was left from before; "try
            // again" makes it a resource error, after which Qt stops watching
            // for bytes. The line is fine: Qt watches again.
            m_port->clearError();
            m_port->setReadBufferSize(m_port->readBufferSize());
            return;
        }
        // The device went away (an unplugged adapter reads as EIO or ENOENT).
        // Qt would go on reporting read errors in a tight loop: close at the
        // first one and report once.
        if (m_port->isOpen()) {
            const QString reason = m_port->errorString();
            m_port->close();
            m_port->clearError();
            emit OpenChanged(false);
            emit Lost(reason);
        }
        return;
    default:
        m_port->clearError();
        return;
    }
}

} // namespace kv

#include "moc_serialtransport.cpp"

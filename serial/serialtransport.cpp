#include "serial/serialtransport.h"

#include <QDeadlineTimer>

#ifndef Q_OS_WIN
#include <poll.h>
#include <termios.h>
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
    return m_port->setBaudRate(settings.baud) && SetParity(settings.parity)
        && m_port->setDataBits(settings.dataBits) && m_port->setStopBits(settings.stopBits);
}

bool SerialTransport::SetParity(QSerialPort::Parity parity)
{
    if (m_port->setParity(parity))
        return CheckParity(parity);
#ifdef Q_OS_WIN
    return false;
#else
    // A pseudo-terminal takes the settings but clears the parity enable, and
    // the C library then reports the whole change as refused (EINVAL), so Qt
    // refuses the parity. The flags are set here instead, and what the
    // terminal kept is checked: the input parity check and the odd flag.
    if (!m_port->isOpen() || (parity != QSerialPort::EvenParity && parity != QSerialPort::OddParity))
        return false;
    const int fd = static_cast<int>(m_port->handle());
    termios t{};
    if (::tcgetattr(fd, &t) != 0)
        return false;
    const bool odd = parity == QSerialPort::OddParity;
    t.c_iflag &= ~static_cast<tcflag_t>(PARMRK);
    t.c_iflag |= IGNPAR | INPCK;
    t.c_cflag |= PARENB;
    if (odd)
        t.c_cflag |= PARODD;
    else
        t.c_cflag &= ~static_cast<tcflag_t>(PARODD);
    ::tcsetattr(fd, TCSANOW, &t);
    termios kept{};
    return ::tcgetattr(fd, &kept) == 0 && (kept.c_iflag & INPCK) != 0 && ((kept.c_cflag & PARODD) != 0) == odd;
#endif
}

bool SerialTransport::CheckParity(QSerialPort::Parity parity)
{
#ifdef Q_OS_WIN
    Q_UNUSED(parity);
    return true;
#else
    // Qt puts a parity into the terminal's control flags only: the receiver
    // does not check it (INPCK stays off), and going to no parity leaves the
    // odd flag as it was. Set both as serial programs do (libmodbus,
    // pyserial): bytes with a wrong parity are then dropped, not taken, and on
    // a pseudo-terminal, which clears the parity enable, the far end can still
    // tell the parity.
    if (!m_port->isOpen() || (parity != QSerialPort::NoParity && parity != QSerialPort::EvenParity
                              && parity != QSerialPort::OddParity))
        return true;
    const int fd = static_cast<int>(m_port->handle());
    termios t{};
    if (::tcgetattr(fd, &t) != 0)
        return false;
    if (parity == QSerialPort::NoParity) {
        t.c_iflag &= ~static_cast<tcflag_t>(INPCK);
        t.c_cflag &= ~static_cast<tcflag_t>(PARODD);
    } else {
        t.c_iflag |= INPCK;
    }
    return ::tcsetattr(fd, TCSANOW, &t) == 0;
#endif
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
    CheckParity(settings.parity);
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

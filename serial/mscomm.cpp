#include "serial/mscomm.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QStringEncoder>
#include <QTimer>

#ifndef Q_OS_WIN
#include <poll.h>
#endif

namespace kv {

namespace {

constexpr int kWriteTimeoutMs = 5000;

} // namespace

MSComm::MSComm(QObject* parent)
    : QObject(parent)
    , m_port(new QSerialPort(this))
    , m_decoder(QStringDecoder::System)
{
    m_settings = *ParseSettings(m_settingsText);
    connect(m_port, &QSerialPort::readyRead, this, &MSComm::onReadyRead);
    connect(m_port, &QSerialPort::errorOccurred, this, &MSComm::onError);
}

MSComm::~MSComm()
{
    if (m_port->isOpen())
        m_port->close();
}

void MSComm::setCommPort(int portNumber)
{
    if (portNumber < 1 || portNumber > 255)
        throw CommError(CommError::InvalidPortNumber, QStringLiteral("Invalid port number"));
    if (m_port->isOpen())
        throw CommError(CommError::PortAlreadyOpen, QStringLiteral("Port already open"));
    m_commPort = static_cast<short>(portNumber);
    m_device.clear();
}

void MSComm::setPortDevice(const QString& devicePath)
{
    if (devicePath.isEmpty())
        throw CommError(CommError::InvalidPortNumber, QStringLiteral("Invalid port number"));
    if (m_port->isOpen())
        throw CommError(CommError::PortAlreadyOpen, QStringLiteral("Port already open"));
    m_device = devicePath;
}

QString MSComm::DevicePath() const
{
    return m_device.isEmpty() ? DeviceForPortNumber(m_commPort) : m_device;
}

void MSComm::setSettings(const QString& text)
{
    const std::optional<LineSettings> parsed = ParseSettings(text);
    if (!parsed)
        throw CommError(CommError::InvalidPropertyValue, QStringLiteral("Invalid property value: %1").arg(text));
    if (m_port->isOpen()) {
        const bool ok = m_port->setBaudRate(parsed->baud) && m_port->setParity(parsed->parity)
            && m_port->setDataBits(parsed->dataBits) && m_port->setStopBits(parsed->stopBits);
        if (!ok) {
            // Put back what the port had, so that it keeps matching Settings.
            m_port->setBaudRate(m_settings.baud);
            m_port->setParity(m_settings.parity);
            m_port->setDataBits(m_settings.dataBits);
            m_port->setStopBits(m_settings.stopBits);
            throw CommError(CommError::CannotSetCommState, QStringLiteral("Could not set comm state"));
        }
    }
    m_settings = *parsed;
    m_settingsText = text;
}

void MSComm::setInputMode(int mode)
{
    if (mode != 0 && mode != 1)
        throw CommError(CommError::InvalidPropertyValue, QStringLiteral("Invalid property value"));
    m_inputMode = mode;
}

void MSComm::setRThreshold(int threshold)
{
    if (threshold < 0 || threshold > 32767)
        throw CommError(CommError::InvalidPropertyValue, QStringLiteral("Invalid property value"));
    m_rThreshold = static_cast<short>(threshold);
    if (m_rThreshold > 0 && m_port->isOpen() && m_port->bytesAvailable() >= m_rThreshold)
        scheduleDelivery();
}

void MSComm::setInputLen(int length)
{
    if (length < 0 || length > 32767)
        throw CommError(CommError::InvalidPropertyValue, QStringLiteral("Invalid property value"));
    m_inputLen = static_cast<short>(length);
}

bool MSComm::PortOpen() const
{
    return m_port->isOpen();
}

void MSComm::setPortOpen(bool open)
{
    if (!open) {
        if (m_port->isOpen()) {
            m_port->close();
            emit OpenChanged(false);
        }
        return;
    }
    if (m_port->isOpen())
        throw CommError(CommError::PortAlreadyOpen, QStringLiteral("Port already open"));
    m_port->setPortName(DevicePath());
    m_port->setBaudRate(m_settings.baud);
    m_port->setParity(m_settings.parity);
    m_port->setDataBits(m_settings.dataBits);
    m_port->setStopBits(m_settings.stopBits);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadWrite)) {
        const QString why = m_port->errorString();
        m_port->clearError();
        throw CommError(CommError::PortNotAvailable, QStringLiteral("Port not available: %1").arg(why));
    }
    // A fresh decoder for a fresh line; nothing of an earlier session carries over.
    m_decoder = QStringDecoder(QStringDecoder::System);
    m_port->clear(QSerialPort::AllDirections);
    emit OpenChanged(true);
}

void MSComm::requireOpen(const char* operation) const
{
    if (!m_port->isOpen())
        throw CommError(CommError::OperationNeedsOpenPort,
                        QStringLiteral("Operation not valid: port is closed (%1)").arg(QLatin1String(operation)));
}

void MSComm::setOutput(const QByteArray& bytes)
{
    requireOpen("Output");
    if (bytes.isEmpty())
        return;
    if (m_port->write(bytes) != bytes.size())
        throw CommError(CommError::WriteFailed, QStringLiteral("Write failed: %1").arg(m_port->errorString()));
    // The bytes must be on the line before Output returns: a wait that follows
    // (a handler's Sleep) must not hold them back.
    QDeadlineTimer deadline(kWriteTimeoutMs);
    while (m_port->isOpen() && m_port->bytesToWrite() > 0) {
        if (!m_port->waitForBytesWritten(static_cast<int>(qMax<qint64>(1, deadline.remainingTime())))) {
            if (deadline.hasExpired() || !m_port->isOpen())
                break;
        }
    }
    if (!m_port->isOpen() || m_port->bytesToWrite() > 0)
        throw CommError(CommError::WriteFailed, QStringLiteral("Write failed: %1").arg(m_port->errorString()));
    emit Transmitted(bytes);
}

void MSComm::OutputNoWait(const QByteArray& bytes)
{
    requireOpen("Output");
    if (bytes.isEmpty())
        return;
    if (m_port->write(bytes) != bytes.size())
        throw CommError(CommError::WriteFailed, QStringLiteral("Write failed: %1").arg(m_port->errorString()));
    m_port->flush();  // hand them to the system now rather than on the next pass of the event loop
    emit Transmitted(bytes);
}

double MSComm::CharTimeMs() const
{
    int bits = 1 + static_cast<int>(m_settings.dataBits);
    if (m_settings.parity != QSerialPort::NoParity)
        ++bits;
    bits += m_settings.stopBits == QSerialPort::OneStop ? 1 : 2;
    const double baud = m_settings.baud > 0 ? m_settings.baud : 9600;
    return 1000.0 * bits / baud;
}

void MSComm::setClaimed(bool claimed)
{
    if (m_claimed == claimed)
        return;
    m_claimed = claimed;
    // Bytes that wait now belong to whoever has the line from here on.
    if (m_port->isOpen() && (m_port->bytesAvailable() > 0 || m_claimed))
        scheduleDelivery();
}

void MSComm::setOutput(const QString& text)
{
    QStringEncoder encoder(QStringEncoder::System);
    const QByteArray bytes = encoder.encode(text);
    setOutput(bytes);
}

void MSComm::pullFromSystem()
{
    // waitForReadyRead(0) moves what the system holds into Qt's buffer; the
    // readyRead it emits must not start a receive event while we read.
    if (!m_port->isOpen())
        return;
    m_pulling = true;
    for (int i = 0; i < 64 && m_port->isOpen(); ++i) {
        const qint64 before = m_port->bytesAvailable();
        m_port->waitForReadyRead(0);
        if (m_port->bytesAvailable() == before)
            break;
    }
    m_pulling = false;
}

QByteArray MSComm::InputBytes()
{
    requireOpen("Input");
    pullFromSystem();
    // The device may go away while its bytes are taken (the port is then closed).
    requireOpen("Input");
    const QByteArray bytes = m_inputLen > 0 ? m_port->read(m_inputLen) : m_port->readAll();
    if (!bytes.isEmpty())
        emit Received(bytes);
    return bytes;
}

QString MSComm::InputText()
{
    const QByteArray bytes = InputBytes();
    // Bytes that are not valid in the system's code page become U+FFFD; a
    // sequence cut between two reads completes on the next read.
    return m_decoder.decode(bytes);
}

QVariant MSComm::Input()
{
    if (m_inputMode == 1)
        return QVariant(InputBytes());
    return QVariant(InputText());
}

int MSComm::InBufferCount()
{
    if (!m_port->isOpen())
        return 0;
    pullFromSystem();
    return static_cast<int>(qMin<qint64>(m_port->bytesAvailable(), 32767));
}

void MSComm::setInBufferCount(int count)
{
    if (count != 0)
        throw CommError(CommError::InvalidPropertyValue, QStringLiteral("Invalid property value"));
    if (!m_port->isOpen())
        return;
    pullFromSystem();
    m_port->clear(QSerialPort::Input);
    m_port->readAll();
    m_decoder.resetState();
}

void MSComm::onReadyRead()
{
    if (m_pulling)
        return;
    scheduleDelivery();
}

void MSComm::scheduleDelivery()
{
    if (m_deliveryQueued)
        return;
    m_deliveryQueued = true;
    // Queued: the event runs from the event loop, after whatever handler is running.
    QMetaObject::invokeMethod(this, &MSComm::deliver, Qt::QueuedConnection);
}

void MSComm::deliver()
{
    m_deliveryQueued = false;
    if (!m_port->isOpen())
        return;
    if (m_claimed) {
        pullFromSystem();
        if (!m_port->isOpen())
            return;
        const QByteArray bytes = m_port->readAll();
        if (!bytes.isEmpty()) {
            emit Received(bytes);
            emit ClaimedBytes(bytes);
        }
        return;
    }
    if (m_rThreshold <= 0)
        return;
    if (m_inHandler) {
        // A handler of ours is open (a modal box inside it spins the event loop):
        // try again once it has returned.
        QTimer::singleShot(10, this, &MSComm::scheduleDelivery);
        return;
    }
    if (m_port->bytesAvailable() < m_rThreshold)
        return;
    raise(comEvReceive);
    // Bytes that arrived while the handler ran and were left unread get their own event.
    if (m_port->isOpen() && m_port->bytesAvailable() >= m_rThreshold)
        scheduleDelivery();
}

void MSComm::raise(short event)
{
    m_commEvent = event;
    m_inHandler = true;
    emit OnComm();
    m_inHandler = false;
}

bool MSComm::DeviceGone() const
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

void MSComm::onError(QSerialPort::SerialPortError error)
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
            // write or a read of Input: the read finds nothing, which Qt
            // reports as an error with whatever error number was left from
            // before; "try again" makes it a resource error, after which Qt
            // stops watching for bytes. The line is fine: Qt watches again.
            m_port->clearError();
            m_port->setReadBufferSize(m_port->readBufferSize());
            return;
        }
        // The device went away (an unplugged adapter reads as EIO or ENOENT).
        // Qt would go on reporting read errors in a tight loop: close at the
        // first one and raise one event.
        if (m_port->isOpen()) {
            m_port->close();
            m_port->clearError();
            emit OpenChanged(false);
            QMetaObject::invokeMethod(this, [this] { raise(comEventPortLost); }, Qt::QueuedConnection);
        }
        return;
    default:
        m_port->clearError();
        return;
    }
}

} // namespace kv

#include "moc_mscomm.cpp"

#include "serial/mscomm.h"

#include "serial/linetransport.h"
#include "serial/transport.h"

#include <QCoreApplication>
#include <QStringEncoder>
#include <QTimer>

namespace kv {

namespace {

constexpr int kWriteTimeoutMs = 5000;

} // namespace

MSComm::MSComm(QObject* parent)
    : QObject(parent)
    , m_line(new LineTransport(this))
    , m_decoder(QStringDecoder::System)
{
    m_settings = *ParseSettings(m_settingsText);
    connectLine();
}

MSComm::MSComm(Transport& line, QObject* parent)
    : QObject(parent)
    , m_line(&line)
    , m_decoder(QStringDecoder::System)
{
    m_settings = *ParseSettings(m_settingsText);
    connectLine();
}

MSComm::~MSComm()
{
    // A line of its own goes with the control; a line given is left as it is.
    if (m_line->parent() == this)
        m_line->blockSignals(true);
}

void MSComm::connectLine()
{
    connect(m_line, &Transport::ReadyRead, this, [this] {
        if (!m_pulling)
            scheduleDelivery();
    });
    connect(m_line, &Transport::OpenChanged, this, &MSComm::OpenChanged);
    // The device went away: the line is closed already; one event tells the window.
    connect(m_line, &Transport::Lost, this, [this](const QString& why) {
        m_lineFailure = why;
        QMetaObject::invokeMethod(this, [this] { raise(comEventPortLost); }, Qt::QueuedConnection);
    });
    connect(m_line, &Transport::OpenFailed, this, [this](const QString& why) {
        m_lineFailure = why;
        QMetaObject::invokeMethod(this, [this] { raise(comEventOpenFailed); }, Qt::QueuedConnection);
    });
    // The line given back by the engine: what waits is the receive path's again.
    connect(m_line, &Transport::ClaimChanged, this, [this](bool claimed) {
        if (!claimed && m_line->IsOpen() && m_line->BytesAvailable() > 0)
            scheduleDelivery();
    });
}

void MSComm::setCommPort(int portNumber)
{
    if (portNumber < 1 || portNumber > 255)
        throw CommError(CommError::InvalidPortNumber, QStringLiteral("Invalid port number"));
    if (m_line->IsOpen())
        throw CommError(CommError::PortAlreadyOpen, QStringLiteral("Port already open"));
    m_commPort = static_cast<short>(portNumber);
    m_device.clear();
}

void MSComm::setPortDevice(const QString& devicePath)
{
    if (devicePath.isEmpty())
        throw CommError(CommError::InvalidPortNumber, QStringLiteral("Invalid port number"));
    if (m_line->IsOpen())
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
    if (m_line->IsOpen() && !m_line->ApplySettings(*parsed))
        throw CommError(CommError::CannotSetCommState, QStringLiteral("Could not set comm state"));
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
    if (m_rThreshold > 0 && m_line->IsOpen() && m_line->BytesAvailable() >= m_rThreshold)
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
    return m_line->IsOpen();
}

void MSComm::setPortOpen(bool open)
{
    if (!open) {
        m_line->Close();
        return;
    }
    if (m_line->IsOpen())
        throw CommError(CommError::PortAlreadyOpen, QStringLiteral("Port already open"));
    QString why;
    // A fresh decoder for a fresh line; nothing of an earlier session carries over.
    m_decoder = QStringDecoder(QStringDecoder::System);
    if (!m_line->Open(DevicePath(), m_settings, &why))
        throw CommError(CommError::PortNotAvailable, QStringLiteral("Port not available: %1").arg(why));
}

void MSComm::requireOpen(const char* operation) const
{
    if (!m_line->IsOpen())
        throw CommError(CommError::OperationNeedsOpenPort,
                        QStringLiteral("Operation not valid: port is closed (%1)").arg(QLatin1String(operation)));
}

void MSComm::setOutput(const QByteArray& bytes)
{
    requireOpen("Output");
    if (bytes.isEmpty())
        return;
    // The bytes must be on the line before Output returns: a wait that follows
    // (a handler's Sleep) must not hold them back.
    if (!m_line->Write(bytes) || !m_line->WaitWritten(kWriteTimeoutMs))
        throw CommError(CommError::WriteFailed, QStringLiteral("Write failed"));
}

void MSComm::setOutput(const QString& text)
{
    QStringEncoder encoder(QStringEncoder::System);
    const QByteArray bytes = encoder.encode(text);
    setOutput(bytes);
}

void MSComm::pullFromSystem()
{
    // The transport takes what the system holds; its arrival must not start a
    // receive event while we read.
    m_pulling = true;
    m_line->Poll();
    m_pulling = false;
}

QByteArray MSComm::InputBytes()
{
    requireOpen("Input");
    pullFromSystem();
    // The device may go away while its bytes are taken (the port is then closed).
    requireOpen("Input");
    return m_line->Read(m_inputLen);
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
    if (!m_line->IsOpen())
        return 0;
    pullFromSystem();
    return static_cast<int>(qMin<qint64>(m_line->BytesAvailable(), 32767));
}

void MSComm::setInBufferCount(int count)
{
    if (count != 0)
        throw CommError(CommError::InvalidPropertyValue, QStringLiteral("Invalid property value"));
    if (!m_line->IsOpen())
        return;
    m_pulling = true;
    m_line->DiscardInput();
    m_pulling = false;
    m_decoder.resetState();
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
    // While the line is claimed its bytes are the claimant's.
    if (!m_line->IsOpen() || m_line->Claimed() || m_rThreshold <= 0)
        return;
    if (m_inHandler) {
        // A handler of ours is open (a modal box inside it spins the event loop):
        // try again once it has returned.
        QTimer::singleShot(10, this, &MSComm::scheduleDelivery);
        return;
    }
    if (m_line->BytesAvailable() < m_rThreshold)
        return;
    raise(comEvReceive);
    // Bytes that arrived while the handler ran and were left unread get their own event.
    if (m_line->IsOpen() && !m_line->Claimed() && m_line->BytesAvailable() >= m_rThreshold)
        scheduleDelivery();
}

void MSComm::raise(short event)
{
    m_commEvent = event;
    m_inHandler = true;
    emit OnComm();
    m_inHandler = false;
}

} // namespace kv

#include "moc_mscomm.cpp"

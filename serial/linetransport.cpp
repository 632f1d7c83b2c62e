#include "serial/linetransport.h"

#include "serial/netaddress.h"
#include "serial/serialtransport.h"
#include "serial/tcptransport.h"

namespace kv {

LineTransport::LineTransport(QObject* parent)
    : Transport(parent)
    , m_serial(new SerialTransport(this))
    , m_tcp(new TcpTransport(this))
    , m_active(m_serial)
{
    Follow(m_serial);
    Follow(m_tcp);
}

LineTransport::~LineTransport()
{
    // The inner lines go with this one; nobody hears of their closing.
    m_serial->disconnect(this);
    m_tcp->disconnect(this);
}

void LineTransport::Follow(Transport* line)
{
    // Only the line in use speaks for this one (the other is closed anyway).
    auto active = [this, line] { return line == m_active; };
    connect(line, &Transport::ReadyRead, this, [this, active] {
        if (active())
            emit ReadyRead();
    });
    connect(line, &Transport::OpenChanged, this, [this, active](bool open) {
        if (active())
            emit OpenChanged(open);
    });
    connect(line, &Transport::Lost, this, [this, active](const QString& reason) {
        if (active())
            emit Lost(reason);
    });
    connect(line, &Transport::Connected, this, [this, active] {
        if (active())
            emit Connected();
    });
    connect(line, &Transport::OpenFailed, this, [this, active](const QString& reason) {
        if (active())
            emit OpenFailed(reason);
    });
}

bool LineTransport::Open(const QString& where, const LineSettings& settings, QString* error)
{
    if (IsOpen()) {
        if (error)
            *error = QStringLiteral("Port already open");
        return false;
    }
    m_active = ParseNetAddress(where) ? static_cast<Transport*>(m_tcp) : m_serial;
    SetSettingsKept(settings);
    return m_active->Open(where, settings, error);
}

void LineTransport::Close()
{
    m_active->Close();
}

bool LineTransport::IsOpen() const
{
    return m_active->IsOpen();
}

bool LineTransport::Connecting() const
{
    return m_active->Connecting();
}

bool LineTransport::OwnsLineSettings() const
{
    return m_active->OwnsLineSettings();
}

bool LineTransport::ApplySettings(const LineSettings& settings)
{
    if (!m_active->ApplySettings(settings))
        return false;
    SetSettingsKept(settings);
    return true;
}

QString LineTransport::Description() const
{
    return m_active->Description();
}

bool LineTransport::WaitWritten(int timeoutMs)
{
    return m_active->WaitWritten(timeoutMs);
}

qint64 LineTransport::BytesAvailable() const
{
    return m_active->BytesAvailable();
}

void LineTransport::Poll()
{
    m_active->Poll();
}

void LineTransport::DiscardInput()
{
    m_active->DiscardInput();
}

double LineTransport::CharTimeMs() const
{
    return m_active->CharTimeMs();
}

int LineTransport::SilenceMs() const
{
    return m_active->SilenceMs();
}

double LineTransport::FrameGapMs() const
{
    return m_active->FrameGapMs();
}

int LineTransport::DefaultResponseTimeoutMs() const
{
    return m_active->DefaultResponseTimeoutMs();
}

bool LineTransport::WriteBytes(const QByteArray& bytes)
{
    return m_active->Write(bytes);
}

QByteArray LineTransport::ReadBytes(qint64 max)
{
    return m_active->Read(max);
}

} // namespace kv

#include "moc_linetransport.cpp"

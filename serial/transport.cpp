#include "serial/transport.h"

#include <algorithm>
#include <cmath>

namespace kv {

Transport::Transport(QObject* parent)
    : QObject(parent)
{
}

Transport::~Transport() = default;

bool Transport::Write(const QByteArray& bytes)
{
    if (!IsOpen())
        return false;
    if (bytes.isEmpty())
        return true;
    if (!WriteBytes(bytes))
        return false;
    emit Transmitted(bytes);
    return true;
}

QByteArray Transport::Read(qint64 max)
{
    const QByteArray bytes = ReadBytes(max);
    if (!bytes.isEmpty())
        emit Received(bytes);
    return bytes;
}

double Transport::CharTimeMs() const
{
    int bits = 1 + static_cast<int>(m_settings.dataBits);
    if (m_settings.parity != QSerialPort::NoParity)
        ++bits;
    bits += m_settings.stopBits == QSerialPort::OneStop ? 1 : 2;
    const double baud = m_settings.baud > 0 ? m_settings.baud : 9600;
    return 1000.0 * bits / baud;
}

int Transport::SilenceMs() const
{
    return std::max(20, static_cast<int>(std::ceil(3.5 * CharTimeMs())));
}

double Transport::FrameGapMs() const
{
    return std::max(1.75, 3.5 * CharTimeMs());
}

void Transport::SetClaimed(bool claimed)
{
    if (m_claimed == claimed)
        return;
    m_claimed = claimed;
    emit ClaimChanged(claimed);
    // Bytes that wait now belong to whoever has the line from here on: tell
    // the readers again, from the event loop.
    if (IsOpen() && BytesAvailable() > 0 && !m_readyQueued) {
        m_readyQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_readyQueued = false;
                if (IsOpen() && BytesAvailable() > 0)
                    emit ReadyRead();
            },
            Qt::QueuedConnection);
    }
}

} // namespace kv

#include "moc_transport.cpp"

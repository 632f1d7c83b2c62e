#include "serial/faketransport.h"

#include <algorithm>

namespace kv {

FakeTransport::FakeTransport(Clock& clock, QObject* parent)
    : Transport(parent)
    , m_clock(clock)
    , m_timer(clock.NewTimer(this))
{
    connect(m_timer, &ClockTimer::timeout, this, [this] {
        if (TakeDue())
            emit ReadyRead();
        Arm();
    });
}

bool FakeTransport::Open(const QString& where, const LineSettings& settings, QString* error)
{
    if (m_open || !openError.isEmpty()) {
        if (error)
            *error = m_open ? QStringLiteral("Port already open") : openError;
        return false;
    }
    openedWhere = where;
    SetSettingsKept(settings);
    m_open = true;
    m_buffer.clear();
    m_due.clear();
    emit OpenChanged(true);
    return true;
}

void FakeTransport::Close()
{
    if (!m_open)
        return;
    m_open = false;
    m_timer->Stop();
    emit OpenChanged(false);
}

void FakeTransport::Lose(const QString& reason)
{
    if (!m_open)
        return;
    m_open = false;
    m_timer->Stop();
    emit OpenChanged(false);
    emit Lost(reason);
}

bool FakeTransport::ApplySettings(const LineSettings& settings)
{
    SetSettingsKept(settings);
    return true;
}

bool FakeTransport::WriteBytes(const QByteArray& bytes)
{
    if (refuseWrites)
        return false;
    m_writes.append(bytes);
    if (m_responder) {
        const qint64 now = m_clock.NowUs();
        for (const Piece& p : m_responder(bytes))
            Schedule(now + std::max<qint64>(p.afterUs, 0), p.bytes);
    }
    return true;
}

void FakeTransport::Send(const QByteArray& bytes, qint64 afterUs)
{
    Schedule(m_clock.NowUs() + std::max<qint64>(afterUs, 0), bytes);
}

void FakeTransport::Schedule(qint64 atUs, const QByteArray& bytes)
{
    if (!m_open || bytes.isEmpty())
        return;
    const auto at = std::upper_bound(m_due.begin(), m_due.end(), atUs,
                                     [](qint64 t, const Due& d) { return t < d.atUs; });
    m_due.insert(at, Due{atUs, bytes});
    Arm();
}

void FakeTransport::Arm()
{
    if (!m_open || m_due.isEmpty()) {
        m_timer->Stop();
        return;
    }
    m_timer->StartUs(m_due.first().atUs - m_clock.NowUs());
}

bool FakeTransport::TakeDue()
{
    const qint64 now = m_clock.NowUs();
    bool moved = false;
    while (!m_due.isEmpty() && m_due.first().atUs <= now) {
        m_buffer += m_due.takeFirst().bytes;
        moved = true;
    }
    return moved;
}

void FakeTransport::Poll()
{
    if (m_open)
        TakeDue();
}

void FakeTransport::DiscardInput()
{
    Poll();
    m_buffer.clear();
}

QByteArray FakeTransport::ReadBytes(qint64 max)
{
    const qsizetype n = max > 0 ? std::min<qsizetype>(max, m_buffer.size()) : m_buffer.size();
    QByteArray bytes = m_buffer.left(n);
    m_buffer.remove(0, n);
    return bytes;
}

} // namespace kv

#include "moc_faketransport.cpp"

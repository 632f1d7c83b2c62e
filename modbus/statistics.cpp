#include "modbus/statistics.h"

namespace kv::mb {

void LineStatistics::SetPollRead(quint16 address, quint16 count)
{
    m_pollAddress = address;
    m_pollCount = count;
}

bool LineStatistics::IsPollRequest(const QByteArray& bytes) const
{
    return m_pollAddress >= 0 && bytes.size() == 8 && ByteAt(bytes, 1) == kReadHoldingRegisters
        && ((ByteAt(bytes, 2) << 8) | ByteAt(bytes, 3)) == m_pollAddress && ((ByteAt(bytes, 4) << 8) | ByteAt(bytes, 5)) == m_pollCount
        && CrcOk(bytes);
}

LineStatistics::LineStatistics(QObject* parent)
    : QObject(parent)
{
    m_pollTimer.setSingleShot(true);
    m_pollTimer.setInterval(1000);
    connect(&m_pollTimer, &QTimer::timeout, this, &LineStatistics::PollTimeUp);
}

void LineStatistics::Reset()
{
    m_counters = LineCounters();
    m_pollPending = false;
    m_pollTimer.stop();
    emit Changed();
}

void LineStatistics::PollTimeUp()
{
    if (!m_pollPending)
        return;
    m_pollPending = false;
    ++m_counters.timeouts;
    emit Changed();
}

void LineStatistics::OnTransmitted(const QByteArray& bytes)
{
    ++m_counters.requests;
    if (IsPollRequest(bytes)) {
        // The previous poll got nothing before this one went out.
        if (m_pollPending)
            ++m_counters.timeouts;
        m_pollPending = true;
        m_pollTimer.start();
    }
    emit Changed();
}

void LineStatistics::OnChunk(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return;
    m_pollPending = false;
    m_pollTimer.stop();
    const QString what = DescribeFrame(bytes, false);
    if (what.isEmpty()) {
        ++m_counters.undecoded;
    } else if (!CrcOk(bytes)) {  // a frame of a known form and length, with a bad CRC
        ++m_counters.crcErrors;
    } else if (ByteAt(bytes, 1) & kExceptionFlag) {
        ++m_counters.exceptions;
        m_counters.lastException = what;
    } else {
        ++m_counters.good;
    }
    emit Changed();
}

void LineStatistics::OnAttempt(Outcome outcome, quint8 exceptionCode)
{
    // The request just sent was the engine's (fast sampling reads the poll's
    // own block): its outcome is counted here, not as a poll awaiting a reply.
    m_pollPending = false;
    m_pollTimer.stop();
    switch (outcome) {
    case Outcome::Registers:
    case Outcome::Written:
        ++m_counters.good;
        break;
    case Outcome::Exception:
        ++m_counters.exceptions;
        m_counters.lastException = ExceptionMessage(exceptionCode);
        break;
    case Outcome::CrcError:
        ++m_counters.crcErrors;
        break;
    case Outcome::Timeout:
        ++m_counters.timeouts;
        break;
    case Outcome::Incomplete:
    case Outcome::WrongStation:
    case Outcome::WrongFunction:
    case Outcome::Mismatch:
        ++m_counters.undecoded;
        break;
    case Outcome::PortLost:
    case Outcome::Cancelled:
    case Outcome::Broadcast:
    case Outcome::Invalid:
        return;
    }
    emit Changed();
}

void LineStatistics::OnDropped(qint64 count)
{
    if (count <= 0)
        return;
    m_counters.dropped += count;
    emit Changed();
}

QString LineStatistics::Summary() const
{
    const LineCounters& c = m_counters;
    QString s = tr("请求 %1  正确 %2  CRC错误 %3  异常 %4  超时 %5  未解码 %6")
                    .arg(c.requests)
                    .arg(c.good)
                    .arg(c.crcErrors)
                    .arg(c.exceptions)
                    .arg(c.timeouts)
                    .arg(c.undecoded);
    if (c.dropped > 0)
        s += tr("  丢弃 %1 字节").arg(c.dropped);
    if (!c.lastException.isEmpty())
        s += tr("  最近：%1").arg(c.lastException);
    return s;
}

} // namespace kv::mb

#include "moc_statistics.cpp"

#include "drive/fastpoll.h"

#include "drive/registermap.h"

#include <algorithm>

namespace kv {

namespace {

constexpr qint64 kRateWindowMs = 2000;
// While the port is closed or the engine works for someone else, look again this often.
constexpr int kRetryMs = 50;

} // namespace

FastPoll::FastPoll(mb::TransactionEngine& engine, std::function<quint8()> station, QObject* parent)
    : QObject(parent)
    , m_engine(engine)
    , m_station(std::move(station))
{
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &FastPoll::Tick);
}

void FastPoll::SetPeriodMs(int ms)
{
    m_periodMs = std::max(0, ms);
}

void FastPoll::Start()
{
    if (m_running)
        return;
    m_running = true;
    m_samples.clear();
    m_startedAt = m_clock.elapsed();
    m_timer.start(0);
}

void FastPoll::Stop()
{
    m_running = false;
    m_timer.stop();
    m_samples.clear();
}

bool FastPoll::HoldsLineAlone() const
{
    return m_inFlight != 0 && m_engine.QueuedCount() == 0;
}

void FastPoll::Yield(int ms)
{
    if (m_inFlight != 0 && HoldsLineAlone())
        m_engine.Cancel();  // our read ends as Cancelled; the line is free at once
    if (m_running)
        m_timer.start(std::max(0, ms));
}

double FastPoll::RateHz() const
{
    if (!m_running || m_samples.empty())
        return 0.0;
    const qint64 now = m_clock.elapsed();
    const qint64 span = std::min(kRateWindowMs, now - m_startedAt);
    return span > 0 ? 1000.0 * static_cast<double>(m_samples.size()) / static_cast<double>(span) : 0.0;
}

void FastPoll::Tick()
{
    if (!m_running || m_inFlight != 0)
        return;
    if (!m_engine.LineOpen() || m_engine.HasWork()) {
        // Closed port: sampling resumes by itself once it is open again. Other
        // work on the engine (a parameter backup) goes first.
        m_timer.start(kRetryMs);
        return;
    }
    m_lastStart = m_clock.elapsed();
    const mb::Request request = mb::Request::Read(m_station(), kRegLiveBlockStart, kRegLiveBlockCount);
    m_inFlight = m_engine.Submit(request, [this](const mb::Result& r) { OnResult(r); });
}

void FastPoll::OnResult(const mb::Result& result)
{
    if (result.id != m_inFlight)
        return;
    m_inFlight = 0;
    if (!m_running)
        return;
    if (result.outcome == mb::Outcome::Cancelled)
        return;  // given way to the window; Yield has set the restart
    if (m_running && m_inFlight == 0)
        ScheduleNext();
    if (result.outcome == mb::Outcome::Registers) {
        const qint64 now = m_clock.elapsed();
        m_samples.push_back(now);
        while (!m_samples.empty() && m_samples.front() < now - kRateWindowMs)
            m_samples.pop_front();
        // The next read is on its way first; the window draws this sample
        // while the line carries it.
        QMetaObject::invokeMethod(
            this, [this, reply = result.reply] {
                if (m_running)
                    emit Sample(reply);
            },
            Qt::QueuedConnection);
    }
}

void FastPoll::ScheduleNext()
{
    const qint64 now = m_clock.elapsed();
    const qint64 due = m_lastStart + m_periodMs;
    if (due <= now)
        Tick();
    else
        m_timer.start(static_cast<int>(due - now));
}

} // namespace kv

#include "moc_fastpoll.cpp"

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
    , m_clock(engine.Time())
    , m_station(std::move(station))
    , m_timer(m_clock.NewTimer(this))
{
    connect(m_timer, &ClockTimer::timeout, this, &FastPoll::Tick);
    // Work that went before (a fault record read between two samples): the
    // next read goes as soon as the line is free, not at the next look.
    // (From the event loop: everyone else hears that the line is free first.)
    connect(
        &m_engine, &mb::TransactionEngine::BusyChanged, this,
        [this](bool busy) {
            if (busy || !m_deferred)
                return;
            m_deferred = false;
            if (m_running && m_inFlight == 0)
                ScheduleNext();
        },
        Qt::QueuedConnection);
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
    m_startedAt = m_clock.NowMs();
    m_timer->StartMs(0);
}

void FastPoll::Stop()
{
    m_running = false;
    m_deferred = false;
    m_timer->Stop();
    m_samples.clear();
}

bool FastPoll::HoldsLineAlone() const
{
    return m_inFlight != 0 && m_engine.QueuedCount() == 0;
}

void FastPoll::Yield(int ms)
{
    m_deferred = false;  // the window's own handlers have the line, not the engine
    if (m_inFlight != 0 && HoldsLineAlone())
        m_engine.Cancel();  // our read ends as Cancelled; the line is free at once
    if (m_running)
        m_timer->StartMs(std::max(0, ms));
}

double FastPoll::RateHz() const
{
    if (!m_running || m_samples.empty())
        return 0.0;
    const qint64 now = m_clock.NowMs();
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
        m_deferred = m_engine.HasWork();
        m_timer->StartMs(kRetryMs);
        return;
    }
    m_deferred = false;
    m_lastStart = m_clock.NowMs();
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
    if (result.outcome == mb::Outcome::Registers && result.registers.size() == kRegLiveBlockCount) {
        const qint64 now = m_clock.NowMs();
        m_samples.push_back(now);
        while (!m_samples.empty() && m_samples.front() < now - kRateWindowMs)
            m_samples.pop_front();
        std::array<quint16, kRegLiveBlockCount> registers{};
        std::copy(result.registers.begin(), result.registers.end(), registers.begin());
        // The engine checked the reply's CRC: a sound reply is the only kind
        // that gets here.
        const LiveSample sample = SampleFromRegisters(registers, m_clock.WallMs(), true, result.request.station);
        // The next read is on its way first; the window draws this sample
        // while the line carries it.
        QMetaObject::invokeMethod(
            this, [this, sample] {
                if (m_running)
                    emit Sampled(sample);
            },
            Qt::QueuedConnection);
    }
}

void FastPoll::ScheduleNext()
{
    const qint64 now = m_clock.NowMs();
    const qint64 due = m_lastStart + m_periodMs;
    if (due <= now)
        Tick();
    else
        m_timer->StartMs(static_cast<int>(due - now));
}

} // namespace kv

#include "moc_fastpoll.cpp"

#include "common/clock.h"

#include "common/finetimer.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>

#include <algorithm>
#include <limits>

namespace kv {

namespace {

class SystemTimer final : public ClockTimer {
public:
    explicit SystemTimer(QObject* parent)
        : ClockTimer(parent)
        , m_timer(this)
    {
        connect(&m_timer, &FineTimer::timeout, this, &ClockTimer::timeout);
    }
    void StartUs(qint64 us) override { m_timer.StartUs(us); }
    void Stop() override { m_timer.Stop(); }
    bool IsActive() const override { return m_timer.IsActive(); }

private:
    FineTimer m_timer;
};

class SystemClockImpl final : public Clock {
public:
    SystemClockImpl() { m_elapsed.start(); }
    qint64 NowUs() const override { return m_elapsed.nsecsElapsed() / 1000; }
    qint64 WallMs() const override { return QDateTime::currentMSecsSinceEpoch(); }
    ClockTimer* NewTimer(QObject* parent) override { return new SystemTimer(parent); }

private:
    QElapsedTimer m_elapsed;
};

} // namespace

Clock& SystemClock()
{
    static SystemClockImpl clock;
    return clock;
}

class VirtualClock::Timer final : public ClockTimer {
public:
    Timer(VirtualClock& clock, QObject* parent)
        : ClockTimer(parent)
        , m_clock(&clock)
    {
        clock.m_timers.push_back(this);
    }
    ~Timer() override { Detach(); }

    void StartUs(qint64 us) override
    {
        if (!m_clock)
            return;
        m_dueUs = m_clock->m_nowUs + std::max<qint64>(us, 0);
        m_sequence = ++m_clock->m_sequence;
        m_active = true;
    }
    void Stop() override { m_active = false; }
    bool IsActive() const override { return m_active; }

    void Detach()
    {
        if (!m_clock)
            return;
        auto& timers = m_clock->m_timers;
        timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
        m_clock = nullptr;
    }
    void Fire()
    {
        m_active = false;
        emit timeout();
    }

    VirtualClock* m_clock;
    qint64 m_dueUs = 0;
    quint64 m_sequence = 0;
    bool m_active = false;
};

VirtualClock::VirtualClock() = default;

VirtualClock::~VirtualClock()
{
    // Timers that outlive the clock stand still for good.
    const std::vector<Timer*> timers = m_timers;
    for (Timer* t : timers)
        t->Detach();
}

ClockTimer* VirtualClock::NewTimer(QObject* parent)
{
    return new Timer(*this, parent);
}

void VirtualClock::Settle()
{
    // Queued calls may queue further calls: a few passes take a chain to its end.
    for (int i = 0; i < 8; ++i)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

qint64 VirtualClock::NextDueUs() const
{
    qint64 next = -1;
    for (const Timer* t : m_timers)
        if (t->m_active && (next < 0 || t->m_dueUs < next))
            next = t->m_dueUs;
    return next;
}

void VirtualClock::FireDue(qint64 us)
{
    m_nowUs = std::max(m_nowUs, us);
    // One at a time, earliest first (started first among equals); each may
    // start or stop others.
    for (;;) {
        Timer* due = nullptr;
        for (Timer* t : m_timers) {
            if (!t->m_active || t->m_dueUs > m_nowUs)
                continue;
            if (!due || t->m_dueUs < due->m_dueUs
                || (t->m_dueUs == due->m_dueUs && t->m_sequence < due->m_sequence))
                due = t;
        }
        if (!due)
            break;
        due->Fire();
        Settle();
    }
}

void VirtualClock::AdvanceUs(qint64 us)
{
    const qint64 end = m_nowUs + std::max<qint64>(us, 0);
    Settle();
    for (;;) {
        const qint64 next = NextDueUs();
        if (next < 0 || next > end)
            break;
        FireDue(next);
    }
    m_nowUs = end;
    Settle();
}

} // namespace kv

#include "moc_clock.cpp"

// Time for the work on the line: a monotonic clock in microseconds and
// single-shot timers that run on it. The tool runs on the system's clock; the
// tests run the engine, the sampler and a scripted line on a virtual clock
// that moves only when the test moves it, so that "a reply 900 ms late" is
// exactly that, however loaded the machine is.
#pragma once

#include <QObject>

#include <memory>
#include <vector>

namespace kv {

class ClockTimer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Fires once, `us` microseconds from now (at the next chance for 0 or
    // less); a running timer starts again.
    virtual void StartUs(qint64 us) = 0;
    void StartMs(qint64 ms) { StartUs(ms * 1000); }
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;

signals:
    void timeout();
};

class Clock {
public:
    virtual ~Clock() = default;
    // Microseconds since some fixed moment; never goes back.
    virtual qint64 NowUs() const = 0;
    qint64 NowMs() const { return NowUs() / 1000; }
    // The time of day for time stamps: milliseconds since the epoch.
    virtual qint64 WallMs() const = 0;
    // A new timer of this clock, owned by `parent` (and by the caller).
    virtual ClockTimer* NewTimer(QObject* parent) = 0;
};

// The system's monotonic clock; its timers are precise to the microsecond
// where the system allows (a timerfd on Linux).
Clock& SystemClock();

// A clock that stands still until Advance moves it. Timers due on the way
// fire in the order of their times, each with the clock showing its time;
// the events posted meanwhile (queued calls, zero-time timers) are handled
// between them, as the event loop would.
class VirtualClock final : public Clock {
public:
    VirtualClock();
    ~VirtualClock() override;

    qint64 NowUs() const override { return m_nowUs; }
    // The epoch's time of day at the clock's start plus the time advanced.
    qint64 WallMs() const override { return m_wallStartMs + m_nowUs / 1000; }
    void SetWallStartMs(qint64 ms) { m_wallStartMs = ms; }
    ClockTimer* NewTimer(QObject* parent) override;

    void AdvanceUs(qint64 us);
    void AdvanceMs(qint64 ms) { AdvanceUs(ms * 1000); }
    // Moves on from due time to due time until `done` holds or `limitUs` has
    // passed; true when it holds.
    template <typename Predicate>
    bool AdvanceUntil(Predicate done, qint64 limitUs = 600'000'000)
    {
        const qint64 end = m_nowUs + limitUs;
        Settle();
        while (!done()) {
            const qint64 next = NextDueUs();
            if (next < 0 || next > end) {
                m_nowUs = end;
                Settle();
                return done();
            }
            FireDue(next);
        }
        return true;
    }

private:
    class Timer;
    friend class Timer;

    // Handles what is posted, until nothing new is.
    void Settle();
    // The earliest time a timer is due, -1 when none runs.
    qint64 NextDueUs() const;
    // Moves the clock to `us` and fires the timers due then.
    void FireDue(qint64 us);

    qint64 m_nowUs = 0;
    qint64 m_wallStartMs = 1796000000000;  // 2026-11-30, a fixed day for the tests
    quint64 m_sequence = 0;
    std::vector<Timer*> m_timers;
};

} // namespace kv

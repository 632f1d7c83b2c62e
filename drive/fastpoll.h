// Sampling the live values as fast as the line allows: the transaction engine
// reads the live block (six registers from address 4) at a chosen period, or
// back to back, and every sound reply is handed on as a live sample. The
// window's poll timer is not involved.
#pragma once

#include "drive/livesample.h"
#include "modbus/engine.h"

#include <QObject>

#include <deque>
#include <functional>

namespace kv {

class FastPoll : public QObject {
    Q_OBJECT
public:
    // A period of 0: the next read starts as soon as the last one has ended.
    static constexpr int kAsFastAsPossible = 0;

    // `station` gives the station to read from at each read. Time runs on the engine's clock.
    FastPoll(mb::TransactionEngine& engine, std::function<quint8()> station, QObject* parent = nullptr);

    int PeriodMs() const { return m_periodMs; }
    void SetPeriodMs(int ms);

    void Start();
    void Stop();
    bool Running() const { return m_running; }

    // Whether the engine's only work is this sampler's read.
    bool HoldsLineAlone() const;
    // Lets the line go at once: the read under way is cancelled and sampling
    // resumes after `ms` (the window's own handlers use the line meanwhile).
    void Yield(int ms);

    // Sound replies per second over the last two seconds.
    double RateHz() const;

signals:
    // A sound reply of the live block, decoded.
    void Sampled(const kv::LiveSample& sample);

private:
    void Tick();
    void OnResult(const mb::Result& result);
    void ScheduleNext();

    mb::TransactionEngine& m_engine;
    Clock& m_clock;
    std::function<quint8()> m_station;
    ClockTimer* m_timer;
    std::deque<qint64> m_samples;  // times of the sound replies of the last two seconds
    qint64 m_startedAt = 0;
    qint64 m_lastStart = 0;
    quint64 m_inFlight = 0;  // id of the read under way, 0 when none
    int m_periodMs = 50;
    bool m_running = false;
    bool m_deferred = false;  // waiting for other work on the engine to end
};

} // namespace kv

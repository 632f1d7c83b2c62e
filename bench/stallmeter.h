// The longest time the event loop went without serving a 1 ms timer: how long
// the user-interface thread was stalled while work ran. Beside it the longest
// CPU time the thread spent between two ticks, which leaves out the time the
// system gave to other processes (on a loaded machine the larger part).
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <time.h>

#include <algorithm>

class StallMeter : public QObject {
public:
    StallMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            const qint64 cpu = ThreadCpuNs();
            if (m_last > 0) {
                m_longest = std::max(m_longest, now - m_last);
                m_longestBusy = std::max(m_longestBusy, cpu - m_lastCpu);
            }
            m_last = now;
            m_lastCpu = cpu;
        });
        m_clock.start();
        m_timer.start();
    }
    double LongestMs() const { return static_cast<double>(m_longest) / 1e6; }
    double LongestBusyMs() const { return static_cast<double>(m_longestBusy) / 1e6; }
    void Stop() { m_timer.stop(); }

private:
    static qint64 ThreadCpuNs()
    {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return static_cast<qint64>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
    qint64 m_lastCpu = 0;
    qint64 m_longestBusy = 0;
};

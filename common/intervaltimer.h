// The poll timer: an interval in milliseconds, where 0 means stopped.
// (A QTimer with interval 0 would fire continuously; this one never does.)
#pragma once

#include <QObject>
#include <QTimer>

namespace kv {

class IntervalTimer : public QObject {
    Q_OBJECT
public:
    explicit IntervalTimer(QObject* parent = nullptr);

    int Interval() const { return m_interval; }
    // Setting a new interval restarts the count; 0 (or less) stops the timer.
    void setInterval(int milliseconds);
    bool IsRunning() const { return m_timer.isActive(); }

signals:
    void Timer();

private:
    QTimer m_timer;
    int m_interval = 0;
};

} // namespace kv

// A single-shot timer to the microsecond, for the silence between frames: at
// 115200 baud that silence is 1.75 ms, and a millisecond timer rounds it up to
// 2 ms and more, a seventh of what the line could carry. On Linux the timer is
// a timerfd watched by the event loop (no thread, no busy waiting); elsewhere a
// precise QTimer rounded up to the millisecond.
#pragma once

#include <QObject>
#include <QTimer>

class QSocketNotifier;

namespace kv {

class FineTimer : public QObject {
    Q_OBJECT
public:
    explicit FineTimer(QObject* parent = nullptr);
    ~FineTimer() override;

    // Fires once, `us` microseconds from now (at once for 0 or less); a
    // running timer starts again.
    void StartUs(qint64 us);
    void Stop();
    bool IsActive() const { return m_active; }

signals:
    void timeout();

private:
    void Fire();

    bool m_active = false;
    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
    QTimer m_fallback;
};

} // namespace kv

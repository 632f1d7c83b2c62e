#include "common/finetimer.h"

#include <QSocketNotifier>

#include <algorithm>

#ifdef Q_OS_LINUX
#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#endif

namespace kv {

FineTimer::FineTimer(QObject* parent)
    : QObject(parent)
{
    m_fallback.setSingleShot(true);
    m_fallback.setTimerType(Qt::PreciseTimer);
    connect(&m_fallback, &QTimer::timeout, this, &FineTimer::Fire);
#ifdef Q_OS_LINUX
    m_fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] {
            std::uint64_t expirations = 0;
            ssize_t n = 0;
            do {
                n = ::read(m_fd, &expirations, sizeof expirations);
            } while (n < 0 && errno == EINTR);
            if (n == static_cast<ssize_t>(sizeof expirations) && expirations > 0)
                Fire();
        });
    }
#endif
}

FineTimer::~FineTimer()
{
#ifdef Q_OS_LINUX
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
#endif
}

void FineTimer::StartUs(qint64 us)
{
    Stop();
    m_active = true;
    us = std::max<qint64>(us, 1);  // an all-zero time would disarm the timerfd
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        itimerspec when{};
        when.it_value.tv_sec = static_cast<time_t>(us / 1000000);
        when.it_value.tv_nsec = static_cast<long>((us % 1000000) * 1000);
        if (timerfd_settime(m_fd, 0, &when, nullptr) == 0)
            return;
    }
#endif
    m_fallback.start(static_cast<int>((us + 999) / 1000));
}

void FineTimer::Stop()
{
    m_active = false;
    m_fallback.stop();
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        const itimerspec off{};
        timerfd_settime(m_fd, 0, &off, nullptr);
        std::uint64_t expirations = 0;
        if (::read(m_fd, &expirations, sizeof expirations) < 0) {
            // nothing had run out: the usual case
        }
    }
#endif
}

void FineTimer::Fire()
{
    if (!m_active)
        return;
    m_active = false;
    emit timeout();
}

} // namespace kv

#include "moc_finetimer.cpp"

#include "intervaltimer.h"

namespace kv {

IntervalTimer::IntervalTimer(QObject* parent)
    : QObject(parent)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &IntervalTimer::Timer);
}

void IntervalTimer::setInterval(int milliseconds)
{
    m_interval = milliseconds > 0 ? milliseconds : 0;
    if (m_interval == 0) {
        m_timer.stop();
        return;
    }
    m_timer.start(m_interval);
}

} // namespace kv

#include "moc_intervaltimer.cpp"

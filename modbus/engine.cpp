#include "modbus/engine.h"

#include "serial/transport.h"

#include <algorithm>
#include <cmath>

namespace kv::mb {

TransactionEngine::TransactionEngine(Transport& line, Clock& clock, QObject* parent)
    : QObject(parent)
    , m_line(line)
    , m_clock(clock)
    , m_responseTimer(clock.NewTimer(this))
    , m_silenceTimer(clock.NewTimer(this))
    , m_gapTimer(clock.NewTimer(this))
{
    connect(m_responseTimer, &ClockTimer::timeout, this, &TransactionEngine::OnResponseTimeout);
    connect(m_silenceTimer, &ClockTimer::timeout, this, &TransactionEngine::OnSilence);
    connect(m_gapTimer, &ClockTimer::timeout, this, &TransactionEngine::Send);
    connect(&m_line, &Transport::ReadyRead, this, &TransactionEngine::OnReadyRead);
    connect(&m_line, &Transport::OpenChanged, this, [this](bool open) {
        if (!open)
            OnClosed();
    });
    // A network line opened while requests waited: they go now.
    connect(&m_line, &Transport::Connected, this, [this] {
        if (m_current && m_attempts == 0 && !m_gapTimer->IsActive() && !m_responseTimer->IsActive())
            Send();
    });
}

TransactionEngine::~TransactionEngine()
{
    // Nobody is told any more: the owners of the callbacks are going too.
    m_queue.clear();
    m_current.reset();
    if (m_busy)
        m_line.SetClaimed(false);
}

bool TransactionEngine::LineOpen() const
{
    return m_line.IsOpen();
}

int TransactionEngine::ResponseTimeoutMs() const
{
    return m_responseTimeoutMs > 0 ? m_responseTimeoutMs : m_line.DefaultResponseTimeoutMs();
}

void TransactionEngine::SetResponseTimeoutMs(int ms)
{
    m_responseTimeoutMs = ms <= 0 ? 0 : std::clamp(ms, 10, 60000);
}

void TransactionEngine::SetRetries(int retries)
{
    m_retries = std::clamp(retries, 0, 10);
}

int TransactionEngine::SilenceMs() const
{
    return m_line.SilenceMs();
}

double TransactionEngine::FrameGapMs() const
{
    return m_line.FrameGapMs();
}

quint64 TransactionEngine::Submit(const Request& request, Callback done)
{
    return Submit(request, std::move(done), Own());
}

quint64 TransactionEngine::Submit(const Request& request, Callback done, Own own)
{
    const quint64 id = m_nextId++;
    if (own.responseTimeoutMs > 0)
        own.responseTimeoutMs = std::clamp(own.responseTimeoutMs, 10, 60000);
    if (own.retries >= 0)
        own.retries = std::min(own.retries, 10);
    m_queue.push_back(Job{id, request, std::move(done), own});
    SetBusy(true);
    // The request starts from the event loop, never inside the caller.
    if (!m_current)
        QMetaObject::invokeMethod(this, &TransactionEngine::Pump, Qt::QueuedConnection);
    return id;
}

void TransactionEngine::Cancel()
{
    std::deque<Job> jobs;
    if (m_current)
        jobs.push_back(std::move(*m_current));
    m_current.reset();
    for (Job& job : m_queue)
        jobs.push_back(std::move(job));
    m_queue.clear();
    m_responseTimer->Stop();
    m_silenceTimer->Stop();
    m_gapTimer->Stop();
    m_assembler.Reset(Request());
    // What is still on its way must not run into the next frame.
    m_lineFreeAtUs = std::max(m_lineFreeAtUs, NowUs() + 1000 * qint64(SilenceMs()));
    for (Job& job : jobs) {
        Result r;
        r.id = job.id;
        r.request = job.request;
        r.outcome = Outcome::Cancelled;
        Deliver(std::move(job), std::move(r));
    }
    if (!m_current && m_queue.empty())
        SetBusy(false);
}

void TransactionEngine::Pump()
{
    if (m_pumping)
        return;
    m_pumping = true;
    while (!m_current && !m_queue.empty()) {
        m_current = std::move(m_queue.front());
        m_queue.pop_front();
        m_attempts = 0;
        if (!m_current->request.IsValid())
            Finish(Outcome::Invalid);
        else
            Send();
    }
    m_pumping = false;
    if (!m_current && m_queue.empty())
        SetBusy(false);
}

void TransactionEngine::Send()
{
    if (!m_current)
        return;
    if (!m_line.IsOpen()) {
        Finish(Outcome::PortLost);
        return;
    }
    // A connection still being made: the request waits for it (Connected), so
    // that its response timeout counts from the moment it reaches the socket.
    if (m_line.Connecting())
        return;
    const qint64 now = NowUs();
    if (now < m_lineFreeAtUs) {
        m_gapTimer->StartUs(m_lineFreeAtUs - now);
        return;
    }
    const Request& request = m_current->request;
    const QByteArray frame = request.Frame();
    m_assembler.Reset(request);
    m_droppedReported = 0;
    m_lookedAtLate = false;
    if (!m_line.Write(frame)) {
        Finish(Outcome::PortLost);
        return;
    }
    if (++m_attempts == 1)
        m_firstSendUs = now;
    const double onLine = frame.size() * m_line.CharTimeMs();
    const qint64 sentAt = now + static_cast<qint64>(1000 * onLine);
    if (request.IsBroadcast()) {
        // Every drive acts on it and none answers; give them time before the next frame.
        m_lineFreeAtUs = sentAt + 100000;
        Finish(Outcome::Broadcast);
        return;
    }
    m_lineFreeAtUs = sentAt + GapUs();
    const int timeoutMs = m_current->own.responseTimeoutMs > 0 ? m_current->own.responseTimeoutMs : ResponseTimeoutMs();
    m_responseTimer->StartUs(1000 * qint64(timeoutMs) + static_cast<qint64>(std::ceil(1000 * onLine)));
}

void TransactionEngine::OnReadyRead()
{
    // The line's bytes are ours while we hold it; otherwise the receive path's.
    if (!m_busy || !m_line.Claimed())
        return;
    m_line.Poll();
    const QByteArray bytes = m_line.Read();
    if (!bytes.isEmpty())
        OnBytes(bytes);
}

void TransactionEngine::OnBytes(const QByteArray& bytes)
{
    m_lineFreeAtUs = std::max(m_lineFreeAtUs, NowUs() + GapUs());
    const bool waiting = m_current && (m_responseTimer->IsActive() || m_silenceTimer->IsActive());
    if (!waiting) {
        emit BytesDropped(bytes.size());  // nobody asked for them
        return;
    }
    const bool done = m_assembler.Feed(bytes);
    const qint64 dropped = m_assembler.DroppedCount() - m_droppedReported;
    m_droppedReported = m_assembler.DroppedCount();
    if (dropped > 0)
        emit BytesDropped(dropped);
    if (done) {
        if (!m_assembler.Surplus().isEmpty())
            emit BytesDropped(m_assembler.Surplus().size());
        EndAttempt(m_assembler.Verdict());
        return;
    }
    if (m_assembler.Started()) {
        m_responseTimer->Stop();
        m_silenceTimer->StartMs(SilenceMs());
    }
}

void TransactionEngine::OnResponseTimeout()
{
    if (!m_current || m_assembler.Started())
        return;
    // Bytes the system took in time but the event loop has not handed on (the
    // program was busy elsewhere) are a reply, not a timeout: take them, once
    // an attempt, with a moment for them to be judged.
    if (!m_lookedAtLate) {
        m_lookedAtLate = true;
        m_line.Poll();
        if (m_line.BytesAvailable() > 0) {
            m_responseTimer->StartMs(1);
            OnReadyRead();
            return;
        }
    }
    EndAttempt(m_assembler.GiveUp());
}

void TransactionEngine::OnSilence()
{
    if (!m_current)
        return;
    EndAttempt(m_assembler.GiveUp());
}

void TransactionEngine::OnClosed()
{
    if (m_current)
        Finish(Outcome::PortLost);
}

void TransactionEngine::EndAttempt(Outcome outcome)
{
    m_responseTimer->Stop();
    m_silenceTimer->Stop();
    emit AttemptEnded(outcome, m_assembler.ExceptionCode());
    const bool retryable = outcome == Outcome::Timeout || outcome == Outcome::CrcError
        || outcome == Outcome::Incomplete;
    const int retries = m_current && m_current->own.retries >= 0 ? m_current->own.retries : m_retries;
    if (retryable && m_attempts <= retries) {
        // A damaged reply may still be trailing: let the line fall silent first.
        if (outcome != Outcome::Timeout)
            m_lineFreeAtUs = std::max(m_lineFreeAtUs, NowUs() + 1000 * qint64(SilenceMs()));
        Send();
        return;
    }
    Finish(outcome);
}

void TransactionEngine::Finish(Outcome outcome)
{
    m_responseTimer->Stop();
    m_silenceTimer->Stop();
    m_gapTimer->Stop();
    if (!m_current)
        return;
    Job job = std::move(*m_current);
    m_current.reset();
    Result r;
    r.id = job.id;
    r.request = job.request;
    r.outcome = outcome;
    r.attempts = m_attempts;
    if (m_attempts > 0)
        r.elapsedMs = (NowUs() - m_firstSendUs) / 1000;
    if (outcome == Outcome::Registers)
        r.registers = m_assembler.Registers();
    if (outcome == Outcome::Exception)
        r.exceptionCode = m_assembler.ExceptionCode();
    if (outcome != Outcome::PortLost && outcome != Outcome::Cancelled)
        r.reply = m_assembler.Frame();
    m_assembler.Reset(Request());
    Deliver(std::move(job), std::move(r));
    Pump();
}

void TransactionEngine::Deliver(Job job, Result result)
{
    emit Finished(result);
    if (job.done)
        job.done(result);
}

void TransactionEngine::SetBusy(bool busy)
{
    if (m_busy == busy)
        return;
    m_busy = busy;
    m_line.SetClaimed(busy);
    emit BusyChanged(busy);
}

} // namespace kv::mb

#include "moc_engine.cpp"

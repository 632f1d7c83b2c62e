#include "modbus/engine.h"

#include "serial/mscomm.h"

#include <algorithm>
#include <cmath>

namespace kv::mb {

// ---- the window's serial control as a line -------------------------------------

MSCommLine::MSCommLine(MSComm& comm, QObject* parent)
    : LinePort(parent)
    , m_comm(comm)
{
    connect(&m_comm, &MSComm::ClaimedBytes, this, &LinePort::BytesArrived);
    connect(&m_comm, &MSComm::OpenChanged, this, [this](bool open) {
        if (!open)
            emit Closed();
    });
}

bool MSCommLine::IsOpen() const
{
    return m_comm.PortOpen();
}

bool MSCommLine::Write(const QByteArray& bytes)
{
    try {
        m_comm.OutputNoWait(bytes);
        return true;
    } catch (const CommError&) {
        return false;
    }
}

void MSCommLine::SetClaimed(bool claimed)
{
    m_comm.setClaimed(claimed);
}

double MSCommLine::CharTimeMs() const
{
    return m_comm.CharTimeMs();
}

// ---- the engine ----------------------------------------------------------------

TransactionEngine::TransactionEngine(LinePort& line, QObject* parent)
    : QObject(parent)
    , m_line(line)
{
    m_clock.start();
    for (QTimer* t : {&m_responseTimer, &m_silenceTimer}) {
        t->setSingleShot(true);
        t->setTimerType(Qt::PreciseTimer);
    }
    connect(&m_responseTimer, &QTimer::timeout, this, &TransactionEngine::OnResponseTimeout);
    connect(&m_silenceTimer, &QTimer::timeout, this, &TransactionEngine::OnSilence);
    connect(&m_gapTimer, &FineTimer::timeout, this, &TransactionEngine::Send);
    connect(&m_line, &LinePort::BytesArrived, this, &TransactionEngine::OnBytes);
    connect(&m_line, &LinePort::Closed, this, &TransactionEngine::OnClosed);
}

TransactionEngine::~TransactionEngine()
{
    // Nobody is told any more: the owners of the callbacks are going too.
    m_queue.clear();
    m_current.reset();
    if (m_busy)
        m_line.SetClaimed(false);
}

void TransactionEngine::SetResponseTimeoutMs(int ms)
{
    m_responseTimeoutMs = std::clamp(ms, 10, 60000);
}

void TransactionEngine::SetRetries(int retries)
{
    m_retries = std::clamp(retries, 0, 10);
}

int TransactionEngine::SilenceMs() const
{
    return std::max(20, static_cast<int>(std::ceil(3.5 * m_line.CharTimeMs())));
}

double TransactionEngine::FrameGapMs() const
{
    return std::max(1.75, 3.5 * m_line.CharTimeMs());
}

quint64 TransactionEngine::Submit(const Request& request, Callback done)
{
    const quint64 id = m_nextId++;
    m_queue.push_back(Job{id, request, std::move(done)});
    SetBusy(true);
    // The request starts from the event loop, never inside the caller.
    if (!m_current)
        QTimer::singleShot(0, this, &TransactionEngine::Pump);
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
    m_responseTimer.stop();
    m_silenceTimer.stop();
    m_gapTimer.Stop();
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
    const qint64 now = NowUs();
    if (now < m_lineFreeAtUs) {
        m_gapTimer.StartUs(m_lineFreeAtUs - now);
        return;
    }
    const Request& request = m_current->request;
    const QByteArray frame = request.Frame();
    m_assembler.Reset(request);
    m_droppedReported = 0;
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
    m_responseTimer.start(m_responseTimeoutMs + static_cast<int>(std::ceil(onLine)));
}

void TransactionEngine::OnBytes(const QByteArray& bytes)
{
    m_lineFreeAtUs = std::max(m_lineFreeAtUs, NowUs() + GapUs());
    const bool waiting = m_current && (m_responseTimer.isActive() || m_silenceTimer.isActive());
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
        m_responseTimer.stop();
        m_silenceTimer.start(SilenceMs());
    }
}

void TransactionEngine::OnResponseTimeout()
{
    if (!m_current || m_assembler.Started())
        return;
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
    m_responseTimer.stop();
    m_silenceTimer.stop();
    emit AttemptEnded(outcome, m_assembler.ExceptionCode());
    const bool retryable = outcome == Outcome::Timeout || outcome == Outcome::CrcError
        || outcome == Outcome::Incomplete;
    if (retryable && m_attempts <= m_retries) {
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
    m_responseTimer.stop();
    m_silenceTimer.stop();
    m_gapTimer.Stop();
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

// The asynchronous transaction engine: one request at a time from a queue,
// the reply assembled from the bytes as they arrive, a result for every
// request. Never blocks: waits are timers of its clock.
//
// While it has work the engine owns the line (Transport::SetClaimed): received
// bytes come to it instead of the receive path. Idle, it lets the line go.
// The timing that depends on the line (a character's time, the silence that
// ends a reply, the gap between frames) is the transport's to say.
#pragma once

#include "common/clock.h"
#include "modbus/rtu.h"

#include <QObject>

#include <deque>
#include <functional>
#include <optional>

namespace kv {
class Transport;
}

namespace kv::mb {

class TransactionEngine : public QObject {
    Q_OBJECT
public:
    using Callback = std::function<void(const Result&)>;

    static constexpr int kDefaultRetries = 2;

    // What one request may choose for itself instead of the engine's settings
    // (a scan's probe: a short timeout made from the line's speed, one try).
    struct Own {
        int responseTimeoutMs = 0;  // 10..60000; 0: the engine's
        int retries = -1;           // 0..10; below 0: the engine's
    };

    explicit TransactionEngine(Transport& line, Clock& clock = SystemClock(), QObject* parent = nullptr);
    ~TransactionEngine() override;

    // Queues a request; `done` receives its result (always exactly once, also
    // when it is cancelled or the port goes away). Returns the request's id.
    quint64 Submit(const Request& request, Callback done = {});
    // The same with the request's own timeout and retries.
    quint64 Submit(const Request& request, Callback done, Own own);
    // Empties the queue and ends the current request at once; each gets Cancelled.
    void Cancel();

    // A request is under way or waiting.
    bool Busy() const { return m_busy; }
    // Whether the line is open (requests would otherwise end as PortLost).
    bool LineOpen() const;
    Transport& Line() const { return m_line; }
    Clock& Time() const { return m_clock; }
    int QueuedCount() const { return static_cast<int>(m_queue.size()); }
    // A request is under way or queued (false inside the callback of the last one).
    bool HasWork() const { return m_current.has_value() || !m_queue.empty(); }

    // Time allowed for the first byte of a reply (10..60000 ms): the one set,
    // else the line's default. Setting 0 goes back to the line's default.
    int ResponseTimeoutMs() const;
    void SetResponseTimeoutMs(int ms);
    // Further attempts after a timeout, a CRC error or an incomplete reply (0..10).
    int Retries() const { return m_retries; }
    void SetRetries(int retries);

    // The silence that ends a reply which stopped short: max(20 ms, 3.5 characters).
    int SilenceMs() const;
    // The pause between two frames on the line: 3.5 characters, at least 1.75 ms.
    double FrameGapMs() const;

signals:
    void BusyChanged(bool busy);
    // Every attempt on the line, with how it ended (for statistics).
    void AttemptEnded(kv::mb::Outcome outcome, quint8 exceptionCode);
    // Bytes dropped while waiting for a plausible start of a reply.
    void BytesDropped(qint64 count);
    void Finished(const kv::mb::Result& result);

private:
    struct Job {
        quint64 id = 0;
        Request request;
        Callback done;
        Own own;
    };

    void Pump();
    void Send();
    void OnReadyRead();
    void OnBytes(const QByteArray& bytes);
    void OnResponseTimeout();
    void OnSilence();
    void OnClosed();
    void EndAttempt(Outcome outcome);
    void Finish(Outcome outcome);
    void Deliver(Job job, Result result);
    void SetBusy(bool busy);
    qint64 NowUs() const { return m_clock.NowUs(); }
    qint64 GapUs() const { return static_cast<qint64>(1000 * FrameGapMs()) + 1; }

    Transport& m_line;
    Clock& m_clock;
    std::deque<Job> m_queue;
    std::optional<Job> m_current;
    ReplyAssembler m_assembler;
    ClockTimer* m_responseTimer;
    ClockTimer* m_silenceTimer;
    ClockTimer* m_gapTimer;  // the silence before the next frame, to the microsecond
    qint64 m_firstSendUs = 0;
    qint64 m_lineFreeAtUs = 0;  // no frame may start before this
    qint64 m_droppedReported = 0;
    int m_attempts = 0;
    int m_responseTimeoutMs = 0;  // 0: the line's default
    int m_retries = kDefaultRetries;
    quint64 m_nextId = 1;
    bool m_busy = false;
    bool m_pumping = false;
    bool m_lookedAtLate = false;  // this attempt's timeout has looked for bytes not yet handed on
};

} // namespace kv::mb

// The asynchronous transaction engine: one request at a time from a queue,
// the reply assembled from the bytes as they arrive, a result for every
// request. Never blocks: waits are timers of the event loop.
//
// While it has work the engine owns the line (LinePort::SetClaimed): received
// bytes come to it instead of the receive path. Idle, it lets the line go.
#pragma once

#include "modbus/finetimer.h"
#include "modbus/rtu.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <deque>
#include <functional>
#include <optional>

namespace kv {
class MSComm;
}

namespace kv::mb {

// What the engine needs of a serial line.
class LinePort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual bool IsOpen() const = 0;
    // Queues the bytes for the line without waiting; false when the line refuses them.
    virtual bool Write(const QByteArray& bytes) = 0;
    // While claimed, every received byte comes through BytesArrived.
    virtual void SetClaimed(bool claimed) = 0;
    // Milliseconds one character takes on the line.
    virtual double CharTimeMs() const = 0;

signals:
    void BytesArrived(const QByteArray& bytes);
    void Closed();
};

// The serial control the window owns, as a line for the engine.
class MSCommLine final : public LinePort {
    Q_OBJECT
public:
    explicit MSCommLine(MSComm& comm, QObject* parent = nullptr);
    bool IsOpen() const override;
    bool Write(const QByteArray& bytes) override;
    void SetClaimed(bool claimed) override;
    double CharTimeMs() const override;

private:
    MSComm& m_comm;
};

class TransactionEngine : public QObject {
    Q_OBJECT
public:
    using Callback = std::function<void(const Result&)>;

    static constexpr int kDefaultResponseTimeoutMs = 500;
    static constexpr int kDefaultRetries = 2;

    explicit TransactionEngine(LinePort& line, QObject* parent = nullptr);
    ~TransactionEngine() override;

    // Queues a request; `done` receives its result (always exactly once, also
    // when it is cancelled or the port goes away). Returns the request's id.
    quint64 Submit(const Request& request, Callback done = {});
    // Empties the queue and ends the current request at once; each gets Cancelled.
    void Cancel();

    // A request is under way or waiting.
    bool Busy() const { return m_busy; }
    // Whether the line is open (requests would otherwise end as PortLost).
    bool LineOpen() const { return m_line.IsOpen(); }
    int QueuedCount() const { return static_cast<int>(m_queue.size()); }
    // A request is under way or queued (false inside the callback of the last one).
    bool HasWork() const { return m_current.has_value() || !m_queue.empty(); }

    // Time allowed for the first byte of a reply (10..60000 ms).
    int ResponseTimeoutMs() const { return m_responseTimeoutMs; }
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
    };

    void Pump();
    void Send();
    void OnBytes(const QByteArray& bytes);
    void OnResponseTimeout();
    void OnSilence();
    void OnClosed();
    void EndAttempt(Outcome outcome);
    void Finish(Outcome outcome);
    void Deliver(Job job, Result result);
    void SetBusy(bool busy);
    qint64 NowUs() const { return m_clock.nsecsElapsed() / 1000; }
    qint64 GapUs() const { return static_cast<qint64>(1000 * FrameGapMs()) + 1; }

    LinePort& m_line;
    std::deque<Job> m_queue;
    std::optional<Job> m_current;
    ReplyAssembler m_assembler;
    QTimer m_responseTimer;
    QTimer m_silenceTimer;
    FineTimer m_gapTimer;  // the silence before the next frame, to the microsecond
    QElapsedTimer m_clock;
    qint64 m_firstSendUs = 0;
    qint64 m_lineFreeAtUs = 0;  // no frame may start before this
    qint64 m_droppedReported = 0;
    int m_attempts = 0;
    int m_responseTimeoutMs = kDefaultResponseTimeoutMs;
    int m_retries = kDefaultRetries;
    quint64 m_nextId = 1;
    bool m_busy = false;
    bool m_pumping = false;
};

} // namespace kv::mb

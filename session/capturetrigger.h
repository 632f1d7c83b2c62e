// The trigger: it watches every live sample of the session for a condition
// (a trip by default: "故障 ↑") and, once it is met, freezes the samples from
// the time before it to the time after it into a capture of their own.
//
// Armed, it waits; the sample that meets the condition triggers it at that
// sample's time t. The capture is frozen when a sample comes later than
// t + after, or, should sampling have stopped (a pause, a lost port, a drive
// that no longer answers), kStallGraceMs after the time after has passed on
// the session's clock, so that a capture never hangs. Disarming while
// triggered freezes what there is at once.
//
// Frozen, the capture holds the samples [t - before, t + after] copied from
// the session's history, with their stretches. When the cause is a fault or
// the fault bit rose during the capture, the drive's fault record (0401..0413,
// one read of 13 registers from 0x0190) is read through the engine: the
// request queues behind the sampler's read under way, so it goes on the line
// between two samples, and the sampler goes on as soon as it has its answer.
// Then the files are written into the folder (the CSV, and a PNG when a
// renderer is given), named by the trigger's date, time and cause, and
// Captured is emitted. "连续" arms again at once when a capture is frozen,
// "单次" disarms.
#pragma once

#include "common/clock.h"
#include "drive/triggerrule.h"
#include "session/tracecapture.h"

#include <QImage>
#include <QObject>

#include <deque>
#include <functional>
#include <optional>

namespace kv {

class SampleHistory;

namespace mb {
class TransactionEngine;
}

struct TriggerSettings {
    enum class Mode { Single, Continuous };  // "单次": armed once; "连续": armed again after each capture
    static constexpr qint64 kMaxSpanMs = 60'000;

    TriggerCondition condition;  // "故障 ↑"
    qint64 beforeMs = 5000;      // 0..kMaxSpanMs
    qint64 afterMs = 5000;       // 0..kMaxSpanMs
    Mode mode = Mode::Single;
    QString folder;  // where the files go; empty: none are written

    friend bool operator==(const TriggerSettings&, const TriggerSettings&) = default;
};

class CaptureTrigger : public QObject {
    Q_OBJECT
public:
    enum class State { Disarmed, Waiting, Triggered };
    // How long a triggered capture waits beyond its time after for a sample
    // before it is frozen without one (two of the window's poll periods).
    static constexpr int kStallGraceMs = 1000;

    using Renderer = std::function<QImage(const TraceCapture&)>;

    // `station` gives the drive's station at the trigger.
    CaptureTrigger(const SampleHistory& history, mb::TransactionEngine& engine, Clock& clock,
                   std::function<quint8()> station, QObject* parent = nullptr);
    ~CaptureTrigger() override;

    const TriggerSettings& Settings() const { return m_settings; }
    // New settings (times limited to 0..60 s); a capture already triggered
    // keeps the times it was triggered with.
    void SetSettings(const TriggerSettings& settings);

    void SetArmed(bool armed);
    void Arm() { SetArmed(true); }
    void Disarm() { SetArmed(false); }
    bool Armed() const { return m_state != State::Disarmed; }
    State CurrentState() const { return m_state; }
    // The trigger's sample's time while Triggered.
    qint64 TriggeredAtMs() const;
    // Captures handed on since the session started.
    qint64 Captures() const { return m_captures; }
    // Why the files of the last capture could not be written; empty when they were.
    QString LastWriteError() const { return m_lastWriteError; }

    // Draws a capture for its PNG file; unset (or an empty image): no PNG.
    void SetRenderer(Renderer render) { m_render = std::move(render); }

    // The session's next sample, after its history has kept it.
    void Take(const LiveSample& sample);

signals:
    // Armed, disarmed, triggered, or a capture handed on.
    void Changed();
    // A capture is complete: fault record read (when a fault was involved), files written.
    void Captured(const kv::TraceCapture& capture);

private:
    struct Pending {
        qint64 sequence = 0;  // the trigger's sample, counted among the samples taken
        qint64 timeMs = 0;
        qint64 beforeMs = 0;
        qint64 afterMs = 0;
        QString cause;
        QString tag;
        quint8 station = 1;
        bool causeIsFault = false;  // the fault bit rose at the trigger
    };

    void Fire(const LiveSample& sample, qint64 sequence);
    // Freezes the pending capture: the history's samples from the time before
    // the trigger to the time after it, or to `cutMs` when that is earlier.
    void Freeze(qint64 cutMs);
    void ReadFaultRecord(TraceCapture capture, const QString& tag);
    void Finish(TraceCapture capture, const QString& tag);
    QString WriteFiles(TraceCapture& capture, const QString& tag) const;

    const SampleHistory& m_history;
    mb::TransactionEngine& m_engine;
    std::function<quint8()> m_station;
    ClockTimer* m_stall;
    TriggerSettings m_settings;
    TriggerWatch m_watch;
    Renderer m_render;
    State m_state = State::Disarmed;
    std::optional<Pending> m_pending;
    qint64 m_taken = 0;       // samples taken since the start
    qint64 m_stretch = -1;    // the history's stretch of the last sample
    std::deque<std::pair<qint64, qint64>> m_crcErrors;  // (sequence, time) of samples with a wrong CRC
    qint64 m_nextId = 1;
    qint64 m_captures = 0;
    QString m_lastWriteError;
};

} // namespace kv

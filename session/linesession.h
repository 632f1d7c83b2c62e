// The line session: one per tool, without widgets. It owns what belongs to
// the line (the transport, the transaction engine, the line's statistics,
// the traffic capture, the fast sampler, the recording of live values, the
// history of the run and the trigger that captures around a trip)
// and offers each user the narrow part it needs. The main window is one of
// its users: it tells the session its station and its polling switch, shows
// the samples the session takes, and asks before it uses the line itself.
//
// Every live sample, from the sampler or from the window's own polling, comes
// through here once (Sample).
#pragma once

#include "common/clock.h"
#include "drive/livesample.h"
#include "session/drivelink.h"

#include <QObject>

#include <memory>

namespace kv {

class CaptureTrigger;
class FastPoll;
class LiveRecording;
class SampleHistory;
class Transport;

namespace mb {
class LineStatistics;
class TrafficCapture;
class TransactionEngine;
} // namespace mb

class LineSession final : public QObject, public DriveLink, public LineGate {
    Q_OBJECT
public:
    // A serial port, on the system's clock.
    explicit LineSession(QObject* parent = nullptr);
    // The given line, on the given clock (a scripted line and a virtual clock in tests).
    LineSession(std::unique_ptr<Transport> line, Clock& clock, QObject* parent = nullptr);
    ~LineSession() override;

    Transport& Line() const { return *m_line; }
    Clock& Time() const { return m_clock; }
    mb::TransactionEngine& Engine() override { return *m_engine; }
    mb::LineStatistics& Statistics() const { return *m_statistics; }
    mb::TrafficCapture& Capture() const { return *m_capture; }
    FastPoll& Sampler() const { return *m_sampler; }
    LiveRecording& Recording() const { return *m_recording; }
    // Every sample since sampling started, for the trace and the trigger.
    SampleHistory& History() const { return *m_history; }
    // Watches the samples and captures around a trip (or another condition).
    CaptureTrigger& Trigger() const { return *m_trigger; }

    quint8 Station() const override { return m_station; }
    void SetStation(quint8 station) { m_station = station; }
    bool LineOpen() const override;

    // ---- sampling ----
    // Fast sampling: the sampler reads the live block instead of the window's
    // poll timer, while the window's polling is switched on.
    bool FastSampling() const { return m_fastSampling; }
    void SetFastSampling(bool on);
    // The window's polling switch (its chart's start and pause).
    void SetPolling(bool run);
    bool Polling() const { return m_polling; }
    // A sample the window decoded on its own receive path.
    void TakeSample(const LiveSample& sample);

    // ---- the window's own use of the line ----
    bool MakeWay() override;

signals:
    // Every live sample, from either source, once.
    void Sample(const kv::LiveSample& sample);
    // A sample of the fast sampler, for the window to show.
    void Sampled(const kv::LiveSample& sample);
    // The engine has the line (requests under way or waiting): the window's
    // poll timer pauses meanwhile.
    void LineLent(bool lent);
    void FastSamplingChanged(bool on);

private:
    void Connect();
    void OnSample(const LiveSample& sample);

    std::unique_ptr<Transport> m_line;
    Clock& m_clock;
    std::unique_ptr<mb::TransactionEngine> m_engine;
    std::unique_ptr<mb::LineStatistics> m_statistics;
    std::unique_ptr<mb::TrafficCapture> m_capture;
    std::unique_ptr<FastPoll> m_sampler;
    std::unique_ptr<LiveRecording> m_recording;
    std::unique_ptr<SampleHistory> m_history;
    std::unique_ptr<CaptureTrigger> m_trigger;
    quint8 m_station = 1;
    bool m_fastSampling = false;
    bool m_polling = false;
};

} // namespace kv

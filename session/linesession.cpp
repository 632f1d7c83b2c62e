#include "session/linesession.h"

#include "drive/fastpoll.h"
#include "drive/liverecord.h"
#include "drive/polling.h"
#include "drive/registermap.h"
#include "modbus/capture.h"
#include "modbus/engine.h"
#include "modbus/statistics.h"
#include "serial/linetransport.h"
#include "session/capturetrigger.h"
#include "session/samplehistory.h"

namespace kv {

namespace {

// How long fast sampling leaves the line to the window's own handlers.
constexpr int kMakeWayMs = 300;

} // namespace

LineSession::LineSession(QObject* parent)
    : LineSession(std::make_unique<LineTransport>(), SystemClock(), parent)
{
}

LineSession::LineSession(std::unique_ptr<Transport> line, Clock& clock, QObject* parent)
    : QObject(parent)
    , m_line(std::move(line))
    , m_clock(clock)
    , m_engine(std::make_unique<mb::TransactionEngine>(*m_line, clock))
    , m_statistics(std::make_unique<mb::LineStatistics>())
    , m_capture(std::make_unique<mb::TrafficCapture>())
    , m_sampler(std::make_unique<FastPoll>(*m_engine, [this] { return m_station; }))
    , m_recording(std::make_unique<LiveRecording>())
    , m_history(std::make_unique<SampleHistory>())
    , m_trigger(std::make_unique<CaptureTrigger>(*m_history, *m_engine, clock, [this] { return m_station; }))
{
    Connect();
}

LineSession::~LineSession()
{
    m_trigger.reset();
    m_sampler.reset();
    // The engine lets the line go before the line goes.
    m_engine.reset();
    m_capture->Stop();
    m_recording->Stop();
}

void LineSession::Connect()
{
    m_statistics->SetPollRead(kRegLiveBlockStart, kRegLiveBlockCount);
    m_statistics->SetPollTimeoutMs(2 * kPollIntervalMs);

    // Every byte out and in, from every source.
    connect(m_line.get(), &Transport::Transmitted, m_statistics.get(), &mb::LineStatistics::OnTransmitted);
    connect(m_line.get(), &Transport::Received, this, [this](const QByteArray& bytes) {
        if (!m_line->Claimed())  // the engine reports its own replies
            m_statistics->OnChunk(bytes);
    });
    connect(m_engine.get(), &mb::TransactionEngine::AttemptEnded, m_statistics.get(),
            &mb::LineStatistics::OnAttempt);
    connect(m_engine.get(), &mb::TransactionEngine::BytesDropped, m_statistics.get(),
            &mb::LineStatistics::OnDropped);
    connect(m_line.get(), &Transport::Transmitted, m_capture.get(),
            [this](const QByteArray& bytes) { m_capture->Record(true, bytes); });
    connect(m_line.get(), &Transport::Received, m_capture.get(),
            [this](const QByteArray& bytes) { m_capture->Record(false, bytes); });
    connect(m_line.get(), &Transport::OpenChanged, this, [this](bool open) {
        if (open)
            m_statistics->Reset();  // counters run from the opening of the port
        else
            m_history->Break();  // a gap until samples come again
    });

    connect(m_sampler.get(), &FastPoll::Sampled, this, [this](const LiveSample& sample) {
        OnSample(sample);
        emit Sampled(sample);
    });
    connect(m_engine.get(), &mb::TransactionEngine::BusyChanged, this, &LineSession::LineLent);
    // The trigger judges each sample once the history holds it.
    connect(this, &LineSession::Sample, m_trigger.get(), &CaptureTrigger::Take);
}

bool LineSession::LineOpen() const
{
    return m_line->IsOpen();
}

void LineSession::SetFastSampling(bool on)
{
    if (m_fastSampling == on)
        return;
    m_fastSampling = on;
    if (on && m_polling)
        m_sampler->Start();
    if (!on)
        m_sampler->Stop();
    emit FastSamplingChanged(on);
}

void LineSession::SetPolling(bool run)
{
    if (m_polling != run)
        m_history->Break();
    m_polling = run;
    if (!m_fastSampling)
        return;
    if (run)
        m_sampler->Start();
    else
        m_sampler->Stop();
}

void LineSession::TakeSample(const LiveSample& sample)
{
    OnSample(sample);
}

void LineSession::OnSample(const LiveSample& sample)
{
    m_recording->Record(sample);
    m_history->Append(sample);
    emit Sample(sample);
}

bool LineSession::MakeWay()
{
    if (!m_engine->Busy())
        return true;
    // Fast sampling gives the line up at once for the window's own handlers
    // and samples again once they have had their replies.
    if (m_sampler->HoldsLineAlone()) {
        m_sampler->Yield(kMakeWayMs);
        return true;
    }
    return false;
}

} // namespace kv

#include "moc_linesession.cpp"

#include "session/capturetrigger.h"

#include "drive/capturefile.h"
#include "drive/registermap.h"
#include "modbus/engine.h"
#include "session/samplehistory.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QSaveFile>

#include <algorithm>
#include <limits>

namespace kv {

namespace {

// How long a wrong CRC's mark is kept: longer than any capture can reach back.
constexpr qint64 kCrcMarksMs = 3 * TriggerSettings::kMaxSpanMs;

std::vector<LiveSample> SamplesOf(const TraceCapture& capture)
{
    std::vector<LiveSample> samples;
    const SampleHistory& h = *capture.samples;
    samples.reserve(static_cast<size_t>(h.Count()));
    for (qint64 i = 0; i < h.Count(); ++i) {
        const SampleHistory::Entry e = h.At(i);
        samples.push_back(SampleFromRegisters(e.registers, e.timeMs, !capture.crcErrors.contains(i)));
    }
    return samples;
}

} // namespace

CaptureTrigger::CaptureTrigger(const SampleHistory& history, mb::TransactionEngine& engine, Clock& clock,
                               std::function<quint8()> station, QObject* parent)
    : QObject(parent)
    , m_history(history)
    , m_engine(engine)
    , m_station(std::move(station))
    , m_stall(clock.NewTimer(this))
    , m_watch(m_settings.condition)
{
    // Sampling has stopped: what there is is frozen.
    connect(m_stall, &ClockTimer::timeout, this, [this] {
        if (m_state == State::Triggered)
            Freeze(std::numeric_limits<qint64>::max());
    });
}

CaptureTrigger::~CaptureTrigger() = default;

void CaptureTrigger::SetSettings(const TriggerSettings& settings)
{
    m_settings = settings;
    m_settings.beforeMs = std::clamp<qint64>(settings.beforeMs, 0, TriggerSettings::kMaxSpanMs);
    m_settings.afterMs = std::clamp<qint64>(settings.afterMs, 0, TriggerSettings::kMaxSpanMs);
    m_settings.condition.bit = std::clamp(settings.condition.bit, 0, kStatusBitCount - 1);
    m_watch.SetCondition(m_settings.condition);
    emit Changed();
}

void CaptureTrigger::SetArmed(bool armed)
{
    if (armed == Armed())
        return;
    if (!armed && m_state == State::Triggered)
        Freeze(m_history.LastMs());  // cut short: what was seen after the trigger so far
    m_state = armed ? State::Waiting : State::Disarmed;
    emit Changed();
}

qint64 CaptureTrigger::TriggeredAtMs() const
{
    return m_pending ? m_pending->timeMs : 0;
}

void CaptureTrigger::Take(const LiveSample& sample)
{
    const qint64 sequence = m_taken++;
    // A new stretch of the history (sampling paused, the port lost): no
    // crossing from the last sample before the gap.
    if (!m_history.Empty()) {
        const qint64 stretch = m_history.StretchOf(m_history.Count() - 1);
        if (stretch != m_stretch)
            m_watch.Break();
        m_stretch = stretch;
    }
    if (!sample.crcGood)
        m_crcErrors.emplace_back(sequence, sample.timeMs);
    while (!m_crcErrors.empty() && m_crcErrors.front().second < sample.timeMs - kCrcMarksMs)
        m_crcErrors.pop_front();

    // A sample past the time after ends the wait; it is not part of the capture.
    if (m_state == State::Triggered && sample.timeMs > m_pending->timeMs + m_pending->afterMs)
        Freeze(std::numeric_limits<qint64>::max());
    if (m_watch.Take(sample) && m_state == State::Waiting)
        Fire(sample, sequence);
}

void CaptureTrigger::Fire(const LiveSample& sample, qint64 sequence)
{
    const TriggerCondition& c = m_settings.condition;
    Pending p;
    p.sequence = sequence;
    p.timeMs = sample.timeMs;
    p.beforeMs = m_settings.beforeMs;
    p.afterMs = m_settings.afterMs;
    p.cause = c.Text();
    p.tag = c.FileTag();
    p.station = m_station ? m_station() : quint8(1);
    p.causeIsFault = c.kind == TriggerCondition::Kind::Bit && c.bit == kSwFault
        && IsStatusBitSet(sample.reply.StatusWord, kSwFault);
    m_pending = p;
    m_state = State::Triggered;
    m_stall->StartMs(p.afterMs + kStallGraceMs);
    emit Changed();
}

void CaptureTrigger::Freeze(qint64 cutMs)
{
    m_stall->Stop();
    const Pending p = *m_pending;
    m_pending.reset();
    m_state = m_settings.mode == TriggerSettings::Mode::Continuous ? State::Waiting : State::Disarmed;

    // The history holds the last Count() of the samples taken.
    const qint64 count = m_history.Count();
    const qint64 offset = m_taken - count;
    const qint64 at = p.sequence - offset;
    if (at < 0 || at >= count) {  // no longer held
        emit Changed();
        return;
    }
    TraceCapture capture;
    capture.id = m_nextId++;
    capture.triggerMs = m_history.At(at).timeMs;
    capture.fromMs = capture.triggerMs - p.beforeMs;
    capture.toMs = std::clamp(cutMs, capture.triggerMs, capture.triggerMs + p.afterMs);
    capture.cause = p.cause;
    capture.station = p.station;
    const qint64 from = std::min(m_history.FirstAtOrAfter(capture.fromMs), at);
    const qint64 to = std::max(at + 1, m_history.FirstAtOrAfter(capture.toMs + 1));

    auto samples = std::make_shared<SampleHistory>(to - from);
    bool faultClear = false;
    bool faultRose = false;
    qint64 stretch = m_history.StretchOf(from);
    for (qint64 i = from; i < to; ++i) {
        const qint64 s = m_history.StretchOf(i);
        if (s != stretch)
            samples->Break();
        stretch = s;
        const SampleHistory::Entry e = m_history.At(i);
        samples->Append(SampleFromRegisters(e.registers, e.timeMs));
        const bool fault = BitSet(e.Status(), kSwFault);
        faultRose = faultRose || (faultClear && fault);
        faultClear = faultClear || !fault;
    }
    capture.samples = std::move(samples);
    capture.triggerIndex = at - from;
    for (const auto& [sequence, time] : m_crcErrors) {
        const qint64 i = sequence - offset;
        if (i >= from && i < to)
            capture.crcErrors.append(i - from);
    }
    capture.fault = p.causeIsFault || faultRose;
    emit Changed();
    if (capture.fault)
        ReadFaultRecord(std::move(capture), p.tag);
    else
        Finish(std::move(capture), p.tag);
}

void CaptureTrigger::ReadFaultRecord(TraceCapture capture, const QString& tag)
{
    const mb::Request request = mb::Request::Read(capture.station, kRegFaultRecordStart, kFaultRecordCount);
    QPointer<CaptureTrigger> self(this);
    m_engine.Submit(request, [self, capture, tag](const mb::Result& result) mutable {
        if (!self)
            return;
        if (result.outcome == mb::Outcome::Registers && result.registers.size() == kFaultRecordCount)
            capture.faultRecord = result.registers;
        else
            capture.faultRecordError = result.Text();
        self->Finish(std::move(capture), tag);
    });
}

void CaptureTrigger::Finish(TraceCapture capture, const QString& tag)
{
    m_lastWriteError = WriteFiles(capture, tag);
    ++m_captures;
    emit Captured(capture);
    emit Changed();
}

QString CaptureTrigger::WriteFiles(TraceCapture& capture, const QString& tag) const
{
    if (m_settings.folder.isEmpty())
        return {};
    const QDir dir(m_settings.folder);
    if (!dir.mkpath(QStringLiteral(".")))
        return tr("无法创建文件夹 %1").arg(QDir::toNativeSeparators(m_settings.folder));
    // Two captures of the same millisecond and cause (the clock set back) keep both.
    const QString stem = CaptureFileStem(capture.triggerMs, tag);
    QString name = stem;
    for (int n = 2; QFileInfo::exists(dir.filePath(name + QStringLiteral(".csv")))
         || QFileInfo::exists(dir.filePath(name + QStringLiteral(".png")));
         ++n)
        name = stem + QStringLiteral("_%1").arg(n);

    CaptureFileFacts facts;
    facts.cause = capture.cause;
    facts.triggerMs = capture.triggerMs;
    facts.station = capture.station;
    facts.beforeMs = capture.triggerMs - capture.fromMs;
    facts.afterMs = capture.toMs - capture.triggerMs;
    facts.faultRecordAsked = capture.fault;
    facts.faultRecord = capture.faultRecord;
    facts.faultRecordError = capture.faultRecordError;
    const QByteArray csv = CaptureCsv(facts, SamplesOf(capture), capture.triggerIndex);
    const QString csvPath = dir.filePath(name + QStringLiteral(".csv"));
    QSaveFile file(csvPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv) != csv.size() || !file.commit())
        return file.errorString();
    capture.csvPath = csvPath;

    if (!m_render)
        return {};
    const QImage image = m_render(capture);
    if (image.isNull())
        return {};
    const QString pngPath = dir.filePath(name + QStringLiteral(".png"));
    QSaveFile png(pngPath);
    if (!png.open(QIODevice::WriteOnly) || !image.save(&png, "PNG") || !png.commit())
        return png.errorString();
    capture.pngPath = pngPath;
    return {};
}

} // namespace kv

#include "moc_capturetrigger.cpp"

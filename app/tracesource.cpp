#include "app/tracesource.h"

#include "chart/tracerender.h"
#include "common/csv.h"
#include "drive/liverecord.h"
#include "drive/polling.h"
#include "session/tracecapture.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QRegularExpression>
#include <QSaveFile>

#include <algorithm>

namespace kv {

namespace {

// The window's names: its curve sources and its status lamps (the lamps'
// caption lists bit 12 first).
const char* const kCurveSourceNames[] = {QT_TRANSLATE_NOOP("Form1", "频率"), QT_TRANSLATE_NOOP("Form1", "电流"),
                                   QT_TRANSLATE_NOOP("Form1", "直流电压"), "AI1", "AI2"};
const char* const kLampCaptionText = QT_TRANSLATE_NOOP(
    "Form1", "外信号 外1/2  超极限   远程   到达    报警  禁合闸   OFF3   OFF2   故障  准给定  准运行 准合闸  ");

struct CurveLook {
    const char* unit;
    QRgb colour;
    int decimals;
};
// Frequency 0.1 Hz, current 0.1 A, DC voltage 1 V, AI1 0.01 V, AI2 0.024 mA.
constexpr CurveLook kLooks[] = {
    {"Hz", qRgb(0x1F, 0x5F, 0xBF), 1}, {"A", qRgb(0xD0, 0x30, 0x30), 1},  {"V", qRgb(0x2A, 0x8A, 0x2A), 0},
    {"V", qRgb(0xE0, 0x80, 0x10), 2},  {"mA", qRgb(0x80, 0x50, 0xB0), 3},
};

// The values of raw registers (the status word aside), as the window decodes them.
std::array<float, 5> Values(const std::array<qint16, SampleHistory::kChannels>& raw)
{
    std::array<quint16, kRegLiveBlockCount> registers{};
    for (size_t k = 0; k < raw.size(); ++k)
        registers[k] = static_cast<quint16>(raw[k]);
    return DecodeLiveRegisters(registers).PolledValues;
}

} // namespace

TraceCurve HistorySource::Curve(int k) const
{
    const size_t i = size_t(std::clamp(k, 0, SampleHistory::kChannels - 1));
    const CurveLook& look = kLooks[i];
    return TraceCurve{QCoreApplication::translate("Form1", kCurveSourceNames[i]), QString::fromLatin1(look.unit),
                      look.colour, look.decimals};
}

QStringList HistorySource::StatusBitNames()
{
    QStringList names = QCoreApplication::translate("Form1", kLampCaptionText)
                            .split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    std::reverse(names.begin(), names.end());
    while (names.size() < kStatusBitCount)
        names.append(QString::number(names.size()));
    return names;
}

HistorySource::HistorySource(const SampleHistory& history)
    : m_history(history)
    , m_laneNames(StatusBitNames())
{
}

QString HistorySource::LaneName(int lane) const
{
    return m_laneNames.value(lane);
}

void HistorySource::Reduce(qint64 fromMs, qint64 toMs, int columns, std::vector<TraceColumn>& out) const
{
    const std::vector<SampleHistory::Column> cols = m_history.Reduce(fromMs, toMs, columns);
    out.resize(cols.size());
    for (size_t c = 0; c < cols.size(); ++c) {
        const SampleHistory::Column& in = cols[c];
        TraceColumn& o = out[c];
        o.count = in.extremes.count;
        o.firstStretch = in.firstStretch;
        o.lastStretch = in.lastStretch;
        if (o.count == 0)
            continue;
        // The scaling factors are positive: the least register gives the least value.
        const std::array<float, 5> low = Values(in.extremes.low);
        const std::array<float, 5> high = Values(in.extremes.high);
        for (size_t k = 0; k < low.size(); ++k) {
            o.low[k] = low[k];
            o.high[k] = high[k];
        }
        o.all = in.extremes.all;
        o.any = in.extremes.any;
    }
}

TracePoint HistorySource::At(qint64 i) const
{
    const SampleHistory::Entry e = m_history.At(i);
    const PollReply r = e.Decoded();
    TracePoint p;
    p.timeMs = e.timeMs;
    for (size_t k = 0; k < r.PolledValues.size(); ++k)
        p.values[k] = r.PolledValues[k];
    p.bits = e.Status();
    return p;
}

QImage RenderTrace(const SampleHistory& history, qint64 fromMs, qint64 toMs, QSize size, std::optional<qint64> cursorMs,
                   const QString& title)
{
    return RenderTrace(HistorySource(history), fromMs, toMs, size, cursorMs, title);
}

QString CaptureTitle(const TraceCapture& capture)
{
    return QCoreApplication::translate("kv::TraceWindow", "捕获 #%1  %2  %3")
        .arg(capture.id)
        .arg(QDateTime::fromMSecsSinceEpoch(capture.triggerMs).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")),
             capture.cause);
}

QImage RenderCapture(const TraceCapture& capture, QSize size)
{
    const qint64 half = std::max(capture.triggerMs - capture.fromMs, capture.toMs - capture.triggerMs);
    if (!capture.samples) {
        const SampleHistory none;
        return RenderTrace(none, capture.triggerMs - half, capture.triggerMs + half, size, std::nullopt,
                           CaptureTitle(capture));
    }
    return RenderTrace(*capture.samples, capture.triggerMs - half, capture.triggerMs + half, size, capture.triggerMs,
                       CaptureTitle(capture));
}

bool WriteTraceCsv(const SampleHistory& history, qint64 fromMs, qint64 toMs, const QString& path, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QByteArray chunk = kUtf8Bom + LiveRecording::HeaderRow();
    bool ok = true;
    const qint64 end = history.FirstAtOrAfter(toMs + 1);
    for (qint64 i = history.FirstAtOrAfter(fromMs); i < end && ok; ++i) {
        chunk += LiveRecording::RowFor(history.At(i).Sample());
        if (chunk.size() >= (1 << 16)) {
            ok = file.write(chunk) == chunk.size();
            chunk.clear();
        }
    }
    ok = ok && file.write(chunk) == chunk.size() && file.commit();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}

} // namespace kv

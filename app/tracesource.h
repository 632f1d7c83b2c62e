// The sample history as the trace's plot draws it: the five live values
// scaled as the window decodes them (frequency Hz, current A, DC voltage V,
// AI1 V, AI2 mA), named as the window's curve sources, and the 13 bits of the
// status word named as the status lamps. Also the pictures and the CSV of a
// stretch of a history without a window: for the trace window's export and
// for what the trigger writes beside a capture.
#pragma once

#include "chart/tracesource.h"
#include "session/samplehistory.h"

#include <QImage>
#include <QSize>
#include <QStringList>

#include <optional>

namespace kv {

struct TraceCapture;

class HistorySource final : public TraceSource {
public:
    explicit HistorySource(const SampleHistory& history);
    const SampleHistory& History() const { return m_history; }

    int CurveCount() const override { return SampleHistory::kChannels; }
    TraceCurve Curve(int k) const override;
    int LaneCount() const override { return kStatusBitCount; }
    QString LaneName(int lane) const override;

    qint64 Count() const override { return m_history.Count(); }
    qint64 FirstMs() const override { return m_history.FirstMs(); }
    qint64 LastMs() const override { return m_history.LastMs(); }
    bool Trimmed() const override { return m_history.Trimmed(); }
    void Reduce(qint64 fromMs, qint64 toMs, int columns, std::vector<TraceColumn>& out) const override;
    qint64 FirstAtOrAfter(qint64 timeMs) const override { return m_history.FirstAtOrAfter(timeMs); }
    TracePoint At(qint64 i) const override;
    qint64 StretchOf(qint64 i) const override { return m_history.StretchOf(i); }

    // The names of the status bits 0..12, as the lamps name them.
    static QStringList StatusBitNames();

private:
    const SampleHistory& m_history;
    QStringList m_laneNames;
};

// The history from `fromMs` to `toMs` as a picture of the given size (every
// curve shown and autoscaled, cursor A at `cursorMs` when given, a title on
// top when given), without a window on screen.
QImage RenderTrace(const SampleHistory& history, qint64 fromMs, qint64 toMs, QSize size,
                   std::optional<qint64> cursorMs = std::nullopt, const QString& title = QString());
// A capture as the trace window shows it: its samples with the trigger moment
// at the centre and cursor A on it, its number, time and cause as title.
QImage RenderCapture(const TraceCapture& capture, QSize size);
// The title of a capture: "捕获 #3  2026-11-30 14:05:33.125  故障 ↑".
QString CaptureTitle(const TraceCapture& capture);

// The samples of the history from `fromMs` to `toMs` (both included) as the
// recording writes them (UTF-8 with a byte-order mark, its header and rows),
// written whole or not at all. False, with the reason, when the file cannot
// be written.
bool WriteTraceCsv(const SampleHistory& history, qint64 fromMs, qint64 toMs, const QString& path, QString* error);

} // namespace kv

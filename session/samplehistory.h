// The history of a run: every live sample since sampling started, kept in
// memory with its time stamp, independent of the strip chart and of the
// recording, for the trace window and the trigger.
//
// A sample is kept as its time, its six registers and its reply's CRC
// verdict (20 bytes and a bit); values are decoded when asked for. Samples sit in blocks of kBlockSize, each with a
// summary of every 8, 64 and 512 samples and of the whole block (minimum and
// maximum of each value, which status bits were set anywhere and everywhere),
// so that the extremes of any stretch of time are found by touching a few
// summaries rather than every sample: a drawing asks for the extremes of
// each pixel column and gets every spike, whatever the zoom.
//
// The history holds at most kMaxSamples (over 8 hours at 32 samples a
// second); when it is full the oldest hour goes (whole blocks), and
// HeldFromMs says from when it holds data. A pause, a port loss or a
// reconnection leaves a gap: Break() starts a new stretch, and the drawing
// does not join two stretches.
#pragma once

#include "drive/livesample.h"

#include <QObject>

#include <array>
#include <deque>
#include <memory>
#include <vector>

namespace kv {

class SampleHistory : public QObject {
    Q_OBJECT
public:
    static constexpr int kChannels = 5;  // frequency, current, DC voltage, AI1, AI2
    static constexpr qint64 kMaxSamples = 1'000'000;
    static constexpr qint64 kDropMs = 3'600'000;  // what goes when the history is full
    static constexpr int kBlockSize = 4096;

    // One sample as kept: its time, its registers as read and whether its
    // reply's CRC was right.
    struct Entry {
        qint64 timeMs = 0;
        std::array<quint16, kRegLiveBlockCount> registers{};
        bool crcGood = true;
        // The five values as the window decodes them, and the status word.
        PollReply Decoded() const;
        quint16 Status() const { return registers[kRegLiveBlockCount - 1]; }
        // The live sample it was kept from.
        LiveSample Sample() const;
    };

    // What a stretch of samples holds: per value the least and greatest raw
    // register (as signed 16-bit numbers: the decoding scales them by
    // positive factors), and the status bits set in every sample (all) and
    // in some sample (any).
    struct Extremes {
        std::array<qint16, kChannels> low{};
        std::array<qint16, kChannels> high{};
        quint16 all = 0xFFFF;
        quint16 any = 0;
        qint64 count = 0;
        void Add(const Entry& e);
        void Add(const Extremes& other);
    };

    // One pixel column of a drawing: the extremes of the samples whose times
    // fall in it, and the stretches its first and last sample belong to
    // (a column is joined to the one before only when they are the same).
    struct Column {
        Extremes extremes;  // count 0: no sample in the column
        qint64 firstStretch = -1;
        qint64 lastStretch = -1;
    };

    explicit SampleHistory(qint64 maxSamples = kMaxSamples, QObject* parent = nullptr);
    ~SampleHistory() override;

    // Keeps a sample (its time not before the last one's; an earlier time is
    // taken as the last one's, the clock having been set back).
    void Append(const LiveSample& sample);
    // The next sample starts a new stretch (polling paused, the port lost).
    void Break();
    // Everything goes.
    void Clear();

    qint64 Count() const { return m_count; }
    bool Empty() const { return m_count == 0; }
    // The first and last sample's times (0 when empty).
    qint64 FirstMs() const;
    qint64 LastMs() const;
    // From when the history holds data; later than the first sample of the
    // run when the oldest samples have gone.
    qint64 HeldFromMs() const { return FirstMs(); }
    // Whether samples have been dropped to stay within the bound.
    bool Trimmed() const { return m_trimmed; }
    // Bytes the history takes in memory.
    qint64 MemoryBytes() const;

    // Sample i (0 = the oldest held), 0 <= i < Count().
    Entry At(qint64 i) const;
    // The stretch sample i belongs to (counted from the first stretch ever).
    qint64 StretchOf(qint64 i) const;
    // The index of the first sample at or after `timeMs` (Count() when none).
    qint64 FirstAtOrAfter(qint64 timeMs) const;
    // The extremes of samples [from, to).
    Extremes Range(qint64 from, qint64 to) const;
    // The extremes of each of `columns` equal slices of [fromMs, toMs): about
    // two summaries per column and curve are touched, whatever the span.
    std::vector<Column> Reduce(qint64 fromMs, qint64 toMs, int columns) const;

signals:
    // Samples were appended (batched to once per event-loop pass at most).
    void Grew();
    // The oldest samples went; HeldFromMs has moved.
    void TrimmedOldest(qint64 heldFromMs);

private:
    struct Block;
    Block& WritableBlock();
    void TrimIfFull();
    // Adds the extremes of [from, to) within block b (local indices).
    void AddBlockRange(const Block& b, int from, int to, Extremes& out) const;

    std::deque<std::unique_ptr<Block>> m_blocks;
    qint64 m_count = 0;
    qint64 m_maxSamples;
    qint64 m_stretch = 0;
    bool m_breakPending = true;
    bool m_trimmed = false;
    bool m_grewQueued = false;
};

} // namespace kv

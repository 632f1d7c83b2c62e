#include "session/samplehistory.h"

#include <QMetaObject>

#include <algorithm>
#include <bitset>

namespace kv {

namespace {

constexpr int kL1 = 8;    // samples per first-level summary
constexpr int kL2 = 64;   // per second-level summary
constexpr int kL3 = 512;  // per third-level summary

} // namespace

// Times, registers and CRC verdicts apart (20 bytes and a bit a sample, no
// padding), and the summaries.
struct SampleHistory::Block {
    std::array<qint64, kBlockSize> times;
    std::array<std::array<quint16, kRegLiveBlockCount>, kBlockSize> registers;
    std::bitset<kBlockSize> crcBad;
    std::array<Extremes, kBlockSize / kL1> l1;
    std::array<Extremes, kBlockSize / kL2> l2;
    std::array<Extremes, kBlockSize / kL3> l3;
    Extremes all;
    int size = 0;
    qint64 firstStretch = 0;   // the stretch of the block's first sample
    std::vector<int> starts;   // local indices (> 0) where a new stretch starts

    Entry EntryAt(int i) const
    {
        const auto k = static_cast<size_t>(i);
        return Entry{times[k], registers[k], !crcBad[k]};
    }
};

PollReply SampleHistory::Entry::Decoded() const
{
    return DecodeLiveRegisters(registers);
}

LiveSample SampleHistory::Entry::Sample() const
{
    return SampleFromRegisters(registers, timeMs, crcGood);
}

void SampleHistory::Extremes::Add(const Entry& e)
{
    for (size_t k = 0; k < kChannels; ++k) {
        const auto v = static_cast<qint16>(e.registers[k]);
        if (count == 0 || v < low[k])
            low[k] = v;
        if (count == 0 || v > high[k])
            high[k] = v;
    }
    all &= e.Status();
    any |= e.Status();
    ++count;
}

void SampleHistory::Extremes::Add(const Extremes& other)
{
    if (other.count == 0)
        return;
    for (size_t k = 0; k < kChannels; ++k) {
        if (count == 0 || other.low[k] < low[k])
            low[k] = other.low[k];
        if (count == 0 || other.high[k] > high[k])
            high[k] = other.high[k];
    }
    all &= other.all;
    any |= other.any;
    count += other.count;
}

SampleHistory::SampleHistory(qint64 maxSamples, QObject* parent)
    : QObject(parent)
    , m_maxSamples(std::max<qint64>(maxSamples, kBlockSize))
{
}

SampleHistory::~SampleHistory() = default;

SampleHistory::Block& SampleHistory::WritableBlock()
{
    if (m_blocks.empty() || m_blocks.back()->size == kBlockSize) {
        auto block = std::make_unique<Block>();
        block->firstStretch = m_stretch;
        m_blocks.push_back(std::move(block));
    }
    return *m_blocks.back();
}

void SampleHistory::Append(const LiveSample& sample)
{
    const qint64 last = LastMs();
    const qint64 time = m_count > 0 ? std::max(sample.timeMs, last) : sample.timeMs;
    const bool newStretch = m_breakPending && m_count > 0;
    m_breakPending = false;
    if (newStretch)
        ++m_stretch;
    Block& b = WritableBlock();
    const int i = b.size;
    if (i == 0)
        b.firstStretch = m_stretch;
    else if (newStretch)
        b.starts.push_back(i);
    b.times[static_cast<size_t>(i)] = time;
    b.registers[static_cast<size_t>(i)] = sample.registers;
    b.crcBad[static_cast<size_t>(i)] = !sample.crcGood;
    ++b.size;
    const Entry e = b.EntryAt(i);
    b.l1[static_cast<size_t>(i / kL1)].Add(e);
    b.l2[static_cast<size_t>(i / kL2)].Add(e);
    b.l3[static_cast<size_t>(i / kL3)].Add(e);
    b.all.Add(e);
    ++m_count;
    TrimIfFull();
    if (!m_grewQueued) {
        m_grewQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_grewQueued = false;
                emit Grew();
            },
            Qt::QueuedConnection);
    }
}

void SampleHistory::Break()
{
    m_breakPending = true;
}

void SampleHistory::Clear()
{
    m_blocks.clear();
    m_count = 0;
    m_breakPending = true;
    m_trimmed = false;
    emit Grew();
}

void SampleHistory::TrimIfFull()
{
    if (m_count <= m_maxSamples || m_blocks.size() < 2)
        return;
    // The oldest hour goes, in whole blocks; at least one.
    const qint64 until = FirstMs() + kDropMs;
    do {
        m_count -= m_blocks.front()->size;
        m_blocks.pop_front();
    } while (m_blocks.size() > 1 && m_blocks.front()->times[static_cast<size_t>(m_blocks.front()->size - 1)] < until);
    m_trimmed = true;
    emit TrimmedOldest(FirstMs());
}

qint64 SampleHistory::FirstMs() const
{
    return m_blocks.empty() ? 0 : m_blocks.front()->times[0];
}

qint64 SampleHistory::LastMs() const
{
    return m_blocks.empty() ? 0 : m_blocks.back()->times[static_cast<size_t>(m_blocks.back()->size - 1)];
}

qint64 SampleHistory::MemoryBytes() const
{
    qint64 bytes = sizeof(*this);
    for (const auto& b : m_blocks)
        bytes += static_cast<qint64>(sizeof(Block) + b->starts.capacity() * sizeof(int));
    return bytes;
}

SampleHistory::Entry SampleHistory::At(qint64 i) const
{
    // Every block but the last is full.
    const auto& b = m_blocks[static_cast<size_t>(i / kBlockSize)];
    return b->EntryAt(static_cast<int>(i % kBlockSize));
}

qint64 SampleHistory::StretchOf(qint64 i) const
{
    const auto& b = m_blocks[static_cast<size_t>(i / kBlockSize)];
    const int local = static_cast<int>(i % kBlockSize);
    const auto after = std::upper_bound(b->starts.begin(), b->starts.end(), local);
    return b->firstStretch + (after - b->starts.begin());
}

qint64 SampleHistory::FirstAtOrAfter(qint64 timeMs) const
{
    // The first block whose last sample is at or after the time, then within it.
    const auto block = std::lower_bound(m_blocks.begin(), m_blocks.end(), timeMs, [](const auto& b, qint64 t) {
        return b->times[static_cast<size_t>(b->size - 1)] < t;
    });
    if (block == m_blocks.end())
        return m_count;
    const Block& b = **block;
    const auto at = std::lower_bound(b.times.begin(), b.times.begin() + b.size, timeMs);
    return static_cast<qint64>(block - m_blocks.begin()) * kBlockSize + (at - b.times.begin());
}

void SampleHistory::AddBlockRange(const Block& b, int from, int to, Extremes& out) const
{
    to = std::min(to, b.size);
    if (from == 0 && to == b.size) {
        out.Add(b.all);
        return;
    }
    // A summary stands for [start, min(start + width, size)): it is taken
    // whole when that lies inside the range.
    auto take = [&](int width, const auto& level) {
        while (from < to && from % width == 0 && std::min(from + width, b.size) <= to) {
            out.Add(level[static_cast<size_t>(from / width)]);
            from = std::min(from + width, b.size);
        }
    };
    while (from < to) {
        const int before = from;
        take(kL3, b.l3);
        take(kL2, b.l2);
        take(kL1, b.l1);
        if (from == before) {
            out.Add(b.EntryAt(from));
            ++from;
        }
    }
}

SampleHistory::Extremes SampleHistory::Range(qint64 from, qint64 to) const
{
    Extremes out;
    from = std::max<qint64>(from, 0);
    to = std::min(to, m_count);
    while (from < to) {
        const auto& b = *m_blocks[static_cast<size_t>(from / kBlockSize)];
        const qint64 base = from / kBlockSize * kBlockSize;
        const int end = static_cast<int>(std::min<qint64>(to - base, b.size));
        AddBlockRange(b, static_cast<int>(from - base), end, out);
        from = base + end;
    }
    return out;
}

std::vector<SampleHistory::Column> SampleHistory::Reduce(qint64 fromMs, qint64 toMs, int columns) const
{
    std::vector<Column> out(static_cast<size_t>(std::max(columns, 0)));
    if (columns <= 0 || toMs <= fromMs || m_count == 0)
        return out;
    const double width = static_cast<double>(toMs - fromMs) / columns;
    qint64 i = FirstAtOrAfter(fromMs);
    for (int c = 0; c < columns && i < m_count; ++c) {
        const qint64 end = c + 1 == columns ? toMs : fromMs + static_cast<qint64>(width * (c + 1));
        const qint64 j = FirstAtOrAfter(end);
        if (j > i) {
            Column& col = out[static_cast<size_t>(c)];
            col.extremes = Range(i, j);
            col.firstStretch = StretchOf(i);
            col.lastStretch = StretchOf(j - 1);
        }
        i = j;
    }
    return out;
}

} // namespace kv

#include "moc_samplehistory.cpp"

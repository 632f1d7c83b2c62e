// The history of a run: every spike kept by the reduction for drawing,
// wherever it falls against the columns; gaps stay gaps; the memory bound
// and what goes when it is reached.
#include "session/samplehistory.h"

#include <QTest>

using namespace kv;

namespace {

// A sample at `timeMs` with current `current` (raw, 0.1 A) and status `status`.
LiveSample Sample(qint64 timeMs, qint16 current = 100, quint16 status = 0x0237)
{
    LiveSample s;
    s.timeMs = timeMs;
    s.registers = {500, static_cast<quint16>(current), 540, 5000, 500, status};
    return s;
}

} // namespace

class TestSampleHistory : public QObject {
    Q_OBJECT
private slots:
    void everySpikeSurvivesTheReduction_data();
    void everySpikeSurvivesTheReduction();
    void gapsStayGaps();
    void boundedMemoryDropsTheOldestHour();
};

void TestSampleHistory::everySpikeSurvivesTheReduction_data()
{
    QTest::addColumn<int>("samples");  // one every 31 ms from t = 0
    QTest::addColumn<int>("spikeAt");  // the index of the one sample with a current spike
    QTest::addColumn<int>("columns");
    // A spike at the very first and last sample, on column edges and inside a
    // column, with fewer samples than columns and very many more; across the
    // edge of a block of the history and its summaries.
    QTest::newRow("first sample") << 1000 << 0 << 100;
    QTest::newRow("last sample") << 1000 << 999 << 100;
    QTest::newRow("at a column's start") << 1000 << 500 << 31;
    QTest::newRow("at a column's end") << 1000 << 499 << 31;
    QTest::newRow("more columns than samples") << 50 << 17 << 1920;
    QTest::newRow("two blocks, at the edge") << 2 * SampleHistory::kBlockSize << SampleHistory::kBlockSize << 1920;
    QTest::newRow("in a summary's middle") << 40000 << 12345 << 7;
    QTest::newRow("one column for everything") << 40000 << 30001 << 1;
}

void TestSampleHistory::everySpikeSurvivesTheReduction()
{
    QFETCH(int, samples);
    QFETCH(int, spikeAt);
    QFETCH(int, columns);
    SampleHistory history;
    for (int i = 0; i < samples; ++i)
        history.Append(Sample(31LL * i, i == spikeAt ? 900 : 100, i == spikeAt ? 0x0008 : 0x0237));
    const std::vector<SampleHistory::Column> cols = history.Reduce(0, 31LL * samples, columns);
    QCOMPARE(int(cols.size()), columns);
    int spikes = 0;
    qint64 counted = 0;
    for (const SampleHistory::Column& c : cols) {
        counted += c.extremes.count;
        if (c.extremes.count == 0)
            continue;
        spikes += c.extremes.high[1] == 900;
        QCOMPARE(c.extremes.low[1], c.extremes.count == 1 && c.extremes.high[1] == 900 ? qint16(900) : qint16(100));
        // The fault bit rises in the spike's sample only.
        QCOMPARE(bool(c.extremes.any & 0x0008), c.extremes.high[1] == 900);
    }
    QCOMPARE(spikes, 1);
    QCOMPARE(counted, qint64(samples));  // every sample in exactly one column
}

void TestSampleHistory::gapsStayGaps()
{
    SampleHistory history;
    for (int i = 0; i < 10; ++i)
        history.Append(Sample(100 * i));
    history.Break();  // polling paused for 2 s
    for (int i = 30; i < 40; ++i)
        history.Append(Sample(100 * i));
    QCOMPARE(history.StretchOf(9), history.StretchOf(0));
    QCOMPARE(history.StretchOf(10), history.StretchOf(9) + 1);
    const std::vector<SampleHistory::Column> cols = history.Reduce(0, 4000, 40);
    for (int c = 0; c < 40; ++c) {
        const bool held = c < 10 || c >= 30;
        QCOMPARE(cols[size_t(c)].extremes.count, qint64(held ? 1 : 0));
    }
    // The first column after the gap belongs to another stretch than the last before it.
    QVERIFY(cols[30].firstStretch != cols[9].lastStretch);
    QCOMPARE(cols[31].firstStretch, cols[30].lastStretch);
}

void TestSampleHistory::boundedMemoryDropsTheOldestHour()
{
    // 8 hours at 32 samples a second.
    SampleHistory history;
    const qint64 samples = 8LL * 3600 * 32;
    for (qint64 i = 0; i < samples; ++i)
        history.Append(Sample(i * 1000 / 32));
    QCOMPARE(history.Count(), samples);
    QVERIFY(!history.Trimmed());
    QVERIFY2(history.MemoryBytes() <= 64LL * 1024 * 1024, qPrintable(QString::number(history.MemoryBytes())));
    // On past the bound: the oldest hour (whole blocks of it) goes.
    qint64 time = samples * 1000 / 32;
    while (!history.Trimmed())
        history.Append(Sample(time += 31));
    QVERIFY(history.Count() <= SampleHistory::kMaxSamples);
    QVERIFY(history.HeldFromMs() >= 3600 * 1000 - 31LL * SampleHistory::kBlockSize);
    QVERIFY(history.HeldFromMs() <= 3600 * 1000 + 31LL * SampleHistory::kBlockSize);
    QCOMPARE(history.At(0).timeMs, history.HeldFromMs());
    QCOMPARE(history.At(history.Count() - 1).timeMs, time);
}

QTEST_GUILESS_MAIN(TestSampleHistory)
#include "test_samplehistory.moc"

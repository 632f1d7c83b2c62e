// The trace's view without a window: the wheel zooms around the pointer (or
// the right edge while following), a drag pans and stops following, the
// time ticks suit the span and carry dates across midnight.
#include "chart/traceview.h"

#include <QDateTime>
#include <QTest>

#include <algorithm>

using namespace kv;

namespace {

// 100 s of samples, one every 100 ms, from t = 0.
class Ramp final : public TraceSource {
public:
    int CurveCount() const override { return 1; }
    TraceCurve Curve(int) const override { return {QStringLiteral("f"), QStringLiteral("Hz"), 0, 1}; }
    int LaneCount() const override { return 0; }
    QString LaneName(int) const override { return {}; }
    qint64 Count() const override { return 1001; }
    qint64 FirstMs() const override { return 0; }
    qint64 LastMs() const override { return 100'000; }
    bool Trimmed() const override { return false; }
    void Reduce(qint64, qint64, int columns, std::vector<TraceColumn>& out) const override { out.resize(size_t(columns)); }
    qint64 FirstAtOrAfter(qint64 t) const override { return std::clamp<qint64>((t + 99) / 100, 0, 1001); }
    TracePoint At(qint64 i) const override { return {100 * i, {}, 0}; }
    qint64 StretchOf(qint64) const override { return 0; }
};

qint64 At(int day, int hour, int minute, int second, int ms = 0)
{
    return QDateTime(QDate(2026, 11, day), QTime(hour, minute, second, ms)).toMSecsSinceEpoch();
}

} // namespace

class TestTraceView : public QObject {
    Q_OBJECT
private slots:
    void wheelAndDrag_data();
    void wheelAndDrag();
    void ticksSuitTheSpan_data();
    void ticksSuitTheSpan();
};

void TestTraceView::wheelAndDrag_data()
{
    QTest::addColumn<bool>("follow");  // else the view is 40 s .. 60 s
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<double>("amount");  // the zoom factor, or the drag in ms
    QTest::addColumn<double>("at");      // where the pointer is
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<bool>("following");
    QTest::newRow("in, around the pointer") << false << "wheel" << 0.5 << 45'000.0 << 42'500.0 << 52'500.0 << false;
    QTest::newRow("out, around the pointer") << false << "wheel" << 2.0 << 50'000.0 << 30'000.0 << 70'000.0 << false;
    QTest::newRow("no closer than 100 ms") << false << "wheel" << 1e-6 << 50'000.0 << 49'950.0 << 50'050.0 << false;
    QTest::newRow("following: around the right edge") << true << "wheel" << 0.5 << 85'000.0 << 90'000.0 << 100'000.0
                                                      << true;
    QTest::newRow("a drag stops following") << true << "drag" << -5'000.0 << 0.0 << 75'000.0 << 95'000.0 << false;
    QTest::newRow("a drag") << false << "drag" << 5'000.0 << 0.0 << 45'000.0 << 65'000.0 << false;
}

void TestTraceView::wheelAndDrag()
{
    QFETCH(bool, follow);
    QFETCH(QString, gesture);
    QFETCH(double, amount);
    QFETCH(double, at);
    const Ramp source;
    TraceView view;
    view.Track(source);
    if (follow)
        view.ShowLast(20'000);
    else
        view.ShowRange(40'000, 60'000);
    view.Track(source);
    if (gesture == u"wheel")
        view.ZoomTime(amount, at);
    else
        view.Pan(amount);
    view.Track(source);
    QTEST(view.FromMs(), "from");
    QTEST(view.ToMs(), "to");
    QTEST(view.Follow(), "following");
}

void TestTraceView::ticksSuitTheSpan_data()
{
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("span");
    QTest::addColumn<bool>("dates");  // the run spans midnight
    QTest::addColumn<QStringList>("first");  // the first three ticks, with their dates
    QTest::addColumn<int>("dated");          // how many ticks carry a date
    // 1000 pixels; a text takes 100 pixels with milliseconds, 70 with seconds, 60 with minutes.
    QTest::newRow("2 s: every 200 ms") << At(30, 14, 5, 33, 50) << qint64(2'000) << false
                                       << QStringList{"14:05:33.200", "14:05:33.400", "14:05:33.600"} << 0;
    QTest::newRow("1 min: every 5 s") << At(30, 14, 5, 33) << qint64(60'000) << false
                                      << QStringList{"14:05:35", "14:05:40", "14:05:45"} << 0;
    QTest::newRow("10 min: every minute") << At(30, 14, 5, 33) << qint64(600'000) << false
                                          << QStringList{"14:06", "14:07", "14:08"} << 0;
    QTest::newRow("8 h: every 30 min") << At(30, 14, 5, 33) << qint64(8 * 3'600'000) << false
                                       << QStringList{"14:30", "15:00", "15:30"} << 0;
    QTest::newRow("across midnight") << At(30, 23, 0, 0) << qint64(2 * 3'600'000) << true
                                     << QStringList{"23:00 2026-11-30", "23:10", "23:20"} << 2;
}

void TestTraceView::ticksSuitTheSpan()
{
    QFETCH(qint64, from);
    QFETCH(qint64, span);
    QFETCH(bool, dates);
    const std::vector<TraceTick> ticks = TimeTicks(double(from), double(from + span), 1000, {100, 70, 60}, dates);
    QVERIFY(ticks.size() >= 3);
    QStringList first;
    for (size_t i = 0; i < 3; ++i)
        first << (ticks[i].date.isEmpty() ? ticks[i].text : ticks[i].text + u' ' + ticks[i].date);
    QTEST(first, "first");
    int dated = 0;
    for (const TraceTick& t : ticks) {
        dated += !t.date.isEmpty();
        if (t.text == u"00:00")
            QCOMPARE(t.date, QStringLiteral("2026-12-01"));
    }
    QTEST(dated, "dated");
}

QTEST_GUILESS_MAIN(TestTraceView)
#include "test_traceview.moc"

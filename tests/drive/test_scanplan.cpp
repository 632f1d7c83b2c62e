// Finding the drive: the probes of a station scan and of a sweep, each
// probe's timeout from the line's speed, the time left, the station ranges
// typed, and what a drive's group 33 reads as.
#include "drive/scanplan.h"

#include <QTest>

using namespace kv;

namespace {

LineSettings Settings(const char* text)
{
    return *ParseSettings(QString::fromLatin1(text));
}

QString ProbeText(const ScanProbe& p)
{
    return QStringLiteral("%1 %2").arg(p.station).arg(SettingsText(p.settings));
}

} // namespace

class TestScanPlan : public QObject {
    Q_OBJECT
private slots:
    void plan_data();
    void plan();
    void stationRange_data();
    void stationRange();
    void timeLeft_data();
    void timeLeft();
    void identity();
};

void TestScanPlan::plan_data()
{
    QTest::addColumn<bool>("sweep");
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("firstProbe");
    QTest::addColumn<QString>("lastProbe");
    QTest::addColumn<int>("firstTimeoutMs");  // the first probe's response timeout
    QTest::addColumn<int>("lastTimeoutMs");
    QTest::addColumn<qint64>("worstMs");      // all probes unanswered
    // 9600,N,8,1: a character is 1.0417 ms; the 7-byte reply 7.29 ms -> 8 + 30.
    // A probe at worst: 8.33 ms request + 38 ms + 3.65 ms gap = 49.98 ms.
    QTest::newRow("247 stations at 9600,N,8,1")
        << false << "9600,N,8,1" << 1 << 247 << 247 << "1 9600,N,8,1" << "247 9600,N,8,1" << 38 << 38 << qint64(12345);
    // 19200,E,8,1: 11 bits, 0.5729 ms a character; reply 4.01 -> 5 + 30;
    // a probe 4.58 + 35 + 2.01 = 41.59 ms, 15 of them 623.8 ms.
    QTest::newRow("3..17 at 19200,E,8,1")
        << false << "19200,E,8,1" << 3 << 17 << 15 << "3 19200,E,8,1" << "17 19200,E,8,1" << 35 << 35 << qint64(624);
    // 8 baud rates x N, E, O x stations 1..4, the stop bits kept: 1200 with
    // 2 stop bits is 9.17 ms a character (reply 64.2 -> 65 + 30); 115200,O,8,2
    // 0.1042 ms (reply 0.73 -> 1 + 30).
    QTest::newRow("sweep 1..4 with two stop bits")
        << true << "9600,E,8,2" << 1 << 4 << 96 << "1 1200,N,8,2" << "4 115200,O,8,2" << 95 << 31 << qint64(7285);
    QTest::newRow("one station sweep")
        << true << "9600,N,8,1" << 9 << 9 << 24 << "9 1200,N,8,1" << "9 115200,O,8,1" << 89 << 31 << qint64(1735);
}

void TestScanPlan::plan()
{
    QFETCH(bool, sweep);
    QFETCH(QString, line);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, count);
    QFETCH(QString, firstProbe);
    QFETCH(QString, lastProbe);
    QFETCH(int, firstTimeoutMs);
    QFETCH(int, lastTimeoutMs);
    QFETCH(qint64, worstMs);
    const LineSettings settings = Settings(line.toLatin1().constData());
    const StationRange range{first, last};
    const ScanPlan plan = sweep ? ScanPlan::Sweep(settings, range) : ScanPlan::Stations(settings, range);
    QCOMPARE(plan.IsSweep(), sweep);
    QCOMPARE(plan.Count(), count);
    QCOMPARE(ProbeText(plan.Probes().first()), firstProbe);
    QCOMPARE(ProbeText(plan.Probes().last()), lastProbe);
    QCOMPARE(ProbeResponseTimeoutMs(plan.Probes().first().settings), firstTimeoutMs);
    QCOMPARE(ProbeResponseTimeoutMs(plan.Probes().last().settings), lastTimeoutMs);
    QCOMPARE(plan.WorstMsFrom(0), worstMs);
    QCOMPARE(plan.WorstMsFrom(count), qint64(0));
    // Settings change only between steps: the stations of one step follow each other.
    int changes = 0;
    for (int i = 1; i < plan.Count(); ++i)
        changes += SettingsText(plan.Probes()[i].settings) != SettingsText(plan.Probes()[i - 1].settings) ? 1 : 0;
    QCOMPARE(changes, sweep ? 23 : 0);
}

void TestScanPlan::stationRange_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("first");  // 0: refused
    QTest::addColumn<int>("last");
    QTest::newRow("all") << "1-247" << 1 << 247;
    QTest::newRow("one") << "17" << 17 << 17;
    QTest::newRow("spaces") << " 3 - 17 " << 3 << 17;
    QTest::newRow("station 0") << "0-4" << 0 << 0;
    QTest::newRow("beyond 247") << "1-248" << 0 << 0;
    QTest::newRow("backwards") << "17-3" << 0 << 0;
    QTest::newRow("words") << "all" << 0 << 0;
    QTest::newRow("huge") << "99999999999" << 0 << 0;
}

void TestScanPlan::stationRange()
{
    QFETCH(QString, text);
    QFETCH(int, first);
    QFETCH(int, last);
    const std::optional<StationRange> range = ParseStationRange(text);
    QCOMPARE(range.has_value(), first != 0);
    if (range)
        QCOMPARE(*range, (StationRange{first, last}));
}

void TestScanPlan::timeLeft_data()
{
    // Stations 1..10 at 9600,N,8,1: 49.98 ms a probe at worst, 500 ms in all,
    // 250 ms for the last five.
    QTest::addColumn<int>("done");
    QTest::addColumn<qint64>("elapsedMs");
    QTest::addColumn<qint64>("leftMs");
    QTest::newRow("not begun") << 0 << qint64(0) << qint64(500);
    QTest::newRow("half, nobody answered") << 5 << qint64(250) << qint64(250);
    QTest::newRow("half, drives answered fast") << 5 << qint64(125) << qint64(125);
    QTest::newRow("half, faster than can be: a quarter at least") << 5 << qint64(10) << qint64(63);
    QTest::newRow("half, slowed down: twice at most") << 5 << qint64(2000) << qint64(500);
    QTest::newRow("all done") << 10 << qint64(500) << qint64(0);
}

void TestScanPlan::timeLeft()
{
    QFETCH(int, done);
    QFETCH(qint64, elapsedMs);
    QFETCH(qint64, leftMs);
    const ScanPlan plan = ScanPlan::Stations(Settings("9600,N,8,1"), {1, 10});
    QCOMPARE(ScanMsLeft(plan, done, elapsedMs), leftMs);
}

void TestScanPlan::identity()
{
    const std::optional<DriveIdentity> id = DriveIdentity::FromRegisters({0x0262, 0x0103, 2303, 156, 0x0262});
    QVERIFY(id);
    QCOMPARE(id->Text(), QStringLiteral("软件版本 0262，程序版本 0103，测试日期 2303，传动容量 15.6 A，参数表 0262"));
    QVERIFY(!DriveIdentity::FromRegisters({0x0262, 0x0103, 2303, 156}));
}

QTEST_GUILESS_MAIN(TestScanPlan)
#include "test_scanplan.moc"

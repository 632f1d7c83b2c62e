// The line's counters: what the original handlers write and read, and how the
// engine's attempts end.
#include "modbus/statistics.h"

#include <QTest>

using namespace kv::mb;

Q_DECLARE_METATYPE(kv::mb::LineCounters)

namespace {

const QByteArray kPoll = QByteArray::fromHex("010300040006" "8409");
const QByteArray kPollReply = QByteArray::fromHex("01030C01F4000A021C03E8012C0001" "3BE9");
const QByteArray kBadPollReply = QByteArray::fromHex("01030C01F4000A021C03E8012C0001" "3BEA");
const QByteArray kException = QByteArray::fromHex("018302C0F1");
const QByteArray kEcho = QByteArray::fromHex("01060000047FCAEA");

// Events, one per entry: 'T' a write, 'R' a chunk read outside the engine,
// 'A' an engine attempt, 'D' bytes the engine dropped (as many as code says),
// 'X' the poll timeout running out.
struct Event {
    char kind;
    QByteArray bytes;
    Outcome outcome = Outcome::Registers;
    quint8 code = 0;
};

LineCounters Counters(qint64 requests, qint64 good, qint64 crc, qint64 exceptions, qint64 timeouts, qint64 undecoded,
                      qint64 dropped = 0)
{
    LineCounters c;
    c.requests = requests;
    c.good = good;
    c.crcErrors = crc;
    c.exceptions = exceptions;
    c.timeouts = timeouts;
    c.undecoded = undecoded;
    c.dropped = dropped;
    return c;
}

} // namespace

Q_DECLARE_METATYPE(QList<Event>)

class TestStatistics : public QObject {
    Q_OBJECT
private slots:
    void counters_data();
    void counters();
    void resetStartsAfresh();
};

void TestStatistics::counters_data()
{
    QTest::addColumn<QList<Event>>("events");
    QTest::addColumn<LineCounters>("expected");
    QTest::addColumn<QString>("lastException");

    QTest::newRow("polls answered") << QList<Event>{{'T', kPoll}, {'R', kPollReply}, {'T', kPoll}, {'R', kPollReply}}
                                    << Counters(2, 2, 0, 0, 0, 0) << QString();
    QTest::newRow("bad crc still a reply")
        << QList<Event>{{'T', kPoll}, {'R', kBadPollReply}, {'T', kPoll}} << Counters(2, 0, 1, 0, 0, 0) << QString();
    QTest::newRow("unanswered poll counts at the next poll")
        << QList<Event>{{'T', kPoll}, {'T', kPoll}, {'R', kPollReply}} << Counters(2, 1, 0, 0, 1, 0) << QString();
    QTest::newRow("last unanswered poll counts when its time runs out")
        << QList<Event>{{'T', kPoll}, {'X', {}}, {'X', {}}} << Counters(1, 0, 0, 0, 1, 0) << QString();
    QTest::newRow("split reply")
        << QList<Event>{{'T', kPoll}, {'R', kPollReply.left(5)}, {'R', kPollReply.mid(5)}}
        << Counters(1, 0, 0, 0, 0, 2) << QString();
    QTest::newRow("two replies in one chunk")
        << QList<Event>{{'T', kEcho}, {'T', kEcho}, {'R', kEcho + kEcho}} << Counters(2, 0, 0, 0, 0, 1) << QString();
    QTest::newRow("exception reply") << QList<Event>{{'T', kEcho}, {'R', kException}} << Counters(1, 0, 0, 1, 0, 0)
                                     << QStringLiteral("异常 02：非法数据地址");
    QTest::newRow("engine attempts")
        << QList<Event>{{'T', kEcho}, {'A', {}, Outcome::Timeout}, {'T', kEcho}, {'A', {}, Outcome::CrcError},
                        {'T', kEcho}, {'A', {}, Outcome::Written}, {'A', {}, Outcome::Exception, 3},
                        {'A', {}, Outcome::Incomplete}, {'A', {}, Outcome::Cancelled}}
        << Counters(3, 1, 1, 1, 1, 1) << QStringLiteral("异常 03：非法数据值");
    // Fast sampling: the engine reads the poll's block; its outcome counts, not the poll rule.
    QTest::newRow("engine reads the poll's block")
        << QList<Event>{{'T', kPoll}, {'A', {}, Outcome::Registers}, {'T', kPoll}, {'A', {}, Outcome::Registers},
                        {'X', {}}}
        << Counters(2, 2, 0, 0, 0, 0) << QString();
    QTest::newRow("noise the engine dropped adds up")
        << QList<Event>{{'T', kEcho}, {'D', {}, Outcome::Registers, 3}, {'D', {}, Outcome::Registers, 0},
                        {'D', {}, Outcome::Registers, 14}, {'A', {}, Outcome::Written}}
        << Counters(1, 1, 0, 0, 0, 0, 17) << QString();
}

void TestStatistics::counters()
{
    QFETCH(QList<Event>, events);
    QFETCH(LineCounters, expected);
    QFETCH(QString, lastException);
    LineStatistics s;
    s.SetPollRead(4, 6);
    for (const Event& e : events) {
        switch (e.kind) {
        case 'T': s.OnTransmitted(e.bytes); break;
        case 'R': s.OnChunk(e.bytes); break;
        case 'A': s.OnAttempt(e.outcome, e.code); break;
        case 'D': s.OnDropped(e.code); break;
        default: s.PollTimeUp(); break;
        }
    }
    const LineCounters& c = s.Counters();
    QCOMPARE(c.requests, expected.requests);
    QCOMPARE(c.good, expected.good);
    QCOMPARE(c.crcErrors, expected.crcErrors);
    QCOMPARE(c.exceptions, expected.exceptions);
    QCOMPARE(c.timeouts, expected.timeouts);
    QCOMPARE(c.undecoded, expected.undecoded);
    QCOMPARE(c.dropped, expected.dropped);
    QCOMPARE(c.lastException, lastException);
}

void TestStatistics::resetStartsAfresh()
{
    LineStatistics s;
    s.SetPollRead(4, 6);
    s.OnTransmitted(kPoll);
    s.OnDropped(3);
    s.Reset();
    s.OnTransmitted(kPoll);  // the poll before the reset is not held against this one
    QCOMPARE(s.Counters().requests, qint64(1));
    QCOMPARE(s.Counters().timeouts, qint64(0));
    QCOMPARE(s.Summary(), QStringLiteral("请求 1  正确 0  CRC错误 0  异常 0  超时 0  未解码 0"));
}

QTEST_GUILESS_MAIN(TestStatistics)
#include "test_statistics.moc"

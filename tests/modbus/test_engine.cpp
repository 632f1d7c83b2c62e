// The transaction engine on a scripted line and a virtual clock: the test is
// the drive at the far end and says, for each request, what comes back and
// when. Times are exact, whatever the machine is doing.
#include "modbus/engine.h"
#include "serial/faketransport.h"
#include "serial/mscomm.h"
#include "tests/support/bytes.h"

#include <QSignalSpy>
#include <QTest>

using namespace kv;
using namespace kv::mb;
using test::Hex;

namespace {

using Pieces = QList<FakeTransport::Piece>;

// What the drive sends for one request: the reply `afterMs` after it, or in
// pieces with gaps, or nothing.
Pieces Reply(const char* hex, int afterMs = 5)
{
    return {{qint64(afterMs) * 1000, Hex(hex)}};
}
Pieces Split(const char* hex, int at, int afterMs, int gapMs)
{
    const QByteArray bytes = Hex(hex);
    return {{qint64(afterMs) * 1000, bytes.left(at)}, {qint64(afterMs + gapMs) * 1000, bytes.mid(at)}};
}

const char* const kReply100 = "01 03 02 00 64 B9 AF";
const char* const kRead100 = "01 03 00 64 00 01 C5 D5";

} // namespace

Q_DECLARE_METATYPE(Pieces)

class TestEngine : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void oneRequest_data();
    void oneRequest();
    void queueRunsInOrderAndLetsTheLineGo();
    void cancelEndsEverythingAtOnce();
    void requestWithItsOwnTimeoutAndTries();
    void portLossEndsEverything();
    void fineTimerFiresOnceUnlessStopped();

private:
    std::unique_ptr<VirtualClock> m_clock;
    std::unique_ptr<FakeTransport> m_line;
    std::unique_ptr<TransactionEngine> m_engine;
};

void TestEngine::init()
{
    m_clock = std::make_unique<VirtualClock>();
    m_line = std::make_unique<FakeTransport>(*m_clock);
    QVERIFY(m_line->Open(QStringLiteral("line"), LineSettings{}, nullptr));  // 9600,N,8,1
    m_engine = std::make_unique<TransactionEngine>(*m_line, *m_clock);
}

void TestEngine::cleanup()
{
    m_engine.reset();
    m_line.reset();
    m_clock.reset();
}

void TestEngine::oneRequest_data()
{
    QTest::addColumn<Request>("request");
    QTest::addColumn<QList<Pieces>>("drive");  // what comes back to each attempt
    QTest::addColumn<QList<Outcome>>("attempts");
    QTest::addColumn<QList<int>>("sentAtUs");  // when each attempt went on the line
    QTest::addColumn<QList<quint16>>("registers");
    QTest::addColumn<qint64>("dropped");
    const Request read = Request::Read(1, 0x0064, 1);
    // At 9600,N,8,1 a character takes 1041.7 us: the 8-byte request is on the
    // line for 8333 us, the response timeout (500 ms) runs from its end; the
    // silence ending a short reply is 20 ms.
    QTest::newRow("answered") << read << QList<Pieces>{Reply(kReply100)} << QList<Outcome>{Outcome::Registers}
                              << QList<int>{0} << QList<quint16>{100} << qint64(0);
    QTest::newRow("silent drive") << read << QList<Pieces>{}
                                  << QList<Outcome>{Outcome::Timeout, Outcome::Timeout, Outcome::Timeout}
                                  << QList<int>{0, 508334, 1016668} << QList<quint16>{} << qint64(0);
    QTest::newRow("bad crc, then good")
        << read << QList<Pieces>{Reply("01 03 02 00 64 B9 AE"), Reply(kReply100)}
        << QList<Outcome>{Outcome::CrcError, Outcome::Registers} << QList<int>{0, 25000} << QList<quint16>{100}
        << qint64(0);
    // 900 ms late: the first attempt times out, the reply lands while the second waits.
    QTest::newRow("late beyond the timeout")
        << read << QList<Pieces>{Reply(kReply100, 900)} << QList<Outcome>{Outcome::Timeout, Outcome::Registers}
        << QList<int>{0, 508334} << QList<quint16>{100} << qint64(0);
    // A pause of 200 ms inside the reply: the silence ends the first attempt
    // (a retry 20 ms after it); the second is answered whole, and the late rest
    // comes when the engine has let the line go.
    QTest::newRow("split by 200 ms")
        << read << QList<Pieces>{Split(kReply100, 3, 5, 200), Reply(kReply100)}
        << QList<Outcome>{Outcome::Incomplete, Outcome::Registers} << QList<int>{0, 45000}
        << QList<quint16>{100} << qint64(0);
    QTest::newRow("split within the silence")
        << read << QList<Pieces>{Split(kReply100, 3, 5, 15)} << QList<Outcome>{Outcome::Registers}
        << QList<int>{0} << QList<quint16>{100} << qint64(0);
    QTest::newRow("noise before the reply")
        << read << QList<Pieces>{Pieces{{1000, Hex("FF 00 17")}} + Reply(kReply100)}
        << QList<Outcome>{Outcome::Registers} << QList<int>{0} << QList<quint16>{100} << qint64(3);
    QTest::newRow("another station")
        << read << QList<Pieces>{Reply("02 03 02 00 64 FD AF")} << QList<Outcome>{Outcome::WrongStation}
        << QList<int>{0} << QList<quint16>{} << qint64(7);
    QTest::newRow("exception") << read << QList<Pieces>{Reply("01 83 02 C0 F1")}
                               << QList<Outcome>{Outcome::Exception} << QList<int>{0} << QList<quint16>{}
                               << qint64(0);
    QTest::newRow("echo of another value")
        << Request::Write(1, 0, 0x047F) << QList<Pieces>{Reply("01 06 00 00 04 77 CB 2C")}
        << QList<Outcome>{Outcome::Mismatch} << QList<int>{0} << QList<quint16>{} << qint64(0);
}

void TestEngine::oneRequest()
{
    QFETCH(Request, request);
    QFETCH(QList<Pieces>, drive);
    QFETCH(QList<Outcome>, attempts);
    QFETCH(QList<int>, sentAtUs);
    QFETCH(QList<quint16>, registers);
    QFETCH(qint64, dropped);
    QList<qint64> sent;
    m_line->SetResponder([&](const QByteArray&) {
        sent.append(m_clock->NowUs());
        return sent.size() <= drive.size() ? drive[sent.size() - 1] : Pieces{};
    });
    QList<Outcome> seen;
    connect(m_engine.get(), &TransactionEngine::AttemptEnded, this, [&](Outcome o, quint8) { seen.append(o); });
    qint64 droppedSeen = 0;
    connect(m_engine.get(), &TransactionEngine::BytesDropped, this, [&](qint64 n) { droppedSeen += n; });
    std::optional<Result> result;
    m_engine->Submit(request, [&](const Result& r) { result = r; });
    QVERIFY(m_clock->AdvanceUntil([&] { return result.has_value(); }));
    m_clock->AdvanceMs(500);  // whatever still trails
    QCOMPARE(seen, attempts);
    QCOMPARE(result->outcome, attempts.last());
    QCOMPARE(result->attempts, attempts.size());
    QCOMPARE(sent, QList<qint64>(sentAtUs.begin(), sentAtUs.end()));
    QCOMPARE(m_line->Writes().first(), request.Frame());
    QCOMPARE(result->registers, registers);
    QCOMPARE(droppedSeen, dropped);
    QVERIFY(!m_line->Claimed());
}

void TestEngine::queueRunsInOrderAndLetsTheLineGo()
{
    MSComm comm(*m_line);  // the receive path over the same line
    comm.setRThreshold(1);
    comm.setInputMode(1);
    QByteArray chunks;
    QSignalSpy onComm(&comm, &MSComm::OnComm);
    connect(&comm, &MSComm::OnComm, this, [&] { chunks += comm.InputBytes(); });
    QList<Pieces> drive{Reply(kReply100), Reply("01 06 00 00 04 7F CA EA")};
    m_line->SetResponder([&](const QByteArray&) { return drive.takeFirst(); });
    QSignalSpy busy(m_engine.get(), &TransactionEngine::BusyChanged);
    QList<Outcome> results;
    m_engine->Submit(Request::Read(1, 0x0064, 1), [&](const Result& r) { results.append(r.outcome); });
    m_engine->Submit(Request::Write(1, 0, 0x047F), [&](const Result& r) { results.append(r.outcome); });
    QVERIFY(m_line->Claimed());
    QVERIFY(m_clock->AdvanceUntil([&] { return results.size() == 2; }));
    QCOMPARE(results, (QList<Outcome>{Outcome::Registers, Outcome::Written}));
    QCOMPARE(m_line->Writes(), (QList<QByteArray>{Hex(kRead100), Hex("01 06 00 00 04 7F CA EA")}));
    QCOMPARE(busy.size(), 2);  // busy once, idle once
    QVERIFY(!m_line->Claimed());
    QCOMPARE(onComm.size(), 0);  // the receive path saw none of it
    // The line is the receive path's again.
    m_line->Send(Hex("AA"));
    m_clock->AdvanceMs(1);
    QCOMPARE(onComm.size(), 1);
    QCOMPARE(chunks, Hex("AA"));
}

void TestEngine::cancelEndsEverythingAtOnce()
{
    QList<Outcome> results;
    for (int i = 0; i < 3; ++i)
        m_engine->Submit(Request::Read(1, 0x0064, 1), [&](const Result& r) { results.append(r.outcome); });
    m_clock->AdvanceMs(10);
    QCOMPARE(m_line->Writes().size(), 1);
    m_engine->Cancel();
    QCOMPARE(results, QList<Outcome>(3, Outcome::Cancelled));
    QVERIFY(!m_engine->Busy());
    QVERIFY(!m_line->Claimed());
    // A reply still on its way does not run into the next request.
    m_line->Send(Hex(kReply100), 5000);
    std::optional<Result> next;
    m_line->SetResponder([](const QByteArray&) { return Reply("01 03 02 00 65 78 6F"); });
    m_engine->Submit(Request::Read(1, 0x0064, 1), [&](const Result& r) { next = r; });
    QVERIFY(m_clock->AdvanceUntil([&] { return next.has_value(); }));
    QCOMPARE(next->registers, QList<quint16>{101});
}

void TestEngine::requestWithItsOwnTimeoutAndTries()
{
    // A silent drive: a request of its own waits 40 ms after its 8333 us on
    // the line, once; the next, without its own, has the engine's 500 ms and
    // two retries.
    QList<qint64> sent;
    m_line->SetResponder([&](const QByteArray&) {
        sent.append(m_clock->NowUs());
        return Pieces{};
    });
    std::optional<Result> own;
    std::optional<Result> plain;
    m_engine->Submit(Request::Read(1, 0x0064, 1), [&](const Result& r) { own = r; }, {40, 0});
    m_engine->Submit(Request::Read(1, 0x0064, 1), [&](const Result& r) { plain = r; });
    QVERIFY(m_clock->AdvanceUntil([&] { return plain.has_value(); }));
    QCOMPARE(own->outcome, Outcome::Timeout);
    QCOMPARE(own->attempts, 1);
    QCOMPARE(plain->attempts, 3);
    // The second request goes as soon as the first has timed out (8333 us + 40 ms).
    QCOMPARE(sent, (QList<qint64>{0, 48334, 556668, 1065002}));
}

void TestEngine::portLossEndsEverything()
{
    QList<Outcome> results;
    for (int i = 0; i < 2; ++i)
        m_engine->Submit(Request::Read(1, 0x0064, 1), [&](const Result& r) { results.append(r.outcome); });
    m_clock->AdvanceMs(10);
    QCOMPARE(m_line->Writes().size(), 1);
    m_line->Lose();
    QCOMPARE(results, QList<Outcome>(2, Outcome::PortLost));
    m_engine->Submit(Request::Read(1, 0x0064, 1), [&](const Result& r) { results.append(r.outcome); });
    m_clock->AdvanceMs(1);
    QCOMPARE(results.size(), 3);
    QCOMPARE(results.last(), Outcome::PortLost);
    QCOMPARE(m_line->Writes().size(), 1);
}

// The silence timer: one timeout per start, none after a stop, a restart
// replacing the running one.
void TestEngine::fineTimerFiresOnceUnlessStopped()
{
    ClockTimer* timer = SystemClock().NewTimer(this);
    QSignalSpy fired(timer, &ClockTimer::timeout);
    timer->StartUs(300);
    QVERIFY(timer->IsActive());
    QTRY_COMPARE(fired.count(), 1);
    QVERIFY(!timer->IsActive());
    timer->StartUs(2000);
    timer->StartUs(500);
    QTRY_COMPARE(fired.count(), 2);
    timer->StartUs(1000);
    timer->Stop();
    QTest::qWait(20);  // long past its time: nothing may come
    QCOMPARE(fired.count(), 2);
    delete timer;
}

QTEST_GUILESS_MAIN(TestEngine)
#include "test_engine.moc"

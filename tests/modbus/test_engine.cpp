// The transaction engine on a real pseudo-terminal: the test is the drive at
// the far end and answers each request from a script.
#include "modbus/engine.h"
#include "serial/mscomm.h"
#include "tests/support/pty.h"

#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>

#include <unistd.h>

using namespace kv;
using namespace kv::mb;

namespace {

QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// Answers every 8-byte request with the next entry of a script: the bytes to
// send ("" for none).
class ScriptedDrive : public QObject {
public:
    ScriptedDrive(test::Pty& pty, QStringList script)
        : m_pty(pty)
        , m_script(std::move(script))
        , m_notifier(pty.masterFd(), QSocketNotifier::Read)
    {
        connect(&m_notifier, &QSocketNotifier::activated, this, [this] {
            char buf[256];
            const ssize_t n = ::read(m_pty.masterFd(), buf, sizeof buf);
            if (n <= 0) {
                m_notifier.setEnabled(false);
                return;
            }
            m_pending.append(buf, n);
            while (m_pending.size() >= 8) {
                requests.append(m_pending.left(8));
                m_pending.remove(0, 8);
                Answer();
            }
        });
    }
    QList<QByteArray> requests;

private:
    void Answer()
    {
        if (!m_script.isEmpty())
            m_pty.write(Hex(m_script.takeFirst().toLatin1().constData()));
    }

    test::Pty& m_pty;
    QStringList m_script;
    QByteArray m_pending;
    QSocketNotifier m_notifier;
};

const char* const kReply100 = "01 03 02 00 64 B9 AF";

} // namespace

class TestEngine : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void oneRequest_data();
    void oneRequest();
    void queueRunsInOrderAndLetsTheLineGo();
    void cancelEndsEverythingAtOnce();
    void portLossEndsEverything();
    void fineTimerFiresOnceUnlessStopped();

private:
    std::unique_ptr<test::Pty> m_pty;
    std::unique_ptr<MSComm> m_comm;
    std::unique_ptr<MSCommLine> m_line;
    std::unique_ptr<TransactionEngine> m_engine;
};

void TestEngine::init()
{
    m_pty = std::make_unique<test::Pty>();
    QVERIFY(m_pty->isValid());
    m_comm = std::make_unique<MSComm>();
    m_comm->setPortDevice(m_pty->slavePath());
    m_comm->setRThreshold(1);
    m_comm->setInputMode(1);
    m_comm->setPortOpen(true);
    m_line = std::make_unique<MSCommLine>(*m_comm);
    m_engine = std::make_unique<TransactionEngine>(*m_line);
    m_engine->SetResponseTimeoutMs(100);
}

void TestEngine::cleanup()
{
    m_engine.reset();
    m_line.reset();
    m_comm.reset();
    m_pty.reset();
}

void TestEngine::oneRequest_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<int>("attempts");
    QTest::addColumn<QList<Outcome>>("attemptOutcomes");
    // Faults of the simulated drive (dropped, late, split, corrupt replies) are
    // in the end-to-end tests; these are the cases it cannot make.
    QTest::newRow("silent drive") << QStringList{} << Outcome::Timeout << 3
                                  << QList<Outcome>{Outcome::Timeout, Outcome::Timeout, Outcome::Timeout};
    QTest::newRow("bad crc, then good")
        << QStringList{"01 03 02 00 64 B9 AE", kReply100} << Outcome::Registers << 2
        << QList<Outcome>{Outcome::CrcError, Outcome::Registers};
    QTest::newRow("another station")
        << QStringList{"02 03 02 00 64 FD AF", "02 03 02 00 64 FD AF", "02 03 02 00 64 FD AF"} << Outcome::WrongStation
        << 1 << QList<Outcome>{Outcome::WrongStation};
}

void TestEngine::oneRequest()
{
    QFETCH(QStringList, script);
    QFETCH(Outcome, outcome);
    QFETCH(int, attempts);
    QFETCH(QList<Outcome>, attemptOutcomes);
    ScriptedDrive drive(*m_pty, script);
    QSignalSpy onComm(m_comm.get(), &MSComm::OnComm);
    QList<Outcome> seen;
    connect(m_engine.get(), &TransactionEngine::AttemptEnded, this, [&](Outcome o, quint8) { seen.append(o); });
    std::optional<Result> result;
    m_engine->Submit(Request::Read(1, 0x0064, 1), [&](const Result& r) { result = r; });
    QTRY_VERIFY_WITH_TIMEOUT(result.has_value(), 5000);
    QCOMPARE(result->outcome, outcome);
    QCOMPARE(result->attempts, attempts);
    QCOMPARE(drive.requests.size(), attempts);
    QCOMPARE(drive.requests.first(), Hex("01 03 00 64 00 01 C5 D5"));
    QCOMPARE(seen, attemptOutcomes);
    if (outcome == Outcome::Registers)
        QCOMPARE(result->registers, QList<quint16>{100});
    QCOMPARE(onComm.size(), 0);  // the receive path saw none of it
}

void TestEngine::queueRunsInOrderAndLetsTheLineGo()
{
    ScriptedDrive drive(*m_pty, {kReply100, "01 06 00 00 04 7F CA EA"});
    QSignalSpy busy(m_engine.get(), &TransactionEngine::BusyChanged);
    QList<Outcome> results;
    m_engine->Submit(Request::Read(1, 0x0064, 1), [&](const Result& r) { results.append(r.outcome); });
    m_engine->Submit(Request::Write(1, 0, 0x047F), [&](const Result& r) { results.append(r.outcome); });
    QVERIFY(m_comm->Claimed());
    QTRY_COMPARE(results, (QList<Outcome>{Outcome::Registers, Outcome::Written}));
    QCOMPARE(busy.size(), 2);  // busy once, idle once
    QVERIFY(!m_comm->Claimed());
    // The line is the receive path's again.
    QSignalSpy onComm(m_comm.get(), &MSComm::OnComm);
    m_pty->write(Hex("AA"));
    QVERIFY(onComm.wait());
}

void TestEngine::cancelEndsEverythingAtOnce()
{
    ScriptedDrive drive(*m_pty, {});
    QList<Outcome> results;
    for (int i = 0; i < 3; ++i)
        m_engine->Submit(Request::Read(1, 0x0064, 1), [&](const Result& r) { results.append(r.outcome); });
    QTRY_COMPARE(drive.requests.size(), 1);
    m_engine->Cancel();
    QCOMPARE(results, QList<Outcome>(3, Outcome::Cancelled));
    QVERIFY(!m_engine->Busy());
    QVERIFY(!m_comm->Claimed());
}

void TestEngine::portLossEndsEverything()
{
    ScriptedDrive drive(*m_pty, {});
    QList<Outcome> results;
    for (int i = 0; i < 2; ++i)
        m_engine->Submit(Request::Read(1, 0x0064, 1), [&](const Result& r) { results.append(r.outcome); });
    QTRY_COMPARE(drive.requests.size(), 1);
    m_pty->closeMaster();
    QTRY_COMPARE(results, QList<Outcome>(2, Outcome::PortLost));
    m_engine->Submit(Request::Read(1, 0x0064, 1), [&](const Result& r) { results.append(r.outcome); });
    QTRY_COMPARE(results.size(), 3);
    QCOMPARE(results.last(), Outcome::PortLost);
}

QTEST_GUILESS_MAIN(TestEngine)
// The silence timer: one timeout per start, none after a stop, a restart
// replacing the running one.
void TestEngine::fineTimerFiresOnceUnlessStopped()
{
    mb::FineTimer timer;
    QSignalSpy fired(&timer, &mb::FineTimer::timeout);
    timer.StartUs(300);
    QVERIFY(timer.IsActive());
    QTRY_COMPARE(fired.count(), 1);
    QVERIFY(!timer.IsActive());
    timer.StartUs(2000);
    timer.StartUs(500);
    QTRY_COMPARE(fired.count(), 2);
    timer.StartUs(1000);
    timer.Stop();
    QTest::qWait(20);  // long past its time: nothing may come
    QCOMPARE(fired.count(), 2);
}

#include "test_engine.moc"

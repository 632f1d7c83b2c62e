// The parameter set's work on the line, through the engine, against a
// scripted drive on a virtual clock: a restore's order, the macro and the
// re-read after it, refusals, read-backs that differ, a drive that stops
// answering, and a port lost with a write in flight.
#include "drive/paramsetrunner.h"
#include "modbus/engine.h"
#include "tests/support/scripteddrive.h"

#include <QSignalSpy>
#include <QTest>

using namespace kv;
using Stop = ParameterSetRunner::Stop;
using Reports = QList<QPair<int, int>>;  // code, WriteReport::Kind
using Values = QMap<int, quint16>;       // code, value

namespace {

constexpr quint16 Reg(int code)
{
    return static_cast<quint16>(code - 1);
}

} // namespace

class TestParamSetRunner : public QObject {
    Q_OBJECT
private slots:
    void restore_data();
    void restore();
};

void TestParamSetRunner::restore_data()
{
    QTest::addColumn<Values>("file");
    QTest::addColumn<QString>("drive");  // how the drive behaves
    QTest::addColumn<Stop>("stop");
    QTest::addColumn<Reports>("reports");
    QTest::addColumn<QList<int>>("notWritten");
    QTest::addColumn<QStringList>("requests");
    const Values macro{{9902, 2}, {2202, 50}};
    const Values three{{2202, 60}, {2203, 70}, {2204, 80}, {2205, 90}};
    using K = WriteReport;
    // 9902 alone differs: written, read back, and the file's other parameter
    // read again (the macro may have reset it); still equal, so not written.
    QTest::newRow("9902 the only difference")
        << macro << "" << Stop::Done << Reports{{9902, K::Verified}} << QList<int>{}
        << QStringList{"W 26AD=0002", "R 26AD x1", "R 0899 x1"};
    QTest::newRow("the macro resets a parameter")
        << macro << "macro resets 2202" << Stop::Done << Reports{{9902, K::Verified}, {2202, K::Verified}}
        << QList<int>{} << QStringList{"W 26AD=0002", "R 26AD x1", "R 0899 x1", "W 0899=0032", "R 0899 x1"};
    QTest::newRow("9902 refused") << Values{{9902, 2}, {2202, 60}} << "refuses 9902" << Stop::Done
                                  << Reports{{9902, K::Refused}, {2202, K::Verified}} << QList<int>{}
                                  << QStringList{"W 26AD=0002", "W 0899=003C", "R 0899 x1"};
    QTest::newRow("read back another value")
        << Values{{2202, 60}} << "keeps 2202" << Stop::Done << Reports{{2202, K::Mismatch}}
        << QList<int>{} << QStringList{"W 0899=003C", "R 0899 x1"};
    // Three requests in a row unanswered (each tried three times): the work stops.
    QTest::newRow("no answer") << three << "silent" << Stop::NoAnswer
                               << Reports{{2202, K::Failed}, {2203, K::Failed}, {2204, K::Failed}}
                               << QList<int>{2205} << QStringList(9, QStringLiteral("W"));
    QTest::newRow("port lost with a write in flight")
        << three << "lost at 3" << Stop::PortLost << Reports{{2202, K::Verified}, {2203, K::PortLost}}
        << QList<int>{2204, 2205} << QStringList{"W 0899=003C", "R 0899 x1", "W 089A=0046"};
}

void TestParamSetRunner::restore()
{
    QFETCH(Values, file);
    QFETCH(QString, drive);
    QFETCH(Stop, stop);
    QFETCH(Reports, reports);
    QFETCH(QList<int>, notWritten);
    QFETCH(QStringList, requests);
    VirtualClock clock;
    FakeTransport line(clock);
    QVERIFY(line.Open(QStringLiteral("line"), LineSettings{}, nullptr));
    test::ScriptedDrive sim(line);
    QMap<int, Reading> known;
    for (const int code : {9902, 2202, 2203, 2204, 2205}) {
        const quint16 value = code == 9902 ? 1 : 50;
        sim.registers[Reg(code)] = value;
        known.insert(code, Reading{Reading::Read, value, QString()});
    }
    if (drive == u"macro resets 2202")
        sim.onWrite = [&](quint16 address, quint16) {
            if (address == Reg(9902))
                sim.registers[Reg(2202)] = 0;
        };
    if (drive == u"refuses 9902")
        sim.refuse = [](const test::ScriptedDrive::Request& r) -> std::optional<quint8> {
            return r.function == 0x06 && r.address == Reg(9902) ? std::optional<quint8>(0x03) : std::nullopt;
        };
    if (drive == u"keeps 2202")
        sim.onWrite = [&](quint16 address, quint16) { sim.registers[address] = 50; };
    sim.answering = drive != u"silent";
    if (drive == u"lost at 3")
        sim.loseAt = 3;

    mb::TransactionEngine engine(line, clock);
    ParameterSetRunner runner(engine);
    QSignalSpy finished(&runner, &ParameterSetRunner::Finished);
    runner.Restore(file, known);
    QVERIFY(clock.AdvanceUntil([&] { return !finished.isEmpty(); }));
    QCOMPARE(finished[0][0].value<Stop>(), stop);
    Reports seen;
    for (const WriteReport& r : runner.Summary().reports)
        seen.append({r.code, r.kind});
    QCOMPARE(seen, reports);
    QCOMPARE(runner.Summary().notWritten, notWritten);
    if (drive == u"silent")  // the requests' targets are the attempts; their kind is what counts
        for (QString& r : sim.requests)
            r = r.left(1);
    QCOMPARE(sim.requests, requests);
}

QTEST_GUILESS_MAIN(TestParamSetRunner)
#include "test_paramsetrunner.moc"

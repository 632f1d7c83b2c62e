// The transaction engine against the simulated drive with its faults and
// against an independent Modbus stack (pymodbus as the slave), and the window
// with its additions counting what the simulator's log says it did. (Replies
// late or split by a given time are the scripted line's, in test_engine.)
#include "app/captureui.h"
#include "modbus/capture.h"
#include "modbus/engine.h"
#include "modbus/statistics.h"
#include "tests/e2e/engineon.h"
#include "tests/e2e/simprocess.h"
#include "tests/support/pty.h"
#include "tests/support/tool.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace kv;
using namespace kv::mb;


class TestEngineE2e : public QObject {
    Q_OBJECT
private slots:
    void againstTheSimulatedDrive_data();
    void againstTheSimulatedDrive();
    void againstPymodbus();
    void windowCountsWhatTheDriveDid();
};

void TestEngineE2e::againstTheSimulatedDrive_data()
{
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<Request>("request");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<int>("attempts");
    QTest::addColumn<QList<quint16>>("registers");
    QTest::addColumn<int>("exceptionCode");
    const Request comms = Request::Read(1, 0x2649, 1);  // 9802 = 1
    QTest::newRow("answered") << QStringList{} << comms << Outcome::Registers << 1 << QList<quint16>{1} << 0;
    QTest::newRow("dropped once") << QStringList{"--drop", "1"} << comms << Outcome::Registers << 2
                                  << QList<quint16>{1} << 0;
    QTest::newRow("bad crc always") << QStringList{"--bad-crc", "all"} << comms << Outcome::CrcError << 3
                                    << QList<quint16>{} << 0;
    QTest::newRow("stray bytes") << QStringList{"--stray", "6@1", "--seed", "7"} << comms << Outcome::Registers << 1
                                 << QList<quint16>{1} << 0;
    QTest::newRow("line settings") << QStringList{} << Request::Read(1, 0x14BD, 6) << Outcome::Registers << 1
                                   << QList<quint16>{103, 104, 107, 120, 121, 5320} << 0;
    QTest::newRow("outside the map") << QStringList{} << Request::Read(1, 2, 1) << Outcome::Exception << 1
                                     << QList<quint16>{} << 2;
    QTest::newRow("reference written") << QStringList{} << Request::Write(1, 1, 20000) << Outcome::Written << 1
                                       << QList<quint16>{} << 0;
    QTest::newRow("reference too high") << QStringList{} << Request::Write(1, 1, 20001) << Outcome::Exception << 1
                                        << QList<quint16>{} << 3;
}

void TestEngineE2e::againstTheSimulatedDrive()
{
    QFETCH(QStringList, simArgs);
    QFETCH(Request, request);
    QFETCH(Outcome, outcome);
    QFETCH(int, attempts);
    QFETCH(QList<quint16>, registers);
    QFETCH(int, exceptionCode);
    test::SimProcess sim;
    QVERIFY2(sim.start(simArgs), qPrintable(sim.error()));
    test::EngineOn on(sim.path());
    const Result r = on.Run(request);
    QCOMPARE(r.outcome, outcome);
    QCOMPARE(r.attempts, attempts);
    QCOMPARE(r.registers, registers);
    QCOMPARE(int(r.exceptionCode), exceptionCode);
}

void TestEngineE2e::againstPymodbus()
{
    QTemporaryDir dir;
    const QString ours = dir.filePath(QStringLiteral("ours"));
    const QString theirs = dir.filePath(QStringLiteral("theirs"));
    QProcess socat;
    socat.start(QStringLiteral("socat"), {QStringLiteral("pty,raw,echo=0,link=") + ours,
                                          QStringLiteral("pty,raw,echo=0,link=") + theirs});
    QTRY_VERIFY(QFile::exists(ours) && QFile::exists(theirs));
    QProcess slave;
    slave.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    slave.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral(KV_SOURCE_DIR "/tests/e2e/pymodbus_slave.py"), theirs});
    QVERIFY(slave.waitForReadyRead(20000));  // it says when it listens
    {
        test::EngineOn on(ours);
        Result r = on.Run(Request::Read(1, 10, 3));
        QCOMPARE(r.outcome, Outcome::Registers);
        QCOMPARE(r.registers, (QList<quint16>{110, 111, 112}));
        QCOMPARE(on.Run(Request::Write(1, 11, 0xBEEF)).outcome, Outcome::Written);
        r = on.Run(Request::Read(1, 10, 3));
        QCOMPARE(r.registers, (QList<quint16>{110, 0xBEEF, 112}));
        r = on.Run(Request::Read(1, 95, 10));  // runs past the 100 registers it holds
        QCOMPARE(r.outcome, Outcome::Exception);
        QCOMPARE(int(r.exceptionCode), 2);
    }
    slave.kill();
    slave.waitForFinished();
    socat.terminate();
    socat.waitForFinished();
}

void TestEngineE2e::windowCountsWhatTheDriveDid()
{
    test::SimProcess sim;
    QVERIFY2(sim.start({"--bad-crc", "/7", "--drop", "/11", "--verbose"}), qPrintable(sim.error()));
    test::Tool tool;
    tool.files.path = tool.dir.filePath(QStringLiteral("capture.txt"));
    // Each poll's wait lasts until the drive's answer waits at the port (or
    // the drive has dropped it), as on a line that answers in time.
    int polls = 0;
    tool.platform.onSleep = [&](int) {
        QVERIFY(sim.waitForLog(QStringLiteral("-> "), polls));
        if (!sim.log().trimmed().endsWith("[dropped]"))
            QVERIFY(test::WaitForBytesAtPort(sim.path(), 17, 20000));
    };
    QVERIFY(tool.Open(sim.path()));
    tool.Action("CaptureStart")->trigger();

    // 22 polls by hand, each with the window's own request and wait; the next
    // goes out once this one's answer has been taken.
    const LineCounters& c = tool.session->Statistics().Counters();
    for (polls = 1; polls <= 22; ++polls) {
        tool.form->Timer1_Timer();
        const int dropped = QString::fromUtf8(sim.log()).count(QStringLiteral("[dropped]"));
        QTRY_COMPARE(c.good + c.crcErrors + c.undecoded + dropped, qint64(polls));
    }
    const int sent = polls - 1;
    const QString log = QString::fromUtf8(sim.log());
    const int bad = log.count(QStringLiteral("CRC corrupted"));
    const int dropped = log.count(QStringLiteral("[dropped]"));
    QCOMPARE(bad, 3);
    QCOMPARE(dropped, 2);
    QTRY_COMPARE(c.timeouts, qint64(dropped));  // the last one once its time has run out
    QCOMPARE(c.requests, qint64(sent));
    QCOMPARE(c.crcErrors, qint64(bad));
    QCOMPARE(c.good, qint64(sent - bad - dropped));
    QCOMPARE(c.undecoded, qint64(0));
    QTRY_VERIFY(tool.Part("statusCounters")->text().startsWith(
        QStringLiteral("请求 22  正确 17  CRC错误 3  异常 0  超时 2  未解码 0")));

    // The capture holds every frame: each request and each reply that came.
    tool.Action("CaptureStop")->trigger();
    QFile capture(tool.files.path);
    QVERIFY(capture.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(capture.readAll());
    QCOMPARE(text.count(QStringLiteral(" TX 01 03 00 04 00 06 84 09  读 0004 起 6 个寄存器\n")), sent);
    QCOMPARE(text.count(QStringLiteral("  读回 6 个寄存器\n")), sent - bad - dropped);
    QCOMPARE(text.count(QStringLiteral("  CRC错误\n")), bad);
}

QTEST_MAIN(TestEngineE2e)
#include "test_engine_e2e.moc"

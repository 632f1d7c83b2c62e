// The drive-sim program on its pseudo-terminal, against independent clients:
// libmodbus's master for the protocol and the drive's behaviour, raw bytes for
// what a master must never get (replies to bad frames) and for each fault
// option, pymodbus as a second stack.
#include "drive/registermap.h"
#include "serial/framecodec.h"
#include "tests/e2e/simprocess.h"
#include "tests/support/pty.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <modbus/modbus.h>

#include <csignal>
#include <functional>

using kv::test::LineClient;
using kv::test::SimProcess;

namespace {

// A libmodbus master on the simulator's terminal.
class Master {
public:
    explicit Master(const QString& path, int station = 1)
    {
        m_ctx = modbus_new_rtu(path.toLocal8Bit().constData(), 9600, 'N', 8, 1);
        if (!m_ctx)
            return;
        modbus_set_slave(m_ctx, station);
        // Wide: the simulator may run under sanitizers on a loaded machine.
        modbus_set_response_timeout(m_ctx, 5, 0);
        if (modbus_connect(m_ctx) != 0) {
            modbus_free(m_ctx);
            m_ctx = nullptr;
        }
    }
    ~Master()
    {
        if (m_ctx) {
            modbus_close(m_ctx);
            modbus_free(m_ctx);
        }
    }
    Master(const Master&) = delete;
    Master& operator=(const Master&) = delete;
    bool ok() const { return m_ctx != nullptr; }
    modbus_t* ctx() const { return m_ctx; }

    // Reads registers; returns -1 and the error number on failure.
    int read(int address, int count, std::uint16_t* out, int* error = nullptr)
    {
        const int rc = modbus_read_registers(m_ctx, address, count, out);
        if (error)
            *error = rc < 0 ? errno : 0;
        return rc;
    }
    int readOne(int address)
    {
        std::uint16_t v = 0;
        return read(address, 1, &v) == 1 ? v : -1;
    }
    bool write(int address, std::uint16_t value) { return modbus_write_register(m_ctx, address, value) == 1; }

private:
    modbus_t* m_ctx = nullptr;
};

// Polls until the condition holds or `timeoutMs` passes; the drive runs in real time.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        if (condition())
            return true;
        QTest::qWait(100);
    }
    return condition();
}

QByteArray Frame(const char* text)
{
    return kv::HexFrameToBytes(QString::fromLatin1(text));
}

bool CrcValid(const QByteArray& frame)
{
    return frame.size() >= 4 && Frame(frame.left(frame.size() - 2).toHex().constData()) == frame;
}

const QByteArray kPoll = QByteArray::fromHex("010300040006" "8409");

} // namespace

class TestDriveSim : public QObject {
    Q_OBJECT

private slots:
    void liveBlockAndParameters()
    {
        SimProcess sim;
        QVERIFY2(sim.start({}), qPrintable(sim.error()));
        Master m(sim.path());
        QVERIFY(m.ok());
        std::uint16_t live[6] = {};
        QCOMPARE(m.read(kv::kRegLiveBlockStart, 6, live), 6);
        QCOMPARE(live[0], std::uint16_t(0));
        QVERIFY(live[2] > 520 && live[2] < 560);
        QVERIFY(live[3] >= 350 && live[3] <= 650);
        QCOMPARE(live[5], std::uint16_t(0x1240));
        QCOMPARE(m.readOne(kv::ParameterRegister(9802)), 1);
        QCOMPARE(m.readOne(kv::ParameterRegister(5303)), 9600);
        QCOMPARE(m.readOne(kv::ParameterRegister(9906)), 84);
        QCOMPARE(m.readOne(0x13ED), 0); // 5102, the catalogue's irregular row
        std::uint16_t three[3] = {};
        QCOMPARE(m.read(kv::ParameterRegister(5310), 3, three), 3);
        QCOMPARE(three[0], std::uint16_t(103));
        QCOMPARE(three[2], std::uint16_t(107));
        QCOMPARE(sim.stop(), 0);
    }

    void exceptionReplies()
    {
        SimProcess sim;
        QVERIFY2(sim.start({}), qPrintable(sim.error()));
        Master m(sim.path());
        QVERIFY(m.ok());
        std::uint16_t v[10] = {};
        int error = 0;
        QCOMPARE(m.read(2, 2, v, &error), -1);
        QCOMPARE(error, EMBXILADD);
        QCOMPARE(m.read(0, 10, v, &error), -1);
        QCOMPARE(error, EMBXILADD);
        QCOMPARE(modbus_read_input_registers(m.ctx(), 4, 6, v), -1);
        QCOMPARE(errno, EMBXILFUN);
        QCOMPARE(modbus_write_bit(m.ctx(), 0, 1), -1);
        QCOMPARE(errno, EMBXILFUN);
        QCOMPARE(modbus_write_register(m.ctx(), kv::kRegFrequencyReference, 20001), -1);
        QCOMPARE(errno, EMBXILVAL);
        // The server still answers afterwards.
        QCOMPARE(m.readOne(kv::ParameterRegister(9802)), 1);
    }

    void startRampStopFaultReset()
    {
        SimProcess sim;
        QVERIFY2(sim.start({"--fault-code", "7"}), qPrintable(sim.error()));
        Master m(sim.path());
        QVERIFY(m.ok());
        auto status = [&m] { return m.readOne(kv::kRegStatusWord); };
        auto bit = [&](int b) { const int s = status(); return s >= 0 && kv::BitSet(std::uint16_t(s), b); };

        // Faster ramps keep the test short: 1 s from 0 to 50 Hz.
        QVERIFY(m.write(kv::ParameterRegister(2202), 10));
        QVERIFY(m.write(kv::ParameterRegister(2203), 10));
        QVERIFY(m.write(kv::kRegFrequencyReference, 20000));
        QVERIFY(m.write(kv::kRegControlWord, kv::kCwStartPrepare));
        QVERIFY(bit(kv::kSwReadyToSwitchOn));
        QVERIFY(m.write(kv::kRegControlWord, kv::kCwStartRun));
        QVERIFY(bit(kv::kSwReadyForReference));
        QVERIFY(WaitFor([&] { return m.readOne(kv::kRegOutputFrequency) == 500; }));
        QVERIFY(bit(kv::kSwAtSetpoint));
        QVERIFY(m.readOne(kv::kRegCurrent) > 0);

        QVERIFY(m.write(kv::kRegControlWord, kv::kCwStop));
        QVERIFY(!bit(kv::kSwReadyForReference));
        QVERIFY(WaitFor([&] { return m.readOne(kv::kRegOutputFrequency) == 0; }));
        QCOMPARE(m.readOne(kv::kRegCurrent), 0);

        sim.signal(SIGUSR1);
        QVERIFY(WaitFor([&] { return bit(kv::kSwFault); }));
        QCOMPARE(m.readOne(kv::ParameterRegister(401)), 7);
        QVERIFY(m.write(kv::kRegControlWord, kv::kCwStop));
        QVERIFY(bit(kv::kSwFault));
        QVERIFY(m.write(kv::kRegControlWord, kv::kCwFaultReset));
        QVERIFY(!bit(kv::kSwFault));
        QVERIFY(bit(kv::kSwSwitchOnInhibited));

        QVERIFY(m.write(kv::kRegControlWord, kv::kCwStartPrepare));
        QVERIFY(m.write(kv::kRegControlWord, kv::kCwStartRun));
        QVERIFY(WaitFor([&] { return m.readOne(kv::kRegOutputFrequency) > 0; }));
        QCOMPARE(sim.stop(), 0);
    }

    void faultAfterRunning()
    {
        SimProcess sim;
        QVERIFY2(sim.start({"--fault-after", "0.5", "--fault-code", "9"}), qPrintable(sim.error()));
        Master m(sim.path());
        QVERIFY(m.ok());
        QVERIFY(m.write(kv::kRegControlWord, kv::kCwStartPrepare));
        QVERIFY(m.write(kv::kRegControlWord, kv::kCwStartRun));
        QVERIFY(WaitFor([&] { return kv::BitSet(std::uint16_t(m.readOne(kv::kRegStatusWord)), kv::kSwFault); }));
        QCOMPARE(m.readOne(kv::ParameterRegister(401)), 9);
    }

    void silenceForOtherStationsAndBadCrc()
    {
        SimProcess sim;
        QVERIFY2(sim.start({}), qPrintable(sim.error()));
        {
            Master other(sim.path(), 2);
            QVERIFY(other.ok());
            int error = 0;
            std::uint16_t v[6];
            modbus_set_response_timeout(other.ctx(), 0, 400000);  // waits for what does not come
            QCOMPARE(other.read(4, 6, v, &error), -1);
            QCOMPARE(error, ETIMEDOUT);
            // Right after the unanswered request, station 1 answers as usual.
            modbus_set_response_timeout(other.ctx(), 5, 0);
            modbus_set_slave(other.ctx(), 1);
            QCOMPARE(other.read(4, 6, v, &error), 6);
        }
        LineClient line(sim.path());
        QVERIFY(line.isOpen());
        QVERIFY(line.write(QByteArray::fromHex("0103000400060000")));
        QCOMPARE(line.readQuiet(300, 50), QByteArray());
        QVERIFY(line.write(QByteArray::fromHex("0103000400060984"))); // CRC bytes swapped
        QCOMPARE(line.readQuiet(300, 50), QByteArray());
        QVERIFY(line.write(QByteArray::fromHex("FF00FF")));
        QCOMPARE(line.readQuiet(300, 50), QByteArray());
        QVERIFY(line.write(kPoll));
        const QByteArray reply = line.read(17);
        QCOMPARE(reply.size(), 17);
        QVERIFY(CrcValid(reply));
        // The drive counted the two frames with a bad CRC (parameter 5307).
        QVERIFY(line.write(Frame("010314BA0001")));
        QCOMPARE(line.read(7).toHex(), Frame("0103020002").toHex());
    }

    void stationOption()
    {
        SimProcess sim;
        QVERIFY2(sim.start({"--station", "5"}), qPrintable(sim.error()));
        LineClient line(sim.path());
        QVERIFY(line.write(kPoll));
        QCOMPARE(line.readQuiet(300, 50), QByteArray());
        QVERIFY(line.write(Frame("050300040006")));
        const QByteArray reply = line.read(17);
        QCOMPARE(reply.left(3).toHex(), QByteArray("05030c"));
        QVERIFY(CrcValid(reply));
        QVERIFY(line.write(Frame("050314B50001"))); // 5302 shows the station
        QCOMPARE(line.read(7).toHex(), Frame("0503020005").toHex());
    }

    void dropOption()
    {
        SimProcess sim;
        QVERIFY2(sim.start({"--drop", "1"}), qPrintable(sim.error()));
        LineClient line(sim.path());
        QVERIFY(line.write(kPoll));
        QCOMPARE(line.readQuiet(400, 50), QByteArray());
        QVERIFY(line.write(kPoll));
        QVERIFY(CrcValid(line.read(17)));
    }

    void badCrcOption()
    {
        SimProcess sim;
        QVERIFY2(sim.start({"--bad-crc", "/2"}), qPrintable(sim.error()));
        LineClient line(sim.path());
        QVERIFY(line.write(kPoll));
        QVERIFY(CrcValid(line.read(17)));
        QVERIFY(line.write(kPoll));
        const QByteArray bad = line.read(17);
        QCOMPARE(bad.size(), 17);
        QVERIFY(!CrcValid(bad));
        QCOMPARE(bad.left(3).toHex(), QByteArray("01030c"));
        QVERIFY(line.write(kPoll));
        QVERIFY(CrcValid(line.read(17)));
    }

    void strayOption()
    {
        SimProcess sim;
        QVERIFY2(sim.start({"--stray", "3@1", "--seed", "5"}), qPrintable(sim.error()));
        LineClient line(sim.path());
        QVERIFY(line.write(kPoll));
        const QByteArray first = line.read(20);
        QCOMPARE(first.size(), 20);
        QVERIFY(CrcValid(first.mid(3)));
        QVERIFY(line.write(kPoll));
        const QByteArray second = line.readQuiet(1000, 100);
        QCOMPARE(second.size(), 17);
        QVERIFY(CrcValid(second));
    }

    void strayBytesAreReproducible()
    {
        QByteArray runs[2];
        for (QByteArray& run : runs) {
            SimProcess sim;
            QVERIFY2(sim.start({"--stray", "4@50%", "--seed", "11"}), qPrintable(sim.error()));
            LineClient line(sim.path());
            for (int i = 0; i < 6; ++i) {
                QVERIFY(line.write(Frame("010326490001")));
                run += line.readQuiet(1000, 100) + '|';
            }
        }
        QCOMPARE(runs[0].toHex(), runs[1].toHex());
        QVERIFY(runs[0].size() > 6 * 8); // some replies carried stray bytes
    }

    void delayOption()
    {
        SimProcess sim;
        QVERIFY2(sim.start({"--delay", "700@1"}), qPrintable(sim.error()));
        LineClient line(sim.path());
        QVERIFY(line.write(kPoll));
        // Not within the tool's 150 ms poll window...
        QCOMPARE(line.readQuiet(200, 50), QByteArray());
        // ...but whole, later.
        const QByteArray late = line.read(17, 3000);
        QCOMPARE(late.size(), 17);
        QVERIFY(CrcValid(late));
    }

    void splitOption()
    {
        SimProcess sim;
        QVERIFY2(sim.start({"--split", "600@1"}), qPrintable(sim.error()));
        LineClient line(sim.path());
        QVERIFY(line.write(kPoll));
        const QByteArray first = line.readQuiet(3000, 250);
        QCOMPARE(first.size(), 8);
        const QByteArray rest = line.read(9, 3000);
        QCOMPARE(rest.size(), 9);
        QVERIFY(CrcValid(first + rest));
    }

    void verboseLog()
    {
        SimProcess sim;
        QVERIFY2(sim.start({"--verbose"}), qPrintable(sim.error()));
        LineClient line(sim.path());
        QVERIFY(line.write(kPoll));
        QCOMPARE(line.read(17).size(), 17);
        QVERIFY(line.write(Frame("020300040006")));
        QTest::qWait(200);
        QCOMPARE(sim.stop(), 0);
        const QString log = QString::fromLocal8Bit(sim.log());
        QVERIFY2(QRegularExpression(R"(\d\d:\d\d:\d\d\.\d{3} <- 01 03 00 04 00 06 84 09)").match(log).hasMatch(),
                 qPrintable(log));
        QVERIFY(QRegularExpression(R"(\d\d:\d\d:\d\d\.\d{3} -> 01 03 0C )").match(log).hasMatch());
        QVERIFY(log.contains("ignored: for station 2"));
    }

    void linkMadeAndRemoved()
    {
        QTemporaryDir dir;
        const QString link = dir.filePath("COM3");
        SimProcess sim;
        QVERIFY2(sim.start({"--link", link}), qPrintable(sim.error()));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(QFileInfo(link).symLinkTarget(), sim.path());
        Master m(link);
        QVERIFY(m.ok());
        QCOMPARE(m.readOne(kv::ParameterRegister(9802)), 1);
        QCOMPARE(sim.stop(), 0);
        QVERIFY(!QFileInfo(link).isSymLink() && !QFileInfo::exists(link));
    }

    void linkNeverReplacesAFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("COM3");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("keep");
        f.close();
        QProcess p;
        p.start(kv::test::DriveSimPath(), {"--link", path});
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(p.readAllStandardError().contains("not a symbolic link"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("keep"));
    }

    void badOptionsAreRefused()
    {
        QProcess p;
        p.start(kv::test::DriveSimPath(), {"--station", "300"});
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(p.readAllStandardError().contains("--station"));
    }

    void realDeviceOption()
    {
        // --port opens a terminal device as it would open a USB adapter.
        kv::test::Pty pty;
        QVERIFY(pty.isValid());
        SimProcess sim;
        QVERIFY2(sim.start({"--port", pty.slavePath(), "--station", "9"}), qPrintable(sim.error()));
        QCOMPARE(sim.path(), pty.slavePath());
        QVERIFY(pty.write(Frame("090300040006")));
        const QByteArray reply = pty.read(17);
        QCOMPARE(reply.left(3).toHex(), QByteArray("09030c"));
        QVERIFY(CrcValid(reply));
        QCOMPARE(sim.stop(), 0);

        QProcess p;
        p.start(kv::test::DriveSimPath(), {"--port", "/nonexistent/ttyUSB9"});
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(p.readAllStandardError().contains("cannot open /nonexistent/ttyUSB9"));
    }

    void faultRecordAfterTrips()
    {
        QElapsedTimer sinceStart;
        sinceStart.start();
        SimProcess sim;
        QVERIFY2(sim.start({"--fault-after", "3", "--fault-code", "9"}), qPrintable(sim.error()));
        Master m(sim.path());
        QVERIFY(m.ok());
        QVERIFY(m.write(kv::ParameterRegister(2202), 0)); // no ramp: 25 Hz at once
        QVERIFY(m.write(kv::kRegFrequencyReference, 10000));
        QVERIFY(m.write(kv::kRegControlWord, kv::kCwStartPrepare));
        QVERIFY(m.write(kv::kRegControlWord, kv::kCwStartRun));
        std::uint16_t live[6] = {};
        QCOMPARE(m.read(kv::kRegLiveBlockStart, 6, live), 6);
        QVERIFY(!kv::BitSet(live[5], kv::kSwAlarm)); // read early in the run, before the overload
        QVERIFY(WaitFor([&] { return kv::BitSet(std::uint16_t(m.readOne(kv::kRegStatusWord)), kv::kSwFault); }, 60000));

        std::uint16_t r[13] = {}; // 0401..0413 in one read
        QCOMPARE(m.read(0x0190, 13, r), 13);
        const int ticks = int(sinceStart.elapsed() / 2000) + 1;
        QCOMPARE(QList<int>({r[0], r[1], r[3], r[4], r[8], r[9], r[10], r[11], r[12]}),
                 QList<int>({9, 128, 730, 250, 0x13B7, 100, 0, 0, 0}));
        QVERIFY2(r[2] >= 1 && r[2] <= ticks, qPrintable(QString::number(r[2]))); // 3 s of running or more
        QVERIFY2(r[5] >= 525 && r[5] <= 550, qPrintable(QString::number(r[5])));
        // The overload that tripped it: 2.5 times the running current.
        QVERIFY2(std::abs(r[6] - 2.5 * live[1]) <= 0.05 * 2.5 * live[1], qPrintable(QString::number(r[6])));

        // Reset, start, trip at once: no overload, the first fault moves down.
        for (std::uint16_t word : {kv::kCwStop, kv::kCwFaultReset, kv::kCwStartPrepare, kv::kCwStartRun})
            QVERIFY(m.write(kv::kRegControlWord, word));
        sim.signal(SIGUSR1);
        QVERIFY(sim.waitForLog(QStringLiteral("station 1: drive tripped on request: fault 9"), 1));
        QCOMPARE(m.read(0x0190, 13, r), 13);
        QVERIFY2(std::abs(r[6] - live[1]) <= 0.05 * live[1], qPrintable(QString::number(r[6])));
        QCOMPARE(QList<int>({r[0], r[11], r[12]}), QList<int>({9, 9, 0}));
    }

    void severalStationsOnOneLine()
    {
        SimProcess sim;
        QVERIFY2(sim.start({"--station", "3,17", "--fault-after", "0.5@17"}), qPrintable(sim.error()));
        LineClient line(sim.path());
        auto ask = [&line](const char* frame, int size) {
            return line.write(Frame(frame)) ? line.read(size).toHex() : QByteArray();
        };
        // Nobody answers for station 5: the first bytes back are station 3's reply.
        QVERIFY(line.write(Frame("050314B50001")));
        QCOMPARE(ask("030314B50001", 7), Frame("0303020003").toHex());
        QCOMPARE(ask("110314B50001", 7), Frame("1103020011").toHex());
        // Group 33 in one block each, telling the drives apart.
        QCOMPARE(ask("03030CE40005", 15), Frame("03030A0262010308FF009C0262").toHex());
        QCOMPARE(ask("11030CE40005", 15), Frame("11030A02410101090D00580241").toHex());
        for (const char* start : {"030600000476", "03060000047F", "110600000476", "11060000047F"})
            QCOMPARE(ask(start, 8), Frame(start).toHex());
        // Both run; only 17 trips.
        QVERIFY(WaitFor([&] { return ask("110300090001", 7).mid(8, 2).toInt(nullptr, 16) & (1 << kv::kSwFault); }, 60000));
        const int three = ask("030300090001", 7).mid(6, 4).toInt(nullptr, 16);
        QVERIFY(kv::BitSet(std::uint16_t(three), kv::kSwReadyForReference) && !kv::BitSet(std::uint16_t(three), kv::kSwFault));
        QVERIFY(sim.waitForLog(QStringLiteral("station 17: drive tripped: fault 3"), 1));
        QVERIFY(!sim.log().contains("station 3: drive tripped"));
    }

    void lineSettingsOfTheMaster_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("master");
        QTest::addColumn<QString>("refusal"); // in the log; empty: answered
        QTest::addColumn<QString>("drive");   // the drive's own settings
        // A Linux pseudo-terminal carries the baud rate, the stop bits and the
        // input parity check that tells the parity; not the data bits.
        QTest::newRow("19200,E,8,1") << QStringList{} << "19200,E,8,1"
                                     << "line settings differ: master 19200,E,?,1, drive 9600,N,8,1" << "9600,N,8,1";
        QTest::newRow("9600,N,8,2") << QStringList{} << "9600,N,8,2"
                                    << "line settings differ: master 9600,N,?,2, drive 9600,N,8,1" << "9600,N,8,1";
        QTest::newRow("even at none") << QStringList{} << "9600,E,8,1"
                                      << "line settings differ: master 9600,E,?,1, drive 9600,N,8,1" << "9600,N,8,1";
        QTest::newRow("even at odd") << QStringList{"--parity", "O"} << "9600,E,8,1"
                                     << "line settings differ: master 9600,E,?,1, drive 9600,O,8,1" << "9600,O,8,1";
        QTest::newRow("none at odd") << QStringList{"--parity", "O"} << "9600,N,8,1"
                                     << "line settings differ: master 9600,N,?,1, drive 9600,O,8,1" << "9600,O,8,1";
        QTest::newRow("the drive's own") << QStringList{"--baud", "19200", "--parity", "E"} << "19200,E,8,1" << ""
                                         << "19200,E,8,1";
        QTest::newRow("unpaced: not checked") << QStringList{"--no-pace"} << "19200,E,8,1" << "" << "9600,N,8,1";
    }
    void lineSettingsOfTheMaster()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, master);
        QFETCH(QString, refusal);
        QFETCH(QString, drive);
        SimProcess sim;
        QVERIFY2(sim.start(args), qPrintable(sim.error()));
        LineClient line(sim.path(), master);
        QVERIFY(line.write(kPoll));
        if (!refusal.isEmpty()) {
            QVERIFY2(sim.waitForLog(refusal, 1), sim.log().constData());
            // At the drive's settings: answered, and nothing came before the reply.
            QVERIFY(line.setSettings(drive));
            QVERIFY(line.write(kPoll));
        }
        const QByteArray reply = line.read(17);
        QCOMPARE(reply.left(3).toHex(), QByteArray("01030c"));
        QVERIFY(CrcValid(reply));
    }

    void rtuOverTcp()
    {
        SimProcess sim;
        QVERIFY2(sim.start({"--tcp", "0", "--split", "60000@3-3"}), qPrintable(sim.error()));
        QVERIFY2(sim.path().startsWith("127.0.0.1:") && sim.tcpPort() > 0, qPrintable(sim.path()));
        LineClient first(sim.tcpPort());
        QVERIFY(first.write(Frame("010600012710")));
        QCOMPARE(first.read(8).toHex(), Frame("010600012710").toHex());
        QVERIFY(first.write(Frame("010300010001")));
        QCOMPARE(first.read(7).toHex(), Frame("0103022710").toHex());
        // A second client while the first is connected is refused.
        LineClient second(sim.tcpPort());
        QVERIFY(second.waitForClose());
        QVERIFY(sim.waitForLog(QStringLiteral("refused a client from 127.0.0.1:"), 1));
        // The first goes away in the middle of a reply (its second half due a minute later).
        QVERIFY(first.write(kPoll));
        QCOMPARE(first.read(8).size(), 8);
        first.close();
        QVERIFY(sim.waitForLog(QStringLiteral("went away during a reply"), 1));
        LineClient third(sim.tcpPort());
        QVERIFY(third.write(kPoll));
        QVERIFY(CrcValid(third.read(17)));
        QCOMPARE(sim.stop(), 0);
    }

    void pymodbusClient()
    {
        const QString python = QStringLiteral("/usr/bin/python3");
        const QString script = QStringLiteral(KV_SOURCE_DIR "/tests/e2e/pymodbus_client.py");
        SimProcess sim;
        QVERIFY2(sim.start({}), qPrintable(sim.error()));
        QProcess p;
        p.start(python, {script, sim.path()});
        QVERIFY(p.waitForFinished(30000));
        const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        QVERIFY2(p.exitCode() == 0, qPrintable(out + err + "\n(python3-pymodbus comes with scripts/setup-deps.sh)"));
        const QStringList lines = out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.value(0), QString("9802 1"));
        QCOMPARE(lines.value(1), QString("status 1240"));
        QCOMPARE(lines.value(2), QString("exception 2"));
        QCOMPARE(lines.value(3), QString("running 1237"));
    }
};

QTEST_GUILESS_MAIN(TestDriveSim)
#include "test_drivesim.moc"

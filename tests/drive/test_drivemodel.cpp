// The simulated drive's model alone: registers, control-word state machine,
// ramp, actual values, status word and faults, with time advanced by hand.
#include "drive/catalogue.h"
#include "drive/registermap.h"
#include "tools/drive-sim/drivemodel.h"

#include <QtTest>

#include <algorithm>
#include <vector>

using kv::sim::DriveModel;
using kv::sim::DriveState;
using kv::sim::WriteResult;

Q_DECLARE_METATYPE(kv::sim::DriveState)

namespace {

std::vector<int> Codes()
{
    std::vector<int> codes;
    for (int code : kv::CatalogueParameterCodes())
        codes.push_back(code);
    return codes;
}

std::uint16_t Param(const DriveModel& m, int code)
{
    return m.read(kv::ParameterRegister(code));
}

void Start(DriveModel& m, std::uint16_t reference)
{
    QCOMPARE(m.write(kv::kRegFrequencyReference, reference), WriteResult::Ok);
    QCOMPARE(m.write(kv::kRegControlWord, kv::kCwStartPrepare), WriteResult::Ok);
    QCOMPARE(m.write(kv::kRegControlWord, kv::kCwStartRun), WriteResult::Ok);
}

std::uint16_t Bits(std::initializer_list<int> bits)
{
    std::uint16_t w = 0;
    for (int b : bits)
        w = static_cast<std::uint16_t>(w | (1u << b));
    return w;
}

} // namespace

class TestDriveModel : public QObject {
    Q_OBJECT

private slots:
    void everyCatalogueParameterIsReadable()
    {
        DriveModel m(Codes());
        const QList<int> codes = kv::CatalogueParameterCodes();
        QCOMPARE(codes.size(), 415);
        for (int code : codes)
            QVERIFY2(m.isReadable(code - 1), qPrintable(QString::number(code)));
    }

    void helpTextSettings_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("value");
        // The communication, polled-values and control settings the tool's
        // help window asks for.
        QTest::newRow("9802") << 9802 << 1;
        QTest::newRow("5302") << 5302 << 1;
        QTest::newRow("5305") << 5305 << 0;
        QTest::newRow("5303") << 5303 << 9600;
        QTest::newRow("5304") << 5304 << 0;
        QTest::newRow("5310") << 5310 << 103;
        QTest::newRow("5311") << 5311 << 104;
        QTest::newRow("5312") << 5312 << 107;
        QTest::newRow("5313") << 5313 << 120;
        QTest::newRow("5314") << 5314 << 121;
        QTest::newRow("5315") << 5315 << 5320;
        QTest::newRow("1102") << 1102 << 0;
        QTest::newRow("1001") << 1001 << 10;
        QTest::newRow("1103") << 1103 << 8;
        QTest::newRow("1604") << 1604 << 8;
        QTest::newRow("9906 rated current 8.4 A") << 9906 << 84;
        QTest::newRow("2202 acceleration 5.0 s") << 2202 << 50;
        QTest::newRow("0118 DI 1-3: DI1 (run enable) closed") << 118 << 100;
        QTest::newRow("0143 on-time days at power-up") << 143 << 128;
    }
    void helpTextSettings()
    {
        QFETCH(int, code);
        QFETCH(int, value);
        DriveModel m(Codes());
        QCOMPARE(int(Param(m, code)), value);
    }

    void registersOutsideTheMap_data()
    {
        QTest::addColumn<int>("reg");
        QTest::newRow("2") << 2;
        QTest::newRow("3") << 3;
        QTest::newRow("10") << 10;
        QTest::newRow("99, below parameter 0101") << 99;
        QTest::newRow("0115 for the missing 0116") << 0x0073;
        QTest::newRow("5103, inside the 5102-5126 row") << 5102;
        QTest::newRow("9915, after the last code") << 9915;
        QTest::newRow("0xFFFF") << 0xFFFF;
        QTest::newRow("negative") << -1;
    }
    void registersOutsideTheMap()
    {
        QFETCH(int, reg);
        DriveModel m(Codes());
        QVERIFY(!m.isReadable(reg));
        QCOMPARE(m.write(reg, 1), WriteResult::IllegalAddress);
    }

    void writes_data()
    {
        QTest::addColumn<int>("reg");
        QTest::addColumn<int>("value");
        QTest::addColumn<WriteResult>("result");
        QTest::newRow("reference 50 Hz") << 1 << 20000 << WriteResult::Ok;
        QTest::newRow("reference above 50 Hz") << 1 << 20001 << WriteResult::IllegalValue;
        QTest::newRow("control word") << 0 << 0x0477 << WriteResult::Ok;
        QTest::newRow("live block") << 4 << 1 << WriteResult::IllegalAddress;
        QTest::newRow("status word") << 9 << 1 << WriteResult::IllegalAddress;
        QTest::newRow("actual value 0103") << 0x0066 << 1 << WriteResult::ReadOnly;
        QTest::newRow("fault log 0401") << 0x0190 << 1 << WriteResult::ReadOnly;
        QTest::newRow("information 3301") << 3300 << 1 << WriteResult::ReadOnly;
        QTest::newRow("good messages 5306") << 5305 << 1 << WriteResult::ReadOnly;
        QTest::newRow("acceleration time 2202") << 2201 << 100 << WriteResult::Ok;
    }
    void writes()
    {
        QFETCH(int, reg);
        QFETCH(int, value);
        QFETCH(WriteResult, result);
        DriveModel m(Codes());
        QCOMPARE(m.write(reg, static_cast<std::uint16_t>(value)), result);
        if (result == WriteResult::Ok)
            QCOMPARE(int(m.read(reg)), value);
    }

    void controlWordSequences_data()
    {
        QTest::addColumn<QList<int>>("words");
        QTest::addColumn<DriveState>("state");
        QTest::addColumn<int>("status");
        using kv::StatusBit;
        const int common = kv::kSwRemote, ext = kv::kSwExtRunEnable;
        QTest::newRow("power-up") << QList<int>{} << DriveState::SwitchOnInhibited
                                  << int(Bits({kv::kSwSwitchOnInhibited, common, ext}));
        QTest::newRow("0476") << QList<int>{0x0476} << DriveState::ReadyToSwitchOn
                              << int(Bits({0, 4, 5, common, ext}));
        QTest::newRow("0476 047F starts (reference 0: at setpoint)")
            << QList<int>{0x0476, 0x047F} << DriveState::OperationEnabled
            << int(Bits({0, 1, 2, 4, 5, kv::kSwAtSetpoint, common, ext}));
        QTest::newRow("047F alone does not start") << QList<int>{0x047F} << DriveState::SwitchOnInhibited
                                                   << int(Bits({4, 5, 6, common, ext}));
        QTest::newRow("0476 047F 0477 stops") << QList<int>{0x0476, 0x047F, 0x0477} << DriveState::ReadyToOperate
                                              << int(Bits({0, 1, 4, 5, common, ext}));
        QTest::newRow("0476 0477: switched on, not enabled") << QList<int>{0x0476, 0x0477}
                                                             << DriveState::ReadyToOperate
                                                             << int(Bits({0, 1, 4, 5, common, ext}));
        QTest::newRow("stop then 047F runs again") << QList<int>{0x0476, 0x047F, 0x0477, 0x047F}
                                                   << DriveState::OperationEnabled
                                                   << int(Bits({0, 1, 2, 4, 5, 8, common, ext}));
        QTest::newRow("OFF2 047D") << QList<int>{0x0476, 0x047F, 0x047D} << DriveState::SwitchOnInhibited
                                   << int(Bits({5, 6, common, ext}));
        QTest::newRow("OFF3 047B") << QList<int>{0x0476, 0x047F, 0x047B} << DriveState::SwitchOnInhibited
                                   << int(Bits({4, 6, common, ext}));
        QTest::newRow("OFF1 while running") << QList<int>{0x0476, 0x047F, 0x0476} << DriveState::ReadyToSwitchOn
                                            << int(Bits({0, 4, 5, common, ext}));
    }
    void controlWordSequences()
    {
        QFETCH(QList<int>, words);
        QFETCH(DriveState, state);
        QFETCH(int, status);
        DriveModel m(Codes());
        for (int w : words)
            QCOMPARE(m.write(kv::kRegControlWord, static_cast<std::uint16_t>(w)), WriteResult::Ok);
        QCOMPARE(m.state(), state);
        QCOMPARE(QString::number(m.read(kv::kRegStatusWord), 16), QString::number(status, 16));
        QCOMPARE(m.read(kv::kRegStatusWord), Param(m, 5320)); // 5315 maps the status word from 5320
    }

    void rampsAtTheParameterTimes()
    {
        DriveModel m(Codes());
        Start(m, 20000); // 50 Hz; 5 s from 0 to 50 Hz
        m.advance(1.0);
        QCOMPARE(int(m.read(kv::kRegOutputFrequency)), 100);
        QVERIFY(!kv::BitSet(m.statusWord(), kv::kSwAtSetpoint));
        m.advance(4.0);
        QCOMPARE(int(m.read(kv::kRegOutputFrequency)), 500);
        QVERIFY(kv::BitSet(m.statusWord(), kv::kSwAtSetpoint));
        QCOMPARE(int(Param(m, 103)), 500);

        // A slower deceleration set through its register stretches the stop.
        QCOMPARE(m.write(kv::ParameterRegister(2203), 100), WriteResult::Ok); // 10 s
        QCOMPARE(m.write(kv::kRegControlWord, kv::kCwStop), WriteResult::Ok);
        QCOMPARE(m.state(), DriveState::ReadyToOperate);
        m.advance(2.0);
        QCOMPARE(int(m.read(kv::kRegOutputFrequency)), 400);
        QVERIFY(!kv::BitSet(m.statusWord(), kv::kSwReadyForReference));
        m.advance(8.0);
        QCOMPARE(int(m.read(kv::kRegOutputFrequency)), 0);
        QCOMPARE(int(m.read(kv::kRegCurrent)), 0);
    }

    void referenceChangeWhileRunning()
    {
        DriveModel m(Codes());
        Start(m, 20000);
        m.advance(6.0);
        QCOMPARE(m.write(kv::kRegFrequencyReference, 10000), WriteResult::Ok); // 25 Hz
        m.advance(1.0);                                                          // 10 Hz per second down
        QCOMPARE(int(m.read(kv::kRegOutputFrequency)), 400);
        m.advance(2.0);
        QCOMPARE(int(m.read(kv::kRegOutputFrequency)), 250);
        QCOMPARE(int(Param(m, 110)), 250);
    }

    void coastStopWhenChosen()
    {
        DriveModel m(Codes());
        QCOMPARE(m.write(kv::ParameterRegister(2102), 1), WriteResult::Ok);
        Start(m, 20000);
        m.advance(6.0);
        QCOMPARE(m.write(kv::kRegControlWord, kv::kCwStop), WriteResult::Ok);
        QCOMPARE(m.outputFrequencyHz(), 0.0);
    }

    void emergencyStopUsesItsOwnRamp()
    {
        DriveModel m(Codes());
        Start(m, 20000);
        m.advance(6.0);
        QCOMPARE(m.write(kv::kRegControlWord, 0x047B), WriteResult::Ok); // OFF3, 1 s from 50 Hz
        m.advance(0.5);
        QCOMPARE(int(m.read(kv::kRegOutputFrequency)), 250);
        m.advance(0.6);
        QCOMPARE(int(m.read(kv::kRegOutputFrequency)), 0);
        QCOMPARE(m.state(), DriveState::SwitchOnInhibited);
    }

    void rampControlBits()
    {
        DriveModel m(Codes());
        Start(m, 20000);
        m.advance(2.0); // 20 Hz
        QCOMPARE(m.write(kv::kRegControlWord, 0x045F), WriteResult::Ok); // bit 5 clear: hold
        m.advance(2.0);
        QCOMPARE(int(m.read(kv::kRegOutputFrequency)), 200);
        QCOMPARE(m.write(kv::kRegControlWord, 0x043F), WriteResult::Ok); // bit 6 clear: input zero
        m.advance(1.0);
        QCOMPARE(int(m.read(kv::kRegOutputFrequency)), 100);
        QCOMPARE(m.write(kv::kRegControlWord, 0x046F), WriteResult::Ok); // bit 4 clear: output zero
        m.advance(0.1);
        QCOMPARE(int(m.read(kv::kRegOutputFrequency)), 0);
    }

    void currentFollowsFrequencyAndAcceleration()
    {
        DriveModel m(Codes());
        QCOMPARE(m.currentA(), 0.0);
        Start(m, 10000); // 25 Hz
        m.advance(1.0);
        const double accelerating = m.currentA();
        m.advance(5.0);
        const double at25 = m.currentA();
        QVERIFY2(accelerating > at25, qPrintable(QString("%1 %2").arg(accelerating).arg(at25)));
        QCOMPARE(m.write(kv::kRegFrequencyReference, 20000), WriteResult::Ok);
        m.advance(5.0);
        const double at50 = m.currentA();
        QVERIFY(at50 > at25);
        // Within the motor's rating at full speed, and what register 5 shows.
        QVERIFY(at50 > 0.5 * 8.4 && at50 < 8.4);
        QCOMPARE(int(m.read(kv::kRegCurrent)), int(std::lround(at50 * 10)));
    }

    void dcVoltageNear540WithRipple()
    {
        DriveModel m(Codes());
        Start(m, 20000);
        int lo = 100000, hi = 0;
        for (int i = 0; i < 120; ++i) {
            m.advance(0.5);
            const int v = m.read(kv::kRegDcVoltage);
            lo = std::min(lo, v);
            hi = std::max(hi, v);
        }
        QVERIFY2(lo >= 525 && hi <= 550, qPrintable(QString("%1..%2").arg(lo).arg(hi)));
        QVERIFY2(hi - lo >= 3, "the DC voltage should ripple");
    }

    void analogueInputsMoveSlowly()
    {
        DriveModel m(Codes());
        int prev = m.read(kv::kRegAi1);
        int lo1 = prev, hi1 = prev, lo2 = 100000, hi2 = 0, maxStep = 0;
        for (int i = 0; i < 240; ++i) {
            m.advance(0.5);
            const int a1 = m.read(kv::kRegAi1);
            const int a2 = m.read(kv::kRegAi2);
            maxStep = std::max(maxStep, std::abs(a1 - prev));
            prev = a1;
            lo1 = std::min(lo1, a1), hi1 = std::max(hi1, a1);
            lo2 = std::min(lo2, a2), hi2 = std::max(hi2, a2);
        }
        // x 0.001 x 10: AI1 between 3.5 and 6.5 V; x 0.001 x 24: AI2 between 11.5 and 17.3 mA.
        QVERIFY(lo1 >= 350 && hi1 <= 650 && hi1 - lo1 > 100);
        QVERIFY(lo2 >= 480 && hi2 <= 720 && hi2 - lo2 > 100);
        QVERIFY2(maxStep <= 15, qPrintable(QString::number(maxStep)));
        QCOMPARE(m.read(kv::kRegAi1), Param(m, 120));
    }

    void aboveLimitOver45Hz()
    {
        DriveModel m(Codes());
        Start(m, 16000); // 40 Hz
        m.advance(10.0);
        QVERIFY(!kv::BitSet(m.statusWord(), kv::kSwAboveLimit));
        QCOMPARE(m.write(kv::kRegFrequencyReference, 20000), WriteResult::Ok);
        m.advance(10.0);
        QVERIFY(kv::BitSet(m.statusWord(), kv::kSwAboveLimit));
    }

    void tripAndReset()
    {
        DriveModel m(Codes());
        Start(m, 20000);
        m.advance(3.0); // 30 Hz
        m.trip(2);
        QCOMPARE(m.state(), DriveState::Fault);
        const std::uint16_t sw = m.statusWord();
        QVERIFY(kv::BitSet(sw, kv::kSwFault));
        QVERIFY(!kv::BitSet(sw, kv::kSwReadyToSwitchOn) && !kv::BitSet(sw, kv::kSwReadyToRun)
                && !kv::BitSet(sw, kv::kSwReadyForReference));
        QCOMPARE(int(m.read(kv::kRegOutputFrequency)), 0);
        QCOMPARE(int(Param(m, 401)), 2);
        QCOMPARE(int(Param(m, 405)), 300);

        // Start words do nothing while tripped.
        QCOMPARE(m.write(kv::kRegControlWord, kv::kCwStartPrepare), WriteResult::Ok);
        QCOMPARE(m.write(kv::kRegControlWord, kv::kCwStartRun), WriteResult::Ok);
        m.advance(1.0);
        QCOMPARE(m.state(), DriveState::Fault);

        // The tool's fault reset: 0477 then 04F7.
        QCOMPARE(m.write(kv::kRegControlWord, kv::kCwStop), WriteResult::Ok);
        QCOMPARE(m.state(), DriveState::Fault);
        QCOMPARE(m.write(kv::kRegControlWord, kv::kCwFaultReset), WriteResult::Ok);
        QCOMPARE(m.state(), DriveState::SwitchOnInhibited);
        QVERIFY(!kv::BitSet(m.statusWord(), kv::kSwFault));

        Start(m, 20000);
        QCOMPARE(m.state(), DriveState::OperationEnabled);
        m.trip(5);
        QCOMPARE(int(Param(m, 401)), 5);
        QCOMPARE(int(Param(m, 412)), 2); // the previous fault moves down the history
        QCOMPARE(int(Param(m, 413)), 0);
        QCOMPARE(m.write(kv::kRegControlWord, kv::kCwStop), WriteResult::Ok);
        QCOMPARE(m.write(kv::kRegControlWord, kv::kCwFaultReset), WriteResult::Ok);
        m.trip(7);
        QCOMPARE(int(Param(m, 401)), 7);
        QCOMPARE(int(Param(m, 412)), 5);
        QCOMPARE(int(Param(m, 413)), 2);
    }

    void faultRecord_data()
    {
        QTest::addColumn<int>("reference");     // 0: never started
        QTest::addColumn<double>("faultAfter"); // 0: tripped by hand at the end
        QTest::addColumn<double>("seconds");
        QTest::addColumn<int>("inputs");        // DI1..DI6 as bits 0..5
        QTest::addColumn<QList<int>>("record"); // 0401..0405, 0409..0411
        QTest::addColumn<double>("overload");   // 0407, 0408 against the running current and torque
        // 0402/0403: the on-time counter, 128 days at power-up, days and 2 s ticks.
        QTest::newRow("by hand at 25 Hz after 2 min 5 s")
            << 10000 << 0.0 << 125.0 << 0x01 << QList<int>{4, 128, 62, 730, 250, 0x1337, 100, 0} << 1.0;
        QTest::newRow("by hand, stopped, after 2 h")
            << 0 << 0.0 << 7201.0 << 0x2A << QList<int>{4, 128, 3600, 0, 0, 0x1240, 10, 101} << 1.0;
        QTest::newRow("timed, 20 s after a start at 50 Hz: alarm, above limit, overload")
            << 20000 << 20.0 << 21.0 << 0x01 << QList<int>{4, 128, 10, 1460, 500, 0x17B7, 100, 0} << 2.5;
    }
    void faultRecord()
    {
        QFETCH(int, reference);
        QFETCH(double, faultAfter);
        QFETCH(double, seconds);
        QFETCH(int, inputs);
        QFETCH(QList<int>, record);
        QFETCH(double, overload);
        DriveModel m(Codes());
        m.setDigitalInputs(static_cast<unsigned>(inputs));
        m.setFaultAfterRunning(faultAfter, 4);
        if (reference > 0)
            Start(m, static_cast<std::uint16_t>(reference));
        m.advance(seconds - 2.0); // running values before any overload
        const double current = Param(m, 104), torque = Param(m, 105);
        m.advance(2.0);
        if (faultAfter == 0.0)
            m.trip(4);
        QList<int> r; // one block of 13 from 0x0190, as a master reads it
        for (int reg = 0x0190; reg < 0x0190 + 13; ++reg)
            r << (m.isReadable(reg) ? m.read(reg) : -1);
        QCOMPARE(r.mid(0, 5) + r.mid(8, 5), record + QList<int>(2, 0)); // no faults before
        QVERIFY2(r[5] >= 525 && r[5] <= 550, qPrintable(QString::number(r[5]))); // DC voltage
        QVERIFY(std::abs(r[6] - overload * current) <= 0.03 * overload * current + 1);
        QVERIFY(std::abs(r[7] - overload * torque) <= 0.03 * overload * torque + 1);
    }

    void currentPeaksBeforeATimedTrip_data()
    {
        QTest::addColumn<double>("faultAfter");
        QTest::addColumn<double>("lead"); // half a second; half the run when shorter
        QTest::newRow("after 10 s") << 10.0 << 0.5;
        QTest::newRow("after 0.8 s") << 0.8 << 0.4;
    }
    void currentPeaksBeforeATimedTrip()
    {
        QFETCH(double, faultAfter);
        QFETCH(double, lead);
        DriveModel m(Codes());
        m.setFaultAfterRunning(faultAfter, 1);
        Start(m, 20000);
        m.advance(faultAfter - lead - 0.05);
        QList<int> trace{m.read(kv::kRegCurrent)}; // the running value, then the last part of the run
        for (int i = 0; i < 4; ++i) {
            m.advance(lead / 4);
            trace << m.read(kv::kRegCurrent);
            QVERIFY2(trace[i + 1] > trace[i], qPrintable(QString("%1 -> %2").arg(trace[i]).arg(trace[i + 1])));
        }
        QVERIFY2(trace.last() > 2 * trace.first(), qPrintable(QString::number(trace.last())));
        QCOMPARE(m.state(), DriveState::OperationEnabled);
        m.advance(0.1);
        QCOMPARE(m.state(), DriveState::Fault);
    }

    void resetNeedsARisingEdge()
    {
        DriveModel m(Codes());
        QCOMPARE(m.write(kv::kRegControlWord, kv::kCwFaultReset), WriteResult::Ok);
        m.trip(3);
        QCOMPARE(m.write(kv::kRegControlWord, kv::kCwFaultReset), WriteResult::Ok);
        QCOMPARE(m.state(), DriveState::Fault);
        QCOMPARE(m.write(kv::kRegControlWord, kv::kCwStop), WriteResult::Ok);
        QCOMPARE(m.write(kv::kRegControlWord, kv::kCwFaultReset), WriteResult::Ok);
        QCOMPARE(m.state(), DriveState::SwitchOnInhibited);
    }

    void faultAfterRunningWithAlarmFirst()
    {
        DriveModel m(Codes());
        m.setFaultAfterRunning(10.0, 9);
        m.advance(30.0); // not running: no fault
        QCOMPARE(m.state(), DriveState::SwitchOnInhibited);
        Start(m, 20000);
        m.advance(6.0);
        QVERIFY(!kv::BitSet(m.statusWord(), kv::kSwAlarm));
        m.advance(2.0);
        QVERIFY(kv::BitSet(m.statusWord(), kv::kSwAlarm));
        QCOMPARE(m.state(), DriveState::OperationEnabled);
        m.advance(2.1);
        QCOMPARE(m.state(), DriveState::Fault);
        QCOMPARE(int(Param(m, 401)), 9);
        QVERIFY(!kv::BitSet(m.statusWord(), kv::kSwAlarm));
        // After a reset and a new start the time counts afresh.
        QCOMPARE(m.write(kv::kRegControlWord, kv::kCwStop), WriteResult::Ok);
        QCOMPARE(m.write(kv::kRegControlWord, kv::kCwFaultReset), WriteResult::Ok);
        Start(m, 20000);
        m.advance(9.0);
        QCOMPARE(m.state(), DriveState::OperationEnabled);
        m.advance(1.5);
        QCOMPARE(m.state(), DriveState::Fault);
    }

    void liveBlockFollowsItsMapping()
    {
        DriveModel m(Codes());
        Start(m, 20000);
        m.advance(6.0);
        QCOMPARE(m.write(kv::ParameterRegister(5310), 102), WriteResult::Ok); // speed instead of frequency
        QCOMPARE(int(m.read(kv::kRegOutputFrequency)), 1460);
        QCOMPARE(m.write(kv::ParameterRegister(5310), 9999), WriteResult::Ok); // no such parameter
        QCOMPARE(int(m.read(kv::kRegOutputFrequency)), 0);
    }

    void longPauseSettles()
    {
        DriveModel m(Codes());
        Start(m, 8000); // 20 Hz
        m.advance(3600.0);
        QCOMPARE(int(m.read(kv::kRegOutputFrequency)), 200);
        m.advance(-1.0);
        m.advance(std::numeric_limits<double>::quiet_NaN());
        QCOMPARE(int(m.read(kv::kRegOutputFrequency)), 200);
    }
};

QTEST_GUILESS_MAIN(TestDriveModel)
#include "test_drivemodel.moc"

// The simulated drive's state: its registers, the control-word state machine,
// the frequency ramp, and the actual values that follow from them. No line and
// no clock: the caller advances time explicitly, so the model is tested alone.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

namespace kv::sim {

enum class DriveState {
    SwitchOnInhibited, // after power-up, a fault reset, OFF2 or OFF3
    ReadyToSwitchOn,   // OFF1 received
    ReadyToOperate,    // switched on, operation not enabled (stopped or ramping down)
    OperationEnabled,  // running towards the reference
    Fault,             // tripped; a 0 -> 1 edge of control bit 7 resets it
};

const char* DriveStateName(DriveState state);

// IllegalAddress: no register there (exception 02); IllegalValue: a value the
// register does not take, ReadOnly: a parameter that only shows values (both
// exception 03).
enum class WriteResult { Ok, IllegalAddress, IllegalValue, ReadOnly };

class DriveModel {
public:
    // `parameterCodes`: the four-digit codes of the parameter catalogue; each is
    // readable at register code - 1.
    explicit DriveModel(const std::vector<int>& parameterCodes);

    // Every register readable (those outside the drive's map read 0): a
    // stand-in for drives with large register blocks, for measurements.
    void setOpenMap(bool open) { m_openMap = open; }

    // Register access as the serial line sees it.
    bool isReadable(int reg) const;
    bool isWritable(int reg) const;
    // A catalogue parameter that only shows values: the groups 01 (actual
    // values), 04 (fault log) and 33 (drive information), and the counters and
    // status word the drive computes.
    bool isReadOnlyParameter(int reg) const;
    std::uint16_t read(int reg) const;
    WriteResult write(int reg, std::uint16_t value);

    // Lets `seconds` of drive time pass: ramp, running time, a timed fault.
    void advance(double seconds);

    // Trips the drive at once with the given fault code and fills the fault
    // record, group 04, as it stands at that moment:
    //   0401 fault code            0407 current (as 0104)
    //   0402 on-time days (0143)   0408 torque (as 0105)
    //   0403 on-time ticks (0144)  0409 status word
    //   0404 speed (as 0102)       0410 DI 1-3 (as 0118)
    //   0405 frequency (as 0103)   0411 DI 4-6 (as 0119)
    //   0406 DC voltage (as 0107)  0412, 0413 the two faults before
    // The drive has no calendar clock: the time of a fault is its power-on
    // time counter, whole days and 2-second ticks within the day.
    void trip(std::uint16_t faultCode);
    // Trips the drive after it has run for `seconds` since a start (0 = never);
    // the alarm bit announces the trip during the last few seconds, and in
    // the last half second the current climbs to 2.5 times its running value
    // (the overload that trips it).
    void setFaultAfterRunning(double seconds, std::uint16_t faultCode);

    // The drive information of group 33 for a drive at this station: every
    // station has its own test date, and the software and program versions and
    // the drive size vary, so that drives on one line can be told apart.
    // Station s (i = s - 1):
    //   3301 software version  0x0250, 0x0241, 0x0262 for i mod 3 = 0, 1, 2
    //   3302 program version   0x0101 + i mod 4
    //   3303 test date         year and week, YYWW: (23 + i / 52) * 100 + 1 + i mod 52
    //   3304 drive size        rated current in 0.1 A: 88, 125, 156, 230 for i mod 4
    //   3305 parameter table   as 3301
    void setIdentity(int station);

    // The digital inputs DI1..DI6 as bits 0..5 (after power-up: DI1, run
    // enable, closed). Parameters 0118 and 0119 show them as three digits each,
    // DI1 (DI4) first: 100 = DI1 closed, DI2 and DI3 open.
    void setDigitalInputs(unsigned bits) { m_digitalInputs = bits & 0x3Fu; }

    // Sets a parameter's value directly (line settings shown in group 53).
    void setParameter(int code, std::uint16_t value);
    std::uint16_t parameter(int code) const;
    bool hasParameter(int code) const { return m_params.count(code) != 0; }

    // Message counters of the built-in protocol (parameters 5306, 5307).
    void countGoodMessage() { ++m_goodMessages; }
    void countCrcError() { ++m_crcErrors; }

    DriveState state() const { return m_state; }
    double outputFrequencyHz() const { return m_frequencyHz; }
    double targetFrequencyHz() const;
    double currentA() const;
    double dcVoltageV() const;
    double ai1Raw() const;  // 0.1 % of full scale: 1000 = 10 V
    double ai2Raw() const;  // 0.1 % of full scale: x 0.001 x 24 gives mA
    std::uint16_t statusWord() const;
    std::uint16_t controlWord() const { return m_controlWord; }
    std::uint16_t reference() const { return m_reference; }
    double time() const { return m_time; }

private:
    void applyControlWord();
    void step(double h);
    std::uint16_t liveValue(int code, bool* isLive) const;
    double rampRateHzPerSecond(bool accelerating) const;
    double nominalCurrentA() const;
    double nominalFrequencyHz() const;
    bool alarmActive() const;
    double overloadFactor() const;
    double onTimeSeconds() const;
    std::uint16_t digitalInputDigits(int first) const;

    std::map<int, std::uint16_t> m_params;
    DriveState m_state = DriveState::SwitchOnInhibited;
    std::uint16_t m_controlWord = 0;
    std::uint16_t m_reference = 0;
    double m_time = 0.0;
    double m_frequencyHz = 0.0;
    int m_rampDirection = 0;      // +1 accelerating, -1 decelerating, 0 steady
    bool m_emergencyStop = false; // OFF3 ramp in progress
    double m_runSeconds = 0.0;
    double m_faultAfter = 0.0;
    std::uint16_t m_faultCode = 3;
    std::uint16_t m_goodMessages = 0;
    bool m_openMap = false;
    std::uint16_t m_crcErrors = 0;
    unsigned m_digitalInputs = 0x01;
};

} // namespace kv::sim

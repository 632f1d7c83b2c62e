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

    // Trips the drive at once with the given fault code (parameter 0401).
    void trip(std::uint16_t faultCode);
    // Trips the drive after it has run for `seconds` since a start (0 = never);
    // the alarm bit announces the trip during the last few seconds.
    void setFaultAfterRunning(double seconds, std::uint16_t faultCode);

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
};

} // namespace kv::sim

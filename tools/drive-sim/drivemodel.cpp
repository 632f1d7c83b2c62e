#include "tools/drive-sim/drivemodel.h"

#include "drive/registermap.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace kv::sim {

namespace {

// Factory values of the parameters a commissioning engineer looks at first;
// every other catalogue parameter starts at 0. Units follow the drive's
// manual: 0.1 Hz, 0.1 A, 0.1 s, 0.1 % unless noted.
const std::pair<int, std::uint16_t> kDefaults[] = {
    // 99 motor data: a 4 kW, 400 V, 8.4 A, 50 Hz, 1460 rpm motor.
    {9902, 1}, {9905, 400}, {9906, 84}, {9907, 500}, {9908, 1460}, {9909, 40}, {9915, 84},
    // 01 operating data that does not follow the motor.
    {112, 2}, {113, 35}, {114, 1234}, {122, 1}, {125, 40}, {140, 12}, {141, 3},
    {143, 128}, {145, 35}, {150, 38}, {151, 1234}, {152, 3},
    // 10, 11 commands and references from the serial line.
    {1001, 10}, {1002, 0}, {1003, 1},
    {1101, 1}, {1102, 0}, {1103, 8}, {1104, 0}, {1105, 500}, {1106, 2}, {1107, 0}, {1108, 1000},
    // 12 constant speeds.
    {1202, 60}, {1203, 120}, {1204, 180}, {1205, 240}, {1206, 300}, {1207, 400}, {1208, 500},
    // 13 analogue inputs: AI1 0..10 V, AI2 4..20 mA.
    {1301, 0}, {1302, 1000}, {1303, 1}, {1304, 200}, {1305, 1000}, {1306, 1},
    // 14 relay outputs: ready, run, fault.
    {1401, 1}, {1402, 2}, {1403, 3},
    // 15 analogue outputs: frequency and current on 4..20 mA.
    {1501, 103}, {1502, 0}, {1503, 500}, {1504, 40}, {1505, 200}, {1506, 1},
    {1507, 104}, {1508, 0}, {1509, 84}, {1510, 40}, {1511, 200}, {1512, 1},
    // 16 system controls: fault reset from the serial line.
    {1602, 1}, {1604, 8},
    // 17 override.
    {1702, 500},
    // 20 limits: 1.5 x rated current, 0..50 Hz.
    {2003, 126}, {2005, 1}, {2006, 1}, {2007, 0}, {2008, 500},
    // 21 start/stop: automatic start, ramp stop.
    {2101, 1}, {2102, 2}, {2103, 3}, {2106, 30}, {2107, 2}, {2110, 100},
    // 22 ramps: 5 s up and down, 1 s emergency stop.
    {2202, 50}, {2203, 50}, {2205, 600}, {2206, 600}, {2208, 10},
    // 26 motor control.
    {2602, 1}, {2604, 80}, {2605, 1}, {2606, 4}, {2607, 1},
    {2610, 19}, {2611, 100}, {2612, 38}, {2613, 200}, {2614, 47}, {2615, 250},
    {2616, 76}, {2617, 400}, {2618, 95},
    // 30 fault functions.
    {3002, 1}, {3005, 1}, {3006, 500}, {3007, 100}, {3008, 70}, {3009, 350},
    {3011, 200}, {3012, 20}, {3017, 1}, {3019, 30}, {3023, 1}, {3024, 1},
    // 31 automatic reset.
    {3102, 300},
    // 32 supervision: output frequency above 45 Hz, current.
    {3201, 103}, {3202, 0}, {3203, 450}, {3204, 104}, {3206, 84}, {3207, 105},
    // 33 information: station 1's (setIdentity gives every station its own).
    {3301, 0x0250}, {3302, 0x0101}, {3303, 2301}, {3304, 88}, {3305, 0x0250},
    // 34 panel display.
    {3401, 103}, {3403, 500}, {3404, 9}, {3405, 3}, {3407, 500},
    {3408, 104}, {3410, 84}, {3411, 9}, {3412, 1}, {3414, 84},
    {3415, 120}, {3417, 1000}, {3418, 9}, {3419, 4}, {3421, 1000},
    // 35 motor temperature.
    {3502, 1}, {3503, 110}, {3504, 130},
    // 37 user load curve.
    {3702, 1}, {3703, 20}, {3704, 50}, {3705, 10}, {3706, 300}, {3707, 250}, {3708, 15},
    {3709, 300}, {3710, 430}, {3711, 25}, {3712, 300}, {3713, 500}, {3714, 30},
    {3715, 300}, {3716, 500}, {3717, 30}, {3718, 300},
    // 40..42 PID sets.
    {4001, 10}, {4002, 600}, {4004, 10}, {4006, 4}, {4007, 1}, {4009, 1000}, {4010, 19},
    {4011, 400}, {4013, 1000}, {4014, 1}, {4016, 2}, {4017, 2}, {4019, 1000}, {4021, 1000},
    {4024, 600}, {4026, 5},
    {4101, 10}, {4102, 600}, {4104, 10}, {4106, 4}, {4107, 1}, {4109, 1000}, {4110, 19},
    {4111, 400}, {4113, 1000}, {4114, 1}, {4116, 2}, {4117, 2}, {4119, 1000}, {4121, 1000},
    {4124, 600}, {4126, 5},
    {4201, 10}, {4202, 600}, {4204, 10}, {4206, 4}, {4207, 1}, {4209, 1000}, {4210, 19},
    {4211, 400}, {4213, 1000}, {4214, 1}, {4216, 2}, {4217, 2}, {4219, 1000}, {4221, 1000},
    {4230, 1}, {4231, 1000}, {4232, 1},
    // 45 energy saving.
    {4502, 65}, {4507, 5}, {4508, 100},
    // 53 built-in protocol: Modbus RTU, station 1, 9600 8N1, the live block
    // mapped to 0103, 0104, 0107, 0120, 0121 and the status word (5320).
    {5301, 0x0201}, {5302, 1}, {5303, 9600}, {5304, 0}, {5305, 0},
    {5310, 103}, {5311, 104}, {5312, 107}, {5313, 120}, {5314, 121}, {5315, 5320},
    // 81 pump and fan control.
    {8109, 500}, {8110, 500}, {8111, 500}, {8112, 250}, {8113, 250}, {8114, 250},
    {8115, 50}, {8116, 30}, {8117, 1}, {8119, 500}, {8120, 1}, {8122, 5}, {8127, 2}, {8128, 1},
    // 98 options: the built-in Modbus.
    {9802, 1},
};

// Parameters that show actual values: read-only, computed on reading.
bool IsLiveCode(int code)
{
    switch (code) {
    case 101: case 102: case 103: case 104: case 105: case 106: case 107: case 108:
    case 109: case 110: case 118: case 119: case 120: case 121: case 124: case 134:
    case 143: case 144:
    case 5306: case 5307: case 5320:
        return true;
    default:
        return false;
    }
}

std::uint16_t ToRegister(double value)
{
    const long v = std::lround(value);
    return static_cast<std::uint16_t>(std::clamp<long>(v, -32768, 65535) & 0xFFFF);
}

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kAlarmLeadSeconds = 3.0;
// Before a timed trip the current climbs over this time to this multiple of
// its running value.
constexpr double kOverloadLeadSeconds = 0.5;
constexpr double kOverloadPeak = 2.5;
constexpr double kSecondsPerDay = 86400.0;
constexpr double kMaxStep = 0.05;

} // namespace

const char* DriveStateName(DriveState state)
{
    switch (state) {
    case DriveState::SwitchOnInhibited: return "switch-on inhibited";
    case DriveState::ReadyToSwitchOn: return "ready to switch on";
    case DriveState::ReadyToOperate: return "ready to run";
    case DriveState::OperationEnabled: return "running";
    case DriveState::Fault: return "fault";
    }
    return "?";
}

DriveModel::DriveModel(const std::vector<int>& parameterCodes)
{
    for (int code : parameterCodes) {
        if (code > 0 && code <= 0x10000)
            m_params[code] = 0;
    }
    for (const auto& [code, value] : kDefaults) {
        auto it = m_params.find(code);
        if (it != m_params.end())
            it->second = value;
    }
}

bool DriveModel::isReadable(int reg) const
{
    if (m_openMap && reg >= 0 && reg <= 0xFFFF)
        return true;
    if (reg == kRegControlWord || reg == kRegFrequencyReference)
        return true;
    if (reg >= kRegLiveBlockStart && reg < kRegLiveBlockStart + kRegLiveBlockCount)
        return true;
    return m_params.count(ParameterCodeOfRegister(reg)) != 0;
}

bool DriveModel::isWritable(int reg) const
{
    if (reg == kRegControlWord || reg == kRegFrequencyReference)
        return true;
    if (reg >= kRegLiveBlockStart && reg < kRegLiveBlockStart + kRegLiveBlockCount)
        return false;
    return m_params.count(ParameterCodeOfRegister(reg)) != 0 && !isReadOnlyParameter(reg);
}

bool DriveModel::isReadOnlyParameter(int reg) const
{
    if (reg >= kRegLiveBlockStart && reg < kRegLiveBlockStart + kRegLiveBlockCount)
        return false;
    const int code = ParameterCodeOfRegister(reg);
    if (m_params.count(code) == 0)
        return false;
    const int group = code / 100;
    return group == 1 || group == 4 || group == 33 || IsLiveCode(code);
}

std::uint16_t DriveModel::read(int reg) const
{
    if (reg == kRegControlWord)
        return m_controlWord;
    if (reg == kRegFrequencyReference)
        return m_reference;
    int code = ParameterCodeOfRegister(reg);
    if (reg >= kRegLiveBlockStart && reg < kRegLiveBlockStart + kRegLiveBlockCount) {
        // The live block shows the parameters that 5310..5315 name.
        code = parameter(5310 + (reg - kRegLiveBlockStart));
        if (m_params.count(code) == 0)
            return 0;
    }
    bool live = false;
    const std::uint16_t value = liveValue(code, &live);
    return live ? value : parameter(code);
}

WriteResult DriveModel::write(int reg, std::uint16_t value)
{
    if (!isWritable(reg))
        return isReadOnlyParameter(reg) ? WriteResult::ReadOnly : WriteResult::IllegalAddress;
    if (reg == kRegFrequencyReference) {
        if (value > kReferenceFullScale)
            return WriteResult::IllegalValue;
        m_reference = value;
        return WriteResult::Ok;
    }
    if (reg == kRegControlWord) {
        const bool resetEdge = !BitSet(m_controlWord, kCwReset) && BitSet(value, kCwReset);
        m_controlWord = value;
        if (m_state == DriveState::Fault) {
            if (!resetEdge)
                return WriteResult::Ok;
            m_state = DriveState::SwitchOnInhibited;
        }
        applyControlWord();
        return WriteResult::Ok;
    }
    m_params[ParameterCodeOfRegister(reg)] = value;
    return WriteResult::Ok;
}

void DriveModel::applyControlWord()
{
    const std::uint16_t cw = m_controlWord;
    if (!BitSet(cw, kCwNoCoastStop)) {
        // OFF2: the motor coasts; a new start needs OFF1 first.
        m_frequencyHz = 0.0;
        m_emergencyStop = false;
        m_state = DriveState::SwitchOnInhibited;
        return;
    }
    if (!BitSet(cw, kCwNoQuickStop)) {
        // OFF3: emergency ramp to zero, then switch-on inhibited.
        if (m_frequencyHz > 0.0)
            m_emergencyStop = true;
        m_state = DriveState::SwitchOnInhibited;
        return;
    }
    const bool on = BitSet(cw, kCwOn);
    const bool enable = BitSet(cw, kCwEnableOperation);
    switch (m_state) {
    case DriveState::SwitchOnInhibited:
        if (!on)
            m_state = DriveState::ReadyToSwitchOn;
        break;
    case DriveState::ReadyToSwitchOn:
        if (on) {
            m_state = enable ? DriveState::OperationEnabled : DriveState::ReadyToOperate;
        }
        break;
    case DriveState::ReadyToOperate:
        if (!on)
            m_state = DriveState::ReadyToSwitchOn;
        else if (enable)
            m_state = DriveState::OperationEnabled;
        break;
    case DriveState::OperationEnabled:
        if (!on)
            m_state = DriveState::ReadyToSwitchOn;
        else if (!enable)
            m_state = DriveState::ReadyToOperate;
        if (m_state != DriveState::OperationEnabled && parameter(2102) == 1)
            m_frequencyHz = 0.0; // stop function: coast
        break;
    case DriveState::Fault:
        break;
    }
    if (m_state == DriveState::OperationEnabled) {
        m_emergencyStop = false;
    }
}

void DriveModel::advance(double seconds)
{
    if (!(seconds > 0.0) || !std::isfinite(seconds))
        return;
    // A long pause: ramps settle within one large step, timed faults still trip.
    if (seconds > 10.0) {
        step(seconds - 10.0);
        seconds = 10.0;
    }
    while (seconds > 0.0) {
        const double h = std::min(seconds, kMaxStep);
        step(h);
        seconds -= h;
    }
}

double DriveModel::targetFrequencyHz() const
{
    if (m_state != DriveState::OperationEnabled)
        return 0.0;
    if (!BitSet(m_controlWord, kCwRampInNotZero))
        return 0.0;
    const double ref = m_reference * kReferenceFullScaleHz / kReferenceFullScale;
    const double fmin = parameter(2007) / 10.0;
    const double fmax = parameter(2008) / 10.0;
    return std::clamp(ref, std::min(fmin, fmax), std::max(fmin, fmax));
}

double DriveModel::rampRateHzPerSecond(bool accelerating) const
{
    // Ramp times run from zero to the maximum frequency.
    const double fmax = std::max(parameter(2008) / 10.0, 1.0);
    int timeParam = accelerating ? 2202 : 2203;
    if (!accelerating && m_emergencyStop)
        timeParam = 2208;
    const double t = parameter(timeParam) / 10.0;
    return t > 0.0 ? fmax / t : 1e9;
}

void DriveModel::step(double h)
{
    m_time += h;
    if (m_state == DriveState::Fault) {
        m_frequencyHz = 0.0;
        m_rampDirection = 0;
        return;
    }
    if (m_state == DriveState::OperationEnabled) {
        m_runSeconds += h;
        if (m_faultAfter > 0.0 && m_runSeconds >= m_faultAfter) {
            trip(m_faultCode);
            return;
        }
        if (!BitSet(m_controlWord, kCwRampOutNotZero)) {
            m_frequencyHz = 0.0;
            m_rampDirection = 0;
            return;
        }
        if (!BitSet(m_controlWord, kCwRampNoHold)) {
            m_rampDirection = 0;
            return;
        }
    } else {
        m_runSeconds = 0.0;
    }
    const double target = targetFrequencyHz();
    if (m_frequencyHz < target) {
        m_frequencyHz = std::min(target, m_frequencyHz + rampRateHzPerSecond(true) * h);
        m_rampDirection = m_frequencyHz < target ? 1 : 0;
    } else if (m_frequencyHz > target) {
        m_frequencyHz = std::max(target, m_frequencyHz - rampRateHzPerSecond(false) * h);
        m_rampDirection = m_frequencyHz > target ? -1 : 0;
    } else {
        m_rampDirection = 0;
    }
    if (m_frequencyHz <= 0.0)
        m_emergencyStop = false;
}

void DriveModel::trip(std::uint16_t faultCode)
{
    if (m_state == DriveState::Fault)
        return;
    // The fault record keeps the values at the moment of the trip, as the
    // actual-value parameters show them.
    auto actual = [this](int code) {
        bool live = false;
        const std::uint16_t v = liveValue(code, &live);
        return live ? v : parameter(code);
    };
    m_params[413] = parameter(412);
    m_params[412] = parameter(401);
    m_params[401] = faultCode;
    m_params[402] = actual(143);
    m_params[403] = actual(144);
    m_params[404] = actual(102);
    m_params[405] = actual(103);
    m_params[406] = actual(107);
    m_params[407] = actual(104);
    m_params[408] = actual(105);
    m_params[409] = statusWord();
    m_params[410] = actual(118);
    m_params[411] = actual(119);
    m_state = DriveState::Fault;
    m_frequencyHz = 0.0;
    m_rampDirection = 0;
    m_emergencyStop = false;
    m_runSeconds = 0.0;
}

void DriveModel::setFaultAfterRunning(double seconds, std::uint16_t faultCode)
{
    m_faultAfter = std::isfinite(seconds) && seconds > 0.0 ? seconds : 0.0;
    m_faultCode = faultCode;
}

void DriveModel::setIdentity(int station)
{
    const int i = std::max(station, 1) - 1;
    static const std::uint16_t kSoftware[] = {0x0250, 0x0241, 0x0262};
    static const std::uint16_t kRatedCurrent[] = {88, 125, 156, 230};
    m_params[3301] = kSoftware[i % 3];
    m_params[3302] = static_cast<std::uint16_t>(0x0101 + i % 4);
    m_params[3303] = static_cast<std::uint16_t>((23 + i / 52) * 100 + 1 + i % 52);
    m_params[3304] = kRatedCurrent[i % 4];
    m_params[3305] = kSoftware[i % 3];
}

void DriveModel::setParameter(int code, std::uint16_t value)
{
    m_params[code] = value;
}

std::uint16_t DriveModel::parameter(int code) const
{
    auto it = m_params.find(code);
    return it == m_params.end() ? 0 : it->second;
}

double DriveModel::nominalCurrentA() const
{
    const double in = parameter(9906) / 10.0;
    return in > 0.0 ? in : 1.0;
}

double DriveModel::nominalFrequencyHz() const
{
    const double fn = parameter(9907) / 10.0;
    return fn > 0.0 ? fn : 50.0;
}

double DriveModel::currentA() const
{
    const bool energised = m_state == DriveState::OperationEnabled || m_frequencyHz > 0.0;
    if (!energised || m_state == DriveState::Fault)
        return 0.0;
    const double in = nominalCurrentA();
    const double x = std::min(m_frequencyHz / nominalFrequencyHz(), 1.2);
    // Magnetising current, a fan-like load growing with the square of the
    // speed, and the torque that accelerates the load.
    const double magnetising = 0.35 * in;
    double load = 0.6 * in * x * x;
    if (m_rampDirection > 0)
        load += 0.25 * in;
    else if (m_rampDirection < 0)
        load = std::max(0.0, load - 0.1 * in);
    const double wobble = 1.0 + 0.01 * std::sin(kTwoPi * 0.9 * m_time);
    return std::sqrt(magnetising * magnetising + load * load) * wobble * overloadFactor();
}

double DriveModel::overloadFactor() const
{
    if (m_faultAfter <= 0.0 || m_state != DriveState::OperationEnabled)
        return 1.0;
    const double lead = std::min(kOverloadLeadSeconds, m_faultAfter / 2.0);
    const double x = std::clamp((m_runSeconds - (m_faultAfter - lead)) / lead, 0.0, 1.0);
    return 1.0 + (kOverloadPeak - 1.0) * x;
}

double DriveModel::onTimeSeconds() const
{
    // Parameters 0143 and 0144 hold the counter at power-up; it runs on with
    // the drive's time.
    return parameter(143) * kSecondsPerDay + parameter(144) * 2.0 + m_time;
}

std::uint16_t DriveModel::digitalInputDigits(int first) const
{
    int digits = 0;
    for (int di = first; di < first + 3; ++di)
        digits = digits * 10 + ((m_digitalInputs >> (di - 1)) & 1u);
    return static_cast<std::uint16_t>(digits);
}

double DriveModel::dcVoltageV() const
{
    // Near 540 V (400 V mains rectified) with a slow ripple, sagging a little
    // under load.
    const double ripple = 3.0 * std::sin(kTwoPi * 0.23 * m_time) + 1.5 * std::sin(kTwoPi * 1.7 * m_time + 1.0);
    return 540.0 + ripple - 6.0 * currentA() / nominalCurrentA();
}

double DriveModel::ai1Raw() const
{
    return 500.0 + 150.0 * std::sin(kTwoPi * m_time / 40.0);
}

double DriveModel::ai2Raw() const
{
    return 600.0 + 120.0 * std::sin(kTwoPi * m_time / 55.0 + 1.3);
}

bool DriveModel::alarmActive() const
{
    if (m_faultAfter <= 0.0 || m_state != DriveState::OperationEnabled)
        return false;
    const double lead = std::min(kAlarmLeadSeconds, m_faultAfter / 2.0);
    return m_runSeconds >= m_faultAfter - lead;
}

std::uint16_t DriveModel::statusWord() const
{
    std::uint16_t sw = 0;
    auto set = [&sw](int bit) { sw = static_cast<std::uint16_t>(sw | (1u << bit)); };
    switch (m_state) {
    case DriveState::OperationEnabled:
        set(kSwReadyForReference);
        [[fallthrough]];
    case DriveState::ReadyToOperate:
        set(kSwReadyToRun);
        [[fallthrough]];
    case DriveState::ReadyToSwitchOn:
        set(kSwReadyToSwitchOn);
        break;
    case DriveState::SwitchOnInhibited:
        set(kSwSwitchOnInhibited);
        break;
    case DriveState::Fault:
        set(kSwFault);
        break;
    }
    if (BitSet(m_controlWord, kCwNoCoastStop))
        set(kSwOff2Inactive);
    if (BitSet(m_controlWord, kCwNoQuickStop))
        set(kSwOff3Inactive);
    if (alarmActive())
        set(kSwAlarm);
    if (m_state == DriveState::OperationEnabled && std::abs(m_frequencyHz - targetFrequencyHz()) < 0.05)
        set(kSwAtSetpoint);
    set(kSwRemote);
    if (parameter(3201) == 103 && m_frequencyHz * 10.0 > parameter(3203))
        set(kSwAboveLimit);
    if (parameter(1102) == 7)
        set(kSwExt2Selected);
    set(kSwExtRunEnable);
    return sw;
}

std::uint16_t DriveModel::liveValue(int code, bool* isLive) const
{
    *isLive = IsLiveCode(code) && m_params.count(code) != 0;
    if (!*isLive)
        return 0;
    const double fn = nominalFrequencyHz();
    const double in = nominalCurrentA();
    const double speed = m_frequencyHz / fn * parameter(9908);
    const double torquePercent = m_frequencyHz > 0.0 ? 100.0 * std::min(currentA() / in, 2.0) * 0.8 : 0.0;
    switch (code) {
    case 101:
    case 102: return ToRegister(speed);
    case 103: return ToRegister(m_frequencyHz * 10.0);
    case 104: return ToRegister(currentA() * 10.0);
    case 105: return ToRegister(torquePercent * 10.0);
    case 106: return ToRegister(parameter(9909) * torquePercent / 100.0 * m_frequencyHz / fn);
    case 107: return ToRegister(dcVoltageV());
    case 108: return ToRegister(std::min(1.0, m_frequencyHz / fn) * parameter(9905));
    case 109: return ToRegister(300.0 + 120.0 * currentA() / in + (alarmActive() ? 450.0 : 0.0));
    case 110: return ToRegister(targetFrequencyHz() * 10.0);
    case 118: return digitalInputDigits(1);
    case 119: return digitalInputDigits(4);
    case 120: return ToRegister(ai1Raw());
    case 121: return ToRegister(ai2Raw());
    case 124: return ToRegister(40.0 + 160.0 * m_frequencyHz / std::max(parameter(2008) / 10.0, 1.0));
    case 134: return m_controlWord;
    case 143: return ToRegister(std::floor(onTimeSeconds() / kSecondsPerDay));
    case 144: return ToRegister(std::floor(std::fmod(onTimeSeconds(), kSecondsPerDay) / 2.0));
    case 5306: return m_goodMessages;
    case 5307: return m_crcErrors;
    case 5320: return statusWord();
    default: return 0;
    }
}

} // namespace kv::sim

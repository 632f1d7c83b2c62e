// The drive's register map as the tool and the simulated drive share it:
// register addresses as carried in the frames, the control words the tool
// writes, and the meaning of the status word's bits.
#pragma once

#include <cstdint>

namespace kv {

// Written with function 06.
inline constexpr int kRegControlWord = 0x0000;
inline constexpr int kRegFrequencyReference = 0x0001;

// The live block, read with function 03 as six registers from address 4.
inline constexpr int kRegLiveBlockStart = 0x0004;
inline constexpr int kRegLiveBlockCount = 6;
inline constexpr int kRegOutputFrequency = 0x0004;  // 0.1 Hz
inline constexpr int kRegCurrent = 0x0005;          // 0.1 A
inline constexpr int kRegDcVoltage = 0x0006;        // 1 V
inline constexpr int kRegAi1 = 0x0007;              // raw; x 0.001 x 10 gives volts
inline constexpr int kRegAi2 = 0x0008;              // raw; x 0.001 x 24 gives milliamps
inline constexpr int kRegStatusWord = 0x0009;
// The reply to the live block's read: station, function, byte count, the
// registers, the CRC.
inline constexpr int kLiveBlockReplyBytes = 5 + 2 * kRegLiveBlockCount;

// The fault record (parameter group 04): 0401 最后故障 .. 0413 历史故障2, the
// drive's values at its last trip, read as one block.
inline constexpr int kRegFaultRecordStart = 0x0190;  // parameter 0401
inline constexpr int kFaultRecordCount = 13;
inline constexpr int kFaultRecordFirstCode = 401;

// The frequency reference: 0 .. 20000 stands for 0 .. 50 Hz.
inline constexpr int kReferenceFullScale = 20000;
inline constexpr double kReferenceFullScaleHz = 50.0;

// A parameter with a four-digit code is read at register code - 1
// (parameter 0101 at 0x0064, 9802 at 0x2649).
constexpr int ParameterRegister(int code) { return code - 1; }
constexpr int ParameterCodeOfRegister(int reg) { return reg + 1; }

// Control words the tool writes to register 0.
inline constexpr std::uint16_t kCwStartPrepare = 0x0476;  // start, first frame
inline constexpr std::uint16_t kCwStartRun = 0x047F;      // start, second frame
inline constexpr std::uint16_t kCwStop = 0x0477;          // stop; fault reset, first frame
inline constexpr std::uint16_t kCwFaultReset = 0x04F7;    // fault reset, second frame

// Control word bits.
enum ControlBit : int {
    kCwOn = 0,              // 1 = switch on; 0 = OFF1 (ramp stop)
    kCwNoCoastStop = 1,     // 0 = OFF2 (coast stop)
    kCwNoQuickStop = 2,     // 0 = OFF3 (emergency ramp stop)
    kCwEnableOperation = 3, // 1 = run; 0 = operation inhibited
    kCwRampOutNotZero = 4,  // 0 = ramp output forced to zero
    kCwRampNoHold = 5,      // 0 = ramp held
    kCwRampInNotZero = 6,   // 0 = ramp input forced to zero
    kCwReset = 7,           // 0 -> 1 resets a fault
    kCwRemote = 10,         // control from the serial line
};

// Status word bits 0..12, in the order of the tool's status lamps.
enum StatusBit : int {
    kSwReadyToSwitchOn = 0,   // "准合闸"
    kSwReadyToRun = 1,        // "准运行"
    kSwReadyForReference = 2, // "准给定"
    kSwFault = 3,             // "故障"
    kSwOff2Inactive = 4,      // "OFF2": 1 = no coast stop requested
    kSwOff3Inactive = 5,      // "OFF3": 1 = no emergency stop requested
    kSwSwitchOnInhibited = 6, // "禁合闸"
    kSwAlarm = 7,             // "报警"
    kSwAtSetpoint = 8,        // "到达"
    kSwRemote = 9,            // "远程"
    kSwAboveLimit = 10,       // "超极限"
    kSwExt2Selected = 11,     // "外1/2"
    kSwExtRunEnable = 12,     // "外信号"
};
inline constexpr int kStatusBitCount = 13;

constexpr bool BitSet(std::uint16_t word, int bit) { return ((word >> bit) & 1u) != 0; }

} // namespace kv

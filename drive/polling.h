// Live values: the poll request for the six registers from address 4, and the
// decoding of its 34-digit reply into five scaled values and the status word.
#pragma once

#include "serial/receivepath.h"

#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace kv {

inline constexpr int kPollIntervalMs = 500;
inline constexpr int kPollWaitMs = 150;
inline constexpr int kStatusLampCount = 13;

// The frame text of the poll request for a station ("01" -> "010300040006").
QString PollRequestText(QStringView stationAddr);

// A register's four characters read as a hexadecimal number (leniently: digits
// up to the first character that is not one) and taken as a signed 16-bit value.
qint16 SignedRegister(QStringView fourDigits);

struct PollReply {
    // Frequency (0.1 Hz), current (0.1 A), DC voltage (V), AI1 (x 0.001 x 10),
    // AI2 (x 0.001 x 24), each formed in double precision and kept as single.
    std::array<float, 5> PolledValues{};
    qint32 StatusWord = 0;
};

// Decodes the six registers of the live block as read (each taken as a
// signed 16-bit value).
PollReply DecodeLiveRegisters(const std::array<quint16, 6>& registers);

// Decodes a 34-character reply text; nothing for a text of any other length.
// Station, function, byte count and CRC are not examined.
std::optional<PollReply> DecodePollReply(QStringView text);

// What a curve receives: value x factor formed in double precision and passed as
// single. A product beyond the single range is clamped to the largest single
// of its sign, so the chart never receives an infinity.
float CurveSample(float value, double factor);

// Whether status bit i (0..12) is set.
inline bool IsStatusBitSet(qint32 statusWord, int bit)
{
    return ((statusWord >> bit) & 1) != 0;
}

} // namespace kv

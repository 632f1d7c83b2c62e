#include "drive/polling.h"

#include "common/hex.h"
#include "common/numbers.h"
#include "drive/registermap.h"
#include "modbus/rtu.h"

namespace kv {

// The receive path knows a poll reply by its length alone: it must be the live block's.
static_assert(kPollReplyLength == 2 * kLiveBlockReplyBytes);

QString PollRequestText(QStringView stationAddr)
{
    return stationAddr.toString() + HexText(mb::kReadHoldingRegisters, 2) + HexText(kRegLiveBlockStart, 4)
        + HexText(kRegLiveBlockCount, 4);
}

qint16 SignedRegister(QStringView fourDigits)
{
    return static_cast<qint16>(static_cast<quint16>(LeadingHexValue(fourDigits) & 0xFFFFu));
}

PollReply DecodeLiveRegisters(const std::array<quint16, 6>& registers)
{
    static constexpr double kFactors[5][2] = {{0.1, 1.0}, {0.1, 1.0}, {1.0, 1.0}, {0.001, 10.0}, {0.001, 24.0}};
    PollReply r;
    for (size_t k = 0; k < 5; ++k) {
        const double raw = static_cast<qint16>(registers[k]);
        r.PolledValues[k] = static_cast<float>(raw * kFactors[k][0] * kFactors[k][1]);
    }
    r.StatusWord = static_cast<qint16>(registers[5]);
    return r;
}

std::optional<PollReply> DecodePollReply(QStringView text)
{
    if (text.size() != kPollReplyLength)
        return std::nullopt;
    // Character 7 (1-based) is index 6: the first register after station,
    // function and byte count.
    std::array<quint16, 6> registers{};
    for (qsizetype k = 0; k < 6; ++k)
        registers[static_cast<size_t>(k)] = static_cast<quint16>(SignedRegister(text.mid(6 + 4 * k, 4)));
    return DecodeLiveRegisters(registers);
}

float CurveSample(float value, double factor)
{
    return ToSingle(static_cast<double>(value) * factor);
}

} // namespace kv

#include "drive/livesample.h"

#include "common/hex.h"
#include "modbus/rtu.h"

namespace kv {

LiveSample SampleFromRegisters(const std::array<quint16, kRegLiveBlockCount>& registers, qint64 timeMs, bool crcGood,
                               quint8 station)
{
    LiveSample s;
    s.station = station;
    s.timeMs = timeMs;
    s.registers = registers;
    s.reply = DecodeLiveRegisters(registers);
    s.crcGood = crcGood;
    return s;
}

std::optional<LiveSample> SampleFromReplyText(QStringView text, qint64 timeMs)
{
    if (text.size() != kPollReplyLength)
        return std::nullopt;
    std::array<quint16, kRegLiveBlockCount> registers{};
    for (qsizetype k = 0; k < kRegLiveBlockCount; ++k)
        registers[static_cast<size_t>(k)] = static_cast<quint16>(SignedRegister(text.mid(6 + 4 * k, 4)));
    // The CRC's verdict needs whole bytes: a text mode chunk of 34 characters
    // that are not all hexadecimal digits has no sound CRC.
    const std::optional<QByteArray> bytes = HexTextToBytes(text);
    const quint8 station = bytes ? static_cast<quint8>(bytes->front()) : quint8{1};
    return SampleFromRegisters(registers, timeMs, bytes && mb::CrcOk(*bytes), station);
}

} // namespace kv

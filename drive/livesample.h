// One live sample of the drive: the live block (six registers from address
// 4) as read, when it was read, what the registers mean, and whether the
// reply's CRC was right. It is made once, where the reply is decoded, and
// handed on as a value to the chart, the recording and whatever else keeps
// or judges samples.
#pragma once

#include "drive/polling.h"
#include "drive/registermap.h"

#include <QByteArray>
#include <QStringView>

#include <array>
#include <optional>

namespace kv {

struct LiveSample {
    qint64 timeMs = 0;  // milliseconds since the epoch, the local clock
    // Output frequency, current, DC voltage, AI1, AI2, status word, as read.
    std::array<quint16, kRegLiveBlockCount> registers{};
    PollReply reply;  // the five scaled values and the status word
    bool crcGood = true;
    quint8 station = 1;  // the drive it came from
};

// A sample from the registers of a sound reply.
LiveSample SampleFromRegisters(const std::array<quint16, kRegLiveBlockCount>& registers, qint64 timeMs,
                               bool crcGood = true, quint8 station = 1);

// A sample from the 34-digit text of a reply on the window's own receive path:
// each register read as the window reads it (leniently, four digits each),
// the CRC verdict from the bytes when the text is all hexadecimal digits
// (else the CRC is wrong), the station from its first two digits. Nothing for
// a text of another length.
std::optional<LiveSample> SampleFromReplyText(QStringView text, qint64 timeMs);

} // namespace kv

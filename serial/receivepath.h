// The receive path's rules: what a chunk read from the serial control becomes,
// whether it is logged, whether it is a live-value poll reply, and when the
// terminal log is emptied. A chunk is judged on its own; nothing carries over.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace kv {

// The log is emptied as soon as it holds more than this many characters.
inline constexpr int kLogLimit = 2000;
// A poll reply (the live block's, 17 bytes) as text: 34 hexadecimal digits.
// The drive's register map holds it to that (drive/polling.cpp).
inline constexpr int kPollReplyLength = 34;

// Received bytes as text: two upper-case hexadecimal digits per byte, no separator.
QString ChunkTextFromBytes(const QByteArray& bytes);

struct ChunkVerdict {
    bool log = false;       // write "接收: " + chunk to the log
    bool pollReply = false;  // hand the chunk to the poll decoding
};

// A chunk beginning with a capital F (a first byte of 0xF0 or above in byte
// mode) is dropped unlogged; an empty read logs nothing; any other chunk is
// logged. A logged chunk of exactly 34 characters is a poll reply; a dropped
// one is not examined at all.
ChunkVerdict JudgeChunk(QStringView chunkText);

// The log line of a received chunk.
QString ReceiveLogLine(QStringView chunkText);

// Whether the log has grown past its limit and must be emptied.
bool LogOverLimit(QStringView logText);

// One log entry: the time of day, a blank, the line, CR LF.
QString LogEntry(QStringView timeOfDay, QStringView line);

} // namespace kv

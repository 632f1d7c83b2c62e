// The terminal's send path: what a typed frame puts on the line and what the
// log says about it.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace kv {

struct TerminalSend {
    bool send = false;   // false: nothing goes on the line and nothing is logged
    bool asText = false;  // true: `text` goes out in the system's code page
    QByteArray bytes;    // hexadecimal send: the bytes for the line
    QString text;        // the text as sent (with the CRC digits when appended)
    QString logLine;     // "发送: " + text
};

// Hexadecimal send: the text (followed by its CRC text when `appendCrc`) cut
// into pairs as typed, nothing removed, a last odd character dropped. A text of
// fewer than two characters after the CRC is appended makes no byte and sends
// nothing; with the CRC there always are bytes (an empty text sends the CRC of
// no bytes, FF FF, and logs "FFFF").
// Text send: the text as it is; `appendCrc` has no effect.
TerminalSend BuildTerminalSend(QStringView text, bool hexSend, bool appendCrc);

} // namespace kv

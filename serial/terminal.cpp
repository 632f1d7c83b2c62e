#include "serial/terminal.h"

#include "serial/framecodec.h"

namespace kv {

TerminalSend BuildTerminalSend(QStringView text, bool hexSend, bool appendCrc)
{
    TerminalSend out;
    if (!hexSend) {
        out.send = true;
        out.asText = true;
        out.text = text.toString();
        out.logLine = QStringLiteral("发送: ") + out.text;
        return out;
    }
    out.text = text.toString();
    if (appendCrc)
        out.text += Crc16Text(text);
    if (out.text.size() < 2)
        return out;
    out.bytes = HexPairsToBytes(out.text);
    out.send = true;
    out.logLine = QStringLiteral("发送: ") + out.text;
    return out;
}

} // namespace kv

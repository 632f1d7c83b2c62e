#include "serial/terminal.h"

#include "serial/framecodec.h"

#include <QCoreApplication>

namespace kv {

namespace {

QString SentPrefix()
{
    return QCoreApplication::translate("kv::Terminal", "发送: ");
}

} // namespace

TerminalSend BuildTerminalSend(QStringView text, bool hexSend, bool appendCrc)
{
    TerminalSend out;
    if (!hexSend) {
        out.send = true;
        out.asText = true;
        out.text = text.toString();
        out.logLine = SentPrefix() + out.text;
        return out;
    }
    out.text = text.toString();
    if (appendCrc)
        out.text += Crc16Text(text);
    if (out.text.size() < 2)
        return out;
    out.bytes = HexPairsToBytes(out.text);
    out.send = true;
    out.logLine = SentPrefix() + out.text;
    return out;
}

} // namespace kv

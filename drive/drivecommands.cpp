#include "drive/drivecommands.h"

#include "common/hex.h"
#include "common/numbers.h"
#include "serial/framecodec.h"

namespace kv {

QString FrequencyReferenceDigits(QStringView hertzText)
{
    const double v = Val(hertzText);
    if (!(v >= 0.0 && v <= 50.0))
        return QStringLiteral("0000");
    const int r = RoundHalfEven<int>(v * 20000.0 / 50.0);
    return HexText(static_cast<quint32>(r), 4);
}

EchoFrame MakeEchoFrame(QStringView frameText)
{
    EchoFrame f;
    f.fullText = frameText.toString() + Crc16Text(frameText);
    f.bytes = HexPairsToBytes(f.fullText);
    return f;
}

} // namespace kv

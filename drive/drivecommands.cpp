#include "drive/drivecommands.h"

#include "common/numbers.h"
#include "serial/framecodec.h"

namespace kv {

QString FrequencyReferenceDigits(QStringView hertzText)
{
    const double v = Val(hertzText);
    if (!(v >= 0.0 && v <= 50.0))
        return QStringLiteral("0000");
    const int r = RoundHalfEven<int>(v * 20000.0 / 50.0);
    return QStringLiteral("%1").arg(r, 4, 16, QLatin1Char('0')).toUpper();
}

EchoFrame MakeEchoFrame(QStringView frameText)
{
    EchoFrame f;
    f.fullText = frameText.toString() + Crc16Text(frameText);
    f.bytes = HexPairsToBytes(f.fullText);
    return f;
}

} // namespace kv

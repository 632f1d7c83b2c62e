#include "common/hex.h"

namespace kv {

QString HexText(quint32 value, int width)
{
    char digits[8];
    int n = 0;
    do {
        digits[n++] = HexDigitChar(value);
        value >>= 4;
    } while (value != 0);
    QString out;
    out.reserve(qMax(width, n));
    for (int pad = n; pad < width; ++pad)
        out.append(u'0');
    while (n > 0)
        out.append(QLatin1Char(digits[--n]));
    return out;
}

QString BytesToHexText(QByteArrayView bytes, char separator)
{
    QString out;
    out.reserve(bytes.size() * (separator ? 3 : 2));
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (separator && i > 0)
            out.append(QLatin1Char(separator));
        const auto b = static_cast<quint8>(bytes[i]);
        out.append(QLatin1Char(HexDigitChar(b >> 4)));
        out.append(QLatin1Char(HexDigitChar(b)));
    }
    return out;
}

quint32 LeadingHexValue(QStringView text)
{
    quint32 value = 0;
    for (const QChar c : text) {
        const int d = HexDigitValue(c);
        if (d < 0)
            break;
        value = (value << 4) | static_cast<quint32>(d);
    }
    return value;
}

std::optional<QByteArray> HexTextToBytes(QStringView text)
{
    if (text.size() % 2 != 0)
        return std::nullopt;
    QByteArray bytes(text.size() / 2, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const int hi = HexDigitValue(text[2 * i]);
        const int lo = HexDigitValue(text[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        bytes[i] = static_cast<char>(hi << 4 | lo);
    }
    return bytes;
}

} // namespace kv

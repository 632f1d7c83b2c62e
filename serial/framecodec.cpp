#include "framecodec.h"

namespace kv {

namespace {

int HexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

constexpr char kUpperHex[] = "0123456789ABCDEF";

void AppendHexByte(QString& out, quint8 b)
{
    out.append(QChar(kUpperHex[b >> 4]));
    out.append(QChar(kUpperHex[b & 0x0F]));
}

} // namespace

QString Crc16Text(QStringView frameText)
{
    // The register is kept as a low and a high byte and computed bit by bit:
    // per shift the low byte takes the high byte's lowest bit as its top bit,
    // and a 1 shifted out of the low byte XORs 0xA001 into the register.
    quint8 lo = 0xFF;
    quint8 hi = 0xFF;
    int pending = -1;  // first digit of a pair still waiting for its second
    // Upper case first, then only 0-9 and A-F count (an upper-cased ligature such
    // as U+FB00 becomes "FF" and counts as two digits).
    const QString upper = frameText.toString().toUpper();
    for (const QChar c : upper) {
        const int d = HexDigitValue(c);
        if (d < 0)
            continue;
        if (pending < 0) {
            pending = d;
            continue;
        }
        const quint8 byte = static_cast<quint8>((pending << 4) | d);
        pending = -1;
        lo ^= byte;
        for (int bit = 0; bit < 8; ++bit) {
            const bool carry = (lo & 0x01) != 0;
            lo = static_cast<quint8>((lo >> 1) | ((hi & 0x01) << 7));
            hi = static_cast<quint8>(hi >> 1);
            if (carry) {
                hi ^= 0xA0;
                lo ^= 0x01;
            }
        }
    }
    QString out;
    out.reserve(4);
    AppendHexByte(out, lo);
    AppendHexByte(out, hi);
    return out;
}

quint8 HexPairValue(QStringView pair)
{
    unsigned value = 0;
    for (const QChar c : pair) {
        if (c == u' ' || c == u'\t' || c == u'\n')
            continue;
        const int d = HexDigitValue(c);
        if (d < 0)
            break;
        value = (value << 4) | static_cast<unsigned>(d);
    }
    return static_cast<quint8>(value & 0xFF);
}

QByteArray HexPairsToBytes(QStringView text)
{
    const qsizetype n = text.size() / 2;
    QByteArray bytes(n, '\0');
    for (qsizetype i = 0; i < n; ++i)
        bytes[i] = static_cast<char>(HexPairValue(text.mid(2 * i, 2)));
    return bytes;
}

QByteArray HexFrameToBytes(QStringView frameText)
{
    const QString t = frameText.toString() + Crc16Text(frameText);
    return HexPairsToBytes(t);
}

QString BytesToHexText(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size() * 2);
    for (const char b : bytes)
        AppendHexByte(out, static_cast<quint8>(b));
    return out;
}

} // namespace kv

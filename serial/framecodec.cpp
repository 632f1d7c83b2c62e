#include "framecodec.h"

namespace kv {

namespace {

// The register after one byte whose value is the table's index, starting from
// zero: the bit-by-bit division (reflected polynomial 0xA001) done ahead of time.
struct CrcTable {
    quint16 next[256];
};

constexpr CrcTable MakeCrcTable()
{
    CrcTable table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1u) ? (crc >> 1) ^ 0xA001u : crc >> 1;
        table.next[i] = static_cast<quint16>(crc);
    }
    return table;
}

constexpr CrcTable kCrcTable = MakeCrcTable();

} // namespace

quint16 Crc16(QByteArrayView bytes)
{
    const auto* b = reinterpret_cast<const quint8*>(bytes.data());
    const auto* const end = b + bytes.size();
    const quint16* const next = kCrcTable.next;  // the index is a byte: no bounds to check
    quint16 crc = 0xFFFF;
    for (; b != end; ++b)
        crc = static_cast<quint16>((crc >> 8) ^ next[(crc ^ *b) & 0xFF]);
    return crc;
}

QString Crc16Text(QStringView frameText)
{
    // Upper case first, then only 0-9 and A-F count (an upper-cased ligature such
    // as U+FB00 becomes "FF" and counts as two digits); a last odd digit is left out.
    const QString upper = frameText.toString().toUpper();
    QByteArray bytes;
    bytes.reserve(upper.size() / 2);
    int pending = -1;  // first digit of a pair still waiting for its second
    for (const QChar c : upper) {
        const int d = HexDigitValue(c);
        if (d < 0)
            continue;
        if (pending < 0) {
            pending = d;
            continue;
        }
        bytes.append(static_cast<char>((pending << 4) | d));
        pending = -1;
    }
    const quint16 crc = Crc16(bytes);
    const char wire[2] = {static_cast<char>(crc & 0xFF), static_cast<char>(crc >> 8)};
    return BytesToHexText(QByteArrayView(wire, 2));
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

} // namespace kv

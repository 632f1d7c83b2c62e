// The frame codec on any text: never fails, CRC always four hex digits, pairing
// keeps every character, hex-only texts round-trip.
#include "serial/framecodec.h"
#include "tests/fuzz/fuzzcheck.h"

#include <QString>

#include <cstddef>
#include <cstdint>

namespace {

bool IsUpperHex(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
}

void Check(const QString& text)
{
    const QString crc = kv::Crc16Text(text);
    FUZZ_CHECK(crc.size() == 4);
    for (QChar c : crc)
        FUZZ_CHECK(IsUpperHex(c));
    const QByteArray bytes = kv::HexFrameToBytes(text);
    FUZZ_CHECK(bytes.size() == (text.size() + 4) / 2);

    // Keeping only the hexadecimal digits (an even count) gives a frame whose
    // bytes end in the CRC and check out.
    QString digits;
    for (QChar c : text.toUpper())
        if (IsUpperHex(c))
            digits += c;
    digits.truncate(digits.size() & ~qsizetype(1));
    FUZZ_CHECK(kv::Crc16Text(digits) == crc);
    const QByteArray frame = kv::HexFrameToBytes(digits);
    FUZZ_CHECK(frame.size() == digits.size() / 2 + 2);
    FUZZ_CHECK(kv::BytesToHexText(frame) == digits + crc);
    // A frame followed by its own CRC has a CRC register of zero: CRC text "0000".
    FUZZ_CHECK(kv::Crc16Text(kv::BytesToHexText(frame)) == QStringLiteral("0000"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray raw(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Check(QString::fromUtf8(raw));
    Check(QString::fromLatin1(raw));
    if (size % 2 == 0)
        Check(QString(reinterpret_cast<const QChar*>(data), static_cast<qsizetype>(size / 2)));
    return 0;
}

// Hexadecimal digits, read and written in one place: the digit test and its
// value, numbers and bytes as upper-case text, and text back to bytes. Every
// hexadecimal text the tool shows, logs or sends is made here.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <optional>

namespace kv {

// The value of a hexadecimal digit (0-9, A-F, a-f); -1 for any other character.
constexpr int HexDigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

inline int HexDigitValue(QChar c)
{
    return HexDigitValue(c.unicode());
}

inline bool IsHexDigit(QChar c)
{
    return HexDigitValue(c) >= 0;
}

// The upper-case digit of a value 0..15.
constexpr char HexDigitChar(unsigned value)
{
    return "0123456789ABCDEF"[value & 0x0F];
}

// A number in upper-case hexadecimal digits, padded with zeros to at least
// `width` digits (7 and 4 give "0007"; 0x12345 and 4 give "12345").
QString HexText(quint32 value, int width);

// Bytes as upper-case hexadecimal text, two digits per byte; with a separator,
// one between bytes ("01 03 0C").
QString BytesToHexText(QByteArrayView bytes, char separator = '\0');

// The value of the digits a text begins with, read up to the first character
// that is not a hexadecimal digit ("1F" 31, "1G5" 1, "" 0); only the lowest
// 32 bits are kept.
quint32 LeadingHexValue(QStringView text);

// A text of whole pairs of hexadecimal digits as bytes; nothing when the text
// has an odd length or any other character.
std::optional<QByteArray> HexTextToBytes(QStringView text);

} // namespace kv

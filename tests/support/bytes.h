// Bytes written as hexadecimal pairs for tests: "01 03 00 04" -> 01 03 00 04.
#pragma once

#include <QByteArray>

namespace kv::test {

inline QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

} // namespace kv::test

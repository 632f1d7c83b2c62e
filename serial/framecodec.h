// Frame text to wire bytes: the Modbus RTU CRC-16 and the hexadecimal pairing.
//
// A frame text is pairs of hexadecimal digits without separators, starting with
// the station address and the function code, without the CRC (010300040006).
#pragma once

#include "common/hex.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace kv {

// CRC-16/MODBUS of the bytes: the frame carries it low byte first.
quint16 Crc16(QByteArrayView bytes);

// CRC-16/MODBUS of the bytes the text spells, as four upper-case hexadecimal
// digits in wire order (low byte first). Only hexadecimal digits count; a last
// odd digit is ignored. A text without a whole byte gives the CRC of zero
// bytes, "FFFF".
QString Crc16Text(QStringView frameText);

// The text followed by its CRC text, cut into pairs from the start without
// removing any character; each pair read as a lenient hexadecimal number.
QByteArray HexFrameToBytes(QStringView frameText);

// Cuts a text into pairs (characters 2i, 2i+1) and reads each as a hexadecimal
// number; a last odd character is dropped. Used by the codec and the terminal.
QByteArray HexPairsToBytes(QStringView text);

// One pair read as a hexadecimal number: blanks, tabs and line feeds are
// skipped, digits are taken up to the first non-hexadecimal character, no
// leading digit gives 0.
quint8 HexPairValue(QStringView pair);

} // namespace kv

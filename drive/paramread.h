// Reading single parameters: the request for a catalogue row and the text of
// its result row.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace kv {

inline constexpr int kParameterWaitMs = 50;

// The read request for a catalogue row: station + "03" + register + "0001".
QString ParameterReadRequestText(QStringView stationAddr, QStringView catalogueRow);

// The result row of one reply: a 7-byte reply shows bytes 3 and 4 as an
// unsigned decimal value; any other reply shows its bytes as upper-case
// hexadecimal without leading zeros, joined; no bytes give an empty row.
QString ParameterResultRow(const QByteArray& reply);

// A reply delivered as text taken as bytes: its UTF-16 code units, low byte first.
QByteArray TextReplyBytes(QStringView text);

} // namespace kv

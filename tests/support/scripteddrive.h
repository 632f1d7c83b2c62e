// A drive on the scripted line, for tests that need one that answers: reads
// of holding registers (03) from a map of registers, writes of one register
// (06) echoed and stored, each reply a moment after its request. What the
// test asks for on top: requests it refuses with an exception, what a write
// does to other registers, falling silent, losing the line. Frames are
// parsed and answered here with a CRC worked out apart from the tool's own.
#pragma once

#include "serial/faketransport.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <functional>
#include <optional>

namespace kv::test {

// CRC-16/MODBUS, bit by bit, independent of the tool's codec.
quint16 ModbusCrc(const QByteArray& bytes);
// The bytes with their CRC appended, low byte first.
QByteArray WithCrc(const QByteArray& bytes);

class ScriptedDrive {
public:
    struct Request {
        quint8 station = 0;
        quint8 function = 0;
        quint16 address = 0;
        quint16 countOrValue = 0;
    };

    explicit ScriptedDrive(FakeTransport& line, quint8 station = 1);

    QMap<quint16, quint16> registers;  // address -> value; others are refused with 02
    // An exception code for a request the drive refuses (none: it answers).
    std::function<std::optional<quint8>(const Request&)> refuse;
    // What a write does besides storing its value (a macro resetting others).
    std::function<void(quint16 address, quint16 value)> onWrite;
    qint64 replyAfterUs = 5000;
    int silentFrom = -1;  // the request (counted from 1) from which nothing is answered
    int loseAt = -1;      // the request at which the line goes away
    bool answering = true;

    // Every request received, as "R 26AD x1" or "W 0899=0032".
    QStringList requests;

private:
    QList<FakeTransport::Piece> Answer(const QByteArray& frame);

    FakeTransport& m_line;
    quint8 m_station;
};

} // namespace kv::test

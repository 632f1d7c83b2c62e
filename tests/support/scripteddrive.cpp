#include "tests/support/scripteddrive.h"

#include <QMetaObject>

namespace kv::test {

quint16 ModbusCrc(const QByteArray& bytes)
{
    quint16 crc = 0xFFFF;
    for (const char byte : bytes) {
        crc ^= static_cast<quint8>(byte);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<quint16>((crc >> 1) ^ 0xA001) : static_cast<quint16>(crc >> 1);
    }
    return crc;
}

QByteArray WithCrc(const QByteArray& bytes)
{
    const quint16 crc = ModbusCrc(bytes);
    return bytes + char(crc & 0xFF) + char(crc >> 8);
}

ScriptedDrive::ScriptedDrive(FakeTransport& line, quint8 station)
    : m_line(line)
    , m_station(station)
{
    m_line.SetResponder([this](const QByteArray& frame) { return Answer(frame); });
}

QList<FakeTransport::Piece> ScriptedDrive::Answer(const QByteArray& frame)
{
    const auto byte = [&](int i) { return static_cast<quint8>(frame[i]); };
    if (frame.size() != 8 || WithCrc(frame.left(6)) != frame)
        return {};  // not a request this drive reads
    Request r{byte(0), byte(1), static_cast<quint16>(byte(2) << 8 | byte(3)),
              static_cast<quint16>(byte(4) << 8 | byte(5))};
    const auto hex4 = [](quint16 v) { return QStringLiteral("%1").arg(v, 4, 16, QLatin1Char('0')).toUpper(); };
    requests.append(r.function == 0x06 ? QStringLiteral("W %1=%2").arg(hex4(r.address), hex4(r.countOrValue))
                                       : QStringLiteral("R %1 x%2").arg(hex4(r.address)).arg(r.countOrValue));
    const int n = static_cast<int>(requests.size());
    if (n == loseAt) {
        // From the event loop: the write that carried the request has returned.
        QMetaObject::invokeMethod(&m_line, [this] { m_line.Lose(); }, Qt::QueuedConnection);
        return {};
    }
    if (!answering || r.station != m_station || (silentFrom > 0 && n >= silentFrom))
        return {};
    auto bytes = [](std::initializer_list<int> values) {
        QByteArray b;
        for (const int v : values)
            b += static_cast<char>(v);
        return b;
    };
    auto exception = [&](quint8 code) {
        return QList<FakeTransport::Piece>{{replyAfterUs, WithCrc(bytes({m_station, r.function | 0x80, code}))}};
    };
    if (refuse)
        if (const std::optional<quint8> code = refuse(r))
            return exception(*code);
    if (r.function == 0x03) {
        QByteArray reply = bytes({m_station, 0x03, 2 * r.countOrValue});
        for (quint16 k = 0; k < r.countOrValue; ++k) {
            const auto it = registers.constFind(static_cast<quint16>(r.address + k));
            if (it == registers.constEnd())
                return exception(0x02);
            reply += char(*it >> 8);
            reply += char(*it & 0xFF);
        }
        return {{replyAfterUs, WithCrc(reply)}};
    }
    if (r.function == 0x06) {
        if (!registers.contains(r.address))
            return exception(0x02);
        registers[r.address] = r.countOrValue;
        if (onWrite)
            onWrite(r.address, r.countOrValue);
        return {{replyAfterUs, frame}};
    }
    return exception(0x01);
}

} // namespace kv::test

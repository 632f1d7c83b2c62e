#include "drive/paramread.h"

#include "drive/catalogue.h"

namespace kv {

QString ParameterReadRequestText(QStringView stationAddr, QStringView catalogueRow)
{
    return stationAddr.toString() + QStringLiteral("03") + ParameterRegisterHex(catalogueRow) + QStringLiteral("0001");
}

QString ParameterResultRow(const QByteArray& reply)
{
    if (reply.size() == 7) {
        const unsigned value = static_cast<quint8>(reply[3]) * 256u + static_cast<quint8>(reply[4]);
        return QString::number(value);
    }
    QString row;
    row.reserve(reply.size() * 2);
    for (const char b : reply)
        row += QString::number(static_cast<quint8>(b), 16).toUpper();
    return row;
}

QByteArray TextReplyBytes(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size() * 2);
    for (const QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

} // namespace kv

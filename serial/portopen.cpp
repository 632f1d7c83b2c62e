#include "serial/portopen.h"

#include "common/hex.h"
#include "serial/netaddress.h"
#include "serial/portsettings.h"

#include <QSerialPortInfo>

namespace kv {

QString StationAddrFromText(QStringView stationText)
{
    // Only a plain whole number names a station: a wrong station would start or
    // stop another drive on the bus, so anything that is not clearly one falls
    // back on station 1.
    qsizetype from = 0;
    qsizetype to = stationText.size();
    auto blank = [&](qsizetype i) {
        const QChar c = stationText[i];
        return c == u' ' || c == u'\t' || c == u'\n';
    };
    while (from < to && blank(from))
        ++from;
    while (to > from && blank(to - 1))
        --to;
    if (from == to)
        return QStringLiteral("01");
    int station = 0;
    for (qsizetype i = from; i < to; ++i) {
        const char16_t u = stationText[i].unicode();
        if (u < u'0' || u > u'9')
            return QStringLiteral("01");
        station = station * 10 + (u - u'0');
        if (station > kMaxStation)
            return QStringLiteral("01");
    }
    return HexText(static_cast<quint32>(station), 2);
}

PortTarget ResolvePortText(QStringView portText)
{
    PortTarget target;
    bool malformed = false;
    if (const std::optional<NetAddress> address = ParseNetAddress(portText, &malformed)) {
        target.kind = PortTarget::Network;
        target.device = address->Text();
        return target;
    }
    if (malformed)
        return target;
    if (const std::optional<QString> device = DeviceForPortText(portText)) {
        target.kind = PortTarget::Device;
        target.device = *device;
        return target;
    }
#ifndef Q_OS_WIN
    // A device path that leads nowhere must not fall back on its trailing digits
    // (/dev/ttyUSB9 is not COM9).
    if (TrimBlanks(portText).startsWith(u'/'))
        return target;
#endif
    if (const std::optional<int> number = TrailingPortNumber(portText)) {
        target.kind = PortTarget::Number;
        target.number = *number;
    }
    return target;
}

QString TrimBlanks(QStringView text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text[from] == u' ')
        ++from;
    while (to > from && text[to - 1] == u' ')
        --to;
    return text.mid(from, to - from).toString();
}

QString BuildSettingsText(QStringView baud, QStringView parity, QStringView dataBits, QStringView stopBits)
{
    return TrimBlanks(baud) + u',' + parity.left(1).toString() + u',' + TrimBlanks(dataBits) + u','
        + TrimBlanks(stopBits);
}

QStringList PortListEntries(const QStringList& systemPorts)
{
    QStringList rows;
    for (int n = 1; n <= 10; ++n)
        rows.append(QStringLiteral("COM%1").arg(n));
    for (const QString& port : systemPorts) {
        if (!port.isEmpty() && !rows.contains(port, Qt::CaseInsensitive))
            rows.append(port);
    }
    return rows;
}

QStringList SystemPortNames()
{
    QStringList names;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
#ifdef Q_OS_WIN
        names.append(info.portName());
#else
        names.append(info.systemLocation());
#endif
    }
    return names;
}

} // namespace kv

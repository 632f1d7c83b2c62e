#include "serial/netaddress.h"

#include <QHostAddress>

namespace kv {

namespace {

std::optional<quint16> PortNumber(QStringView text)
{
    if (text.isEmpty() || text.size() > 5)
        return std::nullopt;
    int port = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        port = port * 10 + (c.unicode() - u'0');
    }
    if (port < 1 || port > 65535)
        return std::nullopt;
    return static_cast<quint16>(port);
}

// A host name as DNS writes it: labels of letters, digits and hyphens, joined by dots.
bool IsHostName(QStringView host)
{
    if (host.isEmpty() || host.size() > 253 || host.startsWith(u'.') || host.endsWith(u'.'))
        return false;
    qsizetype label = 0;
    for (const QChar c : host) {
        if (c == u'.') {
            if (label == 0)
                return false;
            label = 0;
            continue;
        }
        const char16_t u = c.unicode();
        const bool ok = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'-';
        if (!ok || ++label > 63)
            return false;
    }
    return true;
}

std::optional<NetAddress> ParseHostPort(QStringView text, bool explicitTcp)
{
    NetAddress address;
    QStringView portText;
    if (text.startsWith(u'[')) {
        const qsizetype close = text.indexOf(u']');
        if (close < 0 || close + 1 >= text.size() || text[close + 1] != u':')
            return std::nullopt;
        const QStringView host = text.mid(1, close - 1);
        QHostAddress ip;
        if (!ip.setAddress(host.toString()) || ip.protocol() != QAbstractSocket::IPv6Protocol)
            return std::nullopt;
        address.host = host.toString();
        portText = text.mid(close + 2);
    } else {
        const qsizetype colon = text.lastIndexOf(u':');
        if (colon <= 0)
            return std::nullopt;
        const QStringView host = text.left(colon);
        portText = text.mid(colon + 1);
        QHostAddress ip;
        const bool ipv4 = ip.setAddress(host.toString()) && ip.protocol() == QAbstractSocket::IPv4Protocol
            && host.count(u'.') == 3;
        const bool named = host.compare(u"localhost", Qt::CaseInsensitive) == 0
            || (IsHostName(host) && (explicitTcp || host.contains(u'.')));
        if (!ipv4 && !named)
            return std::nullopt;
        address.host = host.toString();
    }
    const std::optional<quint16> port = PortNumber(portText);
    if (!port)
        return std::nullopt;
    address.port = *port;
    return address;
}

} // namespace

QString NetAddress::Text() const
{
    const QString shownHost = host.contains(u':') ? u'[' + host + u']' : host;
    return shownHost + u':' + QString::number(port);
}

std::optional<NetAddress> ParseNetAddress(QStringView text, bool* malformed)
{
    if (malformed)
        *malformed = false;
    text = text.trimmed();
    static constexpr QStringView kScheme = u"tcp://";
    if (text.startsWith(kScheme, Qt::CaseInsensitive)) {
        std::optional<NetAddress> address = ParseHostPort(text.mid(kScheme.size()), true);
        if (!address && malformed)
            *malformed = true;
        return address;
    }
    return ParseHostPort(text, false);
}

} // namespace kv

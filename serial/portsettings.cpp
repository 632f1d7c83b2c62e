#include "portsettings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#include <limits>

namespace kv {

namespace {

bool AllDigits(QStringView s)
{
    if (s.isEmpty())
        return false;
    for (const QChar c : s)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

} // namespace

std::optional<LineSettings> ParseSettings(QStringView text)
{
    const QList<QStringView> parts = text.split(u',');
    if (parts.size() != 4)
        return std::nullopt;
    LineSettings s;

    const QStringView baud = parts[0];
    if (!AllDigits(baud) || baud.size() > 9)
        return std::nullopt;
    const qint64 b = baud.toLongLong();
    if (b <= 0)
        return std::nullopt;
    s.baud = static_cast<qint32>(b);

    if (parts[1].size() != 1)
        return std::nullopt;
    switch (parts[1][0].toUpper().unicode()) {
    case u'N': s.parity = QSerialPort::NoParity; break;
    case u'O': s.parity = QSerialPort::OddParity; break;
    case u'E': s.parity = QSerialPort::EvenParity; break;
    case u'M': s.parity = QSerialPort::MarkParity; break;
    case u'S': s.parity = QSerialPort::SpaceParity; break;
    default: return std::nullopt;
    }

    if (parts[2] == u"5") s.dataBits = QSerialPort::Data5;
    else if (parts[2] == u"6") s.dataBits = QSerialPort::Data6;
    else if (parts[2] == u"7") s.dataBits = QSerialPort::Data7;
    else if (parts[2] == u"8") s.dataBits = QSerialPort::Data8;
    else return std::nullopt;

    if (parts[3] == u"1") s.stopBits = QSerialPort::OneStop;
    else if (parts[3] == u"1.5") s.stopBits = QSerialPort::OneAndHalfStop;
    else if (parts[3] == u"2") s.stopBits = QSerialPort::TwoStop;
    else return std::nullopt;

    return s;
}

QString SettingsText(const LineSettings& settings)
{
    QChar parity = u'N';
    switch (settings.parity) {
    case QSerialPort::OddParity: parity = u'O'; break;
    case QSerialPort::EvenParity: parity = u'E'; break;
    case QSerialPort::MarkParity: parity = u'M'; break;
    case QSerialPort::SpaceParity: parity = u'S'; break;
    default: break;
    }
    const QString stop = settings.stopBits == QSerialPort::OneAndHalfStop ? QStringLiteral("1.5")
        : settings.stopBits == QSerialPort::TwoStop                        ? QStringLiteral("2")
                                                                           : QStringLiteral("1");
    return QStringLiteral("%1,%2,%3,%4").arg(settings.baud).arg(parity).arg(int(settings.dataBits)).arg(stop);
}

QString PortLinkFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return base.isEmpty() ? QString() : base + QStringLiteral("/ports");
}

QString DeviceForPortNumber(int portNumber, const QString& linkFolder)
{
#ifdef Q_OS_WIN
    Q_UNUSED(linkFolder);
    return QStringLiteral("COM%1").arg(portNumber);
#else
    if (!linkFolder.isEmpty()) {
        const QFileInfo link(linkFolder + QStringLiteral("/COM%1").arg(portNumber));
        if (link.isSymLink())
            return link.symLinkTarget();
        if (link.exists())
            return link.absoluteFilePath();
    }
    return QStringLiteral("/dev/ttyS%1").arg(portNumber - 1);
#endif
}

std::optional<QString> DeviceForPortText(QStringView text)
{
#ifdef Q_OS_WIN
    Q_UNUSED(text);
    return std::nullopt;
#else
    const QString t = text.trimmed().toString();
    if (t.isEmpty())
        return std::nullopt;
    if (t.startsWith(u'/'))
        return QFileInfo::exists(t) ? std::optional<QString>(t) : std::nullopt;
    if (t.startsWith(QStringLiteral("COM"), Qt::CaseInsensitive))
        return std::nullopt;
    if (t.contains(u'/') || t.contains(u' '))
        return std::nullopt;
    const QString dev = QStringLiteral("/dev/") + t;
    return QFileInfo::exists(dev) ? std::optional<QString>(dev) : std::nullopt;
#endif
}

std::optional<int> TrailingPortNumber(QStringView text)
{
    qsizetype start = text.size();
    while (start > 0 && text[start - 1] >= u'0' && text[start - 1] <= u'9')
        --start;
    if (start == text.size())
        return std::nullopt;
    const QStringView digits = text.mid(start);
    // Only the value matters: leading zeros are fine, an absurd length is not a port.
    qint64 value = 0;
    for (const QChar c : digits) {
        value = value * 10 + (c.unicode() - u'0');
        if (value > std::numeric_limits<int>::max())
            return std::numeric_limits<int>::max();
    }
    return static_cast<int>(value);
}

} // namespace kv

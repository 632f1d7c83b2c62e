#include "serial/portinfo.h"

#include "serial/portopen.h"
#include "serial/portsettings.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QSerialPortInfo>

namespace kv {

QList<SystemPort> SystemPorts()
{
    QList<SystemPort> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        SystemPort port;
#ifdef Q_OS_WIN
        port.location = info.portName();
#else
        port.location = info.systemLocation();
#endif
        port.name = info.portName();
        port.description = info.description().trimmed();
        port.manufacturer = info.manufacturer().trimmed();
        ports.append(port);
    }
    return ports;
}

QString PortDescription(const SystemPort& port)
{
    if (port.manufacturer.isEmpty() || port.description.contains(port.manufacturer, Qt::CaseInsensitive))
        return port.description;
    if (port.description.isEmpty())
        return port.manufacturer;
    return port.description + QStringLiteral(" (") + port.manufacturer + u')';
}

QString PortToolTip(const SystemPort& port)
{
    const QString what = PortDescription(port);
    return what.isEmpty() ? port.name : port.name + QStringLiteral(" — ") + what;
}

QList<PortRow> PortListRows(const QList<SystemPort>& ports)
{
    QStringList locations;
    for (const SystemPort& port : ports)
        locations.append(port.location);
    QList<PortRow> rows;
    for (const QString& text : PortListEntries(locations)) {
        PortRow row{text, {}};
        for (const SystemPort& port : ports) {
            if (port.location == text) {
                row.toolTip = PortToolTip(port);
                break;
            }
        }
        rows.append(row);
    }
    return rows;
}

std::optional<SystemPort> PortForDevice(const QString& device, const QList<SystemPort>& ports)
{
    if (device.isEmpty())
        return std::nullopt;
#ifdef Q_OS_WIN
    for (const SystemPort& port : ports) {
        if (port.location.compare(device, Qt::CaseInsensitive) == 0)
            return port;
    }
#else
    const QString real = QFileInfo(device).canonicalFilePath();
    for (const SystemPort& port : ports) {
        if (port.location == device || (!real.isEmpty() && QFileInfo(port.location).canonicalFilePath() == real))
            return port;
    }
#endif
    return std::nullopt;
}

QString PresentDeviceForPortText(QStringView portText)
{
    const PortTarget target = ResolvePortText(portText);
    switch (target.kind) {
    case PortTarget::Device:
        return target.device;
    case PortTarget::Number: {
        if (target.number < 1 || target.number > 255)
            return {};
        const QString device = DeviceForPortNumber(target.number);
#ifdef Q_OS_WIN
        return device;
#else
        return QFileInfo::exists(device) ? device : QString();
#endif
    }
    case PortTarget::Network:  // no device of this machine
    case PortTarget::Invalid:
        break;
    }
    return {};
}

bool DeviceOpens(const QString& device)
{
    if (device.isEmpty())
        return false;
    QSerialPort port;
    port.setPortName(device);
    if (!port.open(QIODevice::ReadWrite))
        return false;
    port.close();
    return true;
}

} // namespace kv

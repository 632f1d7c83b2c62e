// What the system knows of its serial ports, for the port list and the status
// line: each port's name, description and maker, which of them a device is,
// and whether the device a port text names is there now.
#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <optional>

namespace kv {

struct SystemPort {
    QString location;      // what the port list shows: /dev/ttyUSB0 on POSIX, COM12 on Windows
    QString name;          // ttyUSB0, COM12
    QString description;   // "FT232R USB UART"; empty when the system knows none
    QString manufacturer;  // "FTDI"; empty when the system knows none
};

// The serial ports the system reports now.
QList<SystemPort> SystemPorts();

// "FT232R USB UART (FTDI)", or as much of it as is known; empty when nothing is.
QString PortDescription(const SystemPort& port);
// "ttyUSB0 — FT232R USB UART (FTDI)"; the name alone when nothing more is known.
QString PortToolTip(const SystemPort& port);

struct PortRow {
    QString text;
    QString toolTip;  // empty for COM1..COM10
    friend bool operator==(const PortRow&, const PortRow&) = default;
};

// The rows of the port list: COM1 to COM10, then the system ports not among
// them, in their order, each with its tooltip.
QList<PortRow> PortListRows(const QList<SystemPort>& ports);

// The system port a device is, links followed (COM3 -> /dev/ttyUSB0); nothing
// when it is none of them.
std::optional<SystemPort> PortForDevice(const QString& device, const QList<SystemPort>& ports);

// The device the port box's text leads to, when that device is there now
// (a device path, a system port name, or COM<n> through its link); empty
// otherwise.
QString PresentDeviceForPortText(QStringView portText);

// Whether the device can be opened now; it is closed again at once.
bool DeviceOpens(const QString& device);

} // namespace kv

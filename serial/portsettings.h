// Line settings text and port names, without any port being touched.
#pragma once

#include <QSerialPort>
#include <QString>
#include <QStringView>

#include <optional>

namespace kv {

struct LineSettings {
    qint32 baud = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;
};

// "baud,parity,data bits,stop bits" as 9600,N,8,1: a positive whole baud rate,
// a parity letter N, O, E, M or S (either case), 5 to 8 data bits and 1, 1.5 or
// 2 stop bits. Anything else is rejected (nothing is returned), never defaulted.
std::optional<LineSettings> ParseSettings(QStringView text);

// The settings text of a LineSettings (9600,N,8,1).
QString SettingsText(const LineSettings& settings);

// Where the port names of this machine lead: on POSIX a link COM<n> in this
// folder names the device used for port n.
QString PortLinkFolder();

// The device behind a port number: on Windows "COM<n>"; on POSIX the target of
// the link COM<n> in the link folder when there is one, else /dev/ttyS<n-1>.
QString DeviceForPortNumber(int portNumber, const QString& linkFolder = PortLinkFolder());

// A port text that names a device directly: a device path (/dev/ttyUSB0,
// /dev/pts/3) or a system port name (ttyUSB0) on POSIX. COM texts and anything
// that does not name an existing device give nothing.
std::optional<QString> DeviceForPortText(QStringView text);

// The decimal digits at the end of a port text ("COM 3" -> 3, "COM10" -> 10);
// nothing when the text does not end in a digit.
std::optional<int> TrailingPortNumber(QStringView text);

} // namespace kv

// What opening the port takes from the settings group: the station address,
// the port the port box names, and the line settings text. No port is touched.
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace kv {

// The highest station a drive can have.
inline constexpr int kMaxStation = 247;

// The station address of every drive frame, from the station box, as two
// upper-case hexadecimal digits. The box must hold a whole number 0..247 written
// with decimal digits only (any number of them, leading zeros allowed),
// optionally with blanks, tabs or line feeds around it: "1" -> "01",
// "10" -> "0A", "247" -> "F7", "0012" -> "0C", "0" -> "00" (broadcast, typed on
// purpose). Everything else gives "01": an empty box, a number above 247, a
// sign, a decimal point or exponent ("1.0", "1e2"), "&H10", inner blanks,
// letters, digits of other scripts.
QString StationAddrFromText(QStringView stationText);

// Where the port box leads.
struct PortTarget {
    enum Kind {
        Number,   // a port number for CommPort ("COM 3" -> 3)
        Device,   // a device named directly (POSIX device path or system port name)
        Network,  // a converter's network address (192.168.1.20:4001); `device` is its text
        Invalid,  // no digit at the end, or a device path that does not exist
    };
    Kind kind = Invalid;
    int number = 0;
    QString device;
};

// A network address (netaddress.h: 192.168.1.20:4001, [fe80::1]:4001,
// host.local:4001, tcp://...) leads to that converter; a text that starts with
// tcp:// and is no address is invalid.
// A text naming an existing device (/dev/pts/3, ttyUSB0 on POSIX) leads to that
// device; a text that looks like a device path but names none is invalid;
// anything else leads to the decimal digits at its end ("COM10" -> 10), or is
// invalid without any.
PortTarget ResolvePortText(QStringView portText);

// Blanks (only blanks, as the box's trimming does) removed at both ends.
QString TrimBlanks(QStringView text);

// "baud,parity letter,data bits,stop bits": the baud, data-bits and stop-bits
// texts trimmed of blanks, the parity text's first character as it is (not
// trimmed, not upper-cased). Defaults give 9600,N,8,1.
QString BuildSettingsText(QStringView baud, QStringView parity, QStringView dataBits, QStringView stopBits);

// The rows of the port list: COM1 to COM10, then the given ports of this
// machine that are not among them, in their order.
QStringList PortListEntries(const QStringList& systemPorts);

// The serial ports the system reports: device paths on POSIX (/dev/ttyUSB0),
// port names on Windows (COM12).
QStringList SystemPortNames();

} // namespace kv

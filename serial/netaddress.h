// Network addresses in the port box: a serial-to-Ethernet converter in
// transparent mode is reached as host:port, and the RTU frames go over the
// connection as they would over the cable.
//
// A text is a network address when, trimmed of blanks,
//   - it starts with tcp:// (any case), followed by one of the forms below, or
//   - it is [IPv6 address]:port, or
//   - it is host:port where the host is "localhost", an IPv4 address or a name
//     with a dot in it (host.local, plc.example.com).
// The port is a decimal number 1..65535. Every other text is left to the
// serial rules (COM 3, COM:3, /dev/ttyUSB0, ttyUSB0): a name without a dot
// before a colon is never taken for a host.
#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace kv {

struct NetAddress {
    QString host;  // without brackets: 192.168.1.20, fe80::1, host.local
    quint16 port = 0;

    // host:port, with an IPv6 host in brackets: "192.168.1.20:4001", "[fe80::1]:4001".
    QString Text() const;
};

// The address a port text names; nothing when it is not a network address.
// A text that starts with tcp:// but does not go on as an address gives
// nothing too (and `malformed` is set, so that it is not taken for a serial port).
std::optional<NetAddress> ParseNetAddress(QStringView text, bool* malformed = nullptr);

} // namespace kv

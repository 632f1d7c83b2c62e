// What the main window says of its port to the work beside it, and the one
// thing that work may ask of it: to open the port as a user would. Nobody
// reads the window's captions; the window answers these instead.
#pragma once

#include <QMetaType>
#include <QString>

namespace kv {

// The texts of the settings boxes (port, baud, parity, data bits, stop bits, station).
struct PortChoice {
    QString port, baud, parity, dataBits, stopBits, station;
    friend bool operator==(const PortChoice&, const PortChoice&) = default;
};

// What happened to the window's port.
enum class PortEvent {
    Opened,      // "打开串口" pressed and the port opened
    Closed,      // "关闭串口" pressed
    OpenFailed,  // "打开串口" pressed and the port did not open ("无效端口号")
    Lost,        // the device went away while the window showed the port open
};

class WindowPort {
public:
    virtual ~WindowPort() = default;
    // The open/close button reads "关闭串口".
    virtual bool PortIsOpen() const = 0;
    // The boxes as they were when the port was last opened.
    virtual PortChoice OpenedWith() const = 0;
    // The settings text the port was last opened with ("9600,N,8,1").
    virtual QString OpenedSettings() const = 0;
    // Puts the texts in the boxes and presses "打开串口" as a user would.
    virtual void OpenPortAs(const PortChoice& choice) = 0;
    // Presses "关闭串口" as a user would (nothing when the port is closed).
    virtual void ClosePort() = 0;
};

} // namespace kv

Q_DECLARE_METATYPE(kv::PortEvent)

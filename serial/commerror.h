// Errors of the serial control, raised by the failing operation as the
// control's run-time errors are; only the open/close handler traps them.
#pragma once

#include <QString>

#include <stdexcept>

namespace kv {

class CommError : public std::runtime_error {
public:
    // The serial control's own error numbers.
    enum Code {
        InvalidPropertyValue = 380,
        InvalidPortNumber = 8002,
        PortAlreadyOpen = 8005,
        OperationNeedsOpenPort = 8012,
        CannotSetCommState = 8015,
        PortNotAvailable = 8002 + 1000,  // the device is missing or busy
        WriteFailed = 8020,
    };

    CommError(Code code, const QString& message)
        : std::runtime_error(message.toStdString())
        , m_code(code)
    {
    }

    Code code() const { return m_code; }

private:
    Code m_code;
};

} // namespace kv

// Services the tool takes from the operating system, behind one interface so
// that handlers can be tested with a fake (a temporary folder as system
// directory, a recorded launch, a sleep that only counts).
#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace kv {

// How a started program's window is shown (the values of the Windows API).
enum class WindowStyle {
    Hide = 0,
    NormalFocus = 1,
    MinimizedFocus = 2,
    MaximizedFocus = 3,
    NormalNoFocus = 4,
    MinimizedNoFocus = 6,
};

class PlatformServices {
public:
    virtual ~PlatformServices() = default;

    // Blocks the calling thread; bytes from the line gather in the serial control meanwhile.
    virtual void Sleep(int milliseconds) = 0;
    // The system directory (GetSystemDirectory on Windows); empty when there is none.
    virtual QString SystemDirectory() = 0;
    // The separator between a directory and a file name on this platform.
    virtual QChar PathSeparator() const = 0;
    // A resource of the program by type and numeric id; nothing when it is missing.
    virtual std::optional<QByteArray> LoadResource(const QString& type, int id) = 0;
    // Writes bytes to a file, replacing it; false on any failure.
    virtual bool WriteFile(const QString& path, const QByteArray& bytes) = 0;
    // Starts a program from a command line without waiting for it; false when it cannot start.
    virtual bool StartProgram(const QString& commandLine, WindowStyle style) = 0;
    // The current time of day in the user's regional format, e.g. 14:05:33.
    virtual QString TimeOfDayText() = 0;
    // The current local date and time formatted with a pattern such as "hh:mm:ss".
    virtual QString NowText(const QString& pattern) = 0;
};

// The implementation for the platform the program was built for.
PlatformServices& SystemPlatform();

} // namespace kv

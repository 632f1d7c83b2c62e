// The start-up routine and the installation of the serial component: the
// program carries the component file among its resources, writes it into the
// system directory and has the system register it.
#pragma once

#include "common/platform.h"

#include <QString>

#include <functional>
#include <stdexcept>

namespace kv {

inline constexpr short kSerialComponentResourceId = 101;
inline const QString kSerialComponentResourceType = QStringLiteral("CUSTOM");
inline const QString kSerialComponentFileName = QStringLiteral("MSCOMM32.OCX");

// The step of the installation that failed.
class InstallError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes the resource (type, id) to system directory + separator + file name, so
// that the file holds exactly the resource's bytes, then starts
// "regsvr32  " + file name with a hidden window without waiting. The first
// failing step throws InstallError and the later steps are not done.
void ExtractResourceFile(PlatformServices& platform, short resourceId, const QString& resourceType,
                         const QString& fileName);

// "注册控件": the start-up installation again, every failure silent.
void RegisterSerialComponent(PlatformServices& platform);

// "卸载控件": starts "regsvr32 /u  MSCOMM32.OCX " minimized with the focus, without
// waiting, when the build carries the component (resource CUSTOM 101) and the
// system has a system directory; otherwise it does nothing, silently.
void UnregisterSerialComponent(PlatformServices& platform);

// The program's start-up routine: installs and registers the serial component,
// ignoring every failure, then shows the main window (through showMainWindow,
// whose failures are ignored as well).
void Main(PlatformServices& platform, const std::function<void()>& showMainWindow);

} // namespace kv

#include "app/startup.h"

namespace kv {

void ExtractResourceFile(PlatformServices& platform, short resourceId, const QString& resourceType,
                         const QString& fileName)
{
    const QString systemDirectory = platform.SystemDirectory();
    // Without a system directory there is nowhere to install to; never fall back
    // to the file system's root or the working directory.
    if (systemDirectory.isEmpty())
        throw InstallError("no system directory");

    const std::optional<QByteArray> bytes = platform.LoadResource(resourceType, resourceId);
    if (!bytes)
        throw InstallError("resource not found");

    const QString path = systemDirectory + platform.PathSeparator() + fileName;
    if (!platform.WriteFile(path, *bytes))
        throw InstallError("cannot write the component file");

    if (!platform.StartProgram(QStringLiteral("regsvr32  ") + fileName, WindowStyle::Hide))
        throw InstallError("cannot start the registration");
}

void RegisterSerialComponent(PlatformServices& platform)
{
    try {
        ExtractResourceFile(platform, kSerialComponentResourceId, kSerialComponentResourceType,
                            kSerialComponentFileName);
    } catch (const std::exception&) {
        // Installing is best effort: the tool works without it.
    }
}

void UnregisterSerialComponent(PlatformServices& platform)
{
    // Only a control this build installs may be unregistered: a build that
    // carries no component never registered one, and the control found under
    // that name belongs to other programs. Without a system directory (POSIX)
    // nothing was ever registered either, and a "regsvr32" found on the PATH
    // is not the system's.
    if (platform.SystemDirectory().isEmpty())
        return;
    if (!platform.LoadResource(kSerialComponentResourceType, kSerialComponentResourceId))
        return;
    platform.StartProgram(QStringLiteral("regsvr32 /u  ") + kSerialComponentFileName + u' ',
                          WindowStyle::MinimizedFocus);
}

void Main(PlatformServices& platform, const std::function<void()>& showMainWindow)
{
    RegisterSerialComponent(platform);
    try {
        if (showMainWindow)
            showMainWindow();
    } catch (const std::exception&) {
        // Nothing to show: the program ends when no window is open.
    }
}

} // namespace kv

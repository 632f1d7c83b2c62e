#include "platform.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QThread>
#include <QTime>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#endif

namespace kv {

namespace {

class RealPlatform final : public PlatformServices {
public:
    void Sleep(int milliseconds) override
    {
        if (milliseconds > 0)
            QThread::msleep(static_cast<unsigned long>(milliseconds));
    }

    QString SystemDirectory() override
    {
#ifdef Q_OS_WIN
        wchar_t buffer[MAX_PATH + 1] = {};
        const UINT n = GetSystemDirectoryW(buffer, MAX_PATH);
        if (n == 0 || n > MAX_PATH)
            return {};
        return QString::fromWCharArray(buffer, static_cast<int>(n));
#else
        // A POSIX system has no directory where components are registered; the
        // installer writes nothing when there is no such directory.
        return {};
#endif
    }

    QChar PathSeparator() const override
    {
#ifdef Q_OS_WIN
        return u'\\';
#else
        return u'/';
#endif
    }

    std::optional<QByteArray> LoadResource(const QString& type, int id) override
    {
        // Program resources are compiled in with Qt's resource system as
        // :/resources/<TYPE>/<id>.
        QFile f(QStringLiteral(":/resources/%1/%2").arg(type).arg(id));
        if (!f.open(QIODevice::ReadOnly))
            return std::nullopt;
        return f.readAll();
    }

    bool WriteFile(const QString& path, const QByteArray& bytes) override
    {
        if (path.isEmpty())
            return false;
        QSaveFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        if (f.write(bytes) != bytes.size())
            return false;
        return f.commit();
    }

    bool StartProgram(const QString& commandLine, WindowStyle style) override
    {
#ifdef Q_OS_WIN
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = static_cast<WORD>(style);
        PROCESS_INFORMATION pi{};
        std::wstring cmd = commandLine.toStdWString();
        if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return false;
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
        return true;
#else
        Q_UNUSED(style);
        QStringList args = QProcess::splitCommand(commandLine);
        if (args.isEmpty())
            return false;
        const QString program = args.takeFirst();
        return QProcess::startDetached(program, args);
#endif
    }

    QString TimeOfDayText() override
    {
        // The regional long time format with seconds, without its time-zone part.
        QString format = QLocale::system().timeFormat(QLocale::LongFormat);
        format.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*")));
        if (!format.contains(u's'))
            format = QStringLiteral("hh:mm:ss");
        return QTime::currentTime().toString(format.trimmed());
    }

    QString NowText(const QString& pattern) override
    {
        return QDateTime::currentDateTime().toString(pattern);
    }
};

} // namespace

PlatformServices& SystemPlatform()
{
    static RealPlatform platform;
    return platform;
}

} // namespace kv

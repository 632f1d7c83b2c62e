// The simulated drive beside a benchmark, and the event loop run for a while.
// KV_DRIVE_SIM is the simulator's path, given by the benchmark's target.
#pragma once

#include <QEventLoop>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <cstdio>

// Starts drive-sim with the arguments; the path of its terminal, or empty
// (with a message) when it does not start.
inline QString StartDriveSim(QProcess& sim, const QStringList& arguments)
{
    sim.start(QStringLiteral(KV_DRIVE_SIM), arguments);
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "drive-sim did not start\n");
        return {};
    }
    return QString::fromLocal8Bit(sim.readLine()).trimmed();
}

// Lets the window run for a while, as the application's event loop does.
inline void RunEventLoop(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

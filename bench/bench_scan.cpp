// Finding the drive against the simulated drive at the line's real speed
// (drive-sim paces its bytes and refuses settings other than its own): all
// 247 stations at 9600 baud (target at most 15 s) and the whole sweep of
// 8 baud rates x N, E, O for stations 1..4 (target at most 20 s), beside the
// longest the plan can take and what was found. Prints figures, asserts nothing.
//
//   bench_scan [rounds]
#include "bench/drivesim.h"
#include "bench/stallmeter.h"
#include "modbus/engine.h"
#include "serial/serialtransport.h"
#include "session/drivescanner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <algorithm>
#include <cstdio>

using namespace kv;

namespace {

struct Run {
    double seconds = 0;
    QStringList found;
};

Run Scan(mb::TransactionEngine& engine, const ScanPlan& plan)
{
    DriveScanner scanner(engine);
    QObject::connect(&scanner, &DriveScanner::Finished, &scanner, [] { QCoreApplication::exit(0); });
    QElapsedTimer clock;
    clock.start();
    if (!scanner.Start(plan))
        return {};
    QCoreApplication::exec();
    Run run;
    run.seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    for (const FoundDevice& d : scanner.Found())
        run.found.append(QStringLiteral("%1@%2").arg(d.station).arg(SettingsText(d.settings)));
    return run;
}

// Scans `rounds` times with drive-sim started with `simArgs`; prints one line.
bool Measure(const char* label, const QStringList& simArgs, bool sweep, double targetS, int rounds)
{
    QProcess sim;
    const QString path = StartDriveSim(sim, simArgs);
    if (path.isEmpty())
        return false;
    SerialTransport line;
    QString error;
    if (!line.Open(path, LineSettings{}, &error)) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(path), qPrintable(error));
        return false;
    }
    mb::TransactionEngine engine(line);
    const ScanPlan plan = sweep ? ScanPlan::Sweep(line.Settings()) : ScanPlan::Stations(line.Settings());
    StallMeter stalls;
    double best = 1e9;
    double worst = 0;
    QStringList found;
    for (int i = 0; i < rounds; ++i) {
        const Run run = Scan(engine, plan);
        best = std::min(best, run.seconds);
        worst = std::max(worst, run.seconds);
        found = run.found;
    }
    std::printf("%-34s %5d %9.2f %9.2f %9.2f %8.1f   %s  (longest stall %.1f ms)\n", label, plan.Count(), best, worst,
                static_cast<double>(plan.WorstMsFrom(0)) / 1000.0, targetS, qPrintable(found.join(u' ')),
                stalls.LongestMs());
    sim.terminate();
    sim.waitForFinished(3000);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    std::printf("drive-sim paced, %d round(s) each; seconds\n", rounds);
    std::printf("%-34s %5s %9s %9s %9s %8s   %s\n", "scan", "probes", "best", "worst", "plan max", "target",
                "found");
    const bool ok = Measure("247 stations at 9600,N,8,1", {QStringLiteral("--station"), QStringLiteral("1,120,247")},
                            false, 15, rounds)
        && Measure("sweep 8 baud x N,E,O, stations 1-4",
                   {QStringLiteral("--baud"), QStringLiteral("38400"), QStringLiteral("--parity"), QStringLiteral("O"),
                    QStringLiteral("--station"), QStringLiteral("2")},
                   true, 20, rounds);
    return ok ? 0 : 1;
}

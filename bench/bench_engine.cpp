// The transaction engine against the simulated drive at the line's real speed
// (drive-sim paces its bytes): time per single-register read and per
// 125-register read beside the time the bytes need on the line, and the
// longest stall of the event loop meanwhile. Prints figures, asserts nothing.
//
//   bench_engine [reads per kind] [baud]
#include "bench/drivesim.h"
#include "bench/stallmeter.h"
#include "modbus/engine.h"
#include "serial/serialtransport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>

using namespace kv;
using namespace kv::mb;

namespace {

struct Figures {
    double meanMs = 0;
    int failures = 0;
};

Figures Measure(TransactionEngine& engine, const Request& request, int n)
{
    Figures f;
    QElapsedTimer clock;
    int done = 0;
    clock.start();
    std::function<void()> next = [&] {
        engine.Submit(request, [&](const Result& r) {
            if (!r.Ok())
                ++f.failures;
            if (++done < n)
                next();
            else
                QCoreApplication::exit(0);
        });
    };
    next();
    QCoreApplication::exec();
    f.meanMs = static_cast<double>(clock.nsecsElapsed()) / 1e6 / n;
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int n = argc > 1 ? std::max(1, atoi(argv[1])) : 40;
    const QString baud = argc > 2 ? QString::fromLatin1(argv[2]) : QStringLiteral("9600");

    QProcess sim;
    const QString path = StartDriveSim(sim, {QStringLiteral("--open-map"), QStringLiteral("--baud"), baud});
    if (path.isEmpty())
        return 1;

    SerialTransport line;
    QString error;
    if (!line.Open(path, *ParseSettings(baud + QStringLiteral(",N,8,1")), &error)) {
        std::fprintf(stderr, "cannot open %s: %s\n", qPrintable(path), qPrintable(error));
        return 1;
    }
    TransactionEngine engine(line);
    StallMeter stalls;

    const double charMs = line.CharTimeMs();
    std::printf("drive-sim at %s baud (paced), %d reads of each kind; one character %.3f ms\n",
                qPrintable(baud), n, charMs);
    std::printf("%-22s %12s %12s %10s %9s\n", "read", "engine ms", "line ms", "overhead", "failures");
    for (const int count : {1, 125}) {
        const Request request = Request::Read(1, 0x0064, static_cast<quint16>(count));
        // Request and reply bytes, plus 3.5 characters of silence after each frame.
        const double lineMs = (8 + request.ReplyLength() + 2 * 3.5) * charMs;
        const Figures f = Measure(engine, request, n);
        std::printf("%-22s %12.2f %12.2f %9.1f%% %9d\n", qPrintable(QStringLiteral("%1 register(s)").arg(count)),
                    f.meanMs, lineMs, 100.0 * (f.meanMs - lineMs) / lineMs, f.failures);
    }
    std::printf("longest event-loop stall: %.2f ms\n", stalls.LongestMs());
    sim.terminate();
    sim.waitForFinished(3000);
    return 0;
}

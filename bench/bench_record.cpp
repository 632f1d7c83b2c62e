// Recording live values: the cost of one row, and a recording fed at 100 rows
// a second (a fast sampling mode) for a few seconds: the CPU time it takes, the
// writes to the file, and the rows on disk. Prints figures, asserts nothing.
//
//   bench_record [seconds]
#include "drive/livesample.h"
#include "drive/liverecord.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>

namespace {

double CpuMs()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir dir;
    const kv::LiveSample sample =
        *kv::SampleFromReplyText(u"01030C01F4007B021C01F401F404378176", QDateTime::currentMSecsSinceEpoch());

    // One row, as fast as rows can come.
    {
        kv::LiveRecording rec;
        rec.Start(dir.filePath(QStringLiteral("burst.csv")), nullptr);
        const int rows = 200000;
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < rows; ++i)
            rec.Record(sample);
        const double recordMs = t.nsecsElapsed() / 1e6;
        rec.Stop();
        std::printf("burst: %d rows, %.2f us per row recorded, %.1f ms in all with the write, %lld bytes\n", rows,
                    recordMs * 1e3 / rows, t.nsecsElapsed() / 1e6,
                    static_cast<long long>(QFileInfo(dir.filePath(QStringLiteral("burst.csv"))).size()));
    }

    // 100 rows a second through the event loop.
    kv::LiveRecording rec;
    const QString path = dir.filePath(QStringLiteral("paced.csv"));
    rec.Start(path, nullptr);
    int writes = 0;
    QObject::connect(&rec, &kv::LiveRecording::Changed, [&] { ++writes; });
    QTimer feed;
    feed.setTimerType(Qt::PreciseTimer);
    QObject::connect(&feed, &QTimer::timeout, [&] { rec.Record(sample); });
    const double cpuBefore = CpuMs();
    feed.start(10);
    QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    QCoreApplication::exec();
    feed.stop();
    const double cpu = CpuMs() - cpuBefore;
    rec.Stop();
    std::printf("paced: %lld rows in %d s, %d writes to the file (%.1f a second), CPU %.1f ms (%.2f %% of one core, "
                "timer included), %lld bytes\n",
                static_cast<long long>(rec.Rows()), seconds, writes, writes / double(seconds), cpu,
                cpu / (seconds * 10.0), static_cast<long long>(QFileInfo(path).size()));
    return 0;
}

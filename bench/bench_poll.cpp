// Live polling as the user runs it: the main window (offscreen) against the
// simulated drive on a pseudo-terminal, the real poll timer and waits, for a
// number of seconds (first argument, default 60). Prints the polls sent, the
// replies decoded, the poll period, the CPU time and peak memory of the
// window's process, and the time to read 10 parameters. Asserts nothing.
//
//   bench_poll [seconds] [drive-sim arguments...]
#include "app/form1.h"
#include "bench/benchseams.h"
#include "bench/drivesim.h"
#include "common/intervaltimer.h"
#include "common/messageboxes.h"
#include "common/platform.h"
#include "serial/mscomm.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Answers every box without showing it, and says what it was asked.
// User + system time of another process, from /proc.
double CpuSecondsOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0.0;
    const QByteArray text = stat.readAll();
    // Fields after the command name in parentheses; utime and stime are fields 14 and 15.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return 0.0;
    return static_cast<double>(fields[11].toLongLong() + fields[12].toLongLong())
        / static_cast<double>(sysconf(_SC_CLK_TCK));
}

QByteArray StatusField(const char* name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return "?";
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(name))
            return line.mid(qstrlen(name)).trimmed();
    }
    return "?";
}

double Percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0.0;
    std::sort(v.begin(), v.end());
    const auto i = static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(i, v.size() - 1)];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const int seconds = args.isEmpty() ? 60 : std::max(1, args[0].toInt());

    // The simulated drive, answering at once unless told otherwise.
    QProcess sim;
    sim.setProcessChannelMode(QProcess::SeparateChannels);
    const QString path = StartDriveSim(sim, QStringList{QStringLiteral("--seed"), QStringLiteral("1")} + args.mid(1));
    if (path.isEmpty())
        return 1;

    QuietBoxes boxes;
    Form1 form(boxes, kv::SystemPlatform());
    form.Form_Load();
    form.show();
    form.ComboMSCPort->setEditText(path);
    form.CommandOpenMSC->click();
    if (!form.MSComm->PortOpen()) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        return 1;
    }
    // Run the drive so that the values move.
    form.Text3->setText(QStringLiteral("40"));
    form.Command_set->click();
    form.Command_start->click();
    app.processEvents();

    // Each tick that finds the port open sends one request; this runs after the
    // window's own tick handler (and its wait).
    QElapsedTimer clock;
    clock.start();
    std::vector<qint64> tickTimes;
    QObject::connect(form.Timer1, &kv::IntervalTimer::Timer, &form, [&] {
        if (form.MSComm->PortOpen())
            tickTimes.push_back(clock.nsecsElapsed());
    });

    const qint64 decodedBefore = form.PollRepliesDecoded();
    const double cpuBefore = CpuSecondsSelf();
    const double simCpuBefore = CpuSecondsOf(sim.processId());
    QElapsedTimer wall;
    wall.start();
    form.Commandgraphstart->click();
    RunEventLoop(seconds * 1000);
    form.Commandgraphstart->click();
    // The last reply is read by the receive event after the last tick.
    RunEventLoop(300);
    const double wallSeconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    const double cpu = CpuSecondsSelf() - cpuBefore;
    const double simCpu = CpuSecondsOf(sim.processId()) - simCpuBefore;
    const qint64 decoded = form.PollRepliesDecoded() - decodedBefore;
    const auto polls = static_cast<qint64>(tickTimes.size());

    std::vector<double> periods;
    for (size_t i = 1; i < tickTimes.size(); ++i)
        periods.push_back(static_cast<double>(tickTimes[i] - tickTimes[i - 1]) / 1e6);

    std::printf("polling for %d s at 9600 baud (%s)\n", seconds,
                args.size() > 1 ? qPrintable(args.mid(1).join(u' ')) : "drive answering at once");
    std::printf("  polls sent               %lld\n", static_cast<long long>(polls));
    std::printf("  replies decoded          %lld (%.1f %%)\n", static_cast<long long>(decoded),
                polls > 0 ? 100.0 * static_cast<double>(decoded) / static_cast<double>(polls) : 0.0);
    std::printf("  poll period median       %.1f ms\n", Percentile(periods, 0.5));
    std::printf("  poll period p99          %.1f ms\n", Percentile(periods, 0.99));
    std::printf("  poll period max          %.1f ms\n", periods.empty() ? 0.0 : *std::max_element(periods.begin(), periods.end()));
    std::printf("  CPU time per minute      %.2f s (%.2f %% of one core)\n", cpu * 60.0 / wallSeconds,
                100.0 * cpu / wallSeconds);
    std::printf("  drive-sim CPU per minute %.2f s\n", simCpu * 60.0 / wallSeconds);

    // Ten parameters of group 01, read as the user does (polling stopped).
    form.Combo1->setCurrentIndex(form.Combo1->findText(QStringLiteral("01 运行数据")));
    for (int r = 0; r < 10; ++r)
        form.List1->item(r)->setCheckState(Qt::Checked);
    std::vector<double> reads;
    int valueRows = 0;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer t;
        t.start();
        form.CmdViewPram->click();
        reads.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        valueRows = 0;
        for (int r = 0; r < 10; ++r)
            valueRows += form.List2->item(r)->text().isEmpty() ? 0 : 1;
        app.processEvents();
    }
    std::printf("  read of 10 parameters    %.0f ms median of 5 (%.0f .. %.0f), %d of 10 rows with a reply\n",
                Percentile(reads, 0.5), *std::min_element(reads.begin(), reads.end()),
                *std::max_element(reads.begin(), reads.end()), valueRows);
    std::printf("  peak memory (VmHWM)      %s\n", StatusField("VmHWM:").constData());
    if (boxes.shown > 0)
        std::printf("  message boxes shown      %d\n", boxes.shown);

    form.CommandOpenMSC->click();
    sim.terminate();
    sim.waitForFinished(3000);
    return 0;
}

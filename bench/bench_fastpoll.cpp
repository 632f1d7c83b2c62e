// Fast sampling as the user runs it: the main window (offscreen, at its own
// size) with its additions, "高速采样" at "尽快", against the paced simulated
// drive at 9600 and 115200 baud. Prints the sample rate reached beside the
// line's limit, the CPU this process used, and the longest stall of its event
// loop. Asserts nothing.
//
//   bench_fastpoll [seconds per speed]
#include "app/additions.h"
#include "app/fastsampling.h"
#include "app/form1.h"
#include "app/preferences.h"
#include "bench/benchseams.h"
#include "bench/drivesim.h"
#include "common/filechooser.h"
#include "common/messageboxes.h"
#include "common/platform.h"
#include "drive/fastpoll.h"
#include "serial/mscomm.h"
#include "serial/transport.h"
#include "session/linesession.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

// The longest time the event loop went without serving a 1 ms timer.
class StallMeter : public QObject {
public:
    StallMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const qint64 now = m_clock.nsecsElapsed();
            if (m_last > 0)
                m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
        m_clock.start();
        m_timer.start(1);
    }
    double LongestMs() const { return static_cast<double>(m_longest) / 1e6; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(2, atoi(argv[1])) : 10;
    QTemporaryDir dir;

    std::printf("fast sampling at \"尽快\", window at its own size, %d s per speed\n", seconds);
    std::printf("%8s %12s %12s %9s %10s %12s\n", "baud", "samples/s", "line limit", "of limit", "CPU", "stall ms");
    for (const int baud : {9600, 115200}) {
        QProcess sim;
        const QString path = StartDriveSim(sim, {QStringLiteral("--baud"), QString::number(baud)});
        if (path.isEmpty())
            return 1;

        QuietBoxes boxes;
        NoFiles files;
        kv::Preferences prefs(dir.filePath(QStringLiteral("settings-%1.ini").arg(baud)));
        kv::LineSession session;
        Form1 form(boxes, kv::SystemPlatform(), session.Line());
        form.Form_Load();
        kv::Additions add(form, session, boxes, files, prefs);
        form.show();
        form.ComboMSCPort->setEditText(path);
        form.ComboMSCBaudrate->setEditText(QString::number(baud));
        form.CommandOpenMSC->click();
        if (!form.MSComm->PortOpen()) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
            return 1;
        }
        form.Text3->setText(QStringLiteral("40"));
        form.Command_set->click();
        form.Command_start->click();
        auto* fast = add.Piece<kv::FastSamplingMenu>();
        fast->SetFastPeriod(kv::FastPoll::kAsFastAsPossible);
        fast->FastOn->setChecked(true);
        form.Commandgraphstart->click();
        RunEventLoop(1000);  // settle

        StallMeter stalls;
        const qint64 before = form.PollRepliesDecoded();
        const double cpuBefore = CpuSecondsSelf();
        QElapsedTimer clock;
        clock.start();
        RunEventLoop(seconds * 1000);
        const double wall = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        const double rate = static_cast<double>(form.PollRepliesDecoded() - before) / wall;
        const double cpu = (CpuSecondsSelf() - cpuBefore) / wall;

        // One sample on the line: the request and the reply, each followed by
        // 3.5 characters of silence (at least 1.75 ms above 19200 baud).
        const double charMs = session.Line().CharTimeMs();
        const double silence = std::max(3.5 * charMs, 1.75);
        const double limit = 1000.0 / ((8 + 17) * charMs + 2 * silence);
        std::printf("%8d %12.1f %12.1f %8.1f%% %9.1f%% %12.2f\n", baud, rate, limit, 100.0 * rate / limit,
                    100.0 * cpu, stalls.LongestMs());
        form.Commandgraphstart->click();
        sim.terminate();
        sim.waitForFinished(3000);
    }
    return 0;
}

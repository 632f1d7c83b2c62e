// The trigger's latency as the user sees it: the main window (offscreen) with
// its additions against the paced simulated drive at 9600 baud, the trigger
// armed on "故障 ↑" ("连续", 0 s before and after), the drive tripped by
// SIGUSR1 at a random moment, again and again (a fault reset in between).
// For each way of sampling it prints, over the trips:
//   trip -> status: from the signal to the status line reading "触发：已触发"
//                   (the wait for the next sample included);
//   sample -> status: from the time stamp of the sample that met the
//                   condition (its reply decoded) to the status line;
// beside the target, one sample period plus 50 ms. Asserts nothing.
//
//   bench_trigger [trips per way of sampling]
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
#include "drive/registermap.h"
#include "modbus/engine.h"
#include "serial/mscomm.h"
#include "session/capturetrigger.h"
#include "session/linesession.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <vector>

namespace {

// Runs the event loop until `done` holds or `ms` have passed.
template <typename Predicate>
bool RunUntil(Predicate done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        RunEventLoop(1);
    return done();
}

struct Figures {
    double median = 0;
    double worst = 0;
};

Figures Of(std::vector<double> v)
{
    if (v.empty())
        return {};
    std::sort(v.begin(), v.end());
    return {v[v.size() / 2], v.back()};
}

struct Way {
    const char* name;
    bool fast;
    int periodMs;  // the sampler's period (0: as fast as the line answers)
};

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int trips = argc > 1 ? std::max(2, atoi(argv[1])) : 20;
    QTemporaryDir dir;

    std::printf("trigger on 故障 ↑, %d trips per way of sampling, paced drive-sim at 9600 baud\n", trips);
    std::printf("%-26s %10s %22s %22s %10s\n", "sampling", "period", "trip->status med/max", "sample->status med/max",
                "target");
    const Way ways[] = {
        {"fast, as fast as possible", true, kv::FastPoll::kAsFastAsPossible},
        {"fast, 50 ms", true, 50},
        {"window's poll, 500 ms", false, 0},
    };
    for (const Way& way : ways) {
        QProcess sim;
        const QString path = StartDriveSim(sim, {});
        if (path.isEmpty())
            return 1;
        QuietBoxes boxes;
        NoFiles files;
        kv::Preferences prefs(dir.filePath(QStringLiteral("settings-%1.ini").arg(way.name)));
        kv::TriggerSettings settings;
        settings.beforeMs = 0;
        settings.afterMs = 0;
        settings.mode = kv::TriggerSettings::Mode::Continuous;
        settings.folder = dir.filePath(QStringLiteral("captures"));
        prefs.SetTrigger(settings);
        prefs.SetTriggerArmed(true);
        kv::LineSession session;
        Form1 form(boxes, kv::SystemPlatform(), session.Line());
        form.Form_Load();
        kv::Additions add(form, session, boxes, files, prefs);
        form.show();
        form.ComboMSCPort->setEditText(path);
        form.CommandOpenMSC->click();
        if (!form.MSComm->PortOpen()) {
            std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
            return 1;
        }
        auto* fast = add.Piece<kv::FastSamplingMenu>();
        fast->SetFastPeriod(way.fast ? way.periodMs : 50);
        fast->FastOn->setChecked(way.fast);
        form.Commandgraphstart->click();
        RunEventLoop(2500);
        // A sample period as it comes out.
        const double rate = session.Sampler().RateHz();
        const int period = way.fast && rate > 0 ? qRound(1000.0 / rate) : kv::kPollIntervalMs;

        kv::CaptureTrigger& trigger = session.Trigger();
        QLabel* part = form.findChild<QLabel*>(QStringLiteral("statusTrigger"));
        qint64 shownAtMs = 0;
        // After the status line's own handler: the part has its new text.
        QObject::connect(&trigger, &kv::CaptureTrigger::Changed, &app, [&] {
            if (shownAtMs == 0 && part->text().startsWith(QStringLiteral("触发：已触发")))
                shownAtMs = QDateTime::currentMSecsSinceEpoch();
        });
        quint16 lastStatus = 0;
        QObject::connect(&session, &kv::LineSession::Sample, &app,
                         [&](const kv::LiveSample& s) { lastStatus = static_cast<quint16>(s.reply.StatusWord); });

        std::vector<double> fromTrip;
        std::vector<double> fromSample;
        for (int i = 0; i < trips; ++i) {
            RunEventLoop(static_cast<int>(QRandomGenerator::global()->bounded(period + 1)));
            shownAtMs = 0;
            const qint64 captures = trigger.Captures();
            const qint64 trippedAtMs = QDateTime::currentMSecsSinceEpoch();
            ::kill(static_cast<pid_t>(sim.processId()), SIGUSR1);
            if (!RunUntil([&] { return shownAtMs != 0; }, 5000)) {
                std::fprintf(stderr, "no trigger within 5 s\n");
                return 1;
            }
            fromTrip.push_back(static_cast<double>(shownAtMs - trippedAtMs));
            fromSample.push_back(static_cast<double>(shownAtMs - trigger.TriggeredAtMs()));
            RunUntil([&] { return trigger.Captures() > captures; }, 5000);
            // Fault reset, and on once the samples show the fault gone.
            for (const quint16 word : {kv::kCwStop, kv::kCwFaultReset})
                session.Engine().Submit(kv::mb::Request::Write(1, kv::kRegControlWord, word));
            if (!RunUntil([&] { return !kv::BitSet(lastStatus, kv::kSwFault); }, 5000)) {
                std::fprintf(stderr, "the fault does not clear\n");
                return 1;
            }
            RunEventLoop(200);
        }
        const Figures trip = Of(fromTrip);
        const Figures sample = Of(fromSample);
        std::printf("%-26s %7d ms %11.0f /%5.0f ms %11.0f /%5.0f ms %7d ms\n", way.name, period,
                    trip.median, trip.worst, sample.median, sample.worst, period + 50);
        form.Commandgraphstart->click();
        sim.terminate();
        sim.waitForFinished(3000);
    }
    return 0;
}

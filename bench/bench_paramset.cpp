// Backing up every catalogue parameter against the simulated drive at the
// line's real speed: the parameter-set window's "读取全部" (block reads through
// the engine) beside the original way (the parameter browser's read, one
// request and a 50 ms wait per parameter, group by group), the time the bytes
// of the block reads need on the line, and the longest stall of the event loop
// during the window's backup (with the thread's own CPU time in the longest
// stretch, apart from time the system gave to other processes). Prints
// figures, asserts nothing.
//
//   bench_paramset [baud]
#include "app/additions.h"
#include "app/parametermenu.h"
#include "app/form1.h"
#include "app/paramsetwindow.h"
#include "app/preferences.h"
#include "bench/benchseams.h"
#include "bench/drivesim.h"
#include "bench/stallmeter.h"
#include "common/filechooser.h"
#include "common/messageboxes.h"
#include "common/platform.h"
#include "drive/catalogue.h"
#include "drive/paramset.h"
#include "modbus/engine.h"
#include "serial/mscomm.h"
#include "serial/transport.h"
#include "session/linesession.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString baud = argc > 1 ? QString::fromLatin1(argv[1]) : QStringLiteral("9600");

    QProcess sim;
    const QString path = StartDriveSim(sim, {QStringLiteral("--baud"), baud, QStringLiteral("--seed"), QStringLiteral("1")});
    if (path.isEmpty())
        return 1;

    QuietBoxes boxes;
    NoFiles files;
    QTemporaryDir dir;
    kv::Preferences prefs(dir.filePath(QStringLiteral("settings.ini")));
    kv::LineSession session;
    Form1 form(boxes, kv::SystemPlatform(), session.Line());
    form.Form_Load();
    kv::Additions add(form, session, boxes, files, prefs);
    form.ComboMSCBaudrate->setEditText(baud);
    form.ComboMSCPort->setEditText(path);
    form.CommandOpenMSC->click();
    if (!form.MSComm->PortOpen()) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(path));
        return 1;
    }

    // The window's backup.
    const QList<int> codes = kv::CatalogueParameterCodes();
    const QList<kv::ReadBlock> blocks = kv::PlanBlockReads(codes);
    kv::ParameterSetWindow* window = add.Piece<kv::ParameterMenu>()->ParamSetWindow();
    window->show();
    int requests = 0;
    QObject::connect(&session.Engine(), &kv::mb::TransactionEngine::Finished, [&] { ++requests; });
    QEventLoop loop;
    QObject::connect(window, &kv::ParameterSetWindow::WorkFinished, &loop, &QEventLoop::quit);
    app.processEvents();
    StallMeter stalls;
    QElapsedTimer clock;
    clock.start();
    window->ReadAll->click();
    loop.exec();
    const double newMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    const double stallMs = stalls.LongestMs();
    const double busyMs = stalls.LongestBusyMs();
    stalls.Stop();
    int read = 0;
    for (const kv::Reading& r : window->DriveValues())
        read += r.IsRead() ? 1 : 0;

    // Request and reply bytes of each block, with 3.5 characters of silence after each frame.
    const double charMs = session.Line().CharTimeMs();
    double lineMs = 0;
    for (const kv::ReadBlock& b : blocks)
        lineMs += (8 + 5 + 2 * b.count + 2 * 3.5) * charMs;

    std::printf("backup of the %lld catalogue parameters against drive-sim at %s baud (paced)\n",
                static_cast<long long>(codes.size()), qPrintable(baud));
    std::printf("  parameter-set window      %8.0f ms  (%d values, %lld block reads, %d requests)\n", newMs, read,
                static_cast<long long>(blocks.size()), requests);
    std::printf("  bytes on the line         %8.0f ms  (window's backup; %.0f %% of its time)\n", lineMs,
                100.0 * lineMs / newMs);
    std::printf("  longest event-loop stall  %8.2f ms  (during the window's backup, wall clock)\n", stallMs);
    std::printf("  longest busy stretch      %8.2f ms  (the thread's own CPU time between two ticks)\n", busyMs);
    std::fflush(stdout);

    // The original way: every group, every parameter ticked, the browser's read.
    int originalRows = 0;
    int originalValues = 0;
    clock.restart();
    for (int g = 0; g < form.Combo1->count(); ++g) {
        form.Combo1->setCurrentIndex(g);
        for (int r = 0; r < form.List1->count(); ++r)
            form.List1->item(r)->setCheckState(Qt::Checked);
        form.CmdViewPram->click();
        for (int r = 0; r < form.List2->count(); ++r) {
            ++originalRows;
            originalValues += form.List2->item(r)->text().isEmpty() ? 0 : 1;
        }
        app.processEvents();
    }
    const double originalMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;

    std::printf("  original way              %8.0f ms  (%d rows with a value of %d, one request + 50 ms wait each)\n",
                originalMs, originalValues, originalRows);
    std::printf("  faster by                 %8.1f x\n", originalMs / newMs);

    form.CommandOpenMSC->click();
    sim.terminate();
    sim.waitForFinished(3000);
    return 0;
}

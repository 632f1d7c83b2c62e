// What the parameter commands (app/commandline.*) share: the line options
// every one of them takes, the console they report on, and the run that opens
// the port, drives a ParameterSetRunner through the transaction engine and
// ends with the command's exit code.
#pragma once

#include "drive/paramsetrunner.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>

#include <memory>
#include <optional>

class QCommandLineParser;
class QTextStream;

namespace kv {

class LineSession;

// The texts of the command line, in the language of the interface.
struct CommandLineTexts {
    Q_DECLARE_TR_FUNCTIONS(kv::CommandLine)
};

// Where a parameter command reports: results on out, progress and errors on
// err, each error one line that names the program and the command.
class CommandConsole {
    Q_DECLARE_TR_FUNCTIONS(kv::CommandLine)
public:
    CommandConsole(QString command, QTextStream& out, QTextStream& err);

    QTextStream& Out() { return m_out; }
    // "kolven-assistant backup：<line>".
    void Error(const QString& line);
    // A mistake in the options or arguments, with where to read the usage; returns 2.
    int Usage(const QString& why);
    // The runner's progress: a bar on a terminal, otherwise a line a second.
    void Progress(ParameterSetRunner::Phase phase, int done, int total);
    // Ends the bar's line before anything else is written.
    void EndBar();
    void Flush();

private:
    QString m_command;
    QTextStream& m_out;
    QTextStream& m_err;
    bool m_barOnTerminal = false;
    bool m_barShown = false;
    QElapsedTimer m_barClock;
    QElapsedTimer m_phaseClock;
};

// The line a command works on: --port, --station, --baud, --parity.
struct LineOptions {
    QString port;      // as given: COM n, a device path or a system port name
    QString settings;  // "9600,N,8,1"
    quint8 station = 1;
};
// Declares the line options on a command's parser.
void DeclareLineOptions(QCommandLineParser& parser);
// Reads them; nothing after telling a mistake on the console.
std::optional<LineOptions> ReadLineOptions(const QCommandLineParser& parser, CommandConsole& console);

// What a command does on the line: it starts the runner, then hears each end
// of the runner's work.
class LineWork {
public:
    virtual ~LineWork() = default;
    virtual void Start(ParameterSetRunner& runner) = 0;
    // The command's exit code, or nothing while the work goes on.
    virtual std::optional<int> Finished(ParameterSetRunner& runner, ParameterSetRunner::Stop stop) = 0;
};

// What a command talks to the drive through: a line session (its line and
// engine) and the serial control over that line, which opens the port as the
// window's does.
struct DriveLine;
struct DriveLineDeleter {
    void operator()(DriveLine* line) const;
};
using DriveLinePtr = std::unique_ptr<DriveLine, DriveLineDeleter>;
// Opens the port of the options and builds the engine over it; nothing, with
// the reason told on the console, when the port does not open.
DriveLinePtr OpenDriveLine(const LineOptions& options, CommandConsole& console);
LineSession& SessionOf(DriveLine& line);

// Opens the port (exit 3 when it does not open) and does the work in an event
// loop, each parameter written a line on out; returns the work's exit code.
int RunOnLine(const LineOptions& options, CommandConsole& console, LineWork& work);

} // namespace kv

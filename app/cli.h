// The program's command line. Without arguments the program opens its window;
// with them it answers --help and --version, or runs a sub-command, all without
// a window (and without a display).
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <span>

class QCommandLineParser;
class QTextStream;

namespace kv {

// A sub-command, `kolven-assistant NAME [options] [arguments]`, that works
// without a window. The program's sub-commands are the rows of SubCommands().
struct SubCommand {
    QString name;
    QString summary; // its line in the program's --help, and its own --help's description
    // Adds its options and positional arguments to its own parser, which
    // already has --help and --version (and may describe the sub-command at
    // more length than its summary).
    std::function<void(QCommandLineParser&)> declare;
    // Does the work, inside a QCoreApplication, and returns the exit status.
    std::function<int(const QCommandLineParser&, QTextStream& out, QTextStream& err)> run;
};

// The program's sub-commands.
std::span<const SubCommand> SubCommands();

// Reads the arguments (the program's name first). Returns nothing when the
// window is to open: no arguments, or only Qt's own window options (-style,
// -platform, ...), which QApplication takes. Otherwise answers --help or
// --version on out, runs the sub-command, or writes what is wrong on err, and
// returns the exit status (2 for a wrong command line).
std::optional<int> RunCommandLine(const QStringList& arguments, std::span<const SubCommand> commands,
                                  QTextStream& out, QTextStream& err);

// The same for main(), before any application object exists: the process's
// arguments, standard output and standard error, the program's sub-commands,
// in the language chosen for the window.
std::optional<int> RunCommandLine(int& argc, char** argv);

// A sub-command's message on standard error, one line that names the program
// and the sub-command: "kolven-assistant backup：…".
QString SubCommandMessage(const QString& command, const QString& text);
// A mistake in a sub-command's options or arguments, told with where to read
// its usage: "kolven-assistant backup：缺少 --port（见 kolven-assistant backup --help）".
// Returns the exit status of a wrong command line, 2.
int SubCommandUsageError(QTextStream& err, const QString& command, const QString& why);

} // namespace kv

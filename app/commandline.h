// The parameter commissioning without a window, for engineers who set up many
// drives and for test rigs:
//
//   kolven-assistant backup  --port DEV [--station N] [--baud B] [--parity N|E|O] FILE.csv
//   kolven-assistant compare --port DEV ... FILE.csv
//   kolven-assistant restore --port DEV ... [--dry-run] FILE.csv
//   kolven-assistant read    --port DEV ... CODE...
//   kolven-assistant write   --port DEV ... CODE=VALUE...
//
// It runs on a QCoreApplication with the serial control, the transaction
// engine and the parameter-set runner the window uses. Results go to standard
// output, progress and errors to standard error. Exit codes: 0 success,
// 1 differences (compare, restore --dry-run), parameters refused or not read,
// 2 bad usage or a bad file, 3 line problems (port not opened, no answer, port lost).
//
// The program's command line (app/cli.*) hands these sub-commands their
// arguments whole.
#pragma once

#include <QString>
#include <QStringList>

namespace kv {

enum CommandLineExit {
    kExitOk = 0,
    kExitDifferences = 1,
    kExitUsage = 2,
    kExitLine = 3,
};

// backup, compare, restore, read, write.
QStringList ParameterCommandNames();

// The sub-command's line in the program's --help.
QString ParameterCommandSummary(const QString& name);

// Runs one: the arguments are the program's name, the sub-command's name and
// its options. Needs a QCoreApplication (and its names, for COM n and the
// version); returns the exit code.
int RunParameterCommand(const QStringList& arguments);

} // namespace kv

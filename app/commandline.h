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
// Each is a row of the program's sub-commands (app/cli.h); what they share,
// the line options and the run on the line, is app/parameterrun.h.
#pragma once

#include "app/cli.h"

#include <vector>

namespace kv {

enum CommandLineExit {
    kExitOk = 0,
    kExitDifferences = 1,
    kExitUsage = 2,
    kExitLine = 3,
};

// backup, compare, restore, read, write.
std::vector<SubCommand> ParameterCommands();

} // namespace kv

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
// main() hands over before it makes its QApplication:
//   if (argc > 1 && kv::IsSubCommand(argv[1]))
//       return kv::RunCommandLine(argc, argv);
#pragma once

namespace kv {

enum CommandLineExit {
    kExitOk = 0,
    kExitDifferences = 1,
    kExitUsage = 2,
    kExitLine = 3,
};

// Whether the argument names a sub-command (backup, compare, restore, read, write).
bool IsSubCommand(const char* argument);

// Runs the sub-command in argv[1] with its options; returns the exit code.
// Makes its own QCoreApplication.
int RunCommandLine(int argc, char** argv);

} // namespace kv

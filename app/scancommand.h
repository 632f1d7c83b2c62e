// Finding the drive without a window:
//
//   kolven-assistant scan --port DEV [--stations 1-247] [--sweep] [--baud B] [--parity N|E|O]
//
// Scans the stations at the line settings given (9600,N,8,1 by default), or
// with --sweep every baud rate and parity for stations 1..4 (or those given).
// Each device that answered is a line on standard output: station, settings,
// reply time and what it says of itself (group 33). Exit codes as the other
// commands: 0 something answered, 1 nothing did, 2 bad usage, 3 the port did
// not open or was lost.
#pragma once

#include "app/cli.h"

namespace kv {

SubCommand ScanCommand();

} // namespace kv

// The command line of drive-sim.
#pragma once

#include "tools/drive-sim/faults.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kv::sim {

// A drive's own trip: after this many seconds of running (0 = never), with
// this fault code (also the code SIGUSR1 trips the first drive with).
struct DriveFault {
    double afterSeconds = 0.0;
    int code = 3;
};

struct Options {
    std::string port;  // a device to open; empty: create a pseudo-terminal
    std::string link;  // a symbolic link to make to the pseudo-terminal
    // RTU over TCP instead of a serial line: listen on this address and port
    // (port 0: a free one the system picks).
    bool tcp = false;
    std::string tcpAddress = "127.0.0.1";
    int tcpPort = 0;
    // The drives on the line, by station, ascending; `station` is the first.
    std::vector<int> stations{1};
    int station = 1;
    int baud = 9600;
    char parity = 'N'; // N, E or O
    int dataBits = 8;
    int stopBits = 1;
    int frameGapMs = 0; // silence that ends a request; 0: 3.5 characters, at least 5 ms
    FaultOptions faults;
    bool seedGiven = false;
    // Per station; a station not named has none (the first station takes the
    // options given without @STATION).
    std::map<int, DriveFault> driveFaults;
    bool verbose = false;
    bool help = false;
    // Bytes move at the line's speed: a request counts as arrived no earlier
    // than its bytes need, a reply goes out no faster than the line carries it.
    bool pace = true;
    // Every register readable (unknown ones read 0), for measurements.
    bool openMap = false;

    // The silence that ends a request frame, in milliseconds (unpaced: at least 5 ms).
    int effectiveFrameGapMs() const;
    // The silence that ends a request as the line runs: paced, 3.5 characters
    // (at least 1.75 ms); unpaced, effectiveFrameGapMs().
    double requestGapMs() const;
    // Milliseconds one character takes: start bit, data bits, parity, stop bits.
    double charTimeMs() const;
    // The trip of the drive at `station` (defaults when it has none).
    DriveFault driveFault(int station) const;
    // "9600,N,8,1"
    std::string lineSettings() const;
};

// Reads the arguments (without the program name). Returns nothing and sets
// `error` for an unknown option, a missing or bad value.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string* error);

const char* UsageText();

} // namespace kv::sim

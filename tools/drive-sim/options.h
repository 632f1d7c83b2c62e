// The command line of drive-sim.
#pragma once

#include "tools/drive-sim/faults.h"

#include <optional>
#include <string>
#include <vector>

namespace kv::sim {

struct Options {
    std::string port;  // a device to open; empty: create a pseudo-terminal
    std::string link;  // a symbolic link to make to the pseudo-terminal
    int station = 1;
    int baud = 9600;
    char parity = 'N'; // N, E or O
    int dataBits = 8;
    int stopBits = 1;
    int frameGapMs = 0; // silence that ends a request; 0: 3.5 characters, at least 5 ms
    FaultOptions faults;
    bool seedGiven = false;
    double faultAfterSeconds = 0.0;
    int faultCode = 3;
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
};

// Reads the arguments (without the program name). Returns nothing and sets
// `error` for an unknown option, a missing or bad value.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string* error);

const char* UsageText();

} // namespace kv::sim

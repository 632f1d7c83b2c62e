// The serial line of the simulated drive: a pseudo-terminal it creates (or a
// real device), request framing by line silence, the replies written with the
// faults asked for, the time-stamped log, and the signals that end or trip it.
#pragma once

#include "tools/drive-sim/drivemodel.h"
#include "tools/drive-sim/faults.h"
#include "tools/drive-sim/modbusslave.h"
#include "tools/drive-sim/options.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace kv::sim {

// Local time of day with milliseconds, "14:03:07.125".
std::string TimeStamp();

class LineServer {
public:
    LineServer(const Options& options, DriveModel& model, ModbusSlave& slave, FaultInjector& faults,
               std::FILE* log);
    ~LineServer();
    LineServer(const LineServer&) = delete;
    LineServer& operator=(const LineServer&) = delete;

    // Opens the device or creates the pseudo-terminal, and makes the link to it.
    bool open(std::string* error);
    // The path a master opens: the pseudo-terminal's slave side or the device.
    const std::string& path() const { return m_path; }

    // Serves requests until SIGINT or SIGTERM arrives on `signalFd` (a pipe
    // the signal handlers write the signal number into) or the line fails.
    // Returns the process exit status.
    int run(int signalFd);

    // Closes the line and removes the link if it still points at our terminal.
    void close();

private:
    bool makeLink(std::string* error);
    void process(std::vector<std::uint8_t> chunk);
    void sendReply(const SlaveEvent& event);
    bool writeAll(const std::vector<std::uint8_t>& bytes);
    // writeAll at the line's speed: no byte earlier than the line would deliver it.
    bool writePaced(const std::vector<std::uint8_t>& bytes);
    bool pause(int ms);
    void takeSignals();
    void advanceModel();
    void logLine(const std::string& text);

    const Options& m_options;
    DriveModel& m_model;
    ModbusSlave& m_slave;
    FaultInjector& m_faults;
    std::FILE* m_log;
    int m_fd = -1;       // what we read requests from and write replies to
    int m_keepOpen = -1; // our own handle on the terminal's slave side
    int m_signalFd = -1;
    std::string m_path;
    bool m_linkMade = false;
    bool m_stop = false;
    std::chrono::steady_clock::time_point m_lastAdvance;
};

} // namespace kv::sim

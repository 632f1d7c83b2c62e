// The line of the simulated drives: a pseudo-terminal drive-sim creates, a
// real device, or a TCP port carrying RTU frames; request framing by line
// silence, the replies written with the faults asked for, the time-stamped
// log, and the signals that end the program or trip the first drive.
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
    // `drives`: the drives on the line, the first one first (the one SIGUSR1
    // trips); the slave answers for the same drives.
    LineServer(const Options& options, const std::vector<SlaveDrive>& drives, ModbusSlave& slave,
               FaultInjector& faults, std::FILE* log);
    ~LineServer();
    LineServer(const LineServer&) = delete;
    LineServer& operator=(const LineServer&) = delete;

    // Opens the device, creates the pseudo-terminal (and makes the link to
    // it) or starts listening on the TCP port.
    bool open(std::string* error);
    // What a master opens: the pseudo-terminal's slave side or the device; for
    // TCP the address and port listened on, "127.0.0.1:5020".
    const std::string& path() const { return m_path; }

    // Serves requests until SIGINT or SIGTERM arrives on `signalFd` (a pipe
    // the signal handlers write the signal number into) or the line fails.
    // Returns the process exit status.
    int run(int signalFd);

    // Closes the line and removes the link if it still points at our terminal.
    void close();

private:
    bool openTcp(std::string* error);
    bool makeLink(std::string* error);
    void process(std::vector<std::uint8_t> chunk);
    void sendReply(const SlaveEvent& event);
    bool writeAll(const std::vector<std::uint8_t>& bytes);
    // writeAll at the line's speed: no byte earlier than the line would deliver it.
    bool writePaced(const std::vector<std::uint8_t>& bytes);
    // Waits, taking signals; false when the program is to stop or the TCP
    // client has gone meanwhile.
    bool pause(int ms);
    void takeSignals();
    void advanceModel();
    void logLine(const std::string& text);
    // The master's line settings on our pseudo-terminal; empty when they are
    // the drive's own, otherwise as "19200,E,?,1".
    std::string settingsDiffering() const;
    void acceptClient();
    bool clientGone() const;
    void dropClient(const std::string& why);

    const Options& m_options;
    std::vector<SlaveDrive> m_drives;
    ModbusSlave& m_slave;
    FaultInjector& m_faults;
    std::FILE* m_log;
    int m_fd = -1;       // what we read requests from and write replies to (for TCP: the client)
    int m_keepOpen = -1; // our own handle on the terminal's slave side
    int m_listen = -1;   // the TCP port listened on
    bool m_socket = false;
    std::string m_client; // the TCP client's address, for the log
    bool m_clientLost = false;
    int m_signalFd = -1;
    std::string m_path;
    bool m_linkMade = false;
    bool m_stop = false;
    // Line settings of the request being gathered, when they were not the drive's.
    std::string m_requestSettings;
    std::uint64_t m_settingsMismatches = 0;
    std::chrono::steady_clock::time_point m_lastAdvance;
};

} // namespace kv::sim

// The drive's Modbus RTU slave: libmodbus parses the request frames, checks
// their CRC and builds the replies; the drive model answers the registers.
//
// libmodbus does not touch the serial line here. The line layer hands over
// each chunk of received bytes; they go into one end of a local socket pair
// and libmodbus reads them from the other end, as it would read a serial
// port. Its replies come back through the same pair, so the line layer gets
// the exact reply bytes and can delay, split, corrupt or drop them before they
// go on the line.
//
// A request of a function libmodbus does not know the layout of (it would cut
// it at a wrong length) is framed here instead: it is what the line carried up
// to its silence, taken when its CRC holds, and answered with exception 01.
#pragma once

#include "tools/drive-sim/drivemodel.h"

#include <cstdint>
#include <string>
#include <vector>

typedef struct _modbus modbus_t;
typedef struct _modbus_mapping_t modbus_mapping_t;

namespace kv::sim {

// Bytes as two hexadecimal digits each, separated by blanks, for the log.
std::string HexBytes(const std::vector<std::uint8_t>& bytes);

// A drive on the line and the station it answers as.
struct SlaveDrive {
    int station = 1;
    DriveModel* model = nullptr;
};

struct SlaveEvent {
    enum class Kind {
        Reply,        // a request for this station, answered (normal or exception reply)
        Broadcast,    // a write to station 0: carried out, not answered
        OtherStation, // a well-formed request for another station: ignored
        BadFrame,     // bad CRC, incomplete or unreadable bytes: ignored
    };
    Kind kind = Kind::BadFrame;
    std::vector<std::uint8_t> request; // the frame libmodbus took (empty for unreadable bytes)
    std::vector<std::uint8_t> reply;   // Reply only
    std::string note;                  // what happened, for the log
    int station = 0;                   // the frame's station (0 for broadcasts and unreadable bytes)
};

class ModbusSlave {
public:
    ModbusSlave(DriveModel& model, int station);
    // Several drives on one line, each answering for its own station.
    explicit ModbusSlave(const std::vector<SlaveDrive>& drives);
    ~ModbusSlave();
    ModbusSlave(const ModbusSlave&) = delete;
    ModbusSlave& operator=(const ModbusSlave&) = delete;

    bool isValid() const { return m_ctx != nullptr; }
    const std::string& error() const { return m_error; }
    int station() const { return m_drives.front().station; }
    // The drive at this station, or null.
    DriveModel* drive(int station) const;

    // Takes one chunk of bytes received from the line (one frame, or frames
    // back to back) and returns what each frame in it led to.
    std::vector<SlaveEvent> handle(const std::vector<std::uint8_t>& chunk);

private:
    SlaveEvent handleFrame(const std::vector<std::uint8_t>& req);
    std::vector<std::uint8_t> takeReply();
    int pending() const;
    void discardPending();
    void countCrcError(int station);

    std::vector<SlaveDrive> m_drives;
    int m_libSide = -1; // libmodbus reads requests and writes replies here
    int m_ourSide = -1; // we write requests and read replies here
    modbus_t* m_ctx = nullptr;
    modbus_mapping_t* m_mapping = nullptr;
    int m_mappedRegisters = 0;
    std::string m_error;
};

} // namespace kv::sim

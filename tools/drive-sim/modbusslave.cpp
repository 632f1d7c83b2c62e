#include "tools/drive-sim/modbusslave.h"

#include <modbus/modbus.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kv::sim {

namespace {

constexpr int kFnReadHoldingRegisters = 0x03;
constexpr int kFnWriteSingleRegister = 0x06;
constexpr int kMaxReadRegisters = 125;

int Word(const std::vector<std::uint8_t>& frame, std::size_t at)
{
    return (frame[at] << 8) | frame[at + 1];
}

// Whether libmodbus cuts a request of this function at its true end: the
// functions it knows the request layout of (those without data are four bytes
// long). Any other request it would cut after four bytes, and function codes
// from 0x80 on are those of exception replies, which it would answer garbled.
bool LibraryFrames(int function)
{
    switch (function) {
    case 0x01: case 0x02: case 0x03: case 0x04: case 0x05: case 0x06:
    case 0x07: case 0x0B: case 0x0C: case 0x0F: case 0x10: case 0x11:
    case 0x16: case 0x17:
        return true;
    default:
        return false;
    }
}

// CRC-16/MODBUS of the bytes, low byte first on the line.
std::uint16_t Crc16(const std::uint8_t* bytes, std::size_t size)
{
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= bytes[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001) : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

bool CrcHolds(const std::vector<std::uint8_t>& frame)
{
    if (frame.size() < 4)
        return false;
    const std::uint16_t crc = Crc16(frame.data(), frame.size() - 2);
    return frame[frame.size() - 2] == (crc & 0xFF) && frame[frame.size() - 1] == (crc >> 8);
}

} // namespace

std::string HexBytes(const std::vector<std::uint8_t>& bytes)
{
    std::string out;
    char buf[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(buf, sizeof buf, i ? " %02X" : "%02X", bytes[i]);
        out += buf;
    }
    return out;
}

ModbusSlave::ModbusSlave(DriveModel& model, int station)
    : ModbusSlave(std::vector<SlaveDrive>{{station, &model}})
{
}

ModbusSlave::ModbusSlave(const std::vector<SlaveDrive>& drives)
    : m_drives(drives)
{
    if (m_drives.empty()) {
        m_error = "no drive on the line";
        return;
    }
    int sv[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sv) != 0) {
        m_error = std::string("socketpair: ") + std::strerror(errno);
        return;
    }
    m_libSide = sv[0];
    m_ourSide = sv[1];
    ::fcntl(m_ourSide, F_SETFL, ::fcntl(m_ourSide, F_GETFL) | O_NONBLOCK);

    // The register table libmodbus answers reads from: large enough for the
    // highest register the model knows; filled from the model per request.
    int highest = 0;
    for (const SlaveDrive& d : m_drives) {
        for (int reg = highest + 1; reg <= 0xFFFF; ++reg) {
            if (d.model->isReadable(reg))
                highest = reg;
        }
    }
    m_mappedRegisters = highest + 1;
    m_mapping = modbus_mapping_new(0, 0, m_mappedRegisters, 0);
    // The device name is never opened: libmodbus works on the socket pair.
    m_ctx = m_mapping ? modbus_new_rtu("/dev/null", 9600, 'N', 8, 1) : nullptr;
    if (!m_ctx) {
        m_error = std::string("libmodbus: ") + modbus_strerror(errno);
        return;
    }
    modbus_set_socket(m_ctx, m_libSide);
    // Every byte of a chunk is already waiting when libmodbus reads it; a
    // frame that stops short is given up after this pause.
    modbus_set_byte_timeout(m_ctx, 0, 5000);
    modbus_set_error_recovery(m_ctx, MODBUS_ERROR_RECOVERY_NONE);
}

ModbusSlave::~ModbusSlave()
{
    if (m_ctx)
        modbus_free(m_ctx); // frees the context only; the sockets are ours
    if (m_mapping)
        modbus_mapping_free(m_mapping);
    if (m_libSide >= 0)
        ::close(m_libSide);
    if (m_ourSide >= 0)
        ::close(m_ourSide);
}

DriveModel* ModbusSlave::drive(int station) const
{
    for (const SlaveDrive& d : m_drives) {
        if (d.station == station)
            return d.model;
    }
    return nullptr;
}

void ModbusSlave::countCrcError(int station)
{
    // A frame for a drive, or a broadcast every drive hears.
    for (const SlaveDrive& d : m_drives) {
        if (station == 0 || d.station == station)
            d.model->countCrcError();
    }
}

int ModbusSlave::pending() const
{
    int n = 0;
    if (::ioctl(m_libSide, FIONREAD, &n) != 0)
        return 0;
    return n;
}

void ModbusSlave::discardPending()
{
    std::uint8_t buf[512];
    while (pending() > 0) {
        if (::recv(m_libSide, buf, sizeof buf, MSG_DONTWAIT) <= 0)
            break;
    }
}

std::vector<std::uint8_t> ModbusSlave::takeReply()
{
    std::vector<std::uint8_t> out;
    std::uint8_t buf[512];
    for (;;) {
        const ssize_t n = ::recv(m_ourSide, buf, sizeof buf, MSG_DONTWAIT);
        if (n <= 0)
            break;
        out.insert(out.end(), buf, buf + n);
    }
    return out;
}

std::vector<SlaveEvent> ModbusSlave::handle(const std::vector<std::uint8_t>& chunk)
{
    std::vector<SlaveEvent> events;
    if (!isValid() || chunk.empty())
        return events;
    discardPending();
    takeReply();

    std::size_t written = 0;
    while (written < chunk.size()) {
        const ssize_t n = ::send(m_ourSide, chunk.data() + written, chunk.size() - written, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        written += static_cast<std::size_t>(n);
    }
    const std::size_t total = written;

    while (pending() > 0) {
        const int before = pending();
        const std::size_t offset = total - static_cast<std::size_t>(before);
        const std::uint8_t station = chunk[offset];
        if (station > 247) {
            // Not the start of any frame: drop what is left of the chunk.
            SlaveEvent e;
            e.kind = SlaveEvent::Kind::BadFrame;
            e.request.assign(chunk.begin() + static_cast<long>(offset), chunk.begin() + static_cast<long>(total));
            e.note = "ignored: no frame starts with " + HexBytes({station});
            events.push_back(std::move(e));
            discardPending();
            break;
        }
        if (total - offset >= 2 && !LibraryFrames(chunk[offset + 1])) {
            // A request libmodbus cannot cut: it ends where the line fell
            // silent, and its CRC tells whether it came whole.
            std::vector<std::uint8_t> frame(chunk.begin() + static_cast<long>(offset),
                                            chunk.begin() + static_cast<long>(total));
            discardPending();
            if (CrcHolds(frame)) {
                events.push_back(handleFrame(frame));
            } else {
                SlaveEvent e;
                e.kind = SlaveEvent::Kind::BadFrame;
                if (frame.size() >= 4) {
                    countCrcError(station);
                    e.note = "ignored: bad CRC";
                } else {
                    e.note = "ignored: incomplete frame";
                }
                e.request = std::move(frame);
                events.push_back(std::move(e));
            }
            break;
        }
        // libmodbus takes only frames for its own station and, after one for
        // another station, skips the next frame as that station's answer. Set
        // to each frame's own station it reads every frame whole; the station
        // is judged here afterwards.
        modbus_set_slave(m_ctx, station);
        std::uint8_t req[MODBUS_RTU_MAX_ADU_LENGTH];
        const int rc = modbus_receive(m_ctx, req);
        const int after = pending();
        if (rc > 0) {
            events.push_back(handleFrame(std::vector<std::uint8_t>(req, req + rc)));
        } else {
            const int err = errno;
            SlaveEvent e;
            e.kind = SlaveEvent::Kind::BadFrame;
            const std::size_t used = static_cast<std::size_t>(before - after);
            e.request.assign(chunk.begin() + static_cast<long>(offset),
                             chunk.begin() + static_cast<long>(offset + used));
            if (rc < 0 && err == EMBBADCRC) {
                countCrcError(station);
                e.note = "ignored: bad CRC";
            } else if (rc < 0 && err == ETIMEDOUT) {
                e.note = "ignored: incomplete frame";
            } else {
                e.note = std::string("ignored: ") + (rc < 0 ? modbus_strerror(err) : "empty frame");
            }
            events.push_back(std::move(e));
        }
        if (after >= before) {
            discardPending();
            break;
        }
    }
    return events;
}

SlaveEvent ModbusSlave::handleFrame(const std::vector<std::uint8_t>& req)
{
    SlaveEvent e;
    e.request = req;
    const int station = req[0];
    const int function = req.size() > 1 ? req[1] : 0;
    e.station = station;
    DriveModel* model = drive(station);
    if (!model && station != 0) {
        e.kind = SlaveEvent::Kind::OtherStation;
        e.note = "ignored: for station " + std::to_string(station);
        return e;
    }
    const int len = static_cast<int>(req.size());

    if (station == 0) {
        // Every drive on the line carries out a broadcast write.
        e.kind = SlaveEvent::Kind::Broadcast;
        const bool write = function == kFnWriteSingleRegister && req.size() >= 8;
        int refused = 0;
        for (const SlaveDrive& d : m_drives) {
            d.model->countGoodMessage();
            if (write && d.model->write(Word(req, 2), static_cast<std::uint16_t>(Word(req, 4))) != WriteResult::Ok)
                ++refused;
        }
        if (!write)
            e.note = "broadcast ignored: only writes are taken from station 0";
        else
            e.note = refused == 0 ? "broadcast write carried out" : "broadcast write refused";
        return e;
    }
    model->countGoodMessage();

    e.kind = SlaveEvent::Kind::Reply;
    if (function == kFnReadHoldingRegisters && req.size() >= 8) {
        const int address = Word(req, 2);
        const int count = Word(req, 4);
        if (count < 1 || count > kMaxReadRegisters) {
            modbus_reply_exception(m_ctx, req.data(), MODBUS_EXCEPTION_ILLEGAL_DATA_VALUE);
            e.note = "exception 03: " + std::to_string(count) + " registers";
        } else {
            bool readable = address + count <= m_mappedRegisters;
            for (int r = address; readable && r < address + count; ++r)
                readable = model->isReadable(r);
            if (!readable) {
                modbus_reply_exception(m_ctx, req.data(), MODBUS_EXCEPTION_ILLEGAL_DATA_ADDRESS);
                e.note = "exception 02: registers outside the map";
            } else {
                for (int r = address; r < address + count; ++r)
                    m_mapping->tab_registers[r] = model->read(r);
                modbus_reply(m_ctx, req.data(), len, m_mapping);
            }
        }
    } else if (function == kFnWriteSingleRegister && req.size() >= 8) {
        const int address = Word(req, 2);
        const auto value = static_cast<std::uint16_t>(Word(req, 4));
        switch (model->write(address, value)) {
        case WriteResult::Ok:
            modbus_reply(m_ctx, req.data(), len, m_mapping);
            break;
        case WriteResult::IllegalAddress:
            modbus_reply_exception(m_ctx, req.data(), MODBUS_EXCEPTION_ILLEGAL_DATA_ADDRESS);
            e.note = "exception 02: register not writable";
            break;
        case WriteResult::IllegalValue:
            modbus_reply_exception(m_ctx, req.data(), MODBUS_EXCEPTION_ILLEGAL_DATA_VALUE);
            e.note = "exception 03: value out of range";
            break;
        case WriteResult::ReadOnly:
            modbus_reply_exception(m_ctx, req.data(), MODBUS_EXCEPTION_ILLEGAL_DATA_VALUE);
            e.note = "exception 03: read-only parameter";
            break;
        }
    } else if (LibraryFrames(function)) {
        modbus_reply_exception(m_ctx, req.data(), MODBUS_EXCEPTION_ILLEGAL_FUNCTION);
        e.note = "exception 01: function not supported";
    } else {
        // libmodbus did not take this request: the exception reply is built here.
        e.reply = {static_cast<std::uint8_t>(station), static_cast<std::uint8_t>(function | 0x80),
                   MODBUS_EXCEPTION_ILLEGAL_FUNCTION};
        const std::uint16_t crc = Crc16(e.reply.data(), e.reply.size());
        e.reply.push_back(static_cast<std::uint8_t>(crc & 0xFF));
        e.reply.push_back(static_cast<std::uint8_t>(crc >> 8));
        e.note = "exception 01: function not supported";
        return e;
    }
    e.reply = takeReply();
    return e;
}

} // namespace kv::sim

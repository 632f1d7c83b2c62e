#include "tools/drive-sim/options.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace kv::sim {

namespace {

bool ParseInt(const std::string& text, long minValue, long maxValue, long* out)
{
    if (text.empty() || text.size() > 12)
        return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || end != text.c_str() + text.size() || v < minValue || v > maxValue)
        return false;
    *out = v;
    return true;
}

bool IsStandardBaud(long baud)
{
    switch (baud) {
    case 1200: case 2400: case 4800: case 9600: case 19200: case 38400: case 57600: case 115200:
        return true;
    default:
        return false;
    }
}

// "1", "1,2,5", "3-6", "1,3-5,9": stations 1..247, returned ascending, each once.
bool ParseStations(const std::string& text, std::vector<int>* out)
{
    std::vector<int> stations;
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t comma = std::min(text.find(',', from), text.size());
        const std::string item = text.substr(from, comma - from);
        const std::size_t dash = item.find('-');
        long a = 0;
        long b = 0;
        if (dash == std::string::npos) {
            if (!ParseInt(item, 1, 247, &a))
                return false;
            b = a;
        } else if (!ParseInt(item.substr(0, dash), 1, 247, &a) || !ParseInt(item.substr(dash + 1), 1, 247, &b)
                   || b < a) {
            return false;
        }
        for (long n = a; n <= b; ++n)
            stations.push_back(static_cast<int>(n));
        from = comma + 1;
    }
    std::sort(stations.begin(), stations.end());
    stations.erase(std::unique(stations.begin(), stations.end()), stations.end());
    *out = std::move(stations);
    return !out->empty();
}

// Takes a trailing "@STATION" off an option's value: `ownAts` is how many
// '@' the value has without it ("200@/10" has one, "5%" none).
bool TakeStation(std::string* value, int ownAts, int* station, std::string* error)
{
    *station = 0;
    const auto ats = std::count(value->begin(), value->end(), '@');
    if (ats <= ownAts)
        return true;
    const std::size_t at = value->rfind('@');
    long n = 0;
    if (ats > ownAts + 1 || !ParseInt(value->substr(at + 1), 1, 247, &n)) {
        *error = "\"" + value->substr(at + 1) + "\" is not a station 1..247";
        return false;
    }
    *station = static_cast<int>(n);
    value->resize(at);
    return true;
}

bool ParseSeconds(const std::string& value, double* out)
{
    char* end = nullptr;
    errno = 0;
    const double s = std::strtod(value.c_str(), &end);
    if (value.empty() || errno != 0 || end != value.c_str() + value.size() || !std::isfinite(s) || s <= 0.0
        || s > 86400.0)
        return false;
    *out = s;
    return true;
}

} // namespace

DriveFault Options::driveFault(int station) const
{
    const auto it = driveFaults.find(station);
    return it == driveFaults.end() ? DriveFault{} : it->second;
}

std::string Options::lineSettings() const
{
    return std::to_string(baud) + "," + parity + "," + std::to_string(dataBits) + "," + std::to_string(stopBits);
}

int Options::effectiveFrameGapMs() const
{
    if (frameGapMs > 0)
        return frameGapMs;
    const int t35 = static_cast<int>(std::ceil(3.5 * charTimeMs()));
    return t35 > 5 ? t35 : 5;
}

double Options::requestGapMs() const
{
    if (frameGapMs > 0 || !pace)
        return effectiveFrameGapMs();
    // Paced, the line's own silence: 3.5 characters, 1.75 ms above 19200 baud.
    return std::max(3.5 * charTimeMs(), 1.75);
}

double Options::charTimeMs() const
{
    const int bitsPerChar = 1 + dataBits + (parity == 'N' ? 0 : 1) + stopBits;
    return bitsPerChar * 1000.0 / baud;
}

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string* error)
{
    Options o;
    auto fail = [error](const std::string& message) {
        if (error)
            *error = message;
        return std::nullopt;
    };
    // Drive faults without @STATION belong to the first station, known only
    // once every option is read; those with it are checked against --station then.
    std::optional<double> plainAfter;
    std::optional<int> plainCode;
    std::map<int, double> afterAt;
    std::map<int, int> codeAt;
    std::vector<std::pair<std::string, int>> named; // option, station
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool hasValue = false;
        const std::size_t eq = name.find('=');
        if (name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasValue = true;
        }
        auto takeValue = [&]() -> bool {
            if (hasValue)
                return true;
            if (i + 1 >= args.size())
                return false;
            value = args[++i];
            return true;
        };
        if (name == "-h" || name == "--help") {
            o.help = true;
            continue;
        }
        if (name == "-v" || name == "--verbose") {
            o.verbose = true;
            continue;
        }
        if (name == "--no-pace") {
            o.pace = false;
            continue;
        }
        if (name == "--open-map") {
            o.openMap = true;
            continue;
        }
        static const char* const kWithValue[] = {"--port", "--link", "--station", "--baud", "--parity",
                                                 "--data-bits", "--stop-bits", "--frame-gap", "--delay",
                                                 "--split", "--drop", "--bad-crc", "--stray", "--seed",
                                                 "--fault-after", "--fault-code", "--tcp"};
        bool known = false;
        for (const char* k : kWithValue)
            known = known || name == k;
        if (!known)
            return fail("unknown option \"" + name + "\" (see --help)");
        if (!takeValue())
            return fail("option " + name + " needs a value");

        long n = 0;
        std::string why;
        // The options a single drive among several can have, with @STATION last.
        int at = 0;
        const std::string given = value;
        int ownAts = -1;
        if (name == "--delay" || name == "--split")
            ownAts = 1;
        else if (name == "--drop" || name == "--bad-crc" || name == "--fault-after" || name == "--fault-code")
            ownAts = 0;
        if (ownAts >= 0) {
            if (!TakeStation(&value, ownAts, &at, &why))
                return fail(name + " " + given + ": " + why);
            if (at != 0)
                named.emplace_back(name + " " + given, at);
        }
        if (name == "--stray" && std::count(value.begin(), value.end(), '@') > 1)
            return fail("--stray has no @STATION form: stray bytes are noise on the line, before any reply");
        StationFaults* own = at != 0 ? &o.faults.stations[at] : nullptr;
        if (name == "--port") {
            if (value.empty())
                return fail("--port needs a device path");
            o.port = value;
        } else if (name == "--link") {
            if (value.empty())
                return fail("--link needs a path");
            o.link = value;
        } else if (name == "--station") {
            if (!ParseStations(value, &o.stations))
                return fail("--station must be stations 1 to 247 (N, N,M,... or A-B), not \"" + value + "\"");
            o.station = o.stations.front();
        } else if (name == "--tcp") {
            std::string address = o.tcpAddress;
            std::string port = value;
            const std::size_t colon = value.rfind(':');
            if (colon != std::string::npos) {
                address = value.substr(0, colon);
                port = value.substr(colon + 1);
            }
            in_addr parsed{};
            if (::inet_pton(AF_INET, address.c_str(), &parsed) != 1)
                return fail("--tcp needs [ADDRESS:]PORT with an IPv4 address, not \"" + value + "\"");
            if (!ParseInt(port, 0, 65535, &n))
                return fail("--tcp port must be 0 to 65535, not \"" + port + "\"");
            o.tcp = true;
            o.tcpAddress = address;
            o.tcpPort = static_cast<int>(n);
        } else if (name == "--baud") {
            if (!ParseInt(value, 1, 4000000, &n) || !IsStandardBaud(n))
                return fail("--baud must be one of 1200 2400 4800 9600 19200 38400 57600 115200, not \"" + value + "\"");
            o.baud = static_cast<int>(n);
        } else if (name == "--parity") {
            if (value.size() != 1 || std::string("NEOneo").find(value[0]) == std::string::npos)
                return fail("--parity must be N, E or O, not \"" + value + "\"");
            o.parity = static_cast<char>(std::toupper(static_cast<unsigned char>(value[0])));
        } else if (name == "--data-bits") {
            if (!ParseInt(value, 7, 8, &n))
                return fail("--data-bits must be 7 or 8, not \"" + value + "\"");
            o.dataBits = static_cast<int>(n);
        } else if (name == "--stop-bits") {
            if (!ParseInt(value, 1, 2, &n))
                return fail("--stop-bits must be 1 or 2, not \"" + value + "\"");
            o.stopBits = static_cast<int>(n);
        } else if (name == "--frame-gap") {
            if (!ParseInt(value, 1, 1000, &n))
                return fail("--frame-gap must be 1 to 1000 ms, not \"" + value + "\"");
            o.frameGapMs = static_cast<int>(n);
        } else if (name == "--delay") {
            auto f = ParseValueFault(value, 0, 60000, &why);
            if (!f)
                return fail("--delay MS[@WHEN[@STATION]]: " + why);
            (own ? own->delayMs : o.faults.delayMs) = *f;
        } else if (name == "--split") {
            auto f = ParseValueFault(value, 0, 60000, &why);
            if (!f)
                return fail("--split GAP_MS[@WHEN[@STATION]]: " + why);
            (own ? own->splitGapMs : o.faults.splitGapMs) = *f;
        } else if (name == "--stray") {
            auto f = ParseValueFault(value, 1, 256, &why);
            if (!f)
                return fail("--stray COUNT[@WHEN]: " + why);
            o.faults.stray = *f;
        } else if (name == "--drop") {
            auto w = ParseFaultWhen(value, &why);
            if (!w)
                return fail("--drop WHEN[@STATION]: " + why);
            (own ? own->drop : o.faults.drop) = *w;
        } else if (name == "--bad-crc") {
            auto w = ParseFaultWhen(value, &why);
            if (!w)
                return fail("--bad-crc WHEN[@STATION]: " + why);
            (own ? own->badCrc : o.faults.badCrc) = *w;
        } else if (name == "--seed") {
            char* end = nullptr;
            errno = 0;
            const unsigned long long s = std::strtoull(value.c_str(), &end, 10);
            if (value.empty() || value[0] == '-' || errno != 0 || end != value.c_str() + value.size())
                return fail("--seed must be a whole number, not \"" + value + "\"");
            o.faults.seed = s;
            o.seedGiven = true;
        } else if (name == "--fault-after") {
            double seconds = 0.0;
            if (!ParseSeconds(value, &seconds))
                return fail("--fault-after must be a number of seconds above 0, not \"" + value + "\"");
            if (at != 0)
                afterAt[at] = seconds;
            else
                plainAfter = seconds;
        } else if (name == "--fault-code") {
            if (!ParseInt(value, 1, 65535, &n))
                return fail("--fault-code must be 1 to 65535, not \"" + value + "\"");
            if (at != 0)
                codeAt[at] = static_cast<int>(n);
            else
                plainCode = static_cast<int>(n);
        }
    }
    for (const auto& [option, at] : named) {
        if (!std::binary_search(o.stations.begin(), o.stations.end(), at))
            return fail(option + ": there is no drive at station " + std::to_string(at) + " (see --station)");
    }
    if (o.tcp && (!o.port.empty() || !o.link.empty()))
        return fail("--tcp listens instead of a serial line: it takes no --port or --link");
    if (plainAfter && !afterAt.count(o.station))
        afterAt[o.station] = *plainAfter;
    if (plainCode && !codeAt.count(o.station))
        codeAt[o.station] = *plainCode;
    for (const auto& [at, seconds] : afterAt)
        o.driveFaults[at].afterSeconds = seconds;
    for (const auto& [at, code] : codeAt)
        o.driveFaults[at].code = code;
    return o;
}

const char* UsageText()
{
    return R"(Usage: drive-sim [options]

A simulated variable-frequency drive: a Modbus RTU slave with the drive's
register map (control word at 0, reference at 1, live block at 4..9, every
catalogue parameter at code - 1).

Line:
  --port DEVICE        answer on this serial device (/dev/ttyUSB0); without it
                       a pseudo-terminal is created and its path printed
  --link PATH          make a symbolic link PATH to the line (the
                       pseudo-terminal or the device; removed on exit)
  --tcp [ADDR:]PORT    listen for RTU over TCP instead (RTU frames with their
                       CRC, as a transparent serial-to-Ethernet converter
                       passes them) on ADDR (default 127.0.0.1); PORT 0 picks
                       a free port. ADDR:PORT is printed instead of a path.
                       One client at a time: while one is connected, another
                       is accepted and closed at once (refused)
  --station LIST       the drives on the line: N, N,M,... or A-B (e.g. 1,2,5
                       or 3-6), stations 1..247 (default 1); each drive has its
                       own state, parameters and fault record, and a request
                       for a station not in the list gets no reply
  --baud N             1200..115200 (default 9600)
  --parity N|E|O       (default N)
  --data-bits 7|8      (default 8)
  --stop-bits 1|2      (default 1)
  --frame-gap MS       silence that ends a request (default 3.5 characters,
                       at least 5 ms)
  --no-pace            move bytes as fast as the terminal takes them; by
                       default a request counts as arrived only once its bytes
                       would have crossed the line at its speed, and replies
                       go out no faster than the line carries them
  --open-map           answer reads of any register (those outside the
                       drive's map read 0), e.g. to measure 125-register reads

Line settings on a pseudo-terminal: paced (the default), drive-sim reads the
settings the master set on the terminal for every request. Where the master's
baud rate, parity or stop bits differ from the drive's, the drive's receiver
could not make a frame of the bytes (framing and parity errors, a broken CRC):
the request gets no reply and the log says "line settings differ: master
19200,E,?,1, drive 9600,N,8,1". A Linux pseudo-terminal forces 8 data bits and
clears the parity enable on whatever a master sets: the parity is told by the
input parity check (INPCK, with PARODD for odd) that a master sets with a
parity, as libmodbus, pyserial and kolven-assistant do; data bits cannot be
told (shown as ?).
Not checked with --no-pace, --port or --tcp.

Faults in the replies (WHEN: N = the first N replies, A-B = replies A to B,
/N = every N-th reply, P% = each reply with probability P, all = every reply;
replies are counted from 1, exception replies included). Without @STATION a
fault hits the line's replies, counted over the line; with @STATION only
that drive's replies, counted among its own:
  --delay MS[@WHEN[@STATION]]  answer MS milliseconds late
  --split MS[@WHEN[@STATION]]  write the reply in two halves with MS
                       milliseconds between
  --drop WHEN[@STATION]        send no reply
  --bad-crc WHEN[@STATION]     send the reply with a corrupt CRC
  --stray N[@WHEN]     send N random bytes before the reply (noise on the
                       line: no @STATION)
  --seed N             seed for rates and stray bytes (default: random, printed)
  e.g. --delay 300@all@2 (every reply of drive 2), --drop 3@5 (the first 3
  replies of drive 5), --drop 3 (the first 3 replies on the line)

Drive faults (without @STATION: the first, lowest station):
  --fault-after S[@STATION]  trip S seconds after each start (alarm bit in the
                       last seconds before; in the last half second the
                       current climbs to 2.5 times its running value)
  --fault-code N[@STATION]   fault code the trip records (default 3)
  SIGUSR1              trips the first drive at once

The fault record, group 04 (registers 0x0190..0x019C, readable in one
block of 13), is filled at each trip with the values of that moment:
  0401 fault code                  0407 current, 0.1 A (as 0104)
  0402 fault time 1: on-time days  0408 torque, 0.1 % (as 0105)
  0403 fault time 2: 2 s ticks     0409 status word
  0404 speed, rpm (as 0102)        0410 DI 1-3 (as 0118: 100 = DI1 closed)
  0405 frequency, 0.1 Hz (0103)    0411 DI 4-6 (as 0119)
  0406 DC voltage, V (as 0107)     0412, 0413 the fault before, and before that
The drive has no calendar clock: the time of a fault is its power-on time
counter (0143 days, 0144 2-second ticks within the day; 128 days and 0 ticks
when drive-sim starts), so 0402 = 128, 0403 = 95 is 3 min 10 s after start.

Drive information, group 33 (registers 0x0CE4..0x0CE8, one block of 5), per
station s with i = s - 1 (every station has its own test date):
  3301 software version  0x0250, 0x0241, 0x0262 for i mod 3 = 0, 1, 2
  3302 program version   0x0101 + i mod 4
  3303 test date         YYWW = (23 + i / 52) * 100 + 1 + i mod 52
  3304 drive size        rated current in 0.1 A: 88, 125, 156, 230 (i mod 4)
  3305 parameter table   as 3301
  e.g. station 1: 0250 0101 2301 88 0250; station 2: 0241 0102 2302 125 0241

Other:
  -v, --verbose        log every request and reply with a time stamp
  -h, --help           this text

SIGINT or SIGTERM end the program cleanly.
)";
}

} // namespace kv::sim

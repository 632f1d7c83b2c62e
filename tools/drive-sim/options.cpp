#include "tools/drive-sim/options.h"

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

} // namespace

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
                                                 "--fault-after", "--fault-code"};
        bool known = false;
        for (const char* k : kWithValue)
            known = known || name == k;
        if (!known)
            return fail("unknown option \"" + name + "\" (see --help)");
        if (!takeValue())
            return fail("option " + name + " needs a value");

        long n = 0;
        std::string why;
        if (name == "--port") {
            if (value.empty())
                return fail("--port needs a device path");
            o.port = value;
        } else if (name == "--link") {
            if (value.empty())
                return fail("--link needs a path");
            o.link = value;
        } else if (name == "--station") {
            if (!ParseInt(value, 1, 247, &n))
                return fail("--station must be 1 to 247, not \"" + value + "\"");
            o.station = static_cast<int>(n);
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
                return fail("--delay MS[@WHEN]: " + why);
            o.faults.delayMs = *f;
        } else if (name == "--split") {
            auto f = ParseValueFault(value, 0, 60000, &why);
            if (!f)
                return fail("--split GAP_MS[@WHEN]: " + why);
            o.faults.splitGapMs = *f;
        } else if (name == "--stray") {
            auto f = ParseValueFault(value, 1, 256, &why);
            if (!f)
                return fail("--stray COUNT[@WHEN]: " + why);
            o.faults.stray = *f;
        } else if (name == "--drop") {
            auto w = ParseFaultWhen(value, &why);
            if (!w)
                return fail("--drop WHEN: " + why);
            o.faults.drop = *w;
        } else if (name == "--bad-crc") {
            auto w = ParseFaultWhen(value, &why);
            if (!w)
                return fail("--bad-crc WHEN: " + why);
            o.faults.badCrc = *w;
        } else if (name == "--seed") {
            char* end = nullptr;
            errno = 0;
            const unsigned long long s = std::strtoull(value.c_str(), &end, 10);
            if (value.empty() || value[0] == '-' || errno != 0 || end != value.c_str() + value.size())
                return fail("--seed must be a whole number, not \"" + value + "\"");
            o.faults.seed = s;
            o.seedGiven = true;
        } else if (name == "--fault-after") {
            char* end = nullptr;
            errno = 0;
            const double s = std::strtod(value.c_str(), &end);
            if (value.empty() || errno != 0 || end != value.c_str() + value.size() || !std::isfinite(s) || s <= 0.0
                || s > 86400.0)
                return fail("--fault-after must be a number of seconds above 0, not \"" + value + "\"");
            o.faultAfterSeconds = s;
        } else if (name == "--fault-code") {
            if (!ParseInt(value, 1, 65535, &n))
                return fail("--fault-code must be 1 to 65535, not \"" + value + "\"");
            o.faultCode = static_cast<int>(n);
        }
    }
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
  --station N          station number, 1..247 (default 1)
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

Faults in the replies (WHEN: N = the first N replies, A-B = replies A to B,
/N = every N-th reply, P% = each reply with probability P, all = every reply;
replies are counted from 1, exception replies included):
  --delay MS[@WHEN]    answer MS milliseconds late
  --split MS[@WHEN]    write the reply in two halves with MS milliseconds between
  --drop WHEN          send no reply
  --bad-crc WHEN       send the reply with a corrupt CRC
  --stray N[@WHEN]     send N random bytes before the reply
  --seed N             seed for rates and stray bytes (default: random, printed)

Drive faults:
  --fault-after S      trip S seconds after each start (alarm bit shortly before)
  --fault-code N       fault code shown in parameter 0401 (default 3)
  SIGUSR1              trips the drive at once

Other:
  -v, --verbose        log every request and reply with a time stamp
  -h, --help           this text

SIGINT or SIGTERM end the program cleanly.
)";
}

} // namespace kv::sim

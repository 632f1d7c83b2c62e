// Faults the simulated drive puts into its replies on demand: which replies
// a fault hits (by count, range, period or rate) and what it does to them.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace kv::sim {

// Which replies a fault hits. Replies are numbered from 1 in the order the
// drive builds them (exception replies included, whether later dropped or not).
struct FaultWhen {
    enum class Kind { Never, All, Range, Every, Rate };
    Kind kind = Kind::Never;
    std::uint64_t first = 0; // Range: replies first..last
    std::uint64_t last = 0;
    std::uint64_t period = 0; // Every: replies period, 2*period, ...
    double rate = 0.0;        // Rate: probability per reply, 0..1
};

// Reads "all", "N" (the first N replies), "A-B" (replies A to B), "/N" (every
// N-th reply) or "P%" (each reply with probability P percent).
std::optional<FaultWhen> ParseFaultWhen(const std::string& text, std::string* error);

// A fault option that carries a number: "VALUE" (every reply) or "VALUE@WHEN".
struct ValueFault {
    long value = 0;
    FaultWhen when;
};
std::optional<ValueFault> ParseValueFault(const std::string& text, long minValue, long maxValue, std::string* error);

// The faults of one drive among several on the line: they hit that drive's
// replies only, counted among its own replies. Stray bytes are noise on the
// line and have no such form.
struct StationFaults {
    ValueFault delayMs;
    ValueFault splitGapMs;
    FaultWhen drop;
    FaultWhen badCrc;
};

// Faults without a station hit every reply on the line, counted over the line.
struct FaultOptions {
    ValueFault delayMs;   // reply delay
    ValueFault splitGapMs; // reply written in two parts with a gap
    FaultWhen drop;       // no reply at all
    FaultWhen badCrc;     // reply with a corrupt CRC
    ValueFault stray;     // this many random bytes before the reply
    std::uint64_t seed = 1;
    std::map<int, StationFaults> stations; // by station number
};

// What happens to one reply.
struct ReplyPlan {
    bool drop = false;
    int delayMs = 0;
    bool badCrc = false;
    std::vector<std::uint8_t> stray;
    int splitAt = 0; // bytes of the reply in the first write; 0 = one write
    int splitGapMs = 0;
    // The bytes as they go on the line: stray bytes, then the reply with its
    // CRC corrupted if asked. `firstPart` is what goes before the gap.
    std::vector<std::uint8_t> firstPart;
    std::vector<std::uint8_t> secondPart;
    std::string describe() const;
};

class FaultInjector {
public:
    explicit FaultInjector(const FaultOptions& options);

    // Decides the faults of the next reply, the reply of `station`, and lays
    // out its bytes. The line's faults draw from the one seeded generator in a
    // fixed order, so a run with the same seed and the same requests hits the
    // same replies; a station's own faults draw from a generator of their own
    // (seeded from the seed and the station), so they never shift the line's.
    // Both apply: a reply is dropped or corrupted if either says so, delayed
    // by the longer delay, split with the station's gap if its split hits.
    ReplyPlan plan(const std::vector<std::uint8_t>& reply, int station = 0);

    std::uint64_t repliesPlanned() const { return m_line.count; }

private:
    struct Counter {
        std::mt19937_64 random;
        std::uint64_t count = 0;
    };
    static bool hits(const FaultWhen& when, Counter& counter);

    FaultOptions m_options;
    Counter m_line;
    std::map<int, Counter> m_stations;
};

} // namespace kv::sim

#include "tools/drive-sim/faults.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace kv::sim {

namespace {

bool ParseUnsigned(const std::string& text, std::uint64_t* out)
{
    if (text.empty() || text.size() > 18)
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    *out = std::strtoull(text.c_str(), nullptr, 10);
    return true;
}

bool ParseSigned(const std::string& text, long* out)
{
    if (text.empty() || text.size() > 12)
        return false;
    std::size_t i = (text[0] == '-') ? 1 : 0;
    if (i == text.size())
        return false;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    *out = std::strtol(text.c_str(), nullptr, 10);
    return true;
}

void SetError(std::string* error, const std::string& message)
{
    if (error)
        *error = message;
}

} // namespace

std::optional<FaultWhen> ParseFaultWhen(const std::string& text, std::string* error)
{
    FaultWhen when;
    if (text == "all") {
        when.kind = FaultWhen::Kind::All;
        return when;
    }
    if (!text.empty() && text.back() == '%') {
        const std::string number = text.substr(0, text.size() - 1);
        char* end = nullptr;
        errno = 0;
        const double p = number.empty() ? NAN : std::strtod(number.c_str(), &end);
        if (number.empty() || errno != 0 || end != number.c_str() + number.size() || !std::isfinite(p) || p < 0.0
            || p > 100.0) {
            SetError(error, "rate \"" + text + "\" must be a percentage from 0% to 100%");
            return std::nullopt;
        }
        when.kind = FaultWhen::Kind::Rate;
        when.rate = p / 100.0;
        return when;
    }
    if (!text.empty() && text.front() == '/') {
        std::uint64_t n = 0;
        if (!ParseUnsigned(text.substr(1), &n) || n == 0) {
            SetError(error, "period \"" + text + "\" must be /N with N at least 1");
            return std::nullopt;
        }
        when.kind = FaultWhen::Kind::Every;
        when.period = n;
        return when;
    }
    const std::size_t dash = text.find('-');
    if (dash != std::string::npos) {
        std::uint64_t a = 0;
        std::uint64_t b = 0;
        if (!ParseUnsigned(text.substr(0, dash), &a) || !ParseUnsigned(text.substr(dash + 1), &b) || a == 0 || b < a) {
            SetError(error, "range \"" + text + "\" must be A-B with 1 <= A <= B");
            return std::nullopt;
        }
        when.kind = FaultWhen::Kind::Range;
        when.first = a;
        when.last = b;
        return when;
    }
    std::uint64_t n = 0;
    if (!ParseUnsigned(text, &n)) {
        SetError(error, "\"" + text + "\" is not a count (N), range (A-B), period (/N), rate (P%) or \"all\"");
        return std::nullopt;
    }
    when.kind = n == 0 ? FaultWhen::Kind::Never : FaultWhen::Kind::Range;
    when.first = 1;
    when.last = n;
    return when;
}

std::optional<ValueFault> ParseValueFault(const std::string& text, long minValue, long maxValue, std::string* error)
{
    ValueFault fault;
    const std::size_t at = text.find('@');
    const std::string value = text.substr(0, at);
    if (!ParseSigned(value, &fault.value) || fault.value < minValue || fault.value > maxValue) {
        SetError(error, "value \"" + value + "\" must be a whole number from " + std::to_string(minValue) + " to "
                            + std::to_string(maxValue));
        return std::nullopt;
    }
    if (at == std::string::npos) {
        fault.when.kind = FaultWhen::Kind::All;
        return fault;
    }
    auto when = ParseFaultWhen(text.substr(at + 1), error);
    if (!when)
        return std::nullopt;
    fault.when = *when;
    return fault;
}

FaultInjector::FaultInjector(const FaultOptions& options)
    : m_options(options)
{
    m_line.random.seed(options.seed);
    for (const auto& entry : options.stations)
        m_stations[entry.first].random.seed(options.seed ^ (0x9E3779B97F4A7C15ULL * static_cast<std::uint64_t>(entry.first)));
}

bool FaultInjector::hits(const FaultWhen& when, Counter& counter)
{
    switch (when.kind) {
    case FaultWhen::Kind::Never: return false;
    case FaultWhen::Kind::All: return true;
    case FaultWhen::Kind::Range: return counter.count >= when.first && counter.count <= when.last;
    case FaultWhen::Kind::Every: return counter.count % when.period == 0;
    case FaultWhen::Kind::Rate: {
        std::uniform_real_distribution<double> u(0.0, 1.0);
        return u(counter.random) < when.rate;
    }
    }
    return false;
}

ReplyPlan FaultInjector::plan(const std::vector<std::uint8_t>& reply, int station)
{
    ++m_line.count;
    ReplyPlan p;
    // Every decision is taken, in this order, for every reply: the generator
    // advances the same way whatever the outcome.
    p.drop = hits(m_options.drop, m_line);
    const bool delay = hits(m_options.delayMs.when, m_line) && m_options.delayMs.value > 0;
    const bool stray = hits(m_options.stray.when, m_line) && m_options.stray.value > 0;
    p.badCrc = hits(m_options.badCrc, m_line);
    bool split = hits(m_options.splitGapMs.when, m_line);
    if (stray) {
        std::uniform_int_distribution<int> byte(0, 255);
        for (long i = 0; i < m_options.stray.value; ++i)
            p.stray.push_back(static_cast<std::uint8_t>(byte(m_line.random)));
    }
    p.delayMs = delay ? static_cast<int>(m_options.delayMs.value) : 0;
    int splitGapMs = static_cast<int>(m_options.splitGapMs.value);

    const auto own = m_options.stations.find(station);
    if (own != m_options.stations.end()) {
        const StationFaults& f = own->second;
        Counter& counter = m_stations[station];
        ++counter.count;
        const bool drop = hits(f.drop, counter);
        const bool late = hits(f.delayMs.when, counter) && f.delayMs.value > 0;
        const bool badCrc = hits(f.badCrc, counter);
        const bool ownSplit = hits(f.splitGapMs.when, counter);
        p.drop = p.drop || drop;
        p.badCrc = p.badCrc || badCrc;
        if (late)
            p.delayMs = std::max(p.delayMs, static_cast<int>(f.delayMs.value));
        if (ownSplit) {
            split = true;
            splitGapMs = static_cast<int>(f.splitGapMs.value);
        }
    }
    if (p.drop) {
        p.stray.clear();
        p.badCrc = false;
        p.delayMs = 0;
        return p;
    }

    std::vector<std::uint8_t> body = reply;
    if (p.badCrc && body.size() >= 2)
        body.back() = static_cast<std::uint8_t>(body.back() ^ 0xFF);
    if (split && body.size() >= 2) {
        p.splitAt = static_cast<int>(body.size() / 2);
        p.splitGapMs = splitGapMs;
    }
    p.firstPart = p.stray;
    p.firstPart.insert(p.firstPart.end(), body.begin(), body.begin() + (p.splitAt > 0 ? p.splitAt : static_cast<long>(body.size())));
    if (p.splitAt > 0)
        p.secondPart.assign(body.begin() + p.splitAt, body.end());
    return p;
}

std::string ReplyPlan::describe() const
{
    if (drop)
        return "dropped";
    std::ostringstream out;
    const char* sep = "";
    if (delayMs > 0) {
        out << sep << "delayed " << delayMs << " ms";
        sep = ", ";
    }
    if (!stray.empty()) {
        out << sep << stray.size() << " stray byte" << (stray.size() == 1 ? "" : "s") << " before";
        sep = ", ";
    }
    if (badCrc) {
        out << sep << "CRC corrupted";
        sep = ", ";
    }
    if (splitAt > 0)
        out << sep << "split after " << splitAt << " bytes with a " << splitGapMs << " ms gap";
    return out.str();
}

} // namespace kv::sim

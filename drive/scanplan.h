// Finding the drive on the line: the probes of a scan, each a read of one
// register (3301, the first of the drive's information group 33) from one
// station at one set of line settings, and what a drive that answered says
// of itself. Pure logic: nothing here touches the line.
//
// A station scan probes a range of stations (1..247 by default) at the
// line's settings. A sweep probes a range of stations (1..4 by default) at
// every baud rate of kSweepBauds with each parity N, E, O, the stop bits as
// given; settings are the outer loop, so that the line changes settings only
// once a step.
//
// Each probe waits as long as its request and reply take on the line at its
// speed, plus kProbeMarginMs for the drive to turn round: never the engine's
// 500 ms, which would make a scan of 247 stations last two minutes.
#pragma once

#include "serial/portsettings.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <array>
#include <optional>

namespace kv {

// The register a probe reads (3301 软件版本, register 0x0CE4), and the
// information group read whole from a drive that answered: 3301..3305.
inline constexpr quint16 kProbeRegister = 0x0CE4;
inline constexpr quint16 kIdentityCount = 5;
// What a drive may take beyond the bytes' time on the line to answer.
inline constexpr int kProbeMarginMs = 30;
inline constexpr std::array<qint32, 8> kSweepBauds{1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

struct StationRange {
    int first = 1;
    int last = 247;
    int Count() const { return last - first + 1; }
    friend bool operator==(const StationRange&, const StationRange&) = default;
};

// "1-247", "3" or "3 - 17": stations 1..247, first no greater than last;
// nothing for anything else.
std::optional<StationRange> ParseStationRange(QStringView text);

struct ScanProbe {
    quint8 station = 1;
    LineSettings settings;
};

// The time a reply of `replyBytes` bytes takes at these settings plus the
// margin: the response timeout of a probe (the engine counts it from the end
// of the request).
int ProbeResponseTimeoutMs(const LineSettings& settings, int replyBytes = 7);
// The longest a probe can take: its request on the line, the response
// timeout, and the silence before the next frame.
double ProbeWorstMs(const LineSettings& settings);

class ScanPlan {
public:
    // Stations `range` at the line's settings.
    static ScanPlan Stations(const LineSettings& line, StationRange range = {});
    // Every baud rate of kSweepBauds with parity N, E, O and the given data
    // and stop bits, for the stations of `range`.
    static ScanPlan Sweep(const LineSettings& line, StationRange range = {1, 4});

    bool IsSweep() const { return m_sweep; }
    const QList<ScanProbe>& Probes() const { return m_probes; }
    int Count() const { return static_cast<int>(m_probes.size()); }
    // The longest the probes from `index` on can take, in milliseconds.
    qint64 WorstMsFrom(int index) const;

private:
    QList<ScanProbe> m_probes;
    QList<double> m_worstFrom;  // m_worstFrom[i]: the longest probes i.. can take
    bool m_sweep = false;

    void Finish();
};

// The seconds left of a scan: of the probes still to go, the longest they
// can take, but no more than the pace so far makes likely (probes that find
// nothing take their whole timeout; the pace tells how many find something).
// `done` probes have taken `elapsedMs`.
qint64 ScanMsLeft(const ScanPlan& plan, int done, qint64 elapsedMs);

// What a drive tells of itself in group 33.
struct DriveIdentity {
    quint16 software = 0;      // 3301 软件版本
    quint16 program = 0;       // 3302 程序版本
    quint16 testDate = 0;      // 3303 测试日期, YYWW
    quint16 ratedCurrent = 0;  // 3304 传动容量, rated current in 0.1 A
    quint16 table = 0;         // 3305 参数表

    // From the five registers 3301..3305; nothing for any other count.
    static std::optional<DriveIdentity> FromRegisters(const QList<quint16>& registers);
    // "软件版本 0250，程序版本 0101，测试日期 2301，传动容量 8.8 A，参数表 0250",
    // the names in the language of the interface.
    QString Text() const;
    friend bool operator==(const DriveIdentity&, const DriveIdentity&) = default;
};

} // namespace kv

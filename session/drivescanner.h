// Finding the drive: runs a scan plan through the line's transaction engine,
// one probe at a time, each a single try with the short timeout the line's
// speed gives (no retries: a station that does not answer at once is taken
// as absent). A probe answered with any sound reply, an exception included,
// has found a device; its information group 33 is then read in one block.
//
// The scanner holds the line while it runs: each probe is asked for from the
// result of the one before, so the engine never falls idle and the window's
// polling and fast sampling wait. Between the steps of a sweep it gives the
// line the next settings; at the end (done, cancelled or the port lost) the
// line gets back the settings it had. Nothing blocks; Cancel ends at once.
#pragma once

#include "drive/scanplan.h"

#include <QObject>

#include <optional>

namespace kv {

class LineGate;

namespace mb {
class TransactionEngine;
struct Result;
} // namespace mb

// A device that answered a probe.
struct FoundDevice {
    quint8 station = 1;
    LineSettings settings;
    qint64 replyMs = 0;                     // from the probe's request to its reply
    std::optional<quint8> exceptionCode;    // the probe was refused with this code
    std::optional<DriveIdentity> identity;  // group 33, where it answered
};

class DriveScanner : public QObject {
    Q_OBJECT
public:
    enum class Stop {
        Done,            // every probe made
        Cancelled,       // Cancel(), or the engine's work was cancelled
        PortLost,        // the port closed or went away
        SettingsRefused, // the port did not take the settings of a sweep step
    };
    Q_ENUM(Stop)

    // Added to a probe's timeout behind a network converter, which passes a
    // reply on once it has gathered it off its cable.
    static constexpr int kNetworkAllowanceMs = 50;

    // `gate`, when given, is asked for the line before a scan starts (fast
    // sampling gives it up; work of another window keeps it).
    explicit DriveScanner(mb::TransactionEngine& engine, LineGate* gate = nullptr, QObject* parent = nullptr);
    ~DriveScanner() override;

    // Starts the plan; false, with the reason in `why`, when the port is
    // closed, the line is busy with other work, or a scan runs.
    bool Start(const ScanPlan& plan, QString* why = nullptr);
    // Ends the scan at once: the probe under way is dropped and the line gets
    // its settings back.
    void Cancel();
    bool Running() const { return m_running; }

    const ScanPlan& Plan() const { return m_plan; }
    const QList<FoundDevice>& Found() const { return m_found; }

    // "已取消", "串口已断开", "串口不接受设置 1200,E,8,1"; "" for Done.
    QString StopText(Stop stop) const;

signals:
    // After each probe: probes done of the plan's, and the milliseconds left.
    void Progress(int done, int total, qint64 msLeft);
    void DeviceFound(const kv::FoundDevice& device);
    void Finished(kv::DriveScanner::Stop stop);

private:
    void Next();
    void OnProbe(const mb::Result& result);
    void OnIdentity(const mb::Result& result);
    // Whether the result ends the scan (the port lost, cancelled); if so it has ended.
    bool Ended(const mb::Result& result);
    // Sends a read of `count` registers from `address` of the current probe's
    // station, one try, waiting as long as the line's speed asks.
    void Send(quint16 address, quint16 count, void (DriveScanner::*then)(const mb::Result&));
    void Finish(Stop stop);

    mb::TransactionEngine& m_engine;
    LineGate* m_gate;
    ScanPlan m_plan;
    LineSettings m_original;
    LineSettings m_refused;
    QList<FoundDevice> m_found;
    std::optional<FoundDevice> m_answered;  // found, its group 33 being read
    qint64 m_startedMs = 0;
    quint64 m_inFlight = 0;
    int m_next = 0;  // the probe to make next
    bool m_running = false;
};

} // namespace kv

Q_DECLARE_METATYPE(kv::FoundDevice)

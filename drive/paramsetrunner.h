// The work of the parameter set on the line, through the transaction engine:
// reading many parameters in blocks (single reads where a block fails),
// writing parameters each with a read-back, and a restore that brings the
// drive to a file. One request at a time, never blocking: each result starts
// the next request. Used alike by the parameter-set window and the command line.
#pragma once

#include "drive/paramset.h"

#include <QList>
#include <QMap>
#include <QObject>

namespace kv {

namespace mb {
class TransactionEngine;
struct Result;
} // namespace mb

class ParameterSetRunner : public QObject {
    Q_OBJECT
public:
    enum class Stop {
        Done,       // ran to the end
        Cancelled,  // Cancel(), or the engine's queue was cancelled
        PortLost,   // the port closed or went away
        NoAnswer,   // three requests in a row without a sound reply
    };
    enum class Phase { Reading, Writing };
    Q_ENUM(Stop)
    Q_ENUM(Phase)

    // Requests in a row without a sound reply after which the work stops.
    static constexpr int kLineFailureLimit = 3;

    explicit ParameterSetRunner(mb::TransactionEngine& engine, QObject* parent = nullptr);

    void SetStation(quint8 station) { m_station = station; }
    quint8 Station() const { return m_station; }
    bool Running() const { return m_mode != Mode::Idle; }

    // Reads the parameters of the codes: codes following each other share a
    // read (PlanBlockReads); a block answered with an exception or not at all
    // is read again register by register. False when work is under way.
    bool Read(const QList<int>& codes);
    // Writes each value as given, 9902 first, then group 99, then the rest in
    // the order given; each write is read back.
    bool Write(const QList<WriteStep>& steps);
    // Brings the drive to the file: writes what PlanRestore gives for the
    // file and the drive's values as known. When 9902 was written, the file's
    // other parameters are read again first (the macro may have reset them)
    // and the rest of the plan is made anew. Summary() tells the outcome.
    bool Restore(const QMap<int, quint16>& file, const QMap<int, Reading>& drive);
    // Stops after the current request (a write after its read-back).
    void Cancel();

    // Every value read or read back since the runner was made.
    const QMap<int, Reading>& Readings() const { return m_readings; }
    // The outcome of the last Restore or Write.
    const RestoreSummary& Summary() const { return m_summary; }

    // "" for Done, "已取消", "串口已断开", "驱动器无应答".
    static QString StopText(Stop stop);

signals:
    void Progress(kv::ParameterSetRunner::Phase phase, int done, int total);
    void ParameterRead(int code, const kv::Reading& reading);
    void ParameterWritten(const kv::WriteReport& report);
    void Finished(kv::ParameterSetRunner::Stop stop);

private:
    enum class Mode { Idle, Reading, Writing };

    void StartReading(const QList<int>& codes);
    void NextRead();
    void OnBlock(const mb::Result& r);
    void OnSingle(int code, const mb::Result& r);
    void ReadingDone();
    void NextWrite();
    void OnWrite(const WriteStep& step, const mb::Result& r);
    void OnReadBack(const WriteStep& step, const mb::Result& r);
    // A port loss or a cancel during a write or its read-back: reported for
    // the step, and the work ends. True then.
    bool WriteStopped(const WriteStep& step, const mb::Result& r);
    void Report(WriteReport report);
    void Submit(const mb::Request& request, std::function<void(const mb::Result&)> then);
    // True (after finishing) when the result or a cancel ends the work.
    bool Stopping(const mb::Result& r);
    void Store(int code, const Reading& reading);
    void Finish(Stop stop);

    mb::TransactionEngine& m_engine;
    quint8 m_station = 1;
    Mode m_mode = Mode::Idle;
    bool m_cancel = false;
    int m_lineFailures = 0;
    QMap<int, Reading> m_readings;

    // Reading.
    QList<ReadBlock> m_blocks;
    qsizetype m_nextBlock = 0;
    QList<int> m_singles;  // codes of a failed block, read one by one
    int m_readDone = 0;
    int m_readTotal = 0;

    // Writing.
    QList<WriteStep> m_steps;
    qsizetype m_nextStep = 0;
    bool m_restoring = false;
    bool m_rereading = false;  // reading the file's parameters again after 9902
    QMap<int, quint16> m_file;
    RestoreSummary m_summary;
};

} // namespace kv

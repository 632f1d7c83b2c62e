// The parameter set: every catalogue parameter with its register and whether
// it may be written, the plan of block reads over the catalogue, the values
// known of a drive, the comparison with a file, and the order and rules of a
// restore. Plain data and rules; the work on the line is ParameterSetRunner.
#pragma once

#include "common/trtext.h"
#include "modbus/rtu.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringView>

#include <optional>

namespace kv {

struct ParameterInfo {
    int code = 0;        // 9902
    QString codeText;    // "9902", "0101"
    QString name;        // "应用宏": the catalogue's name, as the parameter-set file keeps it
    quint16 reg = 0;     // code - 1
    int index = 0;       // position in the catalogue
    bool writable = true;
    bool Writable() const { return writable; }
    // The name in the language of the interface ("Application macro").
    QString ShownName() const;
    // Why the drive refuses writing it (ReadOnlyReason); empty when writable.
    QString ReadOnlyText() const;
    // "0x2649".
    QString RegisterText() const;
};

// Every catalogue parameter in catalogue order (group by group, 99 first).
const QList<ParameterInfo>& ParameterTable();
// The parameter of a code; nullptr when the catalogue has none.
const ParameterInfo* FindParameter(int code);
// Why a parameter cannot be written: the groups of actual values (01), the
// fault log (04) and the drive information (33), and the message counters and
// status of the built-in protocol (5306..5309). Empty for every other code.
// In the language of the interface, as every text below.
QString ReadOnlyReason(int code);

// The application macro: written first, it may reset other parameters.
inline constexpr int kApplicationMacroCode = 9902;

// A register value as typed: decimal -32768..65535 (a negative value as its
// 16-bit two's complement) or hexadecimal with 0x, 0x0..0xFFFF; blanks at both
// ends allowed. Nothing for anything else.
std::optional<quint16> ParseRegisterValue(QStringView text);
// A parameter code as typed: one to four decimal digits ("101" and "0101").
std::optional<int> ParseParameterCode(QStringView text);
// A value unsigned, signed and in hex: "65535（有符号 -1，0xFFFF）".
QString DescribeRegisterValue(quint16 value);

// One read of consecutive registers.
struct ReadBlock {
    quint16 address = 0;
    quint16 count = 0;
    friend bool operator==(const ReadBlock&, const ReadBlock&) = default;
};

// The reads for the given codes, in their order: codes that follow each other
// by one (in the list and in value) share a read of up to maxCount registers.
QList<ReadBlock> PlanBlockReads(const QList<int>& codes, int maxCount = mb::kMaxReadCount);

// What is known of a parameter's value on the drive.
struct Reading {
    enum State { Unread, Read, Failed };
    State state = Unread;
    quint16 value = 0;
    QString error;  // Failed: "异常 02：非法数据地址", "无应答", ...
    bool IsRead() const { return state == Read; }
};

// The comparison of drive and file for one parameter, as the table shows it:
// "未读", the error of the read, "只读", "相同", "不同" (kStatusDifferent);
// empty when the file does not hold the parameter.
inline constexpr TrText kStatusDifferent{"kv::ParameterSet", QT_TRANSLATE_NOOP("kv::ParameterSet", "不同")};
QString CompareStatus(const ParameterInfo& p, const Reading& drive, std::optional<quint16> file);
// Whether the drive's value is known, the parameter writable and the file's value another.
bool Differs(const ParameterInfo& p, const Reading& drive, std::optional<quint16> file);

// One write of a restore.
struct WriteStep {
    int code = 0;
    quint16 value = 0;       // the file's value
    quint16 driveValue = 0;  // the drive's value before
    friend bool operator==(const WriteStep&, const WriteStep&) = default;
};

// The writes that bring the drive to the file: the file's values that differ
// from the drive's (Differs), in this order: 9902 first, then the rest of group
// 99, then every other group in catalogue order. Codes outside the catalogue,
// read-only parameters and parameters whose drive value is not known are left out.
QList<WriteStep> PlanRestore(const QMap<int, quint16>& file, const QMap<int, Reading>& drive);

// Puts writes in the order of a restore: 9902 first (the application macro
// resets other parameters), then the rest of group 99, then all others; the
// writes of each part keep their order.
void SortForRestore(QList<WriteStep>& steps);

// How one write of a parameter ended (written, then read back).
struct WriteReport {
    enum Kind {
        Verified,  // written and read back equal
        Refused,   // the drive answered the write with an exception
        Mismatch,  // written, but read back with another value
        Failed,    // no sound answer (no reply, CRC errors, ...)
        PortLost,
        Cancelled,
    };
    Kind kind = Failed;
    int code = 0;
    quint16 value = 0;
    quint16 readBack = 0;  // Verified, Mismatch
    QString error;         // Refused: the exception's text; Failed: what went wrong
    // "已写入，已校验", "异常 03：非法数据值", "读回值为 12，与写入值不符", "无应答".
    QString Text() const;
};

// Whether a result says the line itself is in trouble (no sound reply).
bool IsLineFailure(mb::Outcome outcome);

// The outcome of a restore for the user.
struct RestoreSummary {
    QList<WriteReport> reports;  // every write tried, in order
    int unchanged = 0;           // the file's writable values equal to the drive's
    int readOnly = 0;            // the file's values of read-only parameters (left alone)
    int unread = 0;              // the file's parameters whose drive value could not be read
    QList<int> notWritten;       // planned writes not reached (stopped)
    QString stopReason;          // empty when it ran to the end: "已取消", "串口已断开", ...

    int Count(WriteReport::Kind kind) const;
    // A few lines: written and verified (with their codes), refused (with the
    // exception's text), read back otherwise, unchanged; the stop and what it left.
    QString Text() const;
};

} // namespace kv

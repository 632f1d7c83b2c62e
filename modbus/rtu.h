// Modbus RTU as the tool speaks it beyond the original window: requests of
// function 03 (read holding registers) and 06 (write one register), the
// assembly of a reply from the bytes as they arrive, the checks a reply must
// pass, the texts of exception codes, and a short description of any frame.
//
// Frames carry the CRC of the frame codec (low byte first). Nothing here
// touches a port or a widget.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QtGlobal>

namespace kv::mb {

// The byte at i of a frame, as a number 0..255.
inline quint8 ByteAt(QByteArrayView b, qsizetype i)
{
    return static_cast<quint8>(b[i]);
}

inline constexpr quint8 kReadHoldingRegisters = 0x03;
inline constexpr quint8 kWriteSingleRegister = 0x06;
inline constexpr quint8 kExceptionFlag = 0x80;
inline constexpr int kMaxReadCount = 125;
// The longest frame Modbus RTU allows.
inline constexpr int kMaxFrameLength = 256;

// The length of a reply of this function code: 5 for an exception, 8 for the
// echo of a write (05, 06, 0F, 10), 5 + byte count for a read (01..04); 0 for a
// function the tool does not know.
int ReplyLengthOf(quint8 function, int byteCount);

struct Request {
    quint8 station = 1;
    quint8 function = kReadHoldingRegisters;
    quint16 address = 0;
    quint16 count = 1;  // registers to read (function 03)
    quint16 value = 0;  // value to write (function 06)

    // A read of `count` registers (1..125) from `address`.
    static Request Read(quint8 station, quint16 address, quint16 count);
    // A write of one register.
    static Request Write(quint8 station, quint16 address, quint16 value);

    // Whether the request can go on the line: a known function, a read of
    // 1..125 registers that stays inside the 16-bit address range.
    bool IsValid() const;
    // A request to station 0 is carried out by every drive and answered by none.
    bool IsBroadcast() const { return station == 0; }
    // The frame on the line, CRC included.
    QByteArray Frame() const;
    // The length of the normal reply: 03: 5 + 2 x count, 06: 8.
    int ReplyLength() const;
    // "读 0004 起 6 个寄存器", "写 0000 = 047F".
    QString Describe() const;
};

// The text of an exception code: "非法数据地址" for 02, "异常 0C" for a code
// without a name.
QString ExceptionText(quint8 code);
// "异常 02：非法数据地址"; a code without a name reads "异常 0C".
QString ExceptionMessage(quint8 code);

// Whether the last two bytes are the CRC of the bytes before them.
bool CrcOk(QByteArrayView frame);

// What a whole chunk of the line is, as far as it can be told without the
// request it answers: "读 0004 起 6 个寄存器", "读回 6 个寄存器", "写 0000 = 047F",
// "异常 02：非法数据地址", "CRC错误"; empty when the bytes are not one frame.
QString DescribeFrame(const QByteArray& bytes, bool transmitted);

enum class Outcome {
    Registers,      // the registers read
    Written,        // the write was echoed
    Exception,      // the drive refused with an exception code
    CrcError,       // a reply of the right form whose CRC is wrong
    WrongStation,   // a whole, sound frame from another station
    WrongFunction,  // a whole, sound frame of another function
    Mismatch,       // a sound reply whose content does not match the request
    Incomplete,     // the reply stopped before its length
    Timeout,        // no reply began within the response timeout
    PortLost,       // the port closed or went away
    Cancelled,      // the request was cancelled
    Broadcast,      // sent to station 0: no reply is expected
    Invalid,        // the request cannot go on the line (see Request::IsValid)
};

// The word for an outcome: "正确", "CRC错误", "超时", ...
QString OutcomeText(Outcome outcome);

struct Result {
    quint64 id = 0;
    Request request;
    Outcome outcome = Outcome::Timeout;
    QList<quint16> registers;  // Registers: the values read
    quint8 exceptionCode = 0;  // Exception
    QByteArray reply;          // the bytes of the last reply, as far as it came
    int attempts = 0;          // how often the request went on the line
    qint64 elapsedMs = 0;      // from the first send to the verdict

    bool Ok() const { return outcome == Outcome::Registers || outcome == Outcome::Written
                             || outcome == Outcome::Broadcast; }
    // For the user: "正确", "异常 02：非法数据地址", "超时", ...
    QString Text() const;
};

// Assembles the reply to one request from the bytes as they arrive.
//
// A reply starts with the request's station and function (or the function
// with the exception flag); a read's reply continues with its byte count.
// Bytes before such a start (noise, the late reply to an earlier request) are
// dropped and counted, never taken for the reply. Once a start is seen, the
// reply is complete at its length (5 + 2 x count, 8, or 5 for an exception)
// and then checked: CRC, and for a write that the echo repeats the request.
class ReplyAssembler {
public:
    explicit ReplyAssembler(const Request& request = Request());

    // Starts again for a new request (or a new attempt of the same one).
    void Reset(const Request& request);

    // Takes the next bytes from the line; true when a verdict is reached.
    bool Feed(QByteArrayView bytes);

    bool Done() const { return m_done; }
    // Whether a plausible start of the reply has been seen.
    bool Started() const { return !m_frame.isEmpty(); }
    // The verdict once Done(); Registers, Written, Exception, CrcError or Mismatch.
    Outcome Verdict() const { return m_outcome; }
    const QList<quint16>& Registers() const { return m_registers; }
    quint8 ExceptionCode() const { return m_exceptionCode; }
    // The reply's bytes as far as they came (the plausible start onwards).
    const QByteArray& Frame() const { return m_frame; }
    // Bytes dropped before a plausible start.
    qint64 DroppedCount() const { return m_droppedCount; }
    // Bytes left over after a complete reply (they belong to no request).
    const QByteArray& Surplus() const { return m_surplus; }

    // The line has fallen silent (or the response timeout has run out) before
    // a verdict: Incomplete when a reply had started; otherwise what the
    // dropped bytes were, when they were one sound frame from another station
    // (WrongStation) or of another function (WrongFunction); else Timeout.
    Outcome GiveUp();

private:
    // GiveUp() looks at this many of the latest dropped bytes.
    static constexpr int kDroppedKept = 512;  // a power of two: the ring's index is a mask
    static_assert((kDroppedKept & (kDroppedKept - 1)) == 0);

    bool HeadPlausible() const;
    void Drop(const char* bytes, qsizetype count);
    void Sync();
    void Judge();

    Request m_request;
    // Until three bytes could begin the reply, the bytes are judged one by one
    // in m_head; from then on the reply grows in m_frame, a piece at a time.
    char m_head[3] = {};
    int m_headLength = 0;
    QByteArray m_frame;  // from the plausible start on
    // The latest dropped bytes, a ring: byte k dropped sits at k % kDroppedKept.
    char m_dropped[kDroppedKept];  // only what was dropped is ever read
    QByteArray m_surplus;
    qint64 m_droppedCount = 0;
    bool m_done = false;
    Outcome m_outcome = Outcome::Timeout;
    QList<quint16> m_registers;
    quint8 m_exceptionCode = 0;
};

} // namespace kv::mb

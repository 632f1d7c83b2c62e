#include "modbus/rtu.h"

#include "serial/framecodec.h"

#include <QCoreApplication>

#include <cstring>

namespace kv::mb {

namespace {

QString Hex4(quint16 v)
{
    return HexText(v, 4);
}

QString Hex2(quint8 v)
{
    return HexText(v, 2);
}

quint16 WordAt(QByteArrayView b, qsizetype i)
{
    return static_cast<quint16>((ByteAt(b, i) << 8) | ByteAt(b, i + 1));
}

// Whether the last two of n bytes are the CRC of the bytes before them.
bool CrcOk(const char* bytes, qsizetype n)
{
    if (n < 3)
        return false;
    const quint16 crc = Crc16(QByteArrayView(bytes, n - 2));
    return static_cast<quint8>(bytes[n - 2]) == (crc & 0xFF) && static_cast<quint8>(bytes[n - 1]) == (crc >> 8);
}

bool IsRead(quint8 function)
{
    return function >= 0x01 && function <= 0x04;
}

// The length a frame must have, judged from its first three bytes; 0 when
// they spell no frame form the tool knows. Writes are 8 bytes, request and
// reply alike; a read's request is 8 bytes, its reply 5 + byte count.
int FormLength(const quint8* b, qsizetype size, bool transmitted)
{
    if (size < 3)
        return 0;
    const quint8 function = b[1];
    const int replyLength = ReplyLengthOf(function, b[2]);
    if (!IsRead(function))
        return replyLength;
    if (transmitted)
        return 8;
    return size == 8 && replyLength != 8 ? 8 : replyLength;
}

int FormLength(QByteArrayView b, bool transmitted)
{
    return FormLength(reinterpret_cast<const quint8*>(b.data()), b.size(), transmitted);
}

} // namespace

int ReplyLengthOf(quint8 function, int byteCount)
{
    if (function & kExceptionFlag)
        return 5;
    switch (function) {
    case 0x05: case 0x06: case 0x0F: case 0x10:
        return 8;
    case 0x01: case 0x02: case 0x03: case 0x04:
        return 5 + byteCount;
    default:
        return 0;
    }
}

Request Request::Read(quint8 station, quint16 address, quint16 count)
{
    Request r;
    r.station = station;
    r.function = kReadHoldingRegisters;
    r.address = address;
    r.count = count;
    return r;
}

Request Request::Write(quint8 station, quint16 address, quint16 value)
{
    Request r;
    r.station = station;
    r.function = kWriteSingleRegister;
    r.address = address;
    r.count = 1;
    r.value = value;
    return r;
}

bool Request::IsValid() const
{
    if (station > 247)
        return false;
    if (function == kWriteSingleRegister)
        return true;
    if (function == kReadHoldingRegisters)
        return count >= 1 && count <= kMaxReadCount && address + count - 1 <= 0xFFFF && station != 0;
    return false;
}

QByteArray Request::Frame() const
{
    const quint16 last = function == kWriteSingleRegister ? value : count;
    return HexFrameToBytes(Hex2(station) + Hex2(function) + Hex4(address) + Hex4(last));
}

int Request::ReplyLength() const
{
    return ReplyLengthOf(function, 2 * count);
}

QString Request::Describe() const
{
    if (function == kWriteSingleRegister)
        return QCoreApplication::translate("kv::mb", "写 %1 = %2").arg(Hex4(address), Hex4(value));
    return QCoreApplication::translate("kv::mb", "读 %1 起 %2 个寄存器").arg(Hex4(address)).arg(count);
}

namespace {

// The name of a standard exception code, nullptr for any other code.
const char* ExceptionName(quint8 code)
{
    switch (code) {
    case 0x01: return QT_TRANSLATE_NOOP("kv::mb", "非法功能");
    case 0x02: return QT_TRANSLATE_NOOP("kv::mb", "非法数据地址");
    case 0x03: return QT_TRANSLATE_NOOP("kv::mb", "非法数据值");
    case 0x04: return QT_TRANSLATE_NOOP("kv::mb", "从站设备故障");
    case 0x05: return QT_TRANSLATE_NOOP("kv::mb", "确认");
    case 0x06: return QT_TRANSLATE_NOOP("kv::mb", "从站设备忙");
    case 0x08: return QT_TRANSLATE_NOOP("kv::mb", "存储奇偶性差错");
    case 0x0A: return QT_TRANSLATE_NOOP("kv::mb", "网关路径不可用");
    case 0x0B: return QT_TRANSLATE_NOOP("kv::mb", "网关目标设备无响应");
    default: return nullptr;
    }
}

} // namespace

QString ExceptionText(quint8 code)
{
    if (const char* name = ExceptionName(code))
        return QCoreApplication::translate("kv::mb", name);
    return QCoreApplication::translate("kv::mb", "异常 %1").arg(Hex2(code));
}

QString ExceptionMessage(quint8 code)
{
    if (const char* name = ExceptionName(code))
        return QCoreApplication::translate("kv::mb", "异常 %1：%2")
            .arg(Hex2(code), QCoreApplication::translate("kv::mb", name));
    return ExceptionText(code);
}

bool CrcOk(QByteArrayView frame)
{
    return CrcOk(frame.data(), frame.size());
}

QString DescribeFrame(const QByteArray& bytes, bool transmitted)
{
    const int length = FormLength(bytes, transmitted);
    if (length == 0 || bytes.size() != length)
        return QString();
    if (!CrcOk(bytes))
        return QCoreApplication::translate("kv::mb", "CRC错误");
    const quint8 function = ByteAt(bytes, 1);
    if (function & kExceptionFlag)
        return ExceptionMessage(ByteAt(bytes, 2));
    if (function == kWriteSingleRegister)
        return QCoreApplication::translate("kv::mb", "写 %1 = %2").arg(Hex4(WordAt(bytes, 2)), Hex4(WordAt(bytes, 4)));
    if (function != kReadHoldingRegisters)
        return QCoreApplication::translate("kv::mb", "功能码 %1").arg(Hex2(function));
    if (length == 8 && (transmitted || ByteAt(bytes, 2) != 3))
        return QCoreApplication::translate("kv::mb", "读 %1 起 %2 个寄存器")
            .arg(Hex4(WordAt(bytes, 2)))
            .arg(WordAt(bytes, 4));
    return QCoreApplication::translate("kv::mb", "读回 %1 个寄存器").arg(ByteAt(bytes, 2) / 2);
}

QString OutcomeText(Outcome outcome)
{
    switch (outcome) {
    case Outcome::Registers: return QCoreApplication::translate("kv::mb", "正确");
    case Outcome::Written: return QCoreApplication::translate("kv::mb", "已写入");
    case Outcome::Exception: return QCoreApplication::translate("kv::mb", "异常");
    case Outcome::CrcError: return QCoreApplication::translate("kv::mb", "CRC错误");
    case Outcome::WrongStation: return QCoreApplication::translate("kv::mb", "站号不符");
    case Outcome::WrongFunction: return QCoreApplication::translate("kv::mb", "功能码不符");
    case Outcome::Mismatch: return QCoreApplication::translate("kv::mb", "回复与请求不符");
    case Outcome::Incomplete: return QCoreApplication::translate("kv::mb", "回复不完整");
    case Outcome::Timeout: return QCoreApplication::translate("kv::mb", "无应答");
    case Outcome::PortLost: return QCoreApplication::translate("kv::mb", "串口已断开");
    case Outcome::Cancelled: return QCoreApplication::translate("kv::mb", "已取消");
    case Outcome::Broadcast: return QCoreApplication::translate("kv::mb", "已广播");
    case Outcome::Invalid: return QCoreApplication::translate("kv::mb", "请求无效");
    }
    return QString();
}

QString Result::Text() const
{
    if (outcome == Outcome::Exception)
        return ExceptionMessage(exceptionCode);
    return OutcomeText(outcome);
}

// ---- reply assembly ------------------------------------------------------------

ReplyAssembler::ReplyAssembler(const Request& request)
{
    Reset(request);
}

void ReplyAssembler::Reset(const Request& request)
{
    m_request = request;
    m_headLength = 0;
    // Emptied, not freed: the next attempt fills the same buffers.
    m_frame.resize(0);
    m_surplus.resize(0);
    m_droppedCount = 0;
    m_done = false;
    m_outcome = Outcome::Timeout;
    m_registers.clear();
    m_exceptionCode = 0;
}

// Whether the head could begin the reply: the station, then the function (or
// its exception), then for a read the byte count.
bool ReplyAssembler::HeadPlausible() const
{
    if (static_cast<quint8>(m_head[0]) != m_request.station)
        return false;
    if (m_headLength < 2)
        return true;
    const auto f = static_cast<quint8>(m_head[1]);
    if (f != m_request.function && f != (m_request.function | kExceptionFlag))
        return false;
    return m_headLength < 3 || f != kReadHoldingRegisters || static_cast<quint8>(m_head[2]) == 2 * m_request.count;
}

// Counts bytes as dropped and keeps the latest of them in the ring.
void ReplyAssembler::Drop(const char* bytes, qsizetype count)
{
    const qsizetype unkept = qMax<qsizetype>(count - kDroppedKept, 0);
    m_droppedCount += unkept;
    bytes += unkept;
    count -= unkept;
    while (count > 0) {
        const auto at = static_cast<qsizetype>(static_cast<quint64>(m_droppedCount) & (kDroppedKept - 1));
        const qsizetype piece = qMin<qsizetype>(count, kDroppedKept - at);
        std::memcpy(m_dropped + at, bytes, static_cast<size_t>(piece));
        m_droppedCount += piece;
        bytes += piece;
        count -= piece;
    }
}

// Drops bytes from the front of the head until what is left could begin the reply.
void ReplyAssembler::Sync()
{
    while (m_headLength > 0 && !HeadPlausible()) {
        Drop(m_head, 1);
        --m_headLength;
        std::memmove(m_head, m_head + 1, static_cast<size_t>(m_headLength));
    }
}

bool ReplyAssembler::Feed(QByteArrayView bytes)
{
    const char* const p = bytes.data();
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    if (!m_done && m_headLength < 3) {
        while (i < n && m_headLength < 3) {
            if (m_headLength == 0) {
                // Nothing begins the reply before the station's byte: drop up to it at once.
                const void* station = std::memchr(p + i, m_request.station, static_cast<size_t>(n - i));
                const qsizetype skip = station ? static_cast<const char*>(station) - (p + i) : n - i;
                Drop(p + i, skip);
                i += skip;
                if (i == n)
                    break;
            }
            m_head[m_headLength++] = p[i++];
            Sync();
        }
        if (m_frame.size() != m_headLength || std::memcmp(m_frame.constData(), m_head, m_headLength) != 0) {
            m_frame.resize(0);
            m_frame.append(m_head, m_headLength);
        }
    }
    // A start of three bytes stays plausible whatever follows: the rest is
    // taken up to the reply's length in one piece.
    if (!m_done && m_headLength == 3) {
        const qsizetype length = ReplyLengthOf(static_cast<quint8>(m_head[1]), 2 * m_request.count);
        // (A request of a function without a known reply length takes all.)
        const qsizetype take = length > 0 ? qMin(n - i, length - m_frame.size()) : n - i;
        m_frame.append(p + i, take);
        i += take;
        if (m_frame.size() == length)
            Judge();
    }
    if (i < n)
        m_surplus.append(p + i, n - i);
    return m_done;
}

void ReplyAssembler::Judge()
{
    m_done = true;
    if (!CrcOk(m_frame)) {
        m_outcome = Outcome::CrcError;
        return;
    }
    if (ByteAt(m_frame, 1) & kExceptionFlag) {
        m_outcome = Outcome::Exception;
        m_exceptionCode = ByteAt(m_frame, 2);
        return;
    }
    if (m_request.function == kReadHoldingRegisters) {
        m_outcome = Outcome::Registers;
        m_registers.reserve(m_request.count);
        for (int k = 0; k < m_request.count; ++k)
            m_registers.append(WordAt(m_frame, 3 + 2 * k));
        return;
    }
    const bool echoed = WordAt(m_frame, 2) == m_request.address && WordAt(m_frame, 4) == m_request.value;
    m_outcome = echoed ? Outcome::Written : Outcome::Mismatch;
}

Outcome ReplyAssembler::GiveUp()
{
    if (m_done)
        return m_outcome;
    m_done = true;
    if (!m_frame.isEmpty()) {
        m_outcome = Outcome::Incomplete;
        return m_outcome;
    }
    m_outcome = Outcome::Timeout;
    // The kept dropped bytes in the order they came.
    const qsizetype kept = qMin<qint64>(m_droppedCount, kDroppedKept);
    char dropped[kDroppedKept];
    const qsizetype first = static_cast<qsizetype>(static_cast<quint64>(m_droppedCount - kept) & (kDroppedKept - 1));
    const qsizetype tail = qMin<qsizetype>(kept, kDroppedKept - first);
    std::memcpy(dropped, m_dropped + first, static_cast<size_t>(tail));
    std::memcpy(dropped + tail, m_dropped, static_cast<size_t>(kept - tail));
    const auto* d = reinterpret_cast<const quint8*>(dropped);
    // Was what came instead one sound frame, from another station or of another function?
    for (qsizetype start = 0; start + 4 <= kept; ++start) {
        const bool otherStation = d[start] != m_request.station;
        const bool otherFunction = (d[start + 1] & ~kExceptionFlag) != m_request.function;
        if (!otherStation && !otherFunction)
            continue;  // at most a late reply to an earlier request
        const int length = FormLength(d + start, kept - start, false);
        if (length < 4 || length > kept - start || !CrcOk(dropped + start, length))
            continue;
        m_outcome = otherStation ? Outcome::WrongStation : Outcome::WrongFunction;
        break;
    }
    return m_outcome;
}

} // namespace kv::mb

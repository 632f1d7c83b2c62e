// The reply assembler on arbitrary bytes cut at arbitrary places, for a
// request chosen by the first bytes: no crash, every byte accounted for, and a
// verdict that agrees with the bytes it was reached on.
#include "modbus/rtu.h"
#include "tests/fuzz/fuzzcheck.h"

#include <cstddef>
#include <cstdint>

using namespace kv::mb;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 4)
        return 0;
    // Byte 0: station, byte 1: read or write and the count, bytes 2-3: the cuts' seed.
    const quint8 station = static_cast<quint8>(data[0] % 248);
    const bool write = (data[1] & 0x80) != 0;
    const quint16 count = static_cast<quint16>(1 + (data[1] & 0x7F) % kMaxReadCount);
    const Request request = write ? Request::Write(station ? station : 1, 0x0001, 0x1234)
                                  : Request::Read(station ? station : 1, 0x0064, count);
    unsigned cuts = static_cast<unsigned>(data[2]) << 8 | data[3];
    const QByteArray bytes(reinterpret_cast<const char*>(data + 4), static_cast<qsizetype>(size - 4));

    ReplyAssembler a(request);
    qsizetype at = 0;
    bool done = false;
    while (at < bytes.size()) {
        const qsizetype piece = qMin(1 + static_cast<qsizetype>(cuts % 23), bytes.size() - at);
        cuts = cuts * 1103515245u + 12345u;
        done = a.Feed(QByteArrayView(bytes).sliced(at, piece));
        at += piece;
    }
    FUZZ_CHECK(a.DroppedCount() + a.Frame().size() + a.Surplus().size() == bytes.size());
    if (!done) {
        FUZZ_CHECK(a.Surplus().isEmpty());
        const Outcome o = a.GiveUp();
        FUZZ_CHECK(o == Outcome::Incomplete || o == Outcome::Timeout || o == Outcome::WrongStation
                   || o == Outcome::WrongFunction);
        FUZZ_CHECK((o == Outcome::Incomplete) == !a.Frame().isEmpty());
        return 0;
    }
    const QByteArray& frame = a.Frame();
    FUZZ_CHECK(static_cast<quint8>(frame[0]) == request.station);
    switch (a.Verdict()) {
    case Outcome::Registers:
        FUZZ_CHECK(CrcOk(frame) && frame.size() == request.ReplyLength());
        FUZZ_CHECK(a.Registers().size() == request.count);
        break;
    case Outcome::Written:
    case Outcome::Mismatch:
        FUZZ_CHECK(CrcOk(frame) && frame.size() == 8 && write);
        break;
    case Outcome::Exception:
        FUZZ_CHECK(CrcOk(frame) && frame.size() == 5);
        break;
    case Outcome::CrcError:
        FUZZ_CHECK(!CrcOk(frame));
        break;
    default:
        FUZZ_CHECK(false);
    }
    return 0;
}

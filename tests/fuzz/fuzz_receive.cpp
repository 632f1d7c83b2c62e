// The receive path on arbitrary chunks, in byte and text mode, and the poll
// decoding of whatever it hands on: no crash, nothing non-finite for the chart.
#include "drive/polling.h"
#include "serial/receivepath.h"
#include "tests/fuzz/fuzzcheck.h"

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

void Examine(const QString& chunk, double factor)
{
    const kv::ChunkVerdict verdict = kv::JudgeChunk(chunk);
    if (chunk.isEmpty())
        FUZZ_CHECK(!verdict.log && !verdict.pollReply);
    if (chunk.startsWith(u'F'))
        FUZZ_CHECK(!verdict.log && !verdict.pollReply);
    if (verdict.pollReply) {
        FUZZ_CHECK(chunk.size() == 34);
        const auto reply = kv::DecodePollReply(chunk);
        FUZZ_CHECK(reply.has_value());
        for (float v : reply->PolledValues) {
            FUZZ_CHECK(std::isfinite(v));
            FUZZ_CHECK(std::isfinite(kv::CurveSample(v, factor)));
        }
    }
    if (verdict.log)
        FUZZ_CHECK(kv::ReceiveLogLine(chunk).endsWith(chunk));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    double factor = 1.0;
    if (size >= sizeof(double)) {
        std::memcpy(&factor, data, sizeof(double));
        if (!std::isfinite(factor))
            factor = 1e308;
    }
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString hex = kv::ChunkTextFromBytes(bytes);
    FUZZ_CHECK(hex.size() == 2 * bytes.size());
    Examine(hex, factor);
    Examine(QString::fromUtf8(bytes), factor);
    Examine(QString::fromLatin1(bytes), factor);
    return 0;
}

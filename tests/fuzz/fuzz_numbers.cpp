// Lenient number reading and what is built from it: always finite, rounding
// always inside the target's range, the frequency reference always four digits.
#include "common/numbers.h"
#include "drive/drivecommands.h"
#include "tests/fuzz/fuzzcheck.h"

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const double v = kv::Val(text);
    FUZZ_CHECK(std::isfinite(v));
    const short s = kv::RoundHalfEven<short>(v);
    const int i = kv::RoundHalfEven<int>(v);
    FUZZ_CHECK(std::abs(double(i) - v) <= 0.5 || std::abs(v) > 2147483647.0);
    (void)s;
    FUZZ_CHECK(std::isfinite(kv::ToSingle(v)));
    FUZZ_CHECK(std::isfinite(kv::ToSingle(v * 1e300)));
    const QString digits = kv::FrequencyReferenceDigits(text);
    FUZZ_CHECK(digits.size() == 4);
    FUZZ_CHECK(digits.toUInt(nullptr, 16) <= 20000);
    FUZZ_CHECK(!kv::FormatFixed0_0Sharp(v).isEmpty());
    FUZZ_CHECK(!kv::FormatGeneralSigned(kv::ToSingle(v)).isEmpty());
    return 0;
}

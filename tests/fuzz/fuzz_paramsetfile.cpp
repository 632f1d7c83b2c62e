// The parameter-set file reader on arbitrary bytes: a verdict for every input,
// and whatever it accepts is written back and read again unchanged.
#include "drive/paramset.h"
#include "drive/paramsetfile.h"
#include "tests/fuzz/fuzzcheck.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const kv::ParameterSetLoad load = kv::ParseParameterSetFile(bytes);
    FUZZ_CHECK(load.Ok() != load.values.isEmpty());
    if (!load.Ok()) {
        FUZZ_CHECK(load.error.startsWith(QStringLiteral("第 ")) || load.error.startsWith(QStringLiteral("文件过大")));
        return 0;
    }
    for (auto it = load.values.begin(); it != load.values.end(); ++it)
        FUZZ_CHECK(kv::FindParameter(it.key()) != nullptr);
    const kv::ParameterSetLoad again = kv::ParseParameterSetFile(kv::ParameterSetFileBytes(load.values));
    FUZZ_CHECK(again.Ok() && again.values == load.values);
    return 0;
}

// Parameter result rows on arbitrary replies, in byte and text delivery.
#include "drive/paramread.h"
#include "tests/fuzz/fuzzcheck.h"

#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray reply(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString row = kv::ParameterResultRow(reply);
    if (reply.size() == 7) {
        bool ok = false;
        const uint value = row.toUInt(&ok);
        FUZZ_CHECK(ok && value <= 65535);
    } else {
        FUZZ_CHECK(row.size() >= reply.size() && row.size() <= 2 * reply.size());
    }
    const QByteArray textBytes = kv::TextReplyBytes(QString::fromUtf8(reply));
    FUZZ_CHECK(textBytes.size() % 2 == 0);
    (void)kv::ParameterResultRow(textBytes);
    return 0;
}

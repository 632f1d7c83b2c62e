// Reading arbitrary stored property sets: a clear error or a set that
// round-trips, never a crash.
#include "chart/propertybag.h"
#include "tests/fuzz/fuzzcheck.h"

#include <QColor>
#include <QFont>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    PropertyBag bag;
    try {
        bag = PropertyBag::FromBytes(bytes);
    } catch (const PropertyBag::TypeError&) {
        return 0;
    }
    const PropertyBag again = PropertyBag::FromBytes(bag.ToBytes());
    FUZZ_CHECK(again.Names() == bag.Names());
    // Reading every stored name with defaults of the kinds the chart uses.
    for (const QString& name : bag.Names()) {
        for (const QVariant& def : {QVariant(short(1)), QVariant(float(1.5f)), QVariant(qint32(0xFF)),
                                    QVariant(true), QVariant(QStringLiteral("hh:mm:ss"))}) {
            try {
                (void)bag.ReadProperty(name, def);
            } catch (const PropertyBag::TypeError&) {
            }
        }
    }
    return 0;
}

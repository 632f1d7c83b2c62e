#include "app/panelnumbers.h"

#include "common/colors.h"
#include "common/numbers.h"

namespace kv {

qint32 GridSplitsFromText(QStringView text)
{
    return qMin(RoundHalfEven<qint32>(Val(text)), kMaxGridSplits);
}

float VerticalLimitFromText(QStringView text)
{
    return ToSingle(Val(text));
}

double ScaleFactorFromText(QStringView text)
{
    return Val(text);
}

std::optional<qint32> CurveColorOfIndex(int index)
{
    switch (index) {
    case 0: return kGreen;
    case 1: return kWhite;
    case 2: return kRed;
    default: return std::nullopt;
    }
}

} // namespace kv

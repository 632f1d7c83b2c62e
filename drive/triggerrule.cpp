#include "drive/triggerrule.h"

#include <QCoreApplication>

namespace kv {

namespace {

constexpr const char* kContext = "kv::TriggerCondition";

// The lamps' captions, bit 0 first.
constexpr const char* kBitNames[kStatusBitCount] = {
    QT_TRANSLATE_NOOP("kv::TriggerCondition", "准合闸"), QT_TRANSLATE_NOOP("kv::TriggerCondition", "准运行"),
    QT_TRANSLATE_NOOP("kv::TriggerCondition", "准给定"), QT_TRANSLATE_NOOP("kv::TriggerCondition", "故障"),
    "OFF2",                                              "OFF3",
    QT_TRANSLATE_NOOP("kv::TriggerCondition", "禁合闸"), QT_TRANSLATE_NOOP("kv::TriggerCondition", "报警"),
    QT_TRANSLATE_NOOP("kv::TriggerCondition", "到达"),   QT_TRANSLATE_NOOP("kv::TriggerCondition", "远程"),
    QT_TRANSLATE_NOOP("kv::TriggerCondition", "超极限"), QT_TRANSLATE_NOOP("kv::TriggerCondition", "外1/2"),
    QT_TRANSLATE_NOOP("kv::TriggerCondition", "外信号"),
};

constexpr const char* kValueNames[kTriggerValueCount] = {
    QT_TRANSLATE_NOOP("kv::TriggerCondition", "频率"), QT_TRANSLATE_NOOP("kv::TriggerCondition", "电流"),
    QT_TRANSLATE_NOOP("kv::TriggerCondition", "直流电压"), "AI1", "AI2",
};

constexpr const char* kValueUnits[kTriggerValueCount] = {"Hz", "A", "V", "V", "mA"};

QString TrRule(const char* text)
{
    return QCoreApplication::translate(kContext, text);
}

QString LevelText(double level)
{
    return QString::number(level, 'g', 7);
}

} // namespace

QString StatusBitName(int bit)
{
    return bit >= 0 && bit < kStatusBitCount ? TrRule(kBitNames[bit]) : QStringLiteral("bit %1").arg(bit);
}

QString TriggerValueName(TriggerValue value)
{
    return TrRule(kValueNames[static_cast<int>(value)]);
}

QString TriggerValueUnit(TriggerValue value)
{
    return QString::fromLatin1(kValueUnits[static_cast<int>(value)]);
}

QString TriggerCondition::Text() const
{
    if (kind == Kind::Bit) {
        const char* arrow = edge == TriggerEdge::Rising ? "↑" : edge == TriggerEdge::Falling ? "↓" : "↕";
        return StatusBitName(bit) + u' ' + QString::fromUtf8(arrow);
    }
    const char* sign = edge == TriggerEdge::Rising ? ">" : edge == TriggerEdge::Falling ? "<" : "↕";
    return QStringLiteral("%1 %2 %3 %4")
        .arg(TriggerValueName(value), QString::fromUtf8(sign), LevelText(level), TriggerValueUnit(value));
}

QString TriggerCondition::FileTag() const
{
    if (kind == Kind::Bit) {
        switch (edge) {
        case TriggerEdge::Rising:
            return StatusBitName(bit);
        case TriggerEdge::Falling:
            return TrRule(QT_TRANSLATE_NOOP("kv::TriggerCondition", "%1消失")).arg(StatusBitName(bit));
        case TriggerEdge::Either:
            return TrRule(QT_TRANSLATE_NOOP("kv::TriggerCondition", "%1变化")).arg(StatusBitName(bit));
        }
    }
    const char* format = edge == TriggerEdge::Rising    ? QT_TRANSLATE_NOOP("kv::TriggerCondition", "%1高于%2%3")
                         : edge == TriggerEdge::Falling ? QT_TRANSLATE_NOOP("kv::TriggerCondition", "%1低于%2%3")
                                                        : QT_TRANSLATE_NOOP("kv::TriggerCondition", "%1越过%2%3");
    return TrRule(format).arg(TriggerValueName(value), LevelText(level), TriggerValueUnit(value));
}

bool TriggerCondition::MetBetween(const PollReply& before, const PollReply& now) const
{
    bool up = false;
    bool down = false;
    if (kind == Kind::Bit) {
        const bool was = IsStatusBitSet(before.StatusWord, bit);
        const bool is = IsStatusBitSet(now.StatusWord, bit);
        up = !was && is;
        down = was && !is;
    } else {
        // The values are singles: the level is compared in the same precision,
        // so that a value shown as 12.3 is at a level of 12.3.
        const auto k = static_cast<size_t>(value);
        const auto at = static_cast<float>(level);
        const float a = before.PolledValues[k];
        const float b = now.PolledValues[k];
        up = a <= at && b > at;
        down = a >= at && b < at;
    }
    switch (edge) {
    case TriggerEdge::Rising:
        return up;
    case TriggerEdge::Falling:
        return down;
    case TriggerEdge::Either:
        return up || down;
    }
    return false;
}

TriggerWatch::TriggerWatch(const TriggerCondition& condition)
    : m_condition(condition)
{
}

bool TriggerWatch::Take(const LiveSample& sample)
{
    if (!sample.crcGood)
        return false;
    const bool met = m_before && m_condition.MetBetween(*m_before, sample.reply);
    m_before = sample.reply;
    return met;
}

} // namespace kv

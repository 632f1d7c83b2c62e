// What a triggered capture waits for: a live value crossing a level, or a
// status bit changing, judged sample by sample on the live samples.
//
// A crossing is a step between two samples: the sample before must belong to
// the same stretch of sampling (after a pause or a port loss there is none),
// so a bit that changed while nobody looked does not count. A sample whose
// reply had a wrong CRC is not judged and does not serve as the sample before
// the next one: its values may be the line's noise.
//
// A level compares the values as the window decodes them (frequency in Hz,
// current in A, DC voltage in V, AI1 in V, AI2 in mA), in their own precision:
// rising means the value comes above the level (before <= level < now),
// falling that it comes below it (before >= level > now). A sample exactly at
// the level is neither above nor below it.
#pragma once

#include "drive/livesample.h"
#include "drive/registermap.h"

#include <QString>

#include <optional>

namespace kv {

enum class TriggerEdge { Rising, Falling, Either };

// The values a level applies to, in the order of PollReply::PolledValues.
enum class TriggerValue { Frequency, Current, DcVoltage, Ai1, Ai2 };
inline constexpr int kTriggerValueCount = 5;

struct TriggerCondition {
    enum class Kind { Level, Bit };
    Kind kind = Kind::Bit;
    TriggerValue value = TriggerValue::Current;
    double level = 0.0;  // in the value's unit
    int bit = kSwFault;  // 0..12
    TriggerEdge edge = TriggerEdge::Rising;

    // "电流 > 12.5 A", "电流 < 12.5 A", "电流 ↕ 12.5 A"; "故障 ↑", "故障 ↓", "故障 ↕",
    // in the language of the interface.
    QString Text() const;
    // The cause in a file name: "故障", "故障消失", "电流高于12.5A", ...
    // (not yet made safe for a file system).
    QString FileTag() const;
    // Whether the step from the sample before to this one meets the condition.
    bool MetBetween(const PollReply& before, const PollReply& now) const;

    friend bool operator==(const TriggerCondition&, const TriggerCondition&) = default;
};

// A status bit's name as its lamp shows it: "准合闸" (0) .. "外信号" (12).
QString StatusBitName(int bit);
// "频率", "电流", "直流电压", "AI1", "AI2", and their units "Hz", "A", "V", "V", "mA".
QString TriggerValueName(TriggerValue value);
QString TriggerValueUnit(TriggerValue value);

// Judges the samples as they come against a condition.
class TriggerWatch {
public:
    explicit TriggerWatch(const TriggerCondition& condition = TriggerCondition());

    const TriggerCondition& Condition() const { return m_condition; }
    // A new condition; the sample before is kept.
    void SetCondition(const TriggerCondition& condition) { m_condition = condition; }

    // The next sample; true when the step from the sample before meets the condition.
    bool Take(const LiveSample& sample);
    // The next sample starts a new stretch: it has no sample before it.
    void Break() { m_before.reset(); }

private:
    TriggerCondition m_condition;
    std::optional<PollReply> m_before;
};

} // namespace kv

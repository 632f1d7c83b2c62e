// What the cursors of the trace read: each curve's value at A and at B and,
// between them, its least, greatest and mean value; each bit lane's changes
// between them. Worked out from the source's samples, without a window.
#pragma once

#include "chart/tracesource.h"

#include <optional>
#include <vector>

namespace kv {

struct TraceCursorStats {
    struct Curve {
        std::optional<double> atA;
        std::optional<double> atB;
        // Over the samples from A to B, both included (both cursors set).
        std::optional<double> low;
        std::optional<double> high;
        std::optional<double> mean;
        std::optional<double> Difference() const;  // B - A
    };
    struct Change {
        qint64 timeMs = 0;
        bool rose = false;  // 0 -> 1
    };
    struct Lane {
        std::vector<Change> changes;  // the first ones, in time order
        qint64 total = 0;             // all of them
    };

    // The cursors as they stand on samples (the sample nearest to each).
    std::optional<qint64> aMs;
    std::optional<qint64> bMs;
    qint64 samples = 0;  // from A to B
    std::vector<Curve> curves;
    std::vector<Lane> lanes;

    std::optional<qint64> DeltaMs() const;  // B - A
};

// The statistics for cursors at these times; changes of a lane are listed up
// to `listed`, the rest only counted.
TraceCursorStats CursorStats(const TraceSource& source, std::optional<qint64> aMs, std::optional<qint64> bMs,
                             int listed = 20);

} // namespace kv

// What a window that works with the drive needs of the line, and no more: the
// engine to send its requests through, the drive's station, and whether the
// line is open. The line session offers it; a test can offer its own.
#pragma once

#include <QtGlobal>

namespace kv {

namespace mb {
class TransactionEngine;
}

class DriveLink {
public:
    virtual ~DriveLink() = default;
    virtual mb::TransactionEngine& Engine() = 0;
    // The station the port was last opened with.
    virtual quint8 Station() const = 0;
    virtual bool LineOpen() const = 0;
};

// What the window's own handlers ask before they put bytes on the line: work
// beside the window may hold it. MakeWay lets the window have the line when
// it can (fast sampling gives it up for a moment) and says false while other
// work has it.
class LineGate {
public:
    virtual ~LineGate() = default;
    virtual bool MakeWay() = 0;
};

} // namespace kv

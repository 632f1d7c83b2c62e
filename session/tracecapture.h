// A trip caught in the act: what the trigger froze when its condition was met
// and the time after it had passed. The samples from the time before to the
// time after are a history of their own, drawn like the live one; the fault
// record is the drive's group 04 as read after the capture, when a fault was
// involved.
#pragma once

#include "session/samplehistory.h"

#include <QList>
#include <QString>

#include <memory>

namespace kv {

struct TraceCapture {
    qint64 id = 0;          // 1, 2, ... in the order captured
    qint64 triggerMs = 0;   // the time stamp of the sample that met the condition
    qint64 fromMs = 0;      // the time before the trigger...
    qint64 toMs = 0;        // ...to the time after it
    QString cause;          // "故障 ↑", "电流 > 12.5 A", in the language of the interface
    quint8 station = 1;     // the drive it was caught on
    bool fault = false;     // the cause is a fault, or the fault bit rose during the capture
    std::shared_ptr<const SampleHistory> samples;  // [fromMs, toMs], its stretches as they were
    qint64 triggerIndex = 0;     // the trigger's sample among them
    QList<qint64> crcErrors;     // the samples (indices) whose reply had a wrong CRC
    QList<quint16> faultRecord;  // 0401..0413 as read (13 values), empty when none was read
    QString faultRecordError;    // why it could not be read, when it could not
    QString csvPath;             // the files written for it (empty when none was written)
    QString pngPath;
};

} // namespace kv

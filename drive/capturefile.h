// The file of a triggered capture: the recording's CSV (the same columns, the
// same rows, see LiveRecording) with one more column, and what the capture
// knows about itself on comment lines above the table.
//
//   # 触发条件,故障 ↑
//   # 触发时间,2026-12-08T12:03:41.250
//   # 站号,01
//   # 触发前 (s),5
//   # 触发后 (s),5
//   # 故障记录,0401,最后故障,3          (13 lines, 0401..0413; or one line
//   ...                                  "# 故障记录,未能读取：超时")
//   时间,频率 (Hz),电流 (A),直流电压 (V),AI1,AI2,状态字,CRC,触发
//   2026-12-08T12:03:41.200,50,12.3,540,5,12,0237,正确,
//   2026-12-08T12:03:41.250,0,0,540,5,12,0268,正确,●
//
// A comment line is a record whose first field starts with "# ": a spreadsheet
// shows it as a labelled row above the table, and CSV readers skip it when
// told that "#" starts a comment (pandas: comment='#'). The fault record
// stays in the one file with the samples it explains, so that a capture is
// passed on whole. The trigger's row carries "●" in the last column "触发",
// the others leave it empty: the table keeps one shape and can be filtered
// on that column. UTF-8 with a byte-order mark, CR LF, RFC 4180 quoting; the
// texts are in the language of the interface, as the recording's are.
#pragma once

#include "drive/livesample.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <vector>

namespace kv {

struct CaptureFileFacts {
    QString cause;        // "故障 ↑"
    qint64 triggerMs = 0;  // the time stamp of the trigger's sample
    quint8 station = 1;
    qint64 beforeMs = 0;  // the times before and after the trigger, as set
    qint64 afterMs = 0;
    bool faultRecordAsked = false;  // a fault was involved: the record was read
    QList<quint16> faultRecord;     // 0401..0413 as read; empty when it could not be read
    QString faultRecordError;       // why not
};

// The whole file: byte-order mark, comment lines, header, one row per sample,
// "●" on row `triggerRow` (counted from 0 among the samples).
QByteArray CaptureCsv(const CaptureFileFacts& facts, const std::vector<LiveSample>& samples, qsizetype triggerRow);

// "2026-12-08_12-03-41.250_故障": the trigger's local date and time to the
// millisecond and the cause's tag, safe as a file name everywhere.
QString CaptureFileStem(qint64 triggerMs, const QString& tag);

} // namespace kv

#include "drive/capturefile.h"

#include "common/csv.h"
#include "common/filenames.h"
#include "common/hex.h"
#include "drive/liverecord.h"
#include "drive/paramset.h"
#include "drive/registermap.h"

#include <QCoreApplication>
#include <QDateTime>

namespace kv {

namespace {

QString TimeText(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz"));
}

QString Seconds(qint64 ms)
{
    return QString::number(static_cast<double>(ms) / 1000.0, 'g', 10);
}

// A comment line: a record whose first field starts with "# ".
QByteArray Comment(QStringList fields)
{
    fields.first().prepend(QStringLiteral("# "));
    return CsvRecord(fields).toUtf8();
}

QByteArray WithoutLineEnd(QByteArray row)
{
    if (row.endsWith("\r\n"))
        row.chop(2);
    return row;
}

} // namespace

QByteArray CaptureCsv(const CaptureFileFacts& facts, const std::vector<LiveSample>& samples, qsizetype triggerRow)
{
    const auto translated = [](const char* text) { return QCoreApplication::translate("kv::CaptureFile", text); };
    const QString station = HexText(facts.station, 2);
    QByteArray out = kUtf8Bom;
    out += Comment({translated(QT_TRANSLATE_NOOP("kv::CaptureFile", "触发条件")), facts.cause});
    out += Comment({translated(QT_TRANSLATE_NOOP("kv::CaptureFile", "触发时间")), TimeText(facts.triggerMs)});
    out += Comment({translated(QT_TRANSLATE_NOOP("kv::CaptureFile", "站号")), station});
    out += Comment({translated(QT_TRANSLATE_NOOP("kv::CaptureFile", "触发前 (s)")), Seconds(facts.beforeMs)});
    out += Comment({translated(QT_TRANSLATE_NOOP("kv::CaptureFile", "触发后 (s)")), Seconds(facts.afterMs)});
    if (facts.faultRecordAsked) {
        const QString label = translated(QT_TRANSLATE_NOOP("kv::CaptureFile", "故障记录"));
        if (facts.faultRecord.size() == kFaultRecordCount) {
            for (int k = 0; k < kFaultRecordCount; ++k) {
                const int code = kFaultRecordFirstCode + k;
                const ParameterInfo* info = FindParameter(code);
                out += Comment({label, QStringLiteral("%1").arg(code, 4, 10, QLatin1Char('0')),
                                info ? info->ShownName() : QString(), QString::number(facts.faultRecord[k])});
            }
        } else {
            const QString unread = translated(QT_TRANSLATE_NOOP("kv::CaptureFile", "未能读取：%1"));
            out += Comment({label, unread.arg(facts.faultRecordError)});
        }
    }
    const QString mark = translated(QT_TRANSLATE_NOOP("kv::CaptureFile", "触发"));
    out += WithoutLineEnd(LiveRecording::HeaderRow()) + ',' + CsvField(mark).toUtf8() + "\r\n";
    for (size_t i = 0; i < samples.size(); ++i) {
        out += WithoutLineEnd(LiveRecording::RowFor(samples[i]));
        out += static_cast<qsizetype>(i) == triggerRow ? QByteArrayLiteral(",\xE2\x97\x8F\r\n")  // "●"
                                                       : QByteArrayLiteral(",\r\n");
    }
    return out;
}

QString CaptureFileStem(qint64 triggerMs, const QString& tag)
{
    const QString when = QDateTime::fromMSecsSinceEpoch(triggerMs).toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss.zzz"));
    return SafeFileName(when + u'_' + tag);
}

} // namespace kv

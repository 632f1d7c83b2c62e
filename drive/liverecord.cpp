#include "drive/liverecord.h"

#include "serial/framecodec.h"

#include <charconv>

namespace kv {

namespace {

bool AllHexDigits(QStringView text)
{
    for (const QChar c : text) {
        if (!((c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f')))
            return false;
    }
    return true;
}

void AppendNumber(QByteArray& row, float value)
{
    char digits[32];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    if (ec == std::errc())
        row.append(digits, end - digits);
}

} // namespace

bool PollReplyCrcGood(QStringView replyText)
{
    if (replyText.size() != kPollReplyDigits || !AllHexDigits(replyText))
        return false;
    return Crc16Text(replyText.left(kPollReplyDigits - 4)).compare(replyText.mid(kPollReplyDigits - 4),
                                                                    Qt::CaseInsensitive)
        == 0;
}

LiveRecording::LiveRecording(QObject* parent)
    : QObject(parent)
    , m_clock([] { return QDateTime::currentDateTime(); })
{
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(kFlushIntervalMs);
    connect(&m_flushTimer, &QTimer::timeout, this, [this] {
        if (!Flush())
            Fail();
    });
}

LiveRecording::~LiveRecording()
{
    Stop();
}

bool LiveRecording::Start(const QString& path, QString* error)
{
    Stop();
    m_file.setFileName(path);
    // Unbuffered: every write hands whole rows to the system at once.
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        if (error)
            *error = m_file.errorString();
        return false;
    }
    m_rows = 0;
    m_pending = QByteArrayLiteral("\xEF\xBB\xBF") + HeaderRow();
    m_flushTimer.start();
    emit Changed();
    return true;
}

void LiveRecording::Stop()
{
    if (!m_file.isOpen())
        return;
    m_flushTimer.stop();
    if (!Flush()) {
        Fail();
        return;
    }
    m_file.close();
    emit Changed();
}

void LiveRecording::Record(const PollReply& reply, bool crcGood)
{
    if (!m_file.isOpen())
        return;
    m_pending += RowFor(m_clock(), reply, crcGood);
    ++m_rows;
    if (!m_flushTimer.isActive())
        m_flushTimer.start();
}

bool LiveRecording::Flush()
{
    if (m_pending.isEmpty())
        return true;
    const qint64 written = m_file.write(m_pending);
    const bool ok = written == m_pending.size();
    m_pending.clear();
    if (ok)
        emit Changed();
    return ok;
}

void LiveRecording::Fail()
{
    const QString reason = m_file.errorString();
    m_flushTimer.stop();
    m_pending.clear();
    m_file.close();
    emit Failed(reason);
    emit Changed();
}

QByteArray LiveRecording::HeaderRow()
{
    // In the language of the interface: the file is for people and
    // spreadsheets, the tool never reads it back.
    return (tr("时间,频率 (Hz),电流 (A),直流电压 (V),AI1,AI2,状态字,CRC") + QStringLiteral("\r\n")).toUtf8();
}

QByteArray LiveRecording::RowFor(const QDateTime& when, const PollReply& reply, bool crcGood)
{
    QByteArray row;
    row.reserve(96);
    row += when.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz")).toLatin1();
    for (const float value : reply.PolledValues) {
        row += ',';
        AppendNumber(row, value);
    }
    row += ',';
    row += QByteArray::number(reply.StatusWord & 0xFFFF, 16).toUpper().rightJustified(4, '0');
    row += ',';
    row += (crcGood ? tr("正确") : tr("错误")).toUtf8();
    row += "\r\n";
    return row;
}

} // namespace kv

#include "moc_liverecord.cpp"

#include "drive/liverecord.h"

#include <QDateTime>

#include <charconv>

namespace kv {

namespace {

void AppendNumber(QByteArray& row, float value)
{
    char digits[32];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value);
    if (ec == std::errc())
        row.append(digits, end - digits);
}

} // namespace

LiveRecording::LiveRecording(QObject* parent)
    : QObject(parent)
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

void LiveRecording::Record(const LiveSample& sample)
{
    if (!m_file.isOpen())
        return;
    m_pending += RowFor(sample);
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

QByteArray LiveRecording::RowFor(const LiveSample& sample)
{
    QByteArray row;
    row.reserve(96);
    row += QDateTime::fromMSecsSinceEpoch(sample.timeMs).toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz")).toLatin1();
    for (const float value : sample.reply.PolledValues) {
        row += ',';
        AppendNumber(row, value);
    }
    row += ',';
    row += QByteArray::number(sample.reply.StatusWord & 0xFFFF, 16).toUpper().rightJustified(4, '0');
    row += ',';
    row += (sample.crcGood ? tr("正确") : tr("错误")).toUtf8();
    row += "\r\n";
    return row;
}

} // namespace kv

#include "moc_liverecord.cpp"

#include "drive/liverecord.h"

#include <QDateTime>
#include <QSaveFile>
#include <QThread>

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
            Fail(m_file.errorString());
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
    m_path = path;
    m_active = true;
    m_rows = 0;
    m_station = 0;
    m_withStation = false;
    m_pending = QByteArrayLiteral("\xEF\xBB\xBF") + HeaderRow();
    m_flushTimer.start();
    emit Changed();
    return true;
}

void LiveRecording::Stop()
{
    if (!m_active)
        return;
    m_flushTimer.stop();
    if (m_rewrite) {
        // The rewrite finishes first; what came meanwhile follows it.
        m_rewrite->wait();
        StationColumnAdded();
        if (!m_active)
            return;
    }
    if (!Flush()) {
        Fail(m_file.errorString());
        return;
    }
    m_file.close();
    m_active = false;
    emit Changed();
}

void LiveRecording::Record(const LiveSample& sample)
{
    if (!m_active)
        return;
    if (m_rows == 0)
        m_station = sample.station;
    else if (!m_withStation && sample.station != m_station)
        AddStationColumn();
    m_pending += RowFor(sample, m_withStation);
    ++m_rows;
    if (!m_flushTimer.isActive())
        m_flushTimer.start();
}

bool LiveRecording::Flush()
{
    if (m_pending.isEmpty() || m_rewrite)
        return true;
    const qint64 written = m_file.write(m_pending);
    const bool ok = written == m_pending.size();
    m_pending.clear();
    if (ok)
        emit Changed();
    return ok;
}

void LiveRecording::AddStationColumn()
{
    // What is held goes to the file first, in the old shape; then the file is
    // rewritten with the column while new rows wait.
    if (!Flush()) {
        Fail(m_file.errorString());
        return;
    }
    m_file.close();
    m_withStation = true;
    const QString path = m_path;
    const QByteArray header = HeaderRow(true);
    const QByteArray station = "," + QByteArray::number(m_station) + "\r\n";
    m_rewriteError.clear();
    m_rewrite.reset(QThread::create([this, path, header, station] {
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly)) {
            m_rewriteError = in.errorString();
            return;
        }
        const QByteArray bom = QByteArrayLiteral("\xEF\xBB\xBF");
        QSaveFile out(path);
        if (!out.open(QIODevice::WriteOnly)) {
            m_rewriteError = out.errorString();
            return;
        }
        out.write(bom + header);
        in.readLine();  // the old header
        while (!in.atEnd()) {
            QByteArray row = in.readLine();
            if (!row.endsWith("\r\n"))
                break;  // a row cut short by a crash is no row
            row.chop(2);
            out.write(row + station);
        }
        if (!out.commit())
            m_rewriteError = out.errorString();
    }));
    connect(m_rewrite.get(), &QThread::finished, this, &LiveRecording::StationColumnAdded, Qt::QueuedConnection);
    m_rewrite->start();
}

void LiveRecording::StationColumnAdded()
{
    if (!m_rewrite || !m_rewrite->isFinished())
        return;  // already taken up (Stop waited for it), or a later rewrite still runs
    m_rewrite.reset();
    if (!m_rewriteError.isEmpty()) {
        Fail(m_rewriteError);
        return;
    }
    m_file.setFileName(m_path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered) || !Flush())
        Fail(m_file.errorString());
}

void LiveRecording::Fail(const QString& reason)
{
    m_flushTimer.stop();
    m_pending.clear();
    m_file.close();
    m_active = false;
    emit Failed(reason);
    emit Changed();
}

QByteArray LiveRecording::HeaderRow(bool withStation)
{
    // In the language of the interface: the file is for people and
    // spreadsheets, the tool never reads it back.
    QString header = tr("时间,频率 (Hz),电流 (A),直流电压 (V),AI1,AI2,状态字,CRC");
    if (withStation)
        header += u',' + tr("站号");
    return (header + QStringLiteral("\r\n")).toUtf8();
}

QByteArray LiveRecording::RowFor(const LiveSample& sample, bool withStation)
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
    if (withStation) {
        row += ',';
        row += QByteArray::number(sample.station);
    }
    row += "\r\n";
    return row;
}

} // namespace kv

#include "moc_liverecord.cpp"

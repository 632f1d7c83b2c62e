#include "modbus/capture.h"

#include "common/hex.h"
#include "modbus/rtu.h"

namespace kv::mb {

TrafficCapture::TrafficCapture(QObject* parent)
    : QObject(parent)
    , m_clock([] { return QDateTime::currentDateTime(); })
{
}

TrafficCapture::~TrafficCapture()
{
    Stop();
}

bool TrafficCapture::Start(const QString& path, QString* error)
{
    Stop();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        if (error)
            *error = m_file.errorString();
        return false;
    }
    m_lines = 0;
    emit Changed();
    return true;
}

void TrafficCapture::Stop()
{
    if (!m_file.isOpen())
        return;
    m_file.flush();
    m_file.close();
    emit Changed();
}

QString TrafficCapture::LineFor(const QDateTime& when, bool transmitted, const QByteArray& bytes)
{
    QString line = when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    line += transmitted ? QStringLiteral(" TX ") : QStringLiteral(" RX ");
    line += BytesToHexText(bytes, ' ');
    const QString what = DescribeFrame(bytes, transmitted);
    if (!what.isEmpty())
        line += QStringLiteral("  ") + what;
    return line;
}

void TrafficCapture::Record(bool transmitted, const QByteArray& bytes)
{
    if (!m_file.isOpen() || bytes.isEmpty())
        return;
    const QByteArray line = (LineFor(m_clock(), transmitted, bytes) + u'\n').toUtf8();
    if (m_file.write(line) != line.size() || !m_file.flush()) {
        const QString reason = m_file.errorString();
        m_file.close();
        emit Failed(reason);
        emit Changed();
        return;
    }
    ++m_lines;
    emit Changed();
}

} // namespace kv::mb

#include "moc_capture.cpp"

#include "drive/scanplan.h"

#include "common/hex.h"
#include "drive/paramset.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace kv {

namespace {

// A probe's request: station, function, address, count, CRC.
constexpr int kRequestBytes = 8;

double CharMs(const LineSettings& s)
{
    int bits = 1 + static_cast<int>(s.dataBits) + (s.parity == QSerialPort::NoParity ? 0 : 1);
    bits += s.stopBits == QSerialPort::OneStop ? 1 : 2;
    return 1000.0 * bits / (s.baud > 0 ? s.baud : 9600);
}

QString Name(int code)
{
    const ParameterInfo* p = FindParameter(code);
    return p ? p->ShownName() : QString::number(code);
}

QString Hex4(quint16 value)
{
    return HexText(value, 4);
}

} // namespace

std::optional<StationRange> ParseStationRange(QStringView text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{1,3})\\s*(?:-\\s*(\\d{1,3})\\s*)?$"));
    const QRegularExpressionMatch m = pattern.match(text.toString());
    if (!m.hasMatch())
        return std::nullopt;
    StationRange range;
    range.first = m.captured(1).toInt();
    range.last = m.captured(2).isEmpty() ? range.first : m.captured(2).toInt();
    if (range.first < 1 || range.last > 247 || range.first > range.last)
        return std::nullopt;
    return range;
}

int ProbeResponseTimeoutMs(const LineSettings& settings, int replyBytes)
{
    return static_cast<int>(std::ceil(replyBytes * CharMs(settings))) + kProbeMarginMs;
}

double ProbeWorstMs(const LineSettings& settings)
{
    const double charMs = CharMs(settings);
    return kRequestBytes * charMs + ProbeResponseTimeoutMs(settings) + std::max(1.75, 3.5 * charMs);
}

ScanPlan ScanPlan::Stations(const LineSettings& line, StationRange range)
{
    ScanPlan plan;
    for (int station = range.first; station <= range.last; ++station)
        plan.m_probes.append(ScanProbe{static_cast<quint8>(station), line});
    plan.Finish();
    return plan;
}

ScanPlan ScanPlan::Sweep(const LineSettings& line, StationRange range)
{
    ScanPlan plan;
    plan.m_sweep = true;
    for (qint32 baud : kSweepBauds) {
        for (QSerialPort::Parity parity : {QSerialPort::NoParity, QSerialPort::EvenParity, QSerialPort::OddParity}) {
            LineSettings settings = line;
            settings.baud = baud;
            settings.parity = parity;
            for (int station = range.first; station <= range.last; ++station)
                plan.m_probes.append(ScanProbe{static_cast<quint8>(station), settings});
        }
    }
    plan.Finish();
    return plan;
}

void ScanPlan::Finish()
{
    m_worstFrom.resize(m_probes.size() + 1);
    m_worstFrom.back() = 0.0;
    for (qsizetype i = m_probes.size() - 1; i >= 0; --i)
        m_worstFrom[i] = m_worstFrom[i + 1] + ProbeWorstMs(m_probes[i].settings);
}

qint64 ScanPlan::WorstMsFrom(int index) const
{
    const int i = std::clamp(index, 0, Count());
    return static_cast<qint64>(std::ceil(m_worstFrom.value(i)));
}

qint64 ScanMsLeft(const ScanPlan& plan, int done, qint64 elapsedMs)
{
    const qint64 left = plan.WorstMsFrom(done);
    const qint64 worstDone = plan.WorstMsFrom(0) - left;
    if (done <= 0 || worstDone <= 0 || left == 0)
        return left;
    const double pace = std::clamp(static_cast<double>(elapsedMs) / static_cast<double>(worstDone), 0.25, 2.0);
    return static_cast<qint64>(std::ceil(pace * static_cast<double>(left)));
}

std::optional<DriveIdentity> DriveIdentity::FromRegisters(const QList<quint16>& registers)
{
    if (registers.size() != kIdentityCount)
        return std::nullopt;
    return DriveIdentity{registers[0], registers[1], registers[2], registers[3], registers[4]};
}

QString DriveIdentity::Text() const
{
    const QString separator = QCoreApplication::translate("kv::DriveIdentity", "，");
    const QString current = QStringLiteral("%1.%2 A").arg(ratedCurrent / 10).arg(ratedCurrent % 10);
    return QStringList{Name(3301) + u' ' + Hex4(software), Name(3302) + u' ' + Hex4(program),
                       Name(3303) + u' ' + QStringLiteral("%1").arg(testDate, 4, 10, QLatin1Char('0')),
                       Name(3304) + u' ' + current, Name(3305) + u' ' + Hex4(table)}
        .join(separator);
}

} // namespace kv

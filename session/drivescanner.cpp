#include "session/drivescanner.h"

#include "modbus/engine.h"
#include "serial/transport.h"
#include "session/drivelink.h"

#include <QPointer>
#include <QTimer>

namespace kv {

namespace {

bool SameSettings(const LineSettings& a, const LineSettings& b)
{
    return a.baud == b.baud && a.parity == b.parity && a.dataBits == b.dataBits && a.stopBits == b.stopBits;
}

// A sound reply from the station asked: someone is there, whatever it said.
bool Answered(mb::Outcome outcome)
{
    return outcome == mb::Outcome::Registers || outcome == mb::Outcome::Exception
        || outcome == mb::Outcome::Mismatch;
}

} // namespace

DriveScanner::DriveScanner(mb::TransactionEngine& engine, LineGate* gate, QObject* parent)
    : QObject(parent)
    , m_engine(engine)
    , m_gate(gate)
{
    qRegisterMetaType<FoundDevice>();
}

DriveScanner::~DriveScanner()
{
    // The line gets its settings back; nobody is told any more.
    blockSignals(true);
    Finish(Stop::Cancelled);
}

bool DriveScanner::Start(const ScanPlan& plan, QString* why)
{
    auto refuse = [why](const QString& text) {
        if (why)
            *why = text;
        return false;
    };
    if (m_running)
        return refuse(tr("查找已在进行"));
    if (!m_engine.LineOpen())
        return refuse(tr("串口未打开"));
    if ((m_gate && !m_gate->MakeWay()) || m_engine.HasWork())
        return refuse(tr("线路正忙，请等其他读写结束后再查找"));
    // Behind a converter the line settings are the converter's own: trying
    // others here would change nothing on its cable.
    if (plan.IsSweep() && !m_engine.Line().OwnsLineSettings())
        return refuse(tr("串口服务器的线路设置在其本身设定，无法在此扫描"));
    m_plan = plan;
    m_original = m_engine.Line().Settings();
    m_found.clear();
    m_answered.reset();
    m_next = 0;
    m_running = true;
    m_startedMs = m_engine.Time().NowMs();
    emit Progress(0, m_plan.Count(), m_plan.WorstMsFrom(0));
    Next();
    return true;
}

void DriveScanner::Cancel()
{
    Finish(Stop::Cancelled);
}

QString DriveScanner::StopText(Stop stop) const
{
    switch (stop) {
    case Stop::Done: return QString();
    case Stop::Cancelled: return tr("已取消");
    case Stop::PortLost: return tr("串口已断开");
    case Stop::SettingsRefused: return tr("串口不接受设置 %1").arg(SettingsText(m_refused));
    }
    return QString();
}

void DriveScanner::Next()
{
    if (!m_running)
        return;
    if (m_next >= m_plan.Count()) {
        Finish(Stop::Done);
        return;
    }
    const ScanProbe& probe = m_plan.Probes()[m_next];
    Transport& line = m_engine.Line();
    if (!SameSettings(line.Settings(), probe.settings) && !line.ApplySettings(probe.settings)) {
        m_refused = probe.settings;
        // From the event loop: Start has returned before anyone hears of the end.
        QTimer::singleShot(0, this, [this] { Finish(Stop::SettingsRefused); });
        return;
    }
    Send(kProbeRegister, 1, &DriveScanner::OnProbe);
}

void DriveScanner::Send(quint16 address, quint16 count, void (DriveScanner::*then)(const mb::Result&))
{
    const ScanProbe& probe = m_plan.Probes()[m_next];
    mb::TransactionEngine::Own own;
    own.responseTimeoutMs = ProbeResponseTimeoutMs(probe.settings, 5 + 2 * count);
    // A converter gathers the reply off its cable before it sends it on.
    if (!m_engine.Line().OwnsLineSettings())
        own.responseTimeoutMs += kNetworkAllowanceMs;
    own.retries = 0;
    m_inFlight = m_engine.Submit(
        mb::Request::Read(probe.station, address, count),
        [self = QPointer<DriveScanner>(this), then](const mb::Result& r) {
            if (!self || !self->m_running || r.id != self->m_inFlight)
                return;
            self->m_inFlight = 0;
            if (!self->Ended(r))
                (self.data()->*then)(r);
        },
        own);
}

bool DriveScanner::Ended(const mb::Result& result)
{
    if (result.outcome == mb::Outcome::PortLost)
        Finish(Stop::PortLost);
    else if (result.outcome == mb::Outcome::Cancelled)
        Finish(Stop::Cancelled);
    else
        return false;
    return true;
}

void DriveScanner::OnProbe(const mb::Result& result)
{
    if (Answered(result.outcome)) {
        const ScanProbe& probe = m_plan.Probes()[m_next];
        FoundDevice device;
        device.station = probe.station;
        device.settings = probe.settings;
        device.replyMs = result.elapsedMs;
        if (result.outcome == mb::Outcome::Exception)
            device.exceptionCode = result.exceptionCode;
        m_answered = device;
        // A drive that refused the first register of group 33 has no group 33 to tell.
        if (result.outcome != mb::Outcome::Exception) {
            Send(kProbeRegister, kIdentityCount, &DriveScanner::OnIdentity);
            return;
        }
        OnIdentity(mb::Result());
        return;
    }
    ++m_next;
    emit Progress(m_next, m_plan.Count(), ScanMsLeft(m_plan, m_next, m_engine.Time().NowMs() - m_startedMs));
    Next();
}

void DriveScanner::OnIdentity(const mb::Result& result)
{
    if (!m_answered)
        return;
    FoundDevice device = *m_answered;
    m_answered.reset();
    if (result.outcome == mb::Outcome::Registers)
        device.identity = DriveIdentity::FromRegisters(result.registers);
    m_found.append(device);
    emit DeviceFound(device);
    ++m_next;
    emit Progress(m_next, m_plan.Count(), ScanMsLeft(m_plan, m_next, m_engine.Time().NowMs() - m_startedMs));
    Next();
}

void DriveScanner::Finish(Stop stop)
{
    if (!m_running)
        return;
    m_running = false;
    if (m_inFlight != 0) {
        m_inFlight = 0;
        m_engine.Cancel();  // the probe under way ends at once (delivered, and ignored)
    }
    // A device whose group 33 was being read has still been found.
    if (m_answered) {
        m_found.append(*m_answered);
        emit DeviceFound(*m_answered);
        m_answered.reset();
    }
    Transport& line = m_engine.Line();
    if (!SameSettings(line.Settings(), m_original))
        line.ApplySettings(m_original);
    emit Finished(stop);
}

} // namespace kv

#include "moc_drivescanner.cpp"

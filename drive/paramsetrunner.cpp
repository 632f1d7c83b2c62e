#include "drive/paramsetrunner.h"

#include "drive/registermap.h"
#include "modbus/engine.h"

#include <QPointer>
#include <QSet>
#include <QTimer>

#include <algorithm>

namespace kv {

ParameterSetRunner::ParameterSetRunner(mb::TransactionEngine& engine, QObject* parent)
    : QObject(parent)
    , m_engine(engine)
{
}

QString ParameterSetRunner::StopText(Stop stop)
{
    switch (stop) {
    case Stop::Done: return QString();
    case Stop::Cancelled: return tr("已取消");
    case Stop::PortLost: return tr("串口已断开");
    case Stop::NoAnswer: return tr("驱动器无应答");
    }
    return QString();
}

bool ParameterSetRunner::Read(const QList<int>& codes)
{
    if (Running())
        return false;
    m_cancel = false;
    m_lineFailures = 0;
    m_restoring = false;
    StartReading(codes);
    return true;
}

bool ParameterSetRunner::Write(const QList<WriteStep>& steps)
{
    if (Running())
        return false;
    m_cancel = false;
    m_lineFailures = 0;
    m_restoring = false;
    m_file.clear();
    m_summary = RestoreSummary();
    m_steps = steps;
    SortForRestore(m_steps);
    m_nextStep = 0;
    m_mode = Mode::Writing;
    // The first request leaves from the event loop, as the engine's do.
    QTimer::singleShot(0, this, &ParameterSetRunner::NextWrite);
    return true;
}

bool ParameterSetRunner::Restore(const QMap<int, quint16>& file, const QMap<int, Reading>& drive)
{
    if (!Write(PlanRestore(file, drive)))
        return false;
    for (auto it = drive.begin(); it != drive.end(); ++it)
        m_readings.insert(it.key(), it.value());
    m_restoring = true;
    m_file = file;
    return true;
}

void ParameterSetRunner::Cancel()
{
    if (Running())
        m_cancel = true;
}

void ParameterSetRunner::Submit(const mb::Request& request, std::function<void(const mb::Result&)> then)
{
    m_engine.Submit(request, [self = QPointer<ParameterSetRunner>(this), then = std::move(then)](const mb::Result& r) {
        if (self)
            then(r);
    });
}

bool ParameterSetRunner::Stopping(const mb::Result& r)
{
    if (r.outcome == mb::Outcome::PortLost) {
        Finish(Stop::PortLost);
        return true;
    }
    if (r.outcome == mb::Outcome::Cancelled) {
        Finish(Stop::Cancelled);
        return true;
    }
    if (IsLineFailure(r.outcome))
        ++m_lineFailures;
    else
        m_lineFailures = 0;
    return false;
}

void ParameterSetRunner::Store(int code, const Reading& reading)
{
    m_readings.insert(code, reading);
    emit ParameterRead(code, reading);
}

// ---- reading -------------------------------------------------------------------

void ParameterSetRunner::StartReading(const QList<int>& codes)
{
    m_blocks = PlanBlockReads(codes);
    m_nextBlock = 0;
    m_singles.clear();
    m_readDone = 0;
    m_readTotal = 0;
    for (const ReadBlock& b : m_blocks)
        m_readTotal += b.count;
    m_mode = Mode::Reading;
    QTimer::singleShot(0, this, &ParameterSetRunner::NextRead);
}

void ParameterSetRunner::NextRead()
{
    if (m_mode != Mode::Reading)
        return;
    if (m_cancel) {
        Finish(Stop::Cancelled);
        return;
    }
    if (m_lineFailures >= kLineFailureLimit) {
        Finish(Stop::NoAnswer);
        return;
    }
    emit Progress(Phase::Reading, m_readDone, m_readTotal);
    if (!m_singles.isEmpty()) {
        const int code = m_singles.takeFirst();
        Submit(mb::Request::Read(m_station, static_cast<quint16>(ParameterRegister(code)), 1),
               [this, code](const mb::Result& r) { OnSingle(code, r); });
        return;
    }
    if (m_nextBlock >= m_blocks.size()) {
        ReadingDone();
        return;
    }
    const ReadBlock block = m_blocks[m_nextBlock++];
    Submit(mb::Request::Read(m_station, block.address, block.count), [this](const mb::Result& r) { OnBlock(r); });
}

void ParameterSetRunner::OnBlock(const mb::Result& r)
{
    if (Stopping(r))
        return;
    const ReadBlock block{r.request.address, r.request.count};
    const int first = ParameterCodeOfRegister(block.address);
    if (r.outcome == mb::Outcome::Registers && r.registers.size() == block.count) {
        for (int i = 0; i < block.count; ++i)
            Store(first + i, Reading{Reading::Read, r.registers[i], QString()});
        m_readDone += block.count;
    } else if (block.count == 1) {
        // Nothing to gain from reading it alone again.
        Store(first, Reading{Reading::Failed, 0, r.Text()});
        ++m_readDone;
    } else {
        for (int i = 0; i < block.count; ++i)
            m_singles.append(first + i);
    }
    NextRead();
}

void ParameterSetRunner::OnSingle(int code, const mb::Result& r)
{
    if (Stopping(r))
        return;
    if (r.outcome == mb::Outcome::Registers && r.registers.size() == 1)
        Store(code, Reading{Reading::Read, r.registers[0], QString()});
    else
        Store(code, Reading{Reading::Failed, 0, r.Text()});
    ++m_readDone;
    NextRead();
}

void ParameterSetRunner::ReadingDone()
{
    if (!m_rereading) {
        Finish(Stop::Done);
        return;
    }
    // After the application macro: the rest of the plan made anew from what
    // the drive holds now.
    m_rereading = false;
    m_mode = Mode::Writing;
    QSet<int> tried;
    for (const WriteReport& r : m_summary.reports)
        tried.insert(r.code);
    QList<WriteStep> steps = m_steps.mid(0, m_nextStep);
    for (const WriteStep& s : PlanRestore(m_file, m_readings))
        if (!tried.contains(s.code))
            steps.append(s);
    m_steps = steps;
    NextWrite();
}

// ---- writing -------------------------------------------------------------------

void ParameterSetRunner::NextWrite()
{
    if (m_mode != Mode::Writing)
        return;
    if (m_cancel) {
        Finish(Stop::Cancelled);
        return;
    }
    if (m_lineFailures >= kLineFailureLimit) {
        Finish(Stop::NoAnswer);
        return;
    }
    emit Progress(Phase::Writing, static_cast<int>(m_nextStep), static_cast<int>(m_steps.size()));
    if (m_nextStep >= m_steps.size()) {
        Finish(Stop::Done);
        return;
    }
    const WriteStep step = m_steps[m_nextStep];
    Submit(mb::Request::Write(m_station, static_cast<quint16>(ParameterRegister(step.code)), step.value),
           [this, step](const mb::Result& r) { OnWrite(step, r); });
}

bool ParameterSetRunner::WriteStopped(const WriteStep& step, const mb::Result& r)
{
    if (r.outcome == mb::Outcome::PortLost || r.outcome == mb::Outcome::Cancelled) {
        WriteReport report;
        report.code = step.code;
        report.value = step.value;
        report.kind = r.outcome == mb::Outcome::PortLost ? WriteReport::PortLost : WriteReport::Cancelled;
        Report(report);
    }
    return Stopping(r);
}

void ParameterSetRunner::OnWrite(const WriteStep& step, const mb::Result& r)
{
    if (WriteStopped(step, r))
        return;
    WriteReport report;
    report.code = step.code;
    report.value = step.value;
    if (r.outcome == mb::Outcome::Written) {
        Submit(mb::Request::Read(m_station, r.request.address, 1), [this, step](const mb::Result& rb) { OnReadBack(step, rb); });
        return;
    }
    report.kind = r.outcome == mb::Outcome::Exception ? WriteReport::Refused : WriteReport::Failed;
    report.error = r.Text();
    Report(report);
    NextWrite();
}

void ParameterSetRunner::OnReadBack(const WriteStep& step, const mb::Result& r)
{
    if (WriteStopped(step, r))  // written, but not read back
        return;
    WriteReport report;
    report.code = step.code;
    report.value = step.value;
    if (r.outcome == mb::Outcome::Registers && r.registers.size() == 1) {
        report.readBack = r.registers[0];
        report.kind = report.readBack == step.value ? WriteReport::Verified : WriteReport::Mismatch;
        Store(step.code, Reading{Reading::Read, report.readBack, QString()});
    } else {
        report.kind = WriteReport::Failed;
        report.error = tr("写入后读回失败：%1").arg(r.Text());
    }
    Report(report);
    const bool macroDone = m_restoring && step.code == kApplicationMacroCode
        && (report.kind == WriteReport::Verified || report.kind == WriteReport::Mismatch);
    if (macroDone && !m_cancel) {
        // Also when nothing else was to be written: the macro may have reset what was equal.
        QList<int> codes;
        for (const ParameterInfo& p : ParameterTable())
            if (p.Writable() && p.code != kApplicationMacroCode && m_file.contains(p.code))
                codes.append(p.code);
        if (!codes.isEmpty()) {
            m_rereading = true;
            StartReading(codes);
            return;
        }
    }
    NextWrite();
}

void ParameterSetRunner::Report(WriteReport report)
{
    ++m_nextStep;
    m_summary.reports.append(report);
    emit ParameterWritten(report);
}

// ---- the end ----------------------------------------------------------------

void ParameterSetRunner::Finish(Stop stop)
{
    const bool writing = m_mode == Mode::Writing || m_rereading;
    if (writing) {
        m_summary.notWritten.clear();
        for (qsizetype i = m_nextStep; i < m_steps.size(); ++i)
            m_summary.notWritten.append(m_steps[i].code);
        m_summary.stopReason = StopText(stop);
        if (m_restoring) {
            QSet<int> tried;
            for (const WriteReport& r : m_summary.reports)
                tried.insert(r.code);
            for (auto it = m_file.begin(); it != m_file.end(); ++it) {
                const ParameterInfo* p = FindParameter(it.key());
                if (!p || tried.contains(p->code))
                    continue;
                const Reading reading = m_readings.value(p->code);
                if (!p->Writable())
                    ++m_summary.readOnly;
                else if (!reading.IsRead())
                    ++m_summary.unread;
                else if (reading.value == it.value())
                    ++m_summary.unchanged;
            }
        }
    }
    m_mode = Mode::Idle;
    m_rereading = false;
    m_cancel = false;
    m_blocks.clear();
    m_singles.clear();
    emit Finished(stop);
}

} // namespace kv

#include "moc_paramsetrunner.cpp"

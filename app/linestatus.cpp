#include "app/linestatus.h"

#include "app/statusline.h"
#include "app/windowport.h"
#include "common/hex.h"
#include "modbus/statistics.h"
#include "serial/transport.h"
#include "session/linesession.h"

#include <QLabel>
#include <QTimer>

namespace kv {

LineStatus::LineStatus(StatusLine& status, LineSession& session, const WindowPort& port, QObject* parent)
    : QObject(parent)
    , m_status(status)
    , m_session(session)
    , m_port(port)
    , m_refresh(new QTimer(this))
{
    m_refresh->setInterval(200);
    connect(m_refresh, &QTimer::timeout, this, [this] {
        if (m_countersDirty)
            ShowCounters();
    });
    m_refresh->start();
    connect(&session.Statistics(), &mb::LineStatistics::Changed, this, [this] { m_countersDirty = true; });
    connect(&session.Line(), &Transport::OpenChanged, this, [this](bool open) {
        if (!open)
            ShowPort();
    });
    // A network line tells when its connection is made, and why it was not.
    connect(&session.Line(), &Transport::Connected, this, &LineStatus::ShowPort);
    auto closedWhy = [this](const QString& why) {
        if (m_session.Line().OwnsLineSettings())
            return;
        m_closedText = StatusLine::ClosedText(m_session.Line().Description(), why);
        ShowPort();
    };
    connect(&session.Line(), &Transport::OpenFailed, this, closedWhy);
    connect(&session.Line(), &Transport::Lost, this, closedWhy);
    ShowPort();
    ShowCounters();
}

void LineStatus::ShowPort()
{
    const Transport& line = m_session.Line();
    if (!line.IsOpen()) {
        m_status.Port->setText(m_closedText.isEmpty() ? StatusLine::ClosedText() : m_closedText);
        return;
    }
    m_closedText.clear();
    const QString station = HexText(m_session.Station(), 2);
    if (!line.OwnsLineSettings()) {
        m_status.Port->setText(
            StatusLine::NetworkPortText(line.Description(), line.Connecting(), m_port.OpenedSettings(), station));
        return;
    }
    m_status.Port->setText(
        StatusLine::PortText(m_port.OpenedWith().port, line.Description(), m_port.OpenedSettings(), station));
}

void LineStatus::ShowCounters()
{
    m_countersDirty = false;
    m_status.Counters->setText(m_session.Statistics().Summary());
}

} // namespace kv

#include "moc_linestatus.cpp"

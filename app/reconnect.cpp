#include "app/reconnect.h"

#include "app/preferences.h"
#include "app/statusline.h"
#include "serial/netaddress.h"
#include "serial/portinfo.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTcpSocket>
#include <QTimer>

namespace kv {

Reconnect::Reconnect(WindowPort& port, QMenu* menu, StatusLine& status, Preferences& prefs, QObject* parent)
    : QObject(parent)
    , m_port(port)
    , m_prefs(prefs)
    , m_timer(new QTimer(this))
{
    AutoReconnect = new QAction(tr("断线自动重连"), this);
    AutoReconnect->setObjectName(QStringLiteral("AutoReconnect"));
    AutoReconnect->setCheckable(true);
    AutoReconnect->setChecked(m_prefs.AutoReconnect());
    menu->addAction(AutoReconnect);
    connect(AutoReconnect, &QAction::toggled, this, [this](bool on) {
        m_prefs.SetAutoReconnect(on);
        if (!on)
            End();
    });

    Part = status.AddPart(QStringLiteral("statusReconnect"));
    Part->hide();
    m_timer->setInterval(kRetryIntervalMs);
    connect(m_timer, &QTimer::timeout, this, &Reconnect::Try);
}

bool Reconnect::Retrying() const
{
    return m_timer->isActive();
}

void Reconnect::OnPortEvent(PortEvent event)
{
    switch (event) {
    case PortEvent::Opened:
        m_opened = m_port.OpenedWith();  // the device and settings it was opened with
        End();
        return;
    case PortEvent::Closed:
    case PortEvent::OpenFailed:
        End();
        return;
    case PortEvent::Lost:
        if (AutoReconnect->isChecked())
            Begin();
        return;
    }
}

void Reconnect::Begin()
{
    m_tries = 0;
    m_timer->start();
    Part->setText(tr("重新连接中…"));
    Part->show();
}

void Reconnect::End()
{
    m_timer->stop();
    Part->hide();
    DropProbe(m_probe);
}

void Reconnect::DropProbe(QTcpSocket* probe)
{
    if (!probe)
        return;
    probe->disconnect(this);
    probe->abort();
    probe->deleteLater();
    if (m_probe == probe)
        m_probe = nullptr;
}

void Reconnect::Probe(const QString& host, quint16 port)
{
    if (m_probe)
        return;  // the last trial is still under way
    m_probe = new QTcpSocket(this);
    QTcpSocket* probe = m_probe;
    auto over = [this, probe] { DropProbe(probe); };
    connect(probe, &QTcpSocket::connected, this, [this, over] {
        over();
        if (!m_timer->isActive() || m_port.PortIsOpen())
            return;
        End();
        m_port.OpenPortAs(m_opened);
    });
    connect(probe, &QTcpSocket::errorOccurred, this, [over] { over(); });
    QTimer::singleShot(3000, probe, [over] { over(); });  // not made in time: the next tick tries again
    probe->connectToHost(host, port);
}

void Reconnect::Try()
{
    if (m_port.PortIsOpen()) {
        End();  // open again by other means
        return;
    }
    // Not while a message box waits for the user (the loss is being told).
    if (QApplication::activeModalWidget())
        return;
    ++m_tries;
    Part->setText(tr("重新连接中…（已试 %1 次）").arg(m_tries));
    if (const std::optional<NetAddress> address = ParseNetAddress(m_opened.port)) {
        Probe(address->host, address->port);
        return;
    }
    if (!DeviceOpens(PresentDeviceForPortText(m_opened.port)))
        return;
    End();
    // As if "打开串口" had been pressed; should the opening still fail, the
    // window says so once and the retries stay ended.
    m_port.OpenPortAs(m_opened);
}

} // namespace kv

#include "moc_reconnect.cpp"

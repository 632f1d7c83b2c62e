#include "app/reconnect.h"

#include "app/form1.h"
#include "app/preferences.h"
#include "app/statusline.h"
#include "serial/mscomm.h"
#include "serial/portinfo.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace kv {

Reconnect::Reconnect(Form1& form, QMenu* menu, StatusLine& status, Preferences& prefs, QObject* parent)
    : QObject(parent)
    , m_form(form)
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
    connect(form.MSComm, &MSComm::OpenChanged, this, &Reconnect::OnOpenChanged);
    // The user's own press of the button ends the retries (after the window's handler has run).
    connect(form.CommandOpenMSC, &QPushButton::clicked, this, &Reconnect::End);
}

bool Reconnect::Retrying() const
{
    return m_timer->isActive();
}

Reconnect::Boxes Reconnect::Current() const
{
    return {m_form.ComboMSCPort->currentText(), m_form.ComboMSCBaudrate->currentText(),
            m_form.ComboParity->currentText(),  m_form.ComboDatabits->currentText(),
            m_form.ComboStopbit->currentText(), m_form.Combo2->currentText()};
}

void Reconnect::Restore(const Boxes& boxes)
{
    m_form.ComboMSCPort->setCurrentText(boxes.port);
    m_form.ComboMSCBaudrate->setCurrentText(boxes.baud);
    m_form.ComboParity->setCurrentText(boxes.parity);
    m_form.ComboDatabits->setCurrentText(boxes.dataBits);
    m_form.ComboStopbit->setCurrentText(boxes.stopBits);
    m_form.Combo2->setCurrentText(boxes.station);
}

void Reconnect::OnOpenChanged(bool open)
{
    if (open) {
        m_opened = Current();  // the device and settings it was opened with
        End();
        return;
    }
    // Closed while the window still shows it open: the device went away (the
    // window's own close changes the caption first).
    if (AutoReconnect->isChecked() && m_form.CommandOpenMSC->text() == Form1::kCaptionClosePort)
        Begin();
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
}

void Reconnect::Try()
{
    if (m_form.MSComm->PortOpen() || m_form.CommandOpenMSC->text() == Form1::kCaptionClosePort) {
        End();  // open again by other means
        return;
    }
    // Not while a message box waits for the user (the loss is being told).
    if (QApplication::activeModalWidget())
        return;
    ++m_tries;
    Part->setText(tr("重新连接中…（已试 %1 次）").arg(m_tries));
    if (!DeviceOpens(PresentDeviceForPortText(m_opened.port)))
        return;
    Restore(m_opened);
    End();
    // As if "打开串口" had been pressed; should the opening still fail, the
    // window says so once and the retries stay ended.
    m_form.CommandOpenMSC_Click();
}

} // namespace kv

#include "moc_reconnect.cpp"

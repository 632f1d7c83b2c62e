#include "app/responsetimeout.h"

#include "app/preferences.h"
#include "modbus/engine.h"

#include <QAction>
#include <QInputDialog>
#include <QMenu>

namespace kv {

ResponseTimeoutItem::ResponseTimeoutItem(mb::TransactionEngine& engine, QMenu* menu, Preferences& prefs,
                                         QWidget* window, QObject* parent)
    : QObject(parent)
    , m_engine(engine)
    , m_prefs(prefs)
    , m_window(window)
{
    ResponseTimeout = new QAction(tr("响应超时…"), this);
    ResponseTimeout->setObjectName(QStringLiteral("ResponseTimeout"));
    menu->addAction(ResponseTimeout);
    connect(ResponseTimeout, &QAction::triggered, this, &ResponseTimeoutItem::ResponseTimeout_Click);
}

void ResponseTimeoutItem::ResponseTimeout_Click()
{
    if (m_dialog) {
        m_dialog->raise();
        m_dialog->activateWindow();
        return;
    }
    m_dialog = new QInputDialog(m_window);
    m_dialog->setObjectName(QStringLiteral("ResponseTimeoutDialog"));
    m_dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_dialog->setWindowTitle(tr("响应超时"));
    m_dialog->setLabelText(tr("等待应答的时间（100～5000 毫秒）："));
    m_dialog->setInputMode(QInputDialog::IntInput);
    m_dialog->setIntRange(100, 5000);
    m_dialog->setIntStep(100);
    m_dialog->setIntValue(m_engine.ResponseTimeoutMs());
    connect(m_dialog, &QInputDialog::intValueSelected, this, [this](int ms) {
        m_prefs.SetResponseTimeoutMs(ms);
        m_engine.SetResponseTimeoutMs(m_prefs.ResponseTimeoutMs());
    });
    m_dialog->open();
}

} // namespace kv

#include "moc_responsetimeout.cpp"

#include "app/portlist.h"

#include "app/statusline.h"
#include "serial/mscomm.h"
#include "serial/portinfo.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QSignalBlocker>

namespace kv {

PortList::PortList(QComboBox* box, MSComm& comm, StatusLine& status, QObject* parent)
    : QObject(parent)
    , m_box(box)
    , m_comm(comm)
    , m_source(&SystemPorts)
{
    // The list's popup is shown by the box itself (arrow, F4, Alt+Down); its
    // showing is the one moment every way of opening the list passes through.
    m_box->view()->window()->installEventFilter(this);
    Part = status.AddPart(QStringLiteral("statusDevice"));
    Part->hide();
    connect(&m_comm, &MSComm::OpenChanged, this, &PortList::OnOpenChanged);
}

bool PortList::Refresh()
{
    const QList<PortRow> rows = PortListRows(m_source());
    bool same = m_box->count() == rows.size();
    for (int i = 0; same && i < rows.size(); ++i)
        same = m_box->itemText(i) == rows[i].text;
    if (!same) {
        const QSignalBlocker blocker(m_box);
        const QString text = m_box->currentText();
        const QString chosen = m_box->currentIndex() >= 0 ? m_box->itemText(m_box->currentIndex()) : QString();
        m_box->clear();
        for (const PortRow& row : rows)
            m_box->addItem(row.text);
        m_box->setCurrentIndex(chosen.isEmpty() ? -1 : m_box->findText(chosen, Qt::MatchExactly));
        m_box->setEditText(text);
    }
    for (int i = 0; i < rows.size(); ++i)
        m_box->setItemData(i, rows[i].toolTip.isEmpty() ? QVariant() : QVariant(rows[i].toolTip), Qt::ToolTipRole);
    return !same;
}

bool PortList::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Show && Refresh()) {
        // The popup took its size from the rows it had: fit it to the new ones.
        QMetaObject::invokeMethod(
            m_box,
            [box = m_box] {
                if (box->view()->isVisible())
                    box->showPopup();
            },
            Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void PortList::OnOpenChanged(bool open)
{
    const std::optional<SystemPort> port = open ? PortForDevice(m_comm.DevicePath(), m_source()) : std::nullopt;
    const QString what = port ? PortDescription(*port) : QString();
    Part->setText(what);
    Part->setVisible(!what.isEmpty());
}

} // namespace kv

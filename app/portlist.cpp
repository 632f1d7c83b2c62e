#include "app/portlist.h"

#include "app/statusline.h"
#include "serial/transport.h"
#include "serial/portinfo.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QSignalBlocker>

namespace kv {

PortList::PortList(QComboBox* box, Transport& line, StatusLine& status, QObject* parent)
    : QObject(parent)
    , m_box(box)
    , m_line(line)
    , m_source(&SystemPorts)
{
    // The list's popup is shown by the box itself (arrow, F4, Alt+Down); its
    // showing is the one moment every way of opening the list passes through.
    m_box->view()->window()->installEventFilter(this);
    Part = status.AddPart(QStringLiteral("statusDevice"));
    Part->hide();
    connect(&m_line, &Transport::OpenChanged, this, &PortList::OnOpenChanged);
}

bool PortList::Refresh()
{
    const QList<PortRow> rows = PortListRows(m_source());
    // Rows up to the first that differs stay (COM1..COM10 always do); the rest
    // are replaced.
    int keep = 0;
    while (keep < rows.size() && keep < m_box->count() && m_box->itemText(keep) == rows[keep].text)
        ++keep;
    const bool changed = keep != rows.size() || keep != m_box->count();
    if (changed) {
        const QSignalBlocker blocker(m_box);
        const QString text = m_box->currentText();
        const int index = m_box->currentIndex();
        const QString chosen = index >= keep ? m_box->itemText(index) : QString();
        while (m_box->count() > keep)
            m_box->removeItem(m_box->count() - 1);
        for (int i = keep; i < rows.size(); ++i)
            m_box->addItem(rows[i].text);
        if (index >= keep)
            m_box->setCurrentIndex(m_box->findText(chosen, Qt::MatchExactly));
        m_box->setEditText(text);
    }
    for (int i = 0; i < rows.size(); ++i)
        m_box->setItemData(i, rows[i].toolTip.isEmpty() ? QVariant() : QVariant(rows[i].toolTip), Qt::ToolTipRole);
    return changed;
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
    const std::optional<SystemPort> port = open ? PortForDevice(m_line.Description(), m_source()) : std::nullopt;
    const QString what = port ? PortDescription(*port) : QString();
    Part->setText(what);
    Part->setVisible(!what.isEmpty());
}

} // namespace kv

#include "moc_portlist.cpp"

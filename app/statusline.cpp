#include "app/statusline.h"

#include <QLabel>
#include <QStatusBar>

namespace kv {

StatusLine::StatusLine(QStatusBar* bar, QObject* parent)
    : QObject(parent)
    , m_bar(bar)
{
    m_bar->setObjectName(QStringLiteral("statusLine"));
    m_bar->setSizeGripEnabled(false);
    Port = AddPart(QStringLiteral("statusPort"));
    Port->setText(ClosedText());
    Counters = AddPart(QStringLiteral("statusCounters"));
    Capture = AddPart(QStringLiteral("statusCapture"));
    Capture->hide();
}

QLabel* StatusLine::AddPart(const QString& objectName)
{
    auto* label = new QLabel(m_bar);
    label->setObjectName(objectName);
    label->setTextFormat(Qt::PlainText);
    m_bar->addWidget(label);
    return label;
}

QString StatusLine::PortText(const QString& portText, const QString& device, const QString& settings,
                             const QString& stationAddr)
{
    QString text = portText.trimmed();
    if (!device.isEmpty() && device != text)
        text += QStringLiteral(" → ") + device;
    return text + QStringLiteral("  ") + settings + tr("  站号 ") + stationAddr;
}

} // namespace kv

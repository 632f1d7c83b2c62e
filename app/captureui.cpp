#include "app/captureui.h"

#include "app/statusline.h"
#include "common/filechooser.h"
#include "common/messageboxes.h"
#include "modbus/capture.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTimer>

namespace kv {

CaptureUi::CaptureUi(mb::TrafficCapture& capture, QMenu* menu, StatusLine& status, MessageBoxes& boxes,
                     FileChooser& files, QObject* parent)
    : QObject(parent)
    , m_capture(capture)
    , m_boxes(boxes)
    , m_files(files)
    , m_part(status.Capture)
    , m_refresh(new QTimer(this))
{
    CaptureStart = new QAction(tr("通讯记录到文件…"), this);
    CaptureStart->setObjectName(QStringLiteral("CaptureStart"));
    CaptureStop = new QAction(tr("停止通讯记录"), this);
    CaptureStop->setObjectName(QStringLiteral("CaptureStop"));
    menu->addAction(CaptureStart);
    menu->addAction(CaptureStop);
    connect(CaptureStart, &QAction::triggered, this, &CaptureUi::CaptureStart_Click);
    connect(CaptureStop, &QAction::triggered, this, &CaptureUi::CaptureStop_Click);
    // The lines written are counted on the status line a few times a second.
    m_refresh->setInterval(200);
    connect(m_refresh, &QTimer::timeout, this, &CaptureUi::Refresh);
    m_refresh->start();
    connect(&m_capture, &mb::TrafficCapture::Failed, this, [this](const QString& reason) {
        Refresh();  // shown stopped before the user is told
        Tell(m_boxes, tr("通讯记录已停止：%1").arg(reason), MsgIcon::Exclamation);
    });
    Refresh();
}

void CaptureUi::CaptureStart_Click()
{
    const QString path =
        m_files.AskSave(tr("通讯记录到文件"), tr("文本文件 (*.txt);;所有文件 (*)"), tr("通讯记录.txt"));
    if (path.isEmpty())
        return;
    QString error;
    if (!m_capture.Start(path, &error))
        Tell(m_boxes, tr("无法创建通讯记录：%1").arg(error), MsgIcon::Exclamation);
    Refresh();
}

void CaptureUi::CaptureStop_Click()
{
    m_capture.Stop();
    Refresh();
}

void CaptureUi::Refresh()
{
    const bool active = m_capture.Active();
    CaptureStart->setEnabled(!active);
    CaptureStop->setEnabled(active);
    m_part->setVisible(active);
    if (active)
        m_part->setText(tr("通讯记录：%1（%2 行）").arg(m_capture.Path()).arg(m_capture.Lines()));
}

} // namespace kv

#include "moc_captureui.cpp"

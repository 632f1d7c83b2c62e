#include "app/liverecordingui.h"

#include "app/statusline.h"
#include "common/filechooser.h"
#include "common/messageboxes.h"
#include "drive/liverecord.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>

namespace kv {

LiveRecordingUi::LiveRecordingUi(LiveRecording& recording, QMenu* menu, StatusLine& status, MessageBoxes& boxes,
                                 FileChooser& files, QObject* parent)
    : QObject(parent)
    , m_recording(recording)
    , m_boxes(boxes)
    , m_files(files)
{
    RecordStart = new QAction(tr("记录实时数据…"), this);
    RecordStart->setObjectName(QStringLiteral("RecordStart"));
    RecordStop = new QAction(tr("停止记录"), this);
    RecordStop->setObjectName(QStringLiteral("RecordStop"));
    menu->addAction(RecordStart);
    menu->addAction(RecordStop);
    connect(RecordStart, &QAction::triggered, this, &LiveRecordingUi::RecordStart_Click);
    connect(RecordStop, &QAction::triggered, this, &LiveRecordingUi::RecordStop_Click);

    Part = status.AddPart(QStringLiteral("statusRecording"));
    connect(&m_recording, &LiveRecording::Changed, this, &LiveRecordingUi::Refresh);
    connect(&m_recording, &LiveRecording::Failed, this, [this](const QString& reason) {
        Refresh();  // shown stopped before the user is told
        Tell(m_boxes, tr("实时数据记录已停止：%1").arg(reason), MsgIcon::Exclamation);
    });
    Refresh();
}

void LiveRecordingUi::RecordStart_Click()
{
    const QString path = m_files.AskSave(tr("记录实时数据"), tr("CSV 文件 (*.csv);;所有文件 (*)"), tr("实时数据.csv"));
    if (path.isEmpty())
        return;
    QString error;
    if (!m_recording.Start(path, &error))
        Tell(m_boxes, tr("无法创建实时数据记录：%1").arg(error), MsgIcon::Exclamation);
    Refresh();
}

void LiveRecordingUi::RecordStop_Click()
{
    m_recording.Stop();
    Refresh();
}

void LiveRecordingUi::Refresh()
{
    const bool active = m_recording.Active();
    RecordStart->setEnabled(!active);
    RecordStop->setEnabled(active);
    Part->setVisible(active);
    if (active) {
        Part->setText(tr("实时记录：%1（%2 行）")
                          .arg(QDir::toNativeSeparators(m_recording.Path()))
                          .arg(m_recording.Rows()));
    }
}

} // namespace kv

#include "moc_liverecordingui.cpp"

#include "app/liverecordingui.h"

#include "app/form1.h"
#include "app/statusline.h"
#include "common/filechooser.h"
#include "common/messageboxes.h"
#include "drive/liverecord.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>

namespace kv {

LiveRecordingUi::LiveRecordingUi(Form1& form, QMenu* menu, StatusLine& status, MessageBoxes& boxes,
                                 FileChooser& files, QObject* parent)
    : QObject(parent)
    , m_boxes(boxes)
    , m_files(files)
    , m_recording(std::make_unique<LiveRecording>())
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
    connect(m_recording.get(), &LiveRecording::Changed, this, &LiveRecordingUi::Refresh);
    connect(m_recording.get(), &LiveRecording::Failed, this, [this](const QString& reason) {
        Refresh();  // shown stopped before the user is told
        MessageRequest r;
        r.text = tr("实时数据记录已停止：%1").arg(reason);
        r.icon = MsgIcon::Exclamation;
        m_boxes.Show(r);
    });
    connect(&form, &Form1::PollReplyDecoded, this, [this](const QString& text, const PollReply& reply) {
        if (m_recording->Active())
            m_recording->Record(reply, PollReplyCrcGood(text));
    });
    Refresh();
}

LiveRecordingUi::~LiveRecordingUi() = default;

void LiveRecordingUi::RecordStart_Click()
{
    FileRequest request;
    request.title = tr("记录实时数据");
    request.filter = tr("CSV 文件 (*.csv);;所有文件 (*)");
    request.suggested = tr("实时数据.csv");
    const QString path = m_files.SaveFileName(request);
    if (path.isEmpty())
        return;
    QString error;
    if (!m_recording->Start(path, &error)) {
        MessageRequest r;
        r.text = tr("无法创建实时数据记录：%1").arg(error);
        r.icon = MsgIcon::Exclamation;
        m_boxes.Show(r);
    }
    Refresh();
}

void LiveRecordingUi::RecordStop_Click()
{
    m_recording->Stop();
    Refresh();
}

void LiveRecordingUi::Refresh()
{
    const bool active = m_recording->Active();
    RecordStart->setEnabled(!active);
    RecordStop->setEnabled(active);
    Part->setVisible(active);
    if (active) {
        Part->setText(tr("实时记录：%1（%2 行）")
                          .arg(QDir::toNativeSeparators(m_recording->Path()))
                          .arg(m_recording->Rows()));
    }
}

} // namespace kv

#include "moc_liverecordingui.cpp"

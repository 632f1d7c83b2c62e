#include "app/logsaver.h"

#include "app/logbox.h"
#include "common/filechooser.h"
#include "common/messageboxes.h"

#include <QAction>
#include <QMenu>
#include <QSaveFile>

namespace kv {

LogSaver::LogSaver(const LogBox& log, QMenu* menu, MessageBoxes& boxes, FileChooser& files, QObject* parent)
    : QObject(parent)
    , m_log(log)
    , m_boxes(boxes)
    , m_files(files)
{
    SaveLog = new QAction(tr("保存日志…"), this);
    SaveLog->setObjectName(QStringLiteral("SaveLog"));
    menu->addAction(SaveLog);
    connect(SaveLog, &QAction::triggered, this, &LogSaver::SaveLog_Click);
}

void LogSaver::SaveLog_Click()
{
    const QString path = m_files.AskSave(tr("保存日志"), tr("文本文件 (*.txt);;所有文件 (*)"), tr("通讯日志.txt"));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const QByteArray bytes = m_log.Text().toUtf8();
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    if (!ok)
        Tell(m_boxes, tr("日志未能保存：%1").arg(file.errorString()), MsgIcon::Exclamation);
}

} // namespace kv

#include "moc_logsaver.cpp"

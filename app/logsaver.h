// "记录" → "保存日志…": the terminal's log as it stands, to a UTF-8 file.
#pragma once

#include <QObject>

class QAction;
class QMenu;

namespace kv {

class FileChooser;
class LogBox;
class MessageBoxes;

class LogSaver : public QObject {
    Q_OBJECT
public:
    LogSaver(const LogBox& log, QMenu* menu, MessageBoxes& boxes, FileChooser& files, QObject* parent = nullptr);

    QAction* SaveLog = nullptr;  // "保存日志…"

    void SaveLog_Click();

private:
    const LogBox& m_log;
    MessageBoxes& m_boxes;
    FileChooser& m_files;
};

} // namespace kv

// Asking the user for a file name or a folder, behind an interface: the real one shows a
// file dialog, tests answer with a prepared path so that no test blocks.
#pragma once

#include <QString>

namespace kv {

struct FileRequest {
    QString title;      // "保存日志"
    QString filter;     // "文本文件 (*.txt)"
    QString suggested;  // a file name (or path) to start from
};

class FileChooser {
public:
    virtual ~FileChooser() = default;
    // The chosen path, or an empty text when the user cancels.
    virtual QString SaveFileName(const FileRequest& request) = 0;
    virtual QString OpenFileName(const FileRequest& request) = 0;
    // A folder (the request's filter unused; `suggested` is where to start).
    // Without an implementation of its own a chooser has none to offer: cancelled.
    virtual QString FolderName(const FileRequest& request)
    {
        Q_UNUSED(request);
        return {};
    }

    // The same, the request written out in place.
    QString AskSave(const QString& title, const QString& filter, const QString& suggested)
    {
        return SaveFileName(FileRequest{title, filter, suggested});
    }
    QString AskOpen(const QString& title, const QString& filter, const QString& suggested = QString())
    {
        return OpenFileName(FileRequest{title, filter, suggested});
    }
    QString AskFolder(const QString& title, const QString& suggested = QString())
    {
        return FolderName(FileRequest{title, QString(), suggested});
    }
};

} // namespace kv

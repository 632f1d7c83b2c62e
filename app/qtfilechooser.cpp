#include "app/qtfilechooser.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace kv {

namespace {

// A bare suggested name starts in the user's documents folder.
QString StartPath(const QString& suggested)
{
    if (suggested.isEmpty() || QFileInfo(suggested).isAbsolute())
        return suggested;
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return docs.isEmpty() ? suggested : QDir(docs).filePath(suggested);
}

} // namespace

QString QtFileChooser::SaveFileName(const FileRequest& request)
{
    return QFileDialog::getSaveFileName(m_parent, request.title, StartPath(request.suggested), request.filter);
}

QString QtFileChooser::OpenFileName(const FileRequest& request)
{
    return QFileDialog::getOpenFileName(m_parent, request.title, StartPath(request.suggested), request.filter);
}

QString QtFileChooser::FolderName(const FileRequest& request)
{
    return QFileDialog::getExistingDirectory(m_parent, request.title, StartPath(request.suggested));
}

} // namespace kv

// File names and folders asked for with Qt's file dialog.
#pragma once

#include "common/filechooser.h"

class QWidget;

namespace kv {

class QtFileChooser final : public FileChooser {
public:
    explicit QtFileChooser(QWidget* parent = nullptr) : m_parent(parent) {}
    void setParent(QWidget* parent) { m_parent = parent; }
    QString SaveFileName(const FileRequest& request) override;
    QString OpenFileName(const FileRequest& request) override;
    QString FolderName(const FileRequest& request) override;

private:
    QWidget* m_parent;
};

} // namespace kv

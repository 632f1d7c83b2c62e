// Message boxes shown with QMessageBox.
#pragma once

#include "common/messageboxes.h"

class QWidget;

namespace kv {

class QtMessageBoxes final : public MessageBoxes {
public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : m_parent(parent) {}
    MsgAnswer Show(const MessageRequest& request) override;
    void setParent(QWidget* parent) { m_parent = parent; }

private:
    QWidget* m_parent;
};

} // namespace kv

#include "app/qtmessageboxes.h"

#include <QMessageBox>

namespace kv {

MsgAnswer QtMessageBoxes::Show(const MessageRequest& request)
{
    QMessageBox box(m_parent);
    box.setText(request.text);
    box.setWindowTitle(request.title.isEmpty() ? ApplicationTitle() : request.title);
    switch (request.icon) {
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::None: break;
    }
    if (request.buttons == MsgButtons::YesNo)
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    else
        box.setStandardButtons(QMessageBox::Ok);
    if (request.foreground) {
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    }
    const int r = box.exec();
    if (request.buttons == MsgButtons::YesNo)
        return r == QMessageBox::No ? MsgAnswer::No : MsgAnswer::Yes;
    return MsgAnswer::Ok;
}

} // namespace kv

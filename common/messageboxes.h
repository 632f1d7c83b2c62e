// Modal message boxes behind an interface: the real one shows a QMessageBox,
// tests use a recorder that answers as scripted so that no test blocks.
#pragma once

#include <QCoreApplication>
#include <QString>

namespace kv {

enum class MsgButtons { Ok, YesNo };
enum class MsgIcon { None, Exclamation, Question, Information, Critical };
enum class MsgAnswer { Ok, Yes, No };

struct MessageRequest {
    QString text;
    QString title;  // an empty title shows the application title
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
    bool foreground = false;  // bring the box to the foreground
};

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MsgAnswer Show(const MessageRequest& request) = 0;
};

// A box with one OK button: the usual way to tell the user something.
inline MsgAnswer Tell(MessageBoxes& boxes, const QString& text, MsgIcon icon = MsgIcon::None)
{
    MessageRequest request;
    request.text = text;
    request.icon = icon;
    return boxes.Show(request);
}

// The application title shown by every box that is given no title of its own.
inline QString ApplicationTitle()
{
    return QCoreApplication::translate("kv::MessageBoxes", "KOLVEN调试助手");
}

} // namespace kv

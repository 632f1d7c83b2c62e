// What the tool adds beside the original window, wired in this one place to
// the window and to the line session: the status line, the menus after "开始"
// and the pieces behind them. Each piece is a class of its own that gets only
// what it uses; this object makes them, connects them, and undoes its hold on
// the window when it goes. Tests find the pieces by type or object name.
#pragma once

#include <QObject>

class Form1;

namespace kv {

class FileChooser;
class LineSession;
class MessageBoxes;
class Preferences;

class Additions : public QObject {
    Q_OBJECT
public:
    Additions(Form1& form, LineSession& session, MessageBoxes& boxes, FileChooser& files, Preferences& prefs,
              QObject* parent = nullptr);
    ~Additions() override;

    // The piece of type T this object made (nullptr when there is none).
    template <typename T>
    T* Piece() const
    {
        return findChild<T*>(QString(), Qt::FindDirectChildrenOnly);
    }

private:
    Form1& m_form;
    LineSession& m_session;
};

} // namespace kv

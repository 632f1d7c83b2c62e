// The terminal log: a multi-line box the program appends to and the user may
// type in (to mark a moment, or delete a part before copying it). Its text is
// kept with line ends CR LF, each counted as two characters, and shown scrolled
// to the end after the program sets it.
#pragma once

#include <QPlainTextEdit>
#include <QString>

namespace kv {

class LogBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit LogBox(QWidget* parent = nullptr);

    // The whole text. What the program set is kept exactly as set; after the
    // user edits, it is what the box shows, every line break as CR LF.
    const QString& Text() const { return m_text; }
    void setText(const QString& text);

private:
    void takeUserEdit();

    QString m_text;
    bool m_setting = false;
};

} // namespace kv

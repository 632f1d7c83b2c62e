// The terminal log: a read-only multi-line box whose text is kept exactly as
// written (line ends CR LF, counted as two characters), shown scrolled to the end.
#pragma once

#include <QPlainTextEdit>
#include <QString>

namespace kv {

class LogBox : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit LogBox(QWidget* parent = nullptr);

    const QString& Text() const { return m_text; }
    void setText(const QString& text);

private:
    QString m_text;
};

} // namespace kv

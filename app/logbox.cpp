#include "app/logbox.h"

#include <QScrollBar>

namespace kv {

LogBox::LogBox(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QPlainTextEdit::textChanged, this, &LogBox::takeUserEdit);
}

void LogBox::setText(const QString& text)
{
    m_text = text;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_setting = true;
    setPlainText(shown);
    m_setting = false;
    // The caret at the end, after the last line break, where typing continues the log.
    moveCursor(QTextCursor::End);
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void LogBox::takeUserEdit()
{
    if (m_setting)
        return;
    QString text = toPlainText();
    text.replace(u'\n', QStringLiteral("\r\n"));
    m_text = text;
}

} // namespace kv

#include "moc_logbox.cpp"

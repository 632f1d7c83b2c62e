#include "app/logbox.h"

#include <QScrollBar>

namespace kv {

LogBox::LogBox(QWidget* parent)
    : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void LogBox::setText(const QString& text)
{
    m_text = text;
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (shown.endsWith(u'\n'))
        shown.chop(1);
    setPlainText(shown);
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

} // namespace kv

#include "moc_logbox.cpp"

// A text of the interface that is read in the language of the interface each
// time it is used: a source text (Chinese, the reference) and its translation
// context. A caption that stands for a state (a button reading "打开串口" while
// the port is closed) is kept as one, so that setting the caption and testing
// it use the same translated words whatever the language.
//
// Mark the source with QT_TRANSLATE_NOOP so that lupdate finds it:
//   static constexpr kv::TrText kCaption{"Form1", QT_TRANSLATE_NOOP("Form1", "开始")};
#pragma once

#include <QCoreApplication>
#include <QString>

namespace kv {

struct TrText {
    const char* context;
    const char* source;  // UTF-8

    QString Text() const { return QCoreApplication::translate(context, source); }
    operator QString() const { return Text(); }  // NOLINT: reads as the text it stands for
};

inline bool operator==(const QString& text, const TrText& tr)
{
    return text == tr.Text();
}

} // namespace kv

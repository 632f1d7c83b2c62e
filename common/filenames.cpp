#include "common/filenames.h"

#include <QRegularExpression>

namespace kv {

namespace {

constexpr qsizetype kMaxLength = 120;

} // namespace

QString SafeFileName(const QString& text)
{
    QString name;
    name.reserve(text.size());
    for (const QChar c : text) {
        const bool refused = c.unicode() < 0x20 || c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'/'
            || c == u'\\' || c == u'|' || c == u'?' || c == u'*' || c == QChar(0x7F);
        name += refused ? QChar(u'_') : c;
    }
    if (name.size() > kMaxLength)
        name.truncate(name.at(kMaxLength - 1).isHighSurrogate() ? kMaxLength - 1 : kMaxLength);
    while (!name.isEmpty() && (name.endsWith(u'.') || name.endsWith(u' ')))
        name.chop(1);
    if (name.isEmpty())
        return QStringLiteral("_");
    static const QRegularExpression reserved(QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])(\\..*)?$"),
                                             QRegularExpression::CaseInsensitiveOption);
    if (reserved.match(name).hasMatch())
        name.prepend(u'_');
    return name;
}

} // namespace kv

#include "common/csv.h"

#include <QCoreApplication>

namespace kv {

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(kv::Csv)
};

} // namespace

QString CsvField(const QString& text)
{
    const bool quote = text.contains(u',') || text.contains(u'"') || text.contains(u'\r') || text.contains(u'\n');
    if (!quote)
        return text;
    QString out = text;
    out.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

QString CsvRecord(const QStringList& fields)
{
    QStringList quoted;
    quoted.reserve(fields.size());
    for (const QString& f : fields)
        quoted.append(CsvField(f));
    return quoted.join(u',') + QStringLiteral("\r\n");
}

CsvText ParseCsv(QStringView text)
{
    CsvText out;
    CsvRow row;
    QString field;
    int line = 1;
    bool inQuotes = false;
    bool quotedField = false;   // the current field was quoted (and closed)
    bool rowHasContent = false; // anything of the current record seen
    auto fail = [&](const QString& why) {
        out.error = why;
        out.errorLine = line;
        out.rows.clear();
        return out;
    };
    auto endField = [&] {
        row.fields.append(field);
        field.clear();
        quotedField = false;
    };
    auto endRow = [&] {
        if (rowHasContent) {
            endField();
            out.rows.append(row);
        }
        row = CsvRow();
        field.clear();
        quotedField = false;
        rowHasContent = false;
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == u'"') {
                if (i + 1 < n && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    inQuotes = false;
                    quotedField = true;
                }
                continue;
            }
            if (c == u'\n' || (c == u'\r' && !(i + 1 < n && text[i + 1] == u'\n')))
                ++line;
            field += c;
            continue;
        }
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            endRow();
            ++line;
            continue;
        }
        if (!rowHasContent)
            row.line = line;
        rowHasContent = true;
        if (c == u',') {
            endField();
        } else if (c == u'"') {
            if (!field.isEmpty() || quotedField)
                return fail(Texts::tr("字段中间有引号"));
            inQuotes = true;
        } else {
            if (quotedField)
                return fail(Texts::tr("引号后还有字符"));
            field += c;
        }
    }
    if (inQuotes) {
        line = row.line;
        return fail(Texts::tr("引号没有结束"));
    }
    endRow();
    return out;
}

} // namespace kv

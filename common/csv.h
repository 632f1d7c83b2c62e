// Comma-separated values as spreadsheets exchange them (RFC 4180): fields
// quoted when they must be, quotes doubled, records ended by CR LF; and the
// reverse, splitting a text into records with the line each one starts on.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace kv {

// The byte-order mark that makes spreadsheet programs read a file as UTF-8.
inline const QByteArray kUtf8Bom = QByteArrayLiteral("\xEF\xBB\xBF");

// One field: quoted when it holds a comma, a quote, CR or LF (quotes doubled).
QString CsvField(const QString& text);
// Fields joined by commas, ended by CR LF.
QString CsvRecord(const QStringList& fields);

struct CsvRow {
    QStringList fields;
    int line = 0;  // the line the record starts on, counted from 1
};

struct CsvText {
    QList<CsvRow> rows;  // empty lines are left out
    QString error;       // empty when the whole text is sound
    int errorLine = 0;
};

// Splits a text (CR LF, LF or CR line ends) into records. A quoted field may
// span lines; a quote inside an unquoted field, text after a closing quote or
// a quoted field that is never closed is an error on its line.
CsvText ParseCsv(QStringView text);

} // namespace kv

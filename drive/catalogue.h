// The drive's parameter catalogue and the parameter groups.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace kv {

// The whole catalogue as the parameter list keeps it: 415 rows, each ended by
// CR LF (the last one too).
const QString& CatalogueText();
int CatalogueRowCount();

// The 31 group entries of the group list, in their order ("99 电机数据" first).
const QStringList& ParameterGroups();

// The rows whose first two characters equal the first two of the group text.
QStringList CatalogueRowsOfGroup(QStringView comboText);

// The same as the user reads them: the names in the language of the
// interface, the codes and group numbers unchanged (so a row still reads its
// register and a group entry still finds its rows). Without a translator they
// are the texts above.
QString ShownCatalogueText();
QStringList ShownParameterGroups();
QStringList ShownRowsOfGroup(QStringView comboText);

// The parameter code a row starts with (9802 for "9802----通讯选择").
int ParameterCodeOfRow(QStringView row);

// The register a row reads: code - 1 as four upper-case hexadecimal digits
// ("0101..." -> "0064", "9802..." -> "2649").
QString ParameterRegisterHex(QStringView row);

// The code of every catalogue row, in catalogue order.
QList<int> CatalogueParameterCodes();

} // namespace kv

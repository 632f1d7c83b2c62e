#include "drive/paramsetfile.h"

#include "common/csv.h"
#include "drive/paramset.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QSaveFile>
#include <QStringDecoder>

namespace kv {

namespace {

// The texts of the file's messages, in the language of the interface.
struct FileTexts {
    Q_DECLARE_TR_FUNCTIONS(kv::ParameterSetFile)
};

// The header row, the same in every language: a file is exchanged between
// engineers whatever language their tools speak.
const QStringList& Header()
{
    static const QStringList h{QStringLiteral("代码"), QStringLiteral("名称"), QStringLiteral("寄存器"),
                               QStringLiteral("值")};
    return h;
}

// A field as quoted in a message: at most 20 characters.
QString Quoted(const QString& field)
{
    const QString t = field.size() > 20 ? field.left(20) + QStringLiteral("…") : field;
    return QStringLiteral("“%1”").arg(t);
}

ParameterSetLoad Refuse(int line, const QString& why)
{
    ParameterSetLoad out;
    out.error = line > 0 ? FileTexts::tr("第 %1 行：%2").arg(line).arg(why) : why;
    return out;
}

// The line of the first byte that no text file holds: NUL, other control
// characters than tab, CR and LF, or bytes that are not UTF-8. 0 when none.
int BinaryLine(const QByteArray& bytes)
{
    int line = 1;
    qsizetype start = 0;
    while (start <= bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        const QByteArray piece = bytes.mid(start, end - start);
        for (const char c : piece) {
            const auto u = static_cast<unsigned char>(c);
            if ((u < 0x20 && u != '\t' && u != '\r') || u == 0x7F)
                return line;
        }
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString decoded = utf8(piece);
        if (utf8.hasError())
            return line;
        start = end + 1;
        ++line;
    }
    return 0;
}

} // namespace

QByteArray ParameterSetFileBytes(const QMap<int, quint16>& values)
{
    QString text = CsvRecord(Header());
    for (const ParameterInfo& p : ParameterTable()) {
        const auto it = values.constFind(p.code);
        if (it != values.constEnd())
            text += CsvRecord({p.codeText, p.name, p.RegisterText(), QString::number(*it)});
    }
    return kUtf8Bom + text.toUtf8();
}

ParameterSetLoad ParseParameterSetFile(const QByteArray& fileBytes)
{
    if (fileBytes.size() > kMaxParameterSetFileBytes)
        return Refuse(0, FileTexts::tr("文件过大（超过 1 MB），不是参数集文件"));
    const QByteArray bytes = fileBytes.startsWith(kUtf8Bom) ? fileBytes.mid(kUtf8Bom.size()) : fileBytes;
    if (const int line = BinaryLine(bytes))
        return Refuse(line, FileTexts::tr("含有二进制数据，不是文本的参数集文件"));
    const CsvText csv = ParseCsv(QString::fromUtf8(bytes));
    if (!csv.error.isEmpty())
        return Refuse(csv.errorLine, csv.error);
    if (csv.rows.isEmpty())
        return Refuse(1, FileTexts::tr("文件是空的"));

    const CsvRow& head = csv.rows.first();
    QStringList fields;
    for (const QString& f : head.fields)
        fields.append(f.trimmed());
    if (fields != Header())
        return Refuse(head.line, FileTexts::tr("表头应为“代码,名称,寄存器,值”"));

    ParameterSetLoad out;
    QHash<int, int> lineOf;
    for (qsizetype i = 1; i < csv.rows.size(); ++i) {
        const CsvRow& row = csv.rows[i];
        if (row.fields.size() != Header().size())
            return Refuse(row.line, FileTexts::tr("应有 4 列，实有 %1 列").arg(row.fields.size()));
        const std::optional<int> code = ParseParameterCode(row.fields[0]);
        if (!code)
            return Refuse(row.line, FileTexts::tr("代码%1不是参数代码").arg(Quoted(row.fields[0])));
        const ParameterInfo* p = FindParameter(*code);
        if (!p)
            return Refuse(row.line, FileTexts::tr("参数目录中没有代码%1").arg(Quoted(row.fields[0])));
        if (lineOf.contains(p->code))
            return Refuse(row.line, FileTexts::tr("参数 %1 重复（第 %2 行已有）").arg(p->codeText).arg(lineOf[p->code]));
        if (row.fields[2].trimmed().compare(p->RegisterText(), Qt::CaseInsensitive) != 0)
            return Refuse(row.line, FileTexts::tr("寄存器%1与参数 %2 的寄存器 %3 不符")
                                        .arg(Quoted(row.fields[2]), p->codeText, p->RegisterText()));
        const std::optional<quint16> value = ParseRegisterValue(row.fields[3]);
        if (!value)
            return Refuse(row.line, FileTexts::tr("值%1不是 -32768..65535 的整数").arg(Quoted(row.fields[3])));
        lineOf.insert(p->code, row.line);
        out.values.insert(p->code, *value);
    }
    if (out.values.isEmpty())
        return Refuse(head.line + 1, FileTexts::tr("文件中没有参数"));
    return out;
}

bool SaveParameterSetFile(const QString& path, const QMap<int, quint16>& values, QString* error)
{
    QSaveFile file(path);
    const QByteArray bytes = ParameterSetFileBytes(values);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

ParameterSetLoad LoadParameterSetFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Refuse(0, FileTexts::tr("无法打开文件：%1").arg(file.errorString()));
    // A device or a pipe has no size: read no more than the limit allows.
    const QByteArray bytes = file.read(kMaxParameterSetFileBytes + 1);
    return ParseParameterSetFile(bytes);
}

} // namespace kv

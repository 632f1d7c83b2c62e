#include "drive/paramset.h"

#include "common/hex.h"
#include "drive/catalogue.h"
#include "drive/registermap.h"

#include <QCoreApplication>
#include <QHash>
#include <QStringList>

#include <algorithm>

namespace kv {

namespace {

// The name a catalogue row gives after its code: "9902----应用宏" -> "应用宏",
// "5102-5126\t总线参数226" -> "总线参数226".
QString NameOfRow(QStringView row)
{
    const qsizetype tab = row.indexOf(u'\t');
    if (tab >= 0)
        return row.mid(tab + 1).toString();
    const qsizetype dashes = row.indexOf(QStringLiteral("----"));
    if (dashes >= 0)
        return row.mid(dashes + 4).toString();
    return row.mid(4).toString();
}

// The texts of the parameter set, in the language of the interface.
struct SetTexts {
    Q_DECLARE_TR_FUNCTIONS(kv::ParameterSet)
};

QString Codes(const QList<int>& codes)
{
    QStringList texts;
    for (int code : codes) {
        const ParameterInfo* p = FindParameter(code);
        texts.append(p ? p->codeText : QString::number(code));
    }
    return texts.join(SetTexts::tr("、"));
}

} // namespace

QString ParameterInfo::ShownName() const
{
    return QCoreApplication::translate("kv::Catalogue", name.toUtf8().constData());
}

QString ParameterInfo::ReadOnlyText() const
{
    return ReadOnlyReason(code);
}

QString ParameterInfo::RegisterText() const
{
    return QStringLiteral("0x") + HexText(static_cast<quint32>(reg), 4);
}

const QList<ParameterInfo>& ParameterTable()
{
    static const QList<ParameterInfo> table = [] {
        QList<ParameterInfo> t;
        const QString& text = CatalogueText();
        for (const QStringView row : QStringView(text).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
            ParameterInfo p;
            p.code = ParameterCodeOfRow(row);
            p.codeText = QStringLiteral("%1").arg(p.code, 4, 10, QLatin1Char('0'));
            p.name = NameOfRow(row);
            p.reg = static_cast<quint16>(ParameterRegister(p.code));
            p.index = static_cast<int>(t.size());
            p.writable = ReadOnlyReason(p.code).isEmpty();
            t.append(p);
        }
        return t;
    }();
    return table;
}

const ParameterInfo* FindParameter(int code)
{
    static const QHash<int, int> byCode = [] {
        QHash<int, int> h;
        const QList<ParameterInfo>& t = ParameterTable();
        for (int i = 0; i < t.size(); ++i)
            h.insert(t[i].code, i);
        return h;
    }();
    const auto it = byCode.constFind(code);
    return it == byCode.constEnd() ? nullptr : &ParameterTable()[*it];
}

QString ReadOnlyReason(int code)
{
    switch (code / 100) {
    case 1: return SetTexts::tr("运行数据是实际值，只能读取");
    case 4: return SetTexts::tr("故障记录只能读取");
    case 33: return SetTexts::tr("驱动器信息只能读取");
    default: break;
    }
    if (code >= 5306 && code <= 5309)
        return SetTexts::tr("通讯计数与状态只能读取");
    return QString();
}

std::optional<quint16> ParseRegisterValue(QStringView text)
{
    QString t = text.trimmed().toString();
    t.replace(QChar(0x2212), u'-');  // a typographic minus
    if (t.isEmpty() || t.size() > 16)
        return std::nullopt;
    bool ok = false;
    if (t.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)) {
        const QStringView digits = QStringView(t).mid(2);
        if (digits.isEmpty() || digits.size() > 4)
            return std::nullopt;
        for (const QChar c : digits)
            if (!IsHexDigit(c))
                return std::nullopt;
        const uint v = digits.toUInt(&ok, 16);
        return ok ? std::optional<quint16>(static_cast<quint16>(v)) : std::nullopt;
    }
    const QStringView body = t.startsWith(u'-') || t.startsWith(u'+') ? QStringView(t).mid(1) : QStringView(t);
    if (body.isEmpty() || !std::all_of(body.begin(), body.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    const int v = t.toInt(&ok, 10);
    if (!ok || v < -32768 || v > 65535)
        return std::nullopt;
    return static_cast<quint16>(v & 0xFFFF);
}

std::optional<int> ParseParameterCode(QStringView text)
{
    const QStringView t = text.trimmed();
    if (t.isEmpty() || t.size() > 4 || !std::all_of(t.begin(), t.end(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    return t.toInt();
}

QString DescribeRegisterValue(quint16 value)
{
    return SetTexts::tr("%1（有符号 %2，0x%3）")
        .arg(value)
        .arg(static_cast<qint16>(value))
        .arg(HexText(value, 4));
}

QList<ReadBlock> PlanBlockReads(const QList<int>& codes, int maxCount)
{
    maxCount = std::clamp(maxCount, 1, mb::kMaxReadCount);
    QList<ReadBlock> blocks;
    int previous = -2;
    for (int code : codes) {
        if (code < 1 || code > 0x10000)
            continue;
        const auto reg = static_cast<quint16>(ParameterRegister(code));
        if (!blocks.isEmpty() && code == previous + 1 && blocks.back().count < maxCount)
            ++blocks.back().count;
        else
            blocks.append(ReadBlock{reg, 1});
        previous = code;
    }
    return blocks;
}

QString CompareStatus(const ParameterInfo& p, const Reading& drive, std::optional<quint16> file)
{
    switch (drive.state) {
    case Reading::Unread: return SetTexts::tr("未读");
    case Reading::Failed: return drive.error;
    case Reading::Read: break;
    }
    if (!p.Writable())
        return SetTexts::tr("只读");
    if (!file)
        return QString();
    return *file == drive.value ? SetTexts::tr("相同") : kStatusDifferent.Text();
}

bool Differs(const ParameterInfo& p, const Reading& drive, std::optional<quint16> file)
{
    return p.Writable() && drive.IsRead() && file && *file != drive.value;
}

QList<WriteStep> PlanRestore(const QMap<int, quint16>& file, const QMap<int, Reading>& drive)
{
    QList<WriteStep> steps;
    for (const ParameterInfo& p : ParameterTable()) {
        const auto f = file.constFind(p.code);
        if (f == file.constEnd())
            continue;
        const Reading reading = drive.value(p.code);
        if (Differs(p, reading, *f))
            steps.append(WriteStep{p.code, *f, reading.value});
    }
    SortForRestore(steps);
    return steps;
}

void SortForRestore(QList<WriteStep>& steps)
{
    auto rank = [](const WriteStep& s) { return s.code == kApplicationMacroCode ? 0 : s.code / 100 == 99 ? 1 : 2; };
    std::stable_sort(steps.begin(), steps.end(),
                     [&](const WriteStep& a, const WriteStep& b) { return rank(a) < rank(b); });
}

QString WriteReport::Text() const
{
    switch (kind) {
    case Verified: return SetTexts::tr("已写入，已校验");
    case Refused: return error;
    case Mismatch: return SetTexts::tr("读回值为 %1，与写入值 %2 不符").arg(readBack).arg(value);
    case Failed: return error.isEmpty() ? SetTexts::tr("无应答") : error;
    case PortLost: return SetTexts::tr("串口已断开");
    case Cancelled: return SetTexts::tr("已取消");
    }
    return QString();
}

bool IsLineFailure(mb::Outcome outcome)
{
    using mb::Outcome;
    switch (outcome) {
    case Outcome::Timeout:
    case Outcome::CrcError:
    case Outcome::Incomplete:
    case Outcome::WrongStation:
    case Outcome::WrongFunction:
    case Outcome::Mismatch:
        return true;
    default:
        return false;
    }
}

int RestoreSummary::Count(WriteReport::Kind kind) const
{
    return static_cast<int>(std::count_if(reports.begin(), reports.end(),
                                          [kind](const WriteReport& r) { return r.kind == kind; }));
}

QString RestoreSummary::Text() const
{
    QStringList lines;
    auto codesOf = [this](WriteReport::Kind kind) {
        QList<int> codes;
        for (const WriteReport& r : reports)
            if (r.kind == kind)
                codes.append(r.code);
        return codes;
    };
    auto withText = [this](WriteReport::Kind kind) {
        QStringList items;
        for (const WriteReport& r : reports) {
            if (r.kind != kind)
                continue;
            const ParameterInfo* p = FindParameter(r.code);
            items.append(SetTexts::tr("%1（%2）").arg(p ? p->codeText : QString::number(r.code), r.Text()));
        }
        return items.join(SetTexts::tr("、"));
    };
    const QList<int> verified = codesOf(WriteReport::Verified);
    lines.append(verified.isEmpty()
                     ? SetTexts::tr("已写入并校验 0 个参数")
                     : SetTexts::tr("已写入并校验 %1 个参数：%2").arg(verified.size()).arg(Codes(verified)));
    if (const int n = Count(WriteReport::Refused))
        lines.append(SetTexts::tr("被拒绝 %1 个：%2").arg(n).arg(withText(WriteReport::Refused)));
    if (const int n = Count(WriteReport::Mismatch))
        lines.append(SetTexts::tr("读回不符 %1 个：%2").arg(n).arg(withText(WriteReport::Mismatch)));
    if (const int n = Count(WriteReport::Failed))
        lines.append(SetTexts::tr("写入失败 %1 个：%2").arg(n).arg(withText(WriteReport::Failed)));
    QList<int> unsure;
    for (const WriteReport& r : reports)
        if (r.kind == WriteReport::PortLost || r.kind == WriteReport::Cancelled)
            unsure.append(r.code);
    if (!unsure.isEmpty())
        lines.append(SetTexts::tr("写入未确认 %1 个：%2").arg(unsure.size()).arg(Codes(unsure)));
    lines.append(SetTexts::tr("未改变 %1 个（与文件相同）").arg(unchanged));
    if (readOnly > 0)
        lines.append(SetTexts::tr("只读参数 %1 个，未写入").arg(readOnly));
    if (unread > 0)
        lines.append(SetTexts::tr("未能读取 %1 个，未写入").arg(unread));
    if (!stopReason.isEmpty()) {
        lines.append(notWritten.isEmpty() ? SetTexts::tr("已停止：%1").arg(stopReason)
                                          : SetTexts::tr("已停止：%1；未写入 %2 个：%3")
                                                .arg(stopReason)
                                                .arg(notWritten.size())
                                                .arg(Codes(notWritten)));
    }
    return lines.join(u'\n');
}

} // namespace kv

#include "app/commandline.h"

#include "app/parameterrun.h"
#include "drive/catalogue.h"
#include "drive/paramset.h"
#include "drive/paramsetfile.h"
#include "drive/paramsetrunner.h"

#include <QCommandLineParser>
#include <QSet>
#include <QTextStream>

#include <functional>
#include <memory>

namespace kv {

namespace {

using Stop = ParameterSetRunner::Stop;

// The codes of the catalogue's parameters that `wanted` holds, in catalogue order.
template <typename Set>
QList<int> InCatalogueOrder(const Set& wanted)
{
    QList<int> codes;
    for (const ParameterInfo& p : ParameterTable())
        if (wanted.contains(p.code))
            codes.append(p.code);
    return codes;
}

// "2202\t加速时间1": how every result line starts.
QString Named(const ParameterInfo& p)
{
    return p.codeText + u'\t' + p.ShownName();
}

// The exit code once writing ended: 3 when the line failed a write or the work
// stopped, 1 when a parameter was refused or read back otherwise, else 0.
int WritingExit(const RestoreSummary& summary, Stop stop)
{
    if (stop != Stop::Done || summary.Count(WriteReport::Failed) > 0)
        return kExitLine;
    return summary.Count(WriteReport::Verified) == summary.reports.size() ? kExitOk : kExitDifferences;
}

// ---- the parameter-set file of backup, compare and restore ---------------------

void DeclareFile(QCommandLineParser& parser)
{
    parser.addPositionalArgument(QStringLiteral("FILE.csv"), CommandLineTexts::tr("参数集文件。"));
}

// The one file the command names; nothing after telling the mistake.
std::optional<QString> OneFile(const QCommandLineParser& parser, CommandConsole& console)
{
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        console.Usage(CommandLineTexts::tr("应给出一个参数集文件"));
        return std::nullopt;
    }
    return positional[0];
}

// The values of the file the command names, read whole before the port is
// opened; nothing after telling what is wrong with it.
std::optional<QMap<int, quint16>> LoadFile(const QCommandLineParser& parser, CommandConsole& console)
{
    const std::optional<QString> file = OneFile(parser, console);
    if (!file)
        return std::nullopt;
    const ParameterSetLoad load = LoadParameterSetFile(*file);
    if (!load.Ok()) {
        console.Error(CommandLineTexts::tr("%1：%2").arg(*file, load.error));
        return std::nullopt;
    }
    return load.values;
}

// ---- work that begins by reading ------------------------------------------------

// Reads the parameters of the codes (in catalogue order), then makes the
// command's result of them; a read cut short by the line ends it with exit 3.
class ReadingWork : public LineWork {
    Q_DECLARE_TR_FUNCTIONS(kv::CommandLine)
public:
    ReadingWork(CommandConsole& console, QList<int> codes)
        : m_console(console)
        , m_codes(std::move(codes))
    {
    }

    void Start(ParameterSetRunner& runner) override { runner.Read(m_codes); }

    std::optional<int> Finished(ParameterSetRunner& runner, Stop stop) override
    {
        if (stop == Stop::Done)
            return AllRead(runner);
        int read = 0;
        for (int code : m_codes)
            read += runner.Readings().value(code).IsRead() ? 1 : 0;
        m_console.Error(tr("读取中断：%1（已读取 %2 / %3 个参数）%4")
                            .arg(ParameterSetRunner::StopText(stop))
                            .arg(read)
                            .arg(m_codes.size())
                            .arg(CutShortNote()));
        return kExitLine;
    }

protected:
    // Every parameter read that could be: the command's result.
    virtual std::optional<int> AllRead(ParameterSetRunner& runner) = 0;
    // What a read cut short means for the command, added to its error.
    virtual QString CutShortNote() const { return QString(); }

    static QString NotRead(const ParameterInfo& p, const Reading& r)
    {
        return tr("%1 %2：未能读取（%3）").arg(p.codeText, p.ShownName(), r.error);
    }

    // Tells each parameter that could not be read; returns how many.
    int WarnUnread(const ParameterSetRunner& runner)
    {
        int unread = 0;
        for (int code : m_codes) {
            const Reading r = runner.Readings().value(code);
            if (!r.IsRead()) {
                m_console.Error(NotRead(*FindParameter(code), r));
                ++unread;
            }
        }
        return unread;
    }

    CommandConsole& m_console;
    const QList<int> m_codes;
};

// ---- backup ----------------------------------------------------------------------

// Every parameter into a new file; 1 when some could not be read.
class Backup final : public ReadingWork {
    Q_DECLARE_TR_FUNCTIONS(kv::CommandLine)
public:
    Backup(CommandConsole& console, QString file)
        : ReadingWork(console, CatalogueParameterCodes())
        , m_file(std::move(file))
    {
    }

private:
    QString CutShortNote() const override { return tr("，未保存文件"); }

    std::optional<int> AllRead(ParameterSetRunner& runner) override
    {
        QMap<int, quint16> values;
        for (int code : m_codes) {
            const Reading r = runner.Readings().value(code);
            if (r.IsRead())
                values.insert(code, r.value);
        }
        const int unread = WarnUnread(runner);
        QString error;
        if (!SaveParameterSetFile(m_file, values, &error)) {
            m_console.Error(tr("无法保存 %1：%2").arg(m_file, error));
            return kExitUsage;
        }
        m_console.Out() << tr("已保存 %1 个参数到 %2").arg(values.size()).arg(m_file) << Qt::endl;
        return unread > 0 ? kExitDifferences : kExitOk;
    }

    const QString m_file;
};

std::unique_ptr<LineWork> MakeBackup(const QCommandLineParser& parser, CommandConsole& console)
{
    const std::optional<QString> file = OneFile(parser, console);
    if (!file)
        return nullptr;
    return std::make_unique<Backup>(console, *file);
}

// ---- compare ---------------------------------------------------------------------

// The drive against the file's parameters; 1 when some differ.
class Compare final : public ReadingWork {
    Q_DECLARE_TR_FUNCTIONS(kv::CommandLine)
public:
    Compare(CommandConsole& console, QMap<int, quint16> file)
        : ReadingWork(console, InCatalogueOrder(file))
        , m_file(std::move(file))
    {
    }

private:
    std::optional<int> AllRead(ParameterSetRunner& runner) override
    {
        int differ = 0;
        for (int code : m_codes) {
            const ParameterInfo* p = FindParameter(code);
            const Reading r = runner.Readings().value(code);
            if (!Differs(*p, r, m_file.value(code)))
                continue;
            m_console.Out() << Named(*p) << u'\t' << tr("驱动器 %1").arg(r.value) << u'\t'
                            << tr("文件 %1").arg(m_file.value(code)) << Qt::endl;
            ++differ;
        }
        WarnUnread(runner);
        if (differ == 0)
            m_console.Out() << tr("驱动器与文件相同（比较了 %1 个参数）").arg(m_codes.size()) << Qt::endl;
        else
            m_console.Out() << tr("%1 个参数不同").arg(differ) << Qt::endl;
        return differ > 0 ? kExitDifferences : kExitOk;
    }

    const QMap<int, quint16> m_file;
};

std::unique_ptr<LineWork> MakeCompare(const QCommandLineParser& parser, CommandConsole& console)
{
    std::optional<QMap<int, quint16>> file = LoadFile(parser, console);
    if (!file)
        return nullptr;
    return std::make_unique<Compare>(console, std::move(*file));
}

// ---- restore ---------------------------------------------------------------------

const QString kDryRunOption = QStringLiteral("dry-run");

// Reads the file's parameters, then writes what differs (9902 first) or, with
// --dry-run, lists it (1 when something would be written).
class Restore final : public ReadingWork {
    Q_DECLARE_TR_FUNCTIONS(kv::CommandLine)
public:
    Restore(CommandConsole& console, QMap<int, quint16> file, bool dryRun)
        : ReadingWork(console, InCatalogueOrder(file))
        , m_file(std::move(file))
        , m_dryRun(dryRun)
    {
    }

    std::optional<int> Finished(ParameterSetRunner& runner, Stop stop) override
    {
        if (!m_writing)
            return ReadingWork::Finished(runner, stop);
        m_console.Out() << runner.Summary().Text() << Qt::endl;
        return WritingExit(runner.Summary(), stop);
    }

private:
    std::optional<int> AllRead(ParameterSetRunner& runner) override
    {
        const QMap<int, Reading>& drive = runner.Readings();
        const QList<WriteStep> plan = PlanRestore(m_file, drive);
        WarnUnread(runner);
        if (plan.isEmpty()) {
            m_console.Out() << tr("驱动器与文件相同，无需写入") << Qt::endl;
            return kExitOk;
        }
        if (m_dryRun) {
            for (const WriteStep& s : plan)
                m_console.Out() << Named(*FindParameter(s.code)) << u'\t' << s.driveValue << QStringLiteral(" -> ")
                                << s.value << Qt::endl;
            m_console.Out() << tr("将写入 %1 个参数（--dry-run：未写入）").arg(plan.size()) << Qt::endl;
            return kExitDifferences;
        }
        m_writing = true;
        runner.Restore(m_file, drive);
        return std::nullopt;
    }

    const QMap<int, quint16> m_file;
    const bool m_dryRun;
    bool m_writing = false;
};

void DeclareRestore(QCommandLineParser& parser)
{
    parser.addOption({kDryRunOption, CommandLineTexts::tr("只列出将写入的参数，不写入。")});
    DeclareFile(parser);
}

std::unique_ptr<LineWork> MakeRestore(const QCommandLineParser& parser, CommandConsole& console)
{
    std::optional<QMap<int, quint16>> file = LoadFile(parser, console);
    if (!file)
        return nullptr;
    return std::make_unique<Restore>(console, std::move(*file), parser.isSet(kDryRunOption));
}

// ---- read ------------------------------------------------------------------------

// The parameters as given, a line each; 1 when some could not be read.
class Read final : public ReadingWork {
public:
    Read(CommandConsole& console, QList<int> given)
        : ReadingWork(console, InCatalogueOrder(QSet<int>(given.begin(), given.end())))
        , m_given(std::move(given))
    {
    }

private:
    std::optional<int> AllRead(ParameterSetRunner& runner) override
    {
        int unread = 0;
        for (int code : m_given) {
            const ParameterInfo* p = FindParameter(code);
            const Reading r = runner.Readings().value(code);
            if (r.IsRead()) {
                m_console.Out() << Named(*p) << u'\t' << r.value << Qt::endl;
            } else {
                m_console.Error(NotRead(*p, r));
                ++unread;
            }
        }
        return unread > 0 ? kExitDifferences : kExitOk;
    }

    const QList<int> m_given;  // in the order given, repeats kept
};

void DeclareRead(QCommandLineParser& parser)
{
    parser.addPositionalArgument(QStringLiteral("CODE"), CommandLineTexts::tr("参数代码，如 9906。"),
                                 QStringLiteral("CODE..."));
}

std::unique_ptr<LineWork> MakeRead(const QCommandLineParser& parser, CommandConsole& console)
{
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        console.Usage(CommandLineTexts::tr("缺少参数代码"));
        return nullptr;
    }
    QList<int> codes;
    for (const QString& arg : positional) {
        const std::optional<int> code = ParseParameterCode(arg);
        const ParameterInfo* p = code ? FindParameter(*code) : nullptr;
        if (!p) {
            console.Usage(CommandLineTexts::tr("没有这个参数代码：%1").arg(arg));
            return nullptr;
        }
        codes.append(p->code);
    }
    return std::make_unique<Read>(console, codes);
}

// ---- write -----------------------------------------------------------------------

// The values as given, each read back.
class Write final : public LineWork {
    Q_DECLARE_TR_FUNCTIONS(kv::CommandLine)
public:
    Write(CommandConsole& console, QList<WriteStep> steps)
        : m_console(console)
        , m_steps(std::move(steps))
    {
    }

    void Start(ParameterSetRunner& runner) override { runner.Write(m_steps); }

    std::optional<int> Finished(ParameterSetRunner& runner, Stop stop) override
    {
        if (stop != Stop::Done)
            m_console.Error(tr("写入中断：%1").arg(ParameterSetRunner::StopText(stop)));
        return WritingExit(runner.Summary(), stop);
    }

private:
    CommandConsole& m_console;
    const QList<WriteStep> m_steps;
};

void DeclareWrite(QCommandLineParser& parser)
{
    parser.addPositionalArgument(QStringLiteral("CODE=VALUE"), CommandLineTexts::tr("参数代码和新值，如 2202=100。"),
                                 QStringLiteral("CODE=VALUE..."));
}

std::unique_ptr<LineWork> MakeWrite(const QCommandLineParser& parser, CommandConsole& console)
{
    auto refuse = [&console](const QString& why) {
        console.Usage(why);
        return nullptr;
    };
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return refuse(CommandLineTexts::tr("缺少 CODE=VALUE"));
    QList<WriteStep> steps;
    QSet<int> seen;
    for (const QString& arg : positional) {
        const QString codeText = arg.section(u'=', 0, 0);
        const QString valueText = arg.section(u'=', 1);
        const std::optional<int> code = ParseParameterCode(codeText);
        const ParameterInfo* p = code ? FindParameter(*code) : nullptr;
        if (!p)
            return refuse(CommandLineTexts::tr("没有这个参数代码：%1").arg(codeText));
        if (!arg.contains(u'='))
            return refuse(CommandLineTexts::tr("应为 CODE=VALUE：%1").arg(arg));
        if (!p->Writable())
            return refuse(
                CommandLineTexts::tr("参数 %1 %2 只读：%3").arg(p->codeText, p->ShownName(), p->ReadOnlyText()));
        const std::optional<quint16> value = ParseRegisterValue(valueText);
        if (!value)
            return refuse(CommandLineTexts::tr("参数 %1 的值应为 -32768..65535 的整数或 0x 十六进制数：%2")
                              .arg(p->codeText, valueText));
        if (seen.contains(p->code))
            return refuse(CommandLineTexts::tr("参数 %1 写了两次").arg(p->codeText));
        seen.insert(p->code);
        steps.append(WriteStep{p->code, *value, 0});
    }
    return std::make_unique<Write>(console, steps);
}

// ---- a row of the table ----------------------------------------------------------

// Reads a command's own options and arguments and makes its work; nothing
// when they are wrong (told on the console).
using MakeWork = std::unique_ptr<LineWork> (*)(const QCommandLineParser&, CommandConsole&);

// A parameter command: the line options and its own declared; when it runs,
// the line options and its own read, then its work done on the line.
SubCommand ParameterCommand(const char* name, const QString& summary, const QString& description,
                            void (*declareOwn)(QCommandLineParser&), MakeWork make)
{
    const QString command = QString::fromLatin1(name);
    auto declare = [description, declareOwn](QCommandLineParser& parser) {
        parser.setApplicationDescription(description);
        DeclareLineOptions(parser);
        declareOwn(parser);
    };
    auto run = [command, make](const QCommandLineParser& parser, QTextStream& out, QTextStream& err) -> int {
        CommandConsole console(command, out, err);
        const std::optional<LineOptions> line = ReadLineOptions(parser, console);
        if (!line)
            return kExitUsage;
        const std::unique_ptr<LineWork> work = make(parser, console);
        if (!work)
            return kExitUsage;
        return RunOnLine(*line, console, *work);
    };
    return SubCommand{command, summary, declare, run};
}

} // namespace

std::vector<SubCommand> ParameterCommands()
{
    return {
        ParameterCommand("backup", CommandLineTexts::tr("读取全部参数，保存为参数集文件"),
                         CommandLineTexts::tr("读取驱动器的全部参数，保存为参数集文件。"), DeclareFile, MakeBackup),
        ParameterCommand(
            "compare", CommandLineTexts::tr("比较驱动器与参数集文件"),
            CommandLineTexts::tr("比较驱动器与参数集文件，列出不同的参数；没有不同时退出码为 0，有不同时为 1。"),
            DeclareFile, MakeCompare),
        ParameterCommand("restore", CommandLineTexts::tr("把参数集文件中不同的参数写入驱动器"),
                         CommandLineTexts::tr("把参数集文件中与驱动器不同的可写参数写入驱动器（先 9902，再 99 组，"
                                              "再其他各组），每个写入后读回校验；--dry-run 只列出。"),
                         DeclareRestore, MakeRestore),
        ParameterCommand("read", CommandLineTexts::tr("读取参数"),
                         CommandLineTexts::tr("读取参数，输出代码、名称和值。"), DeclareRead, MakeRead),
        ParameterCommand("write", CommandLineTexts::tr("写入参数"),
                         CommandLineTexts::tr("写入参数（十进制 -32768..65535 或 0x 十六进制），每个写入后读回校验。"),
                         DeclareWrite, MakeWrite),
    };
}

} // namespace kv

#include "app/commandline.h"

#include "drive/paramset.h"
#include "drive/paramsetfile.h"
#include "drive/paramsetrunner.h"
#include "modbus/engine.h"
#include "serial/mscomm.h"
#include "serial/portopen.h"
#include "serial/portsettings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSet>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <memory>

#ifdef Q_OS_WIN
#include <io.h>
#define KV_ISATTY(f) _isatty(_fileno(f))
#else
#include <unistd.h>
#define KV_ISATTY(f) isatty(fileno(f))
#endif

namespace kv {

namespace {

const char* const kCommands[] = {"backup", "compare", "restore", "read", "write"};

// One run of a sub-command: parse, open the port, do the work in the event
// loop, exit with its code.
class CommandRun : public QObject {
    Q_DECLARE_TR_FUNCTIONS(kv::CommandLine)
public:
    explicit CommandRun(QStringList args)
        : m_args(std::move(args))
        , m_out(stdout)
        , m_err(stderr)
        , m_barOnTerminal(KV_ISATTY(stderr) != 0)
    {
    }

    int Exec()
    {
        const int parsed = Parse();
        if (parsed >= 0)
            return parsed;
        if (!OpenPort())
            return kExitLine;
        m_engine = std::make_unique<mb::TransactionEngine>(m_comm.Line());
        m_runner = std::make_unique<ParameterSetRunner>(*m_engine);
        m_runner->SetStation(m_station);
        connect(m_runner.get(), &ParameterSetRunner::Progress, this, &CommandRun::OnProgress);
        connect(m_runner.get(), &ParameterSetRunner::ParameterWritten, this, &CommandRun::OnWritten);
        connect(m_runner.get(), &ParameterSetRunner::Finished, this, &CommandRun::OnFinished);
        if (m_command == u"write")
            StartWriting(m_writes);
        else
            m_runner->Read(m_readCodes);
        const int code = QCoreApplication::exec();
        m_runner.reset();
        m_engine.reset();
        m_comm.setPortOpen(false);
        return code;
    }

private:
    static QString Describe(const QString& command)
    {
        if (command == u"backup")
            return tr("读取驱动器的全部参数，保存为参数集文件。");
        if (command == u"compare")
            return tr("比较驱动器与参数集文件，列出不同的参数；没有不同时退出码为 0，有不同时为 1。");
        if (command == u"restore")
            return tr("把参数集文件中与驱动器不同的可写参数写入驱动器（先 9902，再 99 组，再其他各组），"
                      "每个写入后读回校验；--dry-run 只列出。");
        if (command == u"read")
            return tr("读取参数，输出代码、名称和值。");
        return tr("写入参数（十进制 -32768..65535 或 0x 十六进制），每个写入后读回校验。");
    }

    // -1 to go on, else the exit code.
    int Parse()
    {
        m_command = m_args.value(1);
        QCommandLineParser parser;
        parser.setApplicationDescription(Describe(m_command));
        const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, tr("显示帮助。"));
        const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, tr("显示版本。"));
        const QCommandLineOption port(QStringLiteral("port"), tr("串口：COM n、设备路径（/dev/ttyUSB0）或系统端口名。"),
                                      QStringLiteral("DEV"));
        const QCommandLineOption station(QStringLiteral("station"), tr("驱动器站号 1..247（默认 1）。"),
                                         QStringLiteral("N"), QStringLiteral("1"));
        const QCommandLineOption baud(QStringLiteral("baud"), tr("波特率（默认 9600）。"), QStringLiteral("B"),
                                      QStringLiteral("9600"));
        const QCommandLineOption parity(QStringLiteral("parity"), tr("校验位 N、E 或 O（默认 N）。"),
                                        QStringLiteral("N|E|O"), QStringLiteral("N"));
        const QCommandLineOption dryRun(QStringLiteral("dry-run"), tr("只列出将写入的参数，不写入。"));
        parser.addOptions({help, version, port, station, baud, parity});
        if (m_command == u"restore")
            parser.addOption(dryRun);
        if (m_command == u"read")
            parser.addPositionalArgument(QStringLiteral("CODE"), tr("参数代码，如 9906。"), QStringLiteral("CODE..."));
        else if (m_command == u"write")
            parser.addPositionalArgument(QStringLiteral("CODE=VALUE"), tr("参数代码和新值，如 2202=100。"),
                                         QStringLiteral("CODE=VALUE..."));
        else
            parser.addPositionalArgument(QStringLiteral("FILE.csv"), tr("参数集文件。"));

        QStringList rest = m_args;
        rest.removeAt(1);
        if (!parser.parse(rest))
            return Usage(parser.errorText());
        if (parser.isSet(help)) {
            QString text = parser.helpText();
            text.replace(QStringLiteral(" [options]"), u' ' + m_command + QStringLiteral(" [options]"));
            m_out << text;
            return kExitOk;
        }
        if (parser.isSet(version)) {
            m_out << QCoreApplication::applicationName() << u' ' << QCoreApplication::applicationVersion() << Qt::endl;
            return kExitOk;
        }
        m_port = parser.value(port);
        if (m_port.trimmed().isEmpty())
            return Usage(tr("缺少 --port"));
        bool ok = false;
        const int n = parser.value(station).toInt(&ok);
        if (!ok || n < 1 || n > 247)
            return Usage(tr("站号应为 1..247：%1").arg(parser.value(station)));
        m_station = static_cast<quint8>(n);
        const int b = parser.value(baud).toInt(&ok);
        if (!ok || b <= 0)
            return Usage(tr("波特率应为正整数：%1").arg(parser.value(baud)));
        const QString p = parser.value(parity).toUpper();
        if (p != u"N" && p != u"E" && p != u"O")
            return Usage(tr("校验位应为 N、E 或 O：%1").arg(parser.value(parity)));
        m_settings = QStringLiteral("%1,%2,8,1").arg(b).arg(p);
        m_dryRun = m_command == u"restore" && parser.isSet(dryRun);
        return ParseTargets(parser.positionalArguments());
    }

    int ParseTargets(const QStringList& positional)
    {
        if (m_command == u"read" || m_command == u"write") {
            if (positional.isEmpty())
                return Usage(m_command == u"read" ? tr("缺少参数代码") : tr("缺少 CODE=VALUE"));
            QSet<int> seen;
            for (const QString& arg : positional) {
                const QString codeText = m_command == u"write" ? arg.section(u'=', 0, 0) : arg;
                const std::optional<int> code = ParseParameterCode(codeText);
                const ParameterInfo* p = code ? FindParameter(*code) : nullptr;
                if (!p)
                    return Usage(tr("没有这个参数代码：%1").arg(codeText));
                if (m_command == u"read") {
                    m_order.append(p->code);
                    seen.insert(p->code);
                    continue;
                }
                if (!arg.contains(u'='))
                    return Usage(tr("应为 CODE=VALUE：%1").arg(arg));
                if (!p->Writable())
                    return Usage(tr("参数 %1 %2 只读：%3").arg(p->codeText, p->ShownName(), p->ReadOnlyText()));
                const std::optional<quint16> value = ParseRegisterValue(arg.section(u'=', 1));
                if (!value)
                    return Usage(tr("参数 %1 的值应为 -32768..65535 的整数或 0x 十六进制数：%2")
                                     .arg(p->codeText, arg.section(u'=', 1)));
                if (seen.contains(p->code))
                    return Usage(tr("参数 %1 写了两次").arg(p->codeText));
                seen.insert(p->code);
                m_writes.append(WriteStep{p->code, *value, 0});
            }
            if (m_command == u"read") {
                for (const ParameterInfo& p : ParameterTable())
                    if (seen.contains(p.code))
                        m_readCodes.append(p.code);
            }
            return -1;
        }
        if (positional.size() != 1)
            return Usage(tr("应给出一个参数集文件"));
        m_file = positional[0];
        if (m_command == u"backup") {
            for (const ParameterInfo& p : ParameterTable())
                m_readCodes.append(p.code);
            return -1;
        }
        const ParameterSetLoad load = LoadParameterSetFile(m_file);
        if (!load.Ok()) {
            Error(tr("%1：%2").arg(m_file, load.error));
            return kExitUsage;
        }
        m_fileValues = load.values;
        for (const ParameterInfo& p : ParameterTable())
            if (m_fileValues.contains(p.code))
                m_readCodes.append(p.code);
        return -1;
    }

    int Usage(const QString& why)
    {
        Error(tr("%1（见 %2 %3 --help）").arg(why, QCoreApplication::applicationName(), m_command));
        return kExitUsage;
    }

    bool OpenPort()
    {
        const PortTarget target = ResolvePortText(m_port);
        try {
            switch (target.kind) {
            case PortTarget::Device: m_comm.setPortDevice(target.device); break;
            case PortTarget::Number: m_comm.setCommPort(target.number); break;
            case PortTarget::Invalid: throw CommError(CommError::InvalidPortNumber, tr("没有这个串口"));
            }
            m_comm.setSettings(m_settings);
            m_comm.setInputMode(1);
            m_comm.setRThreshold(1);
            m_comm.setPortOpen(true);
        } catch (const std::exception& e) {
            Error(tr("无法打开串口 %1：%2").arg(m_port, QString::fromStdString(e.what())));
            return false;
        }
        return true;
    }

    // ---- the work ----------------------------------------------------------

    void OnProgress(ParameterSetRunner::Phase phase, int done, int total)
    {
        if (done == 0)
            m_phaseClock.start();
        const bool last = done >= total;
        if (m_barClock.isValid() && m_barClock.elapsed() < (m_barOnTerminal ? 100 : 1000) && !last)
            return;
        m_barClock.start();
        const QString label = phase == ParameterSetRunner::Phase::Reading ? tr("读取") : tr("写入");
        QString left;
        if (done > 0 && !last) {
            const double seconds = static_cast<double>(m_phaseClock.elapsed()) / done * (total - done) / 1000.0;
            left = QStringLiteral("  ") + tr("约剩 %1 秒").arg(std::max(1.0, std::ceil(seconds)));
        }
        if (!m_barOnTerminal) {
            m_err << label << u' ' << done << u'/' << total << left << Qt::endl;
            return;
        }
        constexpr int kWidth = 30;
        const int filled = total > 0 ? done * kWidth / total : kWidth;
        m_err << u'\r' << label << QStringLiteral(" [") << QString(filled, u'#') << QString(kWidth - filled, u'-')
              << QStringLiteral("] ") << done << u'/' << total << left << QStringLiteral("\x1b[K") << Qt::flush;
        m_barShown = true;
    }

    void EndBar()
    {
        if (m_barShown)
            m_err << Qt::endl;
        m_barShown = false;
        m_barClock.invalidate();
    }

    void OnWritten(const WriteReport& report)
    {
        EndBar();
        const ParameterInfo* p = FindParameter(report.code);
        m_out << p->codeText << u'\t' << p->ShownName() << u'\t' << report.value << u'\t' << report.Text() << Qt::endl;
    }

    void OnFinished(ParameterSetRunner::Stop stop)
    {
        EndBar();
        if (m_writing) {
            Done(WriteExit(stop));
            return;
        }
        if (stop != ParameterSetRunner::Stop::Done) {
            int read = 0;
            for (int code : m_readCodes)
                read += m_runner->Readings().value(code).IsRead() ? 1 : 0;
            Error(tr("读取中断：%1（已读取 %2 / %3 个参数）%4")
                      .arg(ParameterSetRunner::StopText(stop))
                      .arg(read)
                      .arg(m_readCodes.size())
                      .arg(m_command == u"backup" ? tr("，未保存文件") : QString()));
            Done(kExitLine);
            return;
        }
        if (m_command == u"backup")
            Done(FinishBackup());
        else if (m_command == u"compare")
            Done(FinishCompare());
        else if (m_command == u"read")
            Done(FinishRead());
        else if (m_command == u"write")
            StartWriting(m_writes);
        else
            FinishReadForRestore();
    }

    int UnreadWarnings()
    {
        int unread = 0;
        for (int code : m_readCodes) {
            const Reading r = m_runner->Readings().value(code);
            if (r.IsRead())
                continue;
            const ParameterInfo* p = FindParameter(code);
            Error(tr("%1 %2：未能读取（%3）").arg(p->codeText, p->ShownName(), r.error));
            ++unread;
        }
        return unread;
    }

    int FinishBackup()
    {
        QMap<int, quint16> values;
        for (int code : m_readCodes) {
            const Reading r = m_runner->Readings().value(code);
            if (r.IsRead())
                values.insert(code, r.value);
        }
        const int unread = UnreadWarnings();
        QString error;
        if (!SaveParameterSetFile(m_file, values, &error)) {
            Error(tr("无法保存 %1：%2").arg(m_file, error));
            return kExitUsage;
        }
        m_out << tr("已保存 %1 个参数到 %2").arg(values.size()).arg(m_file) << Qt::endl;
        return unread > 0 ? kExitDifferences : kExitOk;
    }

    int FinishCompare()
    {
        int differ = 0;
        for (int code : m_readCodes) {
            const ParameterInfo* p = FindParameter(code);
            const Reading r = m_runner->Readings().value(code);
            if (!Differs(*p, r, m_fileValues.value(code)))
                continue;
            m_out << p->codeText << u'\t' << p->ShownName() << u'\t' << tr("驱动器 %1").arg(r.value) << u'\t'
                  << tr("文件 %1").arg(m_fileValues.value(code)) << Qt::endl;
            ++differ;
        }
        UnreadWarnings();
        if (differ == 0)
            m_out << tr("驱动器与文件相同（比较了 %1 个参数）").arg(m_readCodes.size()) << Qt::endl;
        else
            m_out << tr("%1 个参数不同").arg(differ) << Qt::endl;
        return differ > 0 ? kExitDifferences : kExitOk;
    }

    int FinishRead()
    {
        int unread = 0;
        for (int code : m_order) {
            const ParameterInfo* p = FindParameter(code);
            const Reading r = m_runner->Readings().value(code);
            if (r.IsRead()) {
                m_out << p->codeText << u'\t' << p->ShownName() << u'\t' << r.value << Qt::endl;
            } else {
                Error(tr("%1 %2：未能读取（%3）").arg(p->codeText, p->ShownName(), r.error));
                ++unread;
            }
        }
        return unread > 0 ? kExitDifferences : kExitOk;
    }

    void FinishReadForRestore()
    {
        const QMap<int, Reading>& drive = m_runner->Readings();
        const QList<WriteStep> plan = PlanRestore(m_fileValues, drive);
        UnreadWarnings();
        if (plan.isEmpty()) {
            m_out << tr("驱动器与文件相同，无需写入") << Qt::endl;
            Done(kExitOk);
            return;
        }
        if (m_dryRun) {
            for (const WriteStep& s : plan) {
                const ParameterInfo* p = FindParameter(s.code);
                m_out << p->codeText << u'\t' << p->ShownName() << u'\t' << s.driveValue << QStringLiteral(" -> ") << s.value
                      << Qt::endl;
            }
            m_out << tr("将写入 %1 个参数（--dry-run：未写入）").arg(plan.size()) << Qt::endl;
            Done(kExitDifferences);
            return;
        }
        m_writing = true;
        m_runner->Restore(m_fileValues, drive);
    }

    void StartWriting(const QList<WriteStep>& steps)
    {
        m_writing = true;
        m_runner->Write(steps);
    }

    int WriteExit(ParameterSetRunner::Stop stop)
    {
        const RestoreSummary& summary = m_runner->Summary();
        if (m_command == u"restore")
            m_out << summary.Text() << Qt::endl;
        else if (stop != ParameterSetRunner::Stop::Done)
            Error(tr("写入中断：%1").arg(ParameterSetRunner::StopText(stop)));
        if (stop != ParameterSetRunner::Stop::Done || summary.Count(WriteReport::Failed) > 0)
            return kExitLine;
        return summary.Count(WriteReport::Verified) == summary.reports.size() ? kExitOk : kExitDifferences;
    }

    void Done(int code)
    {
        m_out.flush();
        m_err.flush();
        QCoreApplication::exit(code);
    }

    // One line: "kolven-assistant backup：…".
    void Error(const QString& line)
    {
        EndBar();
        m_err << tr("%1 %2：%3").arg(QCoreApplication::applicationName(), m_command, line) << Qt::endl;
    }

    QStringList m_args;
    QTextStream m_out;
    QTextStream m_err;
    bool m_barOnTerminal = false;
    bool m_barShown = false;
    QElapsedTimer m_barClock;
    QElapsedTimer m_phaseClock;

    QString m_command;
    QString m_port;
    QString m_settings;
    quint8 m_station = 1;
    bool m_dryRun = false;
    QString m_file;
    QMap<int, quint16> m_fileValues;
    QList<int> m_readCodes;  // in catalogue order
    QList<int> m_order;      // read: as given
    QList<WriteStep> m_writes;
    bool m_writing = false;

    MSComm m_comm;
    std::unique_ptr<mb::TransactionEngine> m_engine;
    std::unique_ptr<ParameterSetRunner> m_runner;
};

} // namespace

QStringList ParameterCommandNames()
{
    QStringList names;
    for (const char* c : kCommands)
        names.append(QString::fromLatin1(c));
    return names;
}

QString ParameterCommandSummary(const QString& name)
{
    if (name == u"backup")
        return QCoreApplication::translate("kv::CommandLine", "读取全部参数，保存为参数集文件");
    if (name == u"compare")
        return QCoreApplication::translate("kv::CommandLine", "比较驱动器与参数集文件");
    if (name == u"restore")
        return QCoreApplication::translate("kv::CommandLine", "把参数集文件中不同的参数写入驱动器");
    if (name == u"read")
        return QCoreApplication::translate("kv::CommandLine", "读取参数");
    return QCoreApplication::translate("kv::CommandLine", "写入参数");
}

int RunParameterCommand(const QStringList& arguments)
{
    CommandRun run(arguments);
    return run.Exec();
}

} // namespace kv

#include "app/cli.h"

#include "app/commandline.h"
#include "app/language.h"
#include "app/scancommand.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <vector>

namespace kv {

namespace {

constexpr int kUsageError = 2;

// Qt's own options for the window, which QApplication takes from the command
// line: accepted here so that they still reach it.
constexpr const char* kQtValueOptions[] = {"platform", "platformpluginpath", "platformtheme", "plugin",
                                           "qwindowgeometry", "qwindowicon", "qwindowtitle", "session",
                                           "style", "stylesheet", "display", "geometry"};
constexpr const char* kQtFlagOptions[] = {"reverse", "widgetcount"};

int UsageError(QTextStream& err, const QString& who, const QString& what)
{
    err << who << ": " << what << '\n'
        << QCoreApplication::translate("kv::CommandLine", "用 %1 --help 查看用法。").arg(who) << '\n';
    return kUsageError;
}

QString CommandList(std::span<const SubCommand> commands)
{
    if (commands.empty())
        return {};
    QString text = u'\n' + QCoreApplication::translate("kv::CommandLine", "命令：") + u'\n';
    for (const SubCommand& c : commands)
        text += QStringLiteral("  %1  %2\n").arg(c.name, -12).arg(c.summary);
    return text;
}

int RunSubCommand(const SubCommand& command, const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(command.summary);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QCoreApplication::translate("kv::CommandLine", "显示帮助。"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QCoreApplication::translate("kv::CommandLine", "显示版本。"));
    parser.addOptions({help, version});
    if (command.declare)
        command.declare(parser);
    if (!parser.parse(QStringList{QCoreApplication::applicationName() + u' ' + command.name} + arguments))
        return SubCommandUsageError(err, command.name, parser.errorText());
    if (parser.isSet(help)) {
        // The usage line names the program; the sub-command follows it.
        QString text = parser.helpText();
        const QString program = QCoreApplication::arguments().value(0);
        const qsizetype at = text.indexOf(program);
        if (at >= 0)
            text.insert(at + program.size(), u' ' + command.name);
        out << text;
        return 0;
    }
    if (parser.isSet(version)) {
        out << QCoreApplication::applicationName() << u' ' << QCoreApplication::applicationVersion() << '\n';
        return 0;
    }
    return command.run(parser, out, err);
}

} // namespace

std::span<const SubCommand> SubCommands()
{
    // Each sub-command is one row here: the parameter work (backup, compare,
    // restore, read, write) and finding the drive (scan).
    static const std::vector<SubCommand> commands = [] {
        std::vector<SubCommand> all = ParameterCommands();
        all.push_back(ScanCommand());
        return all;
    }();
    return commands;
}

std::optional<int> RunCommandLine(const QStringList& arguments, std::span<const SubCommand> commands,
                                  QTextStream& out, QTextStream& err)
{
    if (arguments.size() <= 1)
        return std::nullopt;
    const QString who = QCoreApplication::applicationName();
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    parser.setApplicationDescription(QCoreApplication::translate(
        "kv::CommandLine", "KOLVEN调试助手：经串口（Modbus RTU）调试变频器。不带参数时打开主窗口。"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QCoreApplication::translate("kv::CommandLine", "显示此帮助。"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QCoreApplication::translate("kv::CommandLine", "显示版本。"));
    parser.addOption(help);
    parser.addOption(version);
    for (const char* name : kQtValueOptions) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char* name : kQtFlagOptions) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    if (!commands.empty())
        parser.addPositionalArgument(QStringLiteral("command"),
                                     QCoreApplication::translate("kv::CommandLine", "下列命令之一。"),
                                     QStringLiteral("[command]"));

    if (!parser.parse(arguments))
        return UsageError(err, who, parser.errorText());
    if (parser.isSet(help)) {
        out << parser.helpText() << CommandList(commands);
        return 0;
    }
    if (parser.isSet(version)) {
        out << who << u' ' << QCoreApplication::applicationVersion() << '\n';
        return 0;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty())
        return std::nullopt;
    for (const SubCommand& command : commands) {
        if (command.name == positional.first())
            return RunSubCommand(command, positional.mid(1), out, err);
    }
    return UsageError(err, who,
                      QCoreApplication::translate("kv::CommandLine", "没有命令“%1”。").arg(positional.first()));
}

std::optional<int> RunCommandLine(int& argc, char** argv)
{
    if (argc <= 1)
        return std::nullopt;
    // Parsing and the sub-commands need an application object; one without a
    // window, so that no display is needed.
    QCoreApplication app(argc, argv);
    InstallChosenLanguage();  // kept in the window's settings
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunCommandLine(QCoreApplication::arguments(), SubCommands(), out, err);
}

QString SubCommandMessage(const QString& command, const QString& text)
{
    return QCoreApplication::translate("kv::CommandLine", "%1 %2：%3")
        .arg(QCoreApplication::applicationName(), command, text);
}

int SubCommandUsageError(QTextStream& err, const QString& command, const QString& why)
{
    err << SubCommandMessage(command, QCoreApplication::translate("kv::CommandLine", "%1（见 %2 %3 --help）")
                                          .arg(why, QCoreApplication::applicationName(), command))
        << Qt::endl;
    return kUsageError;
}

} // namespace kv

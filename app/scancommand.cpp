#include "app/scancommand.h"

#include "app/commandline.h"
#include "app/parameterrun.h"
#include "modbus/engine.h"
#include "modbus/rtu.h"
#include "session/drivescanner.h"
#include "serial/transport.h"
#include "session/linesession.h"

#include <QCommandLineParser>
#include <QEventLoop>
#include <QTextStream>

namespace kv {

namespace {

const QString kScanPort = QStringLiteral("port");
const QString kScanStations = QStringLiteral("stations");
const QString kScanSweep = QStringLiteral("sweep");
const QString kScanBaud = QStringLiteral("baud");
const QString kScanParity = QStringLiteral("parity");
const QString kCommand = QStringLiteral("scan");

void Declare(QCommandLineParser& parser)
{
    parser.setApplicationDescription(CommandLineTexts::tr(
        "查找线路上的驱动器：按 --baud/--parity 的设置逐个站号查找，或用 --sweep 依次试所有波特率"
        "（1200..115200）和校验位（N、E、O）。每个应答的设备输出一行：站号、设置、应答时间和 33 组信息。"
        "有设备应答时退出码为 0，没有时为 1。"));
    parser.addOption({kScanPort, CommandLineTexts::tr("串口：COM n、设备路径（/dev/ttyUSB0）或系统端口名。"),
                      QStringLiteral("DEV")});
    parser.addOption({kScanStations, CommandLineTexts::tr("站号范围 A-B 或 N（默认 1-247，--sweep 时 1-4）。"),
                      QStringLiteral("A-B")});
    parser.addOption({kScanSweep, CommandLineTexts::tr("依次试所有波特率和校验位。")});
    parser.addOption(
        {kScanBaud, CommandLineTexts::tr("波特率（默认 9600）。"), QStringLiteral("B"), QStringLiteral("9600")});
    parser.addOption({kScanParity, CommandLineTexts::tr("校验位 N、E 或 O（默认 N）。"), QStringLiteral("N|E|O"),
                      QStringLiteral("N")});
}

// "3\t19200,E,8,1\t12 ms\t软件版本 0250，…"; behind a converter, whose line
// settings this end cannot see, the converter in their place.
QString DeviceLine(const FoundDevice& d, const Transport& line)
{
    QString what;
    if (d.identity)
        what = d.identity->Text();
    else if (d.exceptionCode)
        what = mb::ExceptionMessage(*d.exceptionCode);
    return QStringLiteral("%1\t%2\t%3 ms\t%4").arg(d.station)
        .arg(line.OwnsLineSettings() ? SettingsText(d.settings) : line.Description())
        .arg(d.replyMs).arg(what);
}

int Run(const QCommandLineParser& parser, QTextStream& out, QTextStream& err)
{
    CommandConsole console(kCommand, out, err);
    LineOptions line;
    line.port = parser.value(kScanPort);
    if (line.port.trimmed().isEmpty())
        return console.Usage(CommandLineTexts::tr("缺少 --port"));
    const bool sweep = parser.isSet(kScanSweep);
    const QString stationsText = parser.isSet(kScanStations) ? parser.value(kScanStations)
                                                               : QString::fromLatin1(sweep ? "1-4" : "1-247");
    const std::optional<StationRange> range = ParseStationRange(stationsText);
    if (!range)
        return console.Usage(CommandLineTexts::tr("站号范围应为 1..247 之间的 N 或 A-B：%1").arg(stationsText));
    bool ok = false;
    const QString baudText = parser.value(kScanBaud);
    const int baud = baudText.toInt(&ok);
    if (!ok || baud <= 0)
        return console.Usage(CommandLineTexts::tr("波特率应为正整数：%1").arg(baudText));
    const QString parityText = parser.value(kScanParity);
    const QString parity = parityText.toUpper();
    if (parity != u"N" && parity != u"E" && parity != u"O")
        return console.Usage(CommandLineTexts::tr("校验位应为 N、E 或 O：%1").arg(parityText));
    line.settings = QStringLiteral("%1,%2,8,1").arg(baud).arg(parity);

    const DriveLinePtr drive = OpenDriveLine(line, console);
    if (!drive)
        return kExitLine;
    LineSession& session = SessionOf(*drive);
    const LineSettings settings = session.Line().Settings();
    const ScanPlan plan = sweep ? ScanPlan::Sweep(settings, *range) : ScanPlan::Stations(settings, *range);
    DriveScanner scanner(session.Engine());
    QEventLoop loop;
    QObject::connect(&scanner, &DriveScanner::DeviceFound, &scanner,
                     [&console, &session](const FoundDevice& d) {
                         console.Out() << DeviceLine(d, session.Line()) << Qt::endl;
                     });
    QObject::connect(&scanner, &DriveScanner::Finished, &scanner, [&](DriveScanner::Stop stop) {
        int code = scanner.Found().isEmpty() ? kExitDifferences : kExitOk;
        if (stop == DriveScanner::Stop::PortLost || stop == DriveScanner::Stop::SettingsRefused) {
            console.Error(CommandLineTexts::tr("查找中止：%1").arg(scanner.StopText(stop)));
            code = kExitLine;
        } else if (scanner.Found().isEmpty()) {
            console.Error(CommandLineTexts::tr("没有设备应答（查找了 %1 次）").arg(plan.Count()));
        }
        console.Flush();
        loop.exit(code);
    });
    QString why;
    if (!scanner.Start(plan, &why)) {
        console.Error(why);
        return kExitLine;
    }
    return loop.exec();
}

} // namespace

SubCommand ScanCommand()
{
    return SubCommand{kCommand, CommandLineTexts::tr("查找线路上的驱动器（站号、波特率、校验位）"), Declare, Run};
}

} // namespace kv

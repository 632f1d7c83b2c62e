#include "app/parameterrun.h"

#include "app/cli.h"
#include "app/commandline.h"
#include "modbus/engine.h"
#include "serial/mscomm.h"
#include "serial/portopen.h"
#include "serial/transport.h"
#include "session/linesession.h"

#include <QCommandLineParser>
#include <QEventLoop>
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

const QString kPortOption = QStringLiteral("port");
const QString kStationOption = QStringLiteral("station");
const QString kBaudOption = QStringLiteral("baud");
const QString kParityOption = QStringLiteral("parity");

} // namespace

struct DriveLine {
    LineSession session;
    MSComm comm{session.Line()};

    ~DriveLine() { comm.setPortOpen(false); }
};

void DriveLineDeleter::operator()(DriveLine* line) const
{
    delete line;
}

LineSession& SessionOf(DriveLine& line)
{
    return line.session;
}

DriveLinePtr OpenDriveLine(const LineOptions& options, CommandConsole& console)
{
    DriveLinePtr drive(new DriveLine);
    const PortTarget target = ResolvePortText(options.port);
    try {
        switch (target.kind) {
        case PortTarget::Device:
        case PortTarget::Network: drive->comm.setPortDevice(target.device); break;
        case PortTarget::Number: drive->comm.setCommPort(target.number); break;
        case PortTarget::Invalid: throw CommError(CommError::InvalidPortNumber, CommandLineTexts::tr("没有这个串口"));
        }
        drive->comm.setSettings(options.settings);
        drive->comm.setInputMode(1);
        drive->comm.setRThreshold(1);
        drive->comm.setPortOpen(true);
    } catch (const std::exception& e) {
        console.Error(CommandLineTexts::tr("无法打开串口 %1：%2").arg(options.port, QString::fromStdString(e.what())));
        return nullptr;
    }
    // A converter's connection is made after the open; the commands start once
    // it is there (the line gives up on its own after its connect timeout).
    Transport& line = drive->session.Line();
    if (line.Connecting()) {
        QEventLoop wait;
        QString why;
        QObject::connect(&line, &Transport::Connected, &wait, [&wait] { wait.quit(); });
        QObject::connect(&line, &Transport::OpenFailed, &wait, [&wait, &why](const QString& reason) {
            why = reason;
            wait.quit();
        });
        wait.exec();
        if (!line.IsOpen()) {
            console.Error(CommandLineTexts::tr("无法打开串口 %1：%2").arg(options.port, why));
            return nullptr;
        }
    }
    return drive;
}

// ---- the console ---------------------------------------------------------------

CommandConsole::CommandConsole(QString command, QTextStream& out, QTextStream& err)
    : m_command(std::move(command))
    , m_out(out)
    , m_err(err)
    , m_barOnTerminal(KV_ISATTY(stderr) != 0)
{
}

void CommandConsole::Error(const QString& line)
{
    EndBar();
    m_err << SubCommandMessage(m_command, line) << Qt::endl;
}

int CommandConsole::Usage(const QString& why)
{
    EndBar();
    return SubCommandUsageError(m_err, m_command, why);
}

void CommandConsole::Progress(ParameterSetRunner::Phase phase, int done, int total)
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

void CommandConsole::EndBar()
{
    if (m_barShown)
        m_err << Qt::endl;
    m_barShown = false;
    m_barClock.invalidate();
}

void CommandConsole::Flush()
{
    m_out.flush();
    m_err.flush();
}

// ---- the line options ----------------------------------------------------------

void DeclareLineOptions(QCommandLineParser& parser)
{
    parser.addOption({kPortOption, CommandLineTexts::tr("串口：COM n、设备路径（/dev/ttyUSB0）或系统端口名；或串口服务器的网络地址（192.168.1.20:4001）。"),
                      QStringLiteral("DEV")});
    parser.addOption({kStationOption, CommandLineTexts::tr("驱动器站号 1..247（默认 1）。"), QStringLiteral("N"),
                      QStringLiteral("1")});
    parser.addOption(
        {kBaudOption, CommandLineTexts::tr("波特率（默认 9600）。"), QStringLiteral("B"), QStringLiteral("9600")});
    parser.addOption({kParityOption, CommandLineTexts::tr("校验位 N、E 或 O（默认 N）。"), QStringLiteral("N|E|O"),
                      QStringLiteral("N")});
}

std::optional<LineOptions> ReadLineOptions(const QCommandLineParser& parser, CommandConsole& console)
{
    LineOptions options;
    options.port = parser.value(kPortOption);
    if (options.port.trimmed().isEmpty()) {
        console.Usage(CommandLineTexts::tr("缺少 --port"));
        return std::nullopt;
    }
    bool ok = false;
    const QString stationText = parser.value(kStationOption);
    const int station = stationText.toInt(&ok);
    if (!ok || station < 1 || station > 247) {
        console.Usage(CommandLineTexts::tr("站号应为 1..247：%1").arg(stationText));
        return std::nullopt;
    }
    options.station = static_cast<quint8>(station);
    const QString baudText = parser.value(kBaudOption);
    const int baud = baudText.toInt(&ok);
    if (!ok || baud <= 0) {
        console.Usage(CommandLineTexts::tr("波特率应为正整数：%1").arg(baudText));
        return std::nullopt;
    }
    const QString parityText = parser.value(kParityOption);
    const QString parity = parityText.toUpper();
    if (parity != u"N" && parity != u"E" && parity != u"O") {
        console.Usage(CommandLineTexts::tr("校验位应为 N、E 或 O：%1").arg(parityText));
        return std::nullopt;
    }
    options.settings = QStringLiteral("%1,%2,8,1").arg(baud).arg(parity);
    return options;
}

// ---- the run on the line -------------------------------------------------------

int RunOnLine(const LineOptions& options, CommandConsole& console, LineWork& work)
{
    const DriveLinePtr drive = OpenDriveLine(options, console);
    if (!drive)
        return kExitLine;
    ParameterSetRunner runner(drive->session.Engine());
    runner.SetStation(options.station);
    QEventLoop loop;
    QObject::connect(&runner, &ParameterSetRunner::Progress, &runner,
                     [&console](ParameterSetRunner::Phase phase, int done, int total) {
                         console.Progress(phase, done, total);
                     });
    QObject::connect(&runner, &ParameterSetRunner::ParameterWritten, &runner, [&console](const WriteReport& report) {
        console.EndBar();
        const ParameterInfo* p = FindParameter(report.code);
        console.Out() << p->codeText << u'\t' << p->ShownName() << u'\t' << report.value << u'\t' << report.Text()
                      << Qt::endl;
    });
    QObject::connect(&runner, &ParameterSetRunner::Finished, &runner, [&](ParameterSetRunner::Stop stop) {
        console.EndBar();
        if (const std::optional<int> code = work.Finished(runner, stop)) {
            console.Flush();
            loop.exit(*code);
        }
    });
    work.Start(runner);
    return loop.exec();
}

} // namespace kv

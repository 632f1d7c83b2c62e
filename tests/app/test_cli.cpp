// The command line: when the window opens, --help and --version, sub-commands
// and mistakes; the program's parameter commands refusing wrong options and
// files before the port is opened; the scan's exit codes.
#include "app/cli.h"
#include "tests/support/pty.h"
#include "tests/support/scripteddrive.h"

#include <QCommandLineParser>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <atomic>
#include <memory>
#include <thread>

#include <poll.h>
#include <unistd.h>

using namespace kv;

namespace {

// A drive at station 5 on a pseudo-terminal, answering reads (group 33:
// 0250 0101 2301 88 0250) from a thread of its own while the command runs
// its event loop in the test's.
class DriveOnPty {
public:
    DriveOnPty() : m_thread([this] { Answer(); }) {}
    ~DriveOnPty()
    {
        m_stop = true;
        m_thread.join();
    }
    QString Path() const { return m_pty.slavePath(); }

private:
    void Answer()
    {
        const quint16 group33[] = {0x0250, 0x0101, 2301, 88, 0x0250};
        QByteArray in;
        while (!m_stop) {
            pollfd p{m_pty.masterFd(), POLLIN, 0};
            char buf[256];
            const ssize_t n = ::poll(&p, 1, 20) > 0 ? ::read(m_pty.masterFd(), buf, sizeof buf) : 0;
            if (n > 0)
                in.append(buf, n);
            for (; in.size() >= 8; in.remove(0, 8)) {
                const QByteArray frame = in.left(8);
                const auto byte = [&](int i) { return static_cast<quint8>(frame[i]); };
                const int address = byte(2) << 8 | byte(3);
                const int count = byte(4) << 8 | byte(5);
                if (test::WithCrc(frame.left(6)) != frame || byte(0) != 5 || byte(1) != 3 || address != 0x0CE4
                    || count < 1 || count > 5)
                    continue;
                QByteArray reply{"\x05\x03"};
                reply += char(2 * count);
                for (int i = 0; i < count; ++i)
                    reply += char(group33[i] >> 8), reply += char(group33[i] & 0xFF);
                m_pty.write(test::WithCrc(reply));
            }
        }
    }

    test::Pty m_pty;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void answers_data();
    void answers();

private:
    std::vector<SubCommand> commands_;
    QStringList ran_; // what the sub-command received: its option, then its arguments
};

void TestCommandLine::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("tool"));
    QCoreApplication::setApplicationVersion(QStringLiteral("9.8.7"));
    const QCommandLineOption value(QStringLiteral("value"), QStringLiteral("a value"), QStringLiteral("n"));
    commands_.push_back(SubCommand{
        QStringLiteral("echo"), QStringLiteral("says what it got"),
        [value](QCommandLineParser& p) { p.addOption(value); },
        [this, value](const QCommandLineParser& p, QTextStream& out, QTextStream&) {
            ran_ = QStringList{p.value(value)} + p.positionalArguments();
            out << "echoed\n";
            return 7;
        }});
    // One that describes itself at more length than its summary.
    commands_.push_back(SubCommand{
        QStringLiteral("raw"), QStringLiteral("reads its own"),
        [](QCommandLineParser& p) {
            p.setApplicationDescription(QStringLiteral("reads its own words at length"));
            p.addPositionalArgument(QStringLiteral("WORD"), QStringLiteral("a word"));
        },
        [this](const QCommandLineParser& p, QTextStream&, QTextStream&) {
            ran_ = p.positionalArguments();
            return 5;
        }});
    // And the program's own.
    for (const SubCommand& c : SubCommands())
        commands_.push_back(c);
}

void TestCommandLine::answers_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("file"); // a file whose path the arguments give as %file
    QTest::addColumn<int>("status");     // -1: the window opens
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QStringList>("ran");
    const QStringList none;
    const QByteArray noFile;
    QTest::newRow("nothing") << none << noFile << -1 << "" << "" << none;
    QTest::newRow("Qt's window options") << QStringList{"-style", "fusion", "-reverse"} << noFile << -1 << "" << ""
                                         << none;
    QTest::newRow("version") << QStringList{"--version"} << noFile << 0 << "tool 9.8.7\n" << "" << none;
    QTest::newRow("help lists the commands")
        << QStringList{"-h"} << noFile << 0 << "echo          says what it got" << "" << none;
    QTest::newRow("unknown option") << QStringList{"--frobnicate"} << noFile << 2 << "" << "frobnicate" << none;
    QTest::newRow("unknown command") << QStringList{"ech"} << noFile << 2 << "" << "ech" << none;
    QTest::newRow("command") << QStringList{"echo", "--value", "5", "a", "b"} << noFile << 7 << "echoed" << ""
                             << QStringList{"5", "a", "b"};
    QTest::newRow("command's help") << QStringList{"echo", "--help"} << noFile << 0 << " echo [options]" << ""
                                    << none;
    QTest::newRow("command's own description")
        << QStringList{"raw", "--help"} << noFile << 0 << "reads its own words at length" << "" << none;
    QTest::newRow("command's version") << QStringList{"raw", "-v", "x"} << noFile << 0 << "tool 9.8.7\n" << ""
                                       << none;
    QTest::newRow("command's unknown option") << QStringList{"echo", "--volume", "5"} << noFile << 2 << ""
                                              << "tool echo：Unknown option 'volume'.（见 tool echo --help）" << none;

    // The parameter commands: a mistake in the options gets exit 2 before the port is opened.
    QTest::newRow("no --port") << QStringList{"backup", "drive.csv"} << noFile << 2 << ""
                               << "tool backup：缺少 --port（见 tool backup --help）" << none;
    QTest::newRow("station out of range")
        << QStringList{"read", "--port", "/dev/null", "--station", "248", "2202"} << noFile << 2 << ""
        << "tool read：站号应为 1..247：248（见 tool read --help）" << none;
    QTest::newRow("bad parity") << QStringList{"write", "--port", "/dev/null", "--parity", "M", "2202=1"} << noFile
                                << 2 << "" << "tool write：校验位应为 N、E 或 O：M（见 tool write --help）" << none;
    QTest::newRow("parameter command's unknown option")
        << QStringList{"compare", "--port", "/dev/null", "--speed", "9600", "drive.csv"} << noFile << 2 << ""
        << "tool compare：Unknown option 'speed'.（见 tool compare --help）" << none;
    QTest::newRow("no file") << QStringList{"backup", "--port", "/dev/null"} << noFile << 2 << ""
                             << "tool backup：应给出一个参数集文件（见 tool backup --help）" << none;
    QTest::newRow("port does not open") << QStringList{"read", "--port", "/dev/null", "2202"} << noFile << 3 << ""
                                        << "tool read：无法打开串口 /dev/null：" << none;
    // A hostile parameter-set file gets exit 2 before the port is opened: the
    // port named does not exist, which would be exit 3.
    const QStringList restore{"restore", "--port", "/dev/kv-no-such-port", "%file"};
    const QStringList compare{"compare", "--port", "/dev/kv-no-such-port", "%file"};
    const QByteArray head = "代码,名称,寄存器,值\r\n";
    QTest::newRow("file with a wrong header")
        << restore << QByteArray("代码,名字,寄存器,值\r\n9902,应用宏,0x26AD,1\r\n") << 2 << ""
        << "第 1 行：表头应为“代码,名称,寄存器,值”" << none;
    QTest::newRow("binary file") << compare << head + QByteArray("9902,\x01\x00\xff,0x26AD,1\r\n", 19) << 2 << ""
                                 << "第 2 行：含有二进制数据，不是文本的参数集文件" << none;
    QTest::newRow("file with a code twice")
        << restore << head + "2202,加速时间1,0x0899,50\r\n2202,加速时间1,0x0899,60\r\n" << 2 << ""
        << "第 3 行：参数 2202 重复（第 2 行已有）" << none;
    // Finding the drive: 0 when something answered, 1 when nothing did, 2 and 3 as above.
    QTest::newRow("scan without --port") << QStringList{"scan"} << noFile << 2 << ""
                                         << "tool scan：缺少 --port（见 tool scan --help）" << none;
    QTest::newRow("scan of station 0")
        << QStringList{"scan", "--port", "/dev/null", "--stations", "0-3"} << noFile << 2 << ""
        << "tool scan：站号范围应为 1..247 之间的 N 或 A-B：0-3（见 tool scan --help）" << none;
    QTest::newRow("scan where the port does not open") << QStringList{"scan", "--port", "/dev/null"} << noFile << 3
                                                       << "" << "tool scan：无法打开串口 /dev/null：" << none;
    QTest::newRow("scan where nothing answers")
        << QStringList{"scan", "--port", "%pty", "--stations", "1-3"} << noFile << 1 << ""
        << "tool scan：没有设备应答（查找了 3 次）" << none;
    QTest::newRow("scan finds the drive")
        << QStringList{"scan", "--port", "%drive", "--stations", "4-6"} << noFile << 0
        << "5\t9600,N,8,1\t" << "" << none;
    QTest::newRow("file with a value out of range")
        << compare << head + "2202,加速时间1,0x0899,70000\r\n" << 2 << ""
        << "第 2 行：值“70000”不是 -32768..65535 的整数" << none;
}

void TestCommandLine::answers()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, file);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QStringList, ran);
    ran_.clear();
    QTemporaryDir dir;
    if (!file.isEmpty()) {
        QFile f(dir.filePath(QStringLiteral("set.csv")));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(file) == file.size());
        arguments.replaceInStrings(QStringLiteral("%file"), f.fileName());
    }
    // A line where nobody answers, or one with a drive.
    std::unique_ptr<test::Pty> silent;
    std::unique_ptr<DriveOnPty> drive;
    if (arguments.contains(QStringLiteral("%pty"))) {
        silent = std::make_unique<test::Pty>();
        arguments.replaceInStrings(QStringLiteral("%pty"), silent->slavePath());
    }
    if (arguments.contains(QStringLiteral("%drive"))) {
        drive = std::make_unique<DriveOnPty>();
        arguments.replaceInStrings(QStringLiteral("%drive"), drive->Path());
    }
    QString outText;
    QString errText;
    QTextStream outStream(&outText);
    QTextStream errStream(&errText);
    const std::optional<int> result =
        RunCommandLine(QStringList{"tool"} + arguments, commands_, outStream, errStream);
    outStream.flush();
    errStream.flush();
    QCOMPARE(result.value_or(-1), status);
    QVERIFY2(outText.contains(out), qPrintable(outText));
    QVERIFY2(errText.contains(err), qPrintable(errText));
    QVERIFY2(out.isEmpty() == outText.isEmpty(), qPrintable(outText));
    QVERIFY2(err.isEmpty() == errText.isEmpty(), qPrintable(errText));
    QCOMPARE(ran_, ran);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "test_cli.moc"

// The command line: when the window opens, --help and --version, sub-commands
// and mistakes.
#include "app/cli.h"

#include <QCommandLineParser>
#include <QTest>
#include <QTextStream>

using namespace kv;

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
}

void TestCommandLine::answers_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status"); // -1: the window opens
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QStringList>("ran");
    const QStringList none;
    QTest::newRow("nothing") << none << -1 << "" << "" << none;
    QTest::newRow("Qt's window options") << QStringList{"-style", "fusion", "-reverse"} << -1 << "" << ""
                                         << none;
    QTest::newRow("version") << QStringList{"--version"} << 0 << "tool 9.8.7\n" << "" << none;
    QTest::newRow("help lists the commands")
        << QStringList{"-h"} << 0 << "echo          says what it got" << "" << none;
    QTest::newRow("unknown option") << QStringList{"--frobnicate"} << 2 << "" << "frobnicate" << none;
    QTest::newRow("unknown command") << QStringList{"ech"} << 2 << "" << "ech" << none;
    QTest::newRow("command") << QStringList{"echo", "--value", "5", "a", "b"} << 7 << "echoed" << ""
                             << QStringList{"5", "a", "b"};
    QTest::newRow("command's help") << QStringList{"echo", "--help"} << 0 << " echo [options]" << "" << none;
    QTest::newRow("command's own description")
        << QStringList{"raw", "--help"} << 0 << "reads its own words at length" << "" << none;
    QTest::newRow("command's version") << QStringList{"raw", "-v", "x"} << 0 << "tool 9.8.7\n" << "" << none;
    QTest::newRow("command's unknown option") << QStringList{"echo", "--volume", "5"} << 2 << ""
                                              << "tool echo：Unknown option 'volume'.（见 tool echo --help）" << none;
}

void TestCommandLine::answers()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QStringList, ran);
    ran_.clear();
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

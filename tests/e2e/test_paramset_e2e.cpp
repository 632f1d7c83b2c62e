// Parameter commissioning against the simulated drive: reads in blocks with
// the fallback to single reads, the port lost during a backup and a restore,
// the command line from backup to a restore with nothing left to differ, its
// exit codes and results when the drive fails it, and the same in the windows
// (double-click "修改参数", "参数备份与恢复").
#include "app/parameditdialog.h"
#include "app/parametermenu.h"
#include "app/paramsetwindow.h"
#include "drive/catalogue.h"
#include "drive/paramsetrunner.h"
#include "modbus/engine.h"
#include "tests/e2e/engineon.h"
#include "tests/e2e/simprocess.h"
#include "tests/support/pty.h"
#include "tests/support/tool.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QTcpServer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace kv;
using Stop = ParameterSetRunner::Stop;

namespace {

// The runner on an engine of its own over the simulator's terminal.
struct RunnerOn : test::EngineOn {
    using EngineOn::EngineOn;
    ParameterSetRunner runner{engine};
};

struct Cli {
    int code = -1;
    QString out;
    QString err;
};

void StartCli(QProcess& p, const QStringList& args, const QString& language = QStringLiteral("zh"))
{
    // Settings of its own: the language a user chose for the tool does not reach the test.
    static QTemporaryDir config;
    Preferences(config.filePath(QStringLiteral("KOLVEN/kolven-assistant.conf"))).SetLanguage(language);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KV_ASSISTANT), args);
}

Cli CliResult(QProcess& p)
{
    Cli r;
    p.waitForFinished(60000);  // at once when it has ended
    if (p.state() != QProcess::NotRunning || p.error() == QProcess::FailedToStart)
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

Cli RunCli(const QStringList& args, const QString& language = QStringLiteral("zh"))
{
    QProcess p;
    StartCli(p, args, language);
    return CliResult(p);
}

// Adds a request the drive heard, as the tables write it: its first six bytes
// in hex ("01 03 26 AD 00 01"). One sent again after a late reply counts once.
void Heard(QStringList& requests, const QByteArray& hex)
{
    const QString request = QString::fromLatin1(hex.left(17).toUpper());
    if (requests.isEmpty() || requests.last() != request)
        requests.append(request);
}

// The requests in drive-sim's log, in order.
QStringList RequestsInLog(const QByteArray& log)
{
    QStringList requests;
    for (const QByteArray& line : log.split('\n')) {
        const qsizetype at = line.indexOf("<- ");
        if (at >= 0)
            Heard(requests, line.mid(at + 3));
    }
    return requests;
}

// The drive on a pseudo-terminal, for what drive-sim never answers: each
// request (8 bytes, 03 and 06 alike) gets the reply `answers` gives for it
// ("REQUEST -> REPLY", the request without its CRC) until the program ends.
// Returns the requests heard, in order.
QStringList AnswerOnPty(test::Pty& pty, QProcess& cli, const QStringList& answers)
{
    QMap<QString, QByteArray> replies;
    for (const QString& a : answers)
        replies.insert(a.section(QStringLiteral(" -> "), 0, 0),
                       QByteArray::fromHex(a.section(QStringLiteral(" -> "), 1).toLatin1()));
    QStringList heard;
    QByteArray frame;
    while (!cli.waitForFinished(0)) {
        frame += pty.read(8 - static_cast<int>(frame.size()), 50);
        if (frame.size() < 8)
            continue;
        Heard(heard, frame.toHex(' '));
        pty.write(replies.value(heard.last()));  // nothing for a request without an answer
        frame.clear();
    }
    return heard;
}

} // namespace

class TestParamSetE2e : public QObject {
    Q_OBJECT
private slots:
    void failedBlockReadAlone();
    void portLost_data();
    void portLost();
    void commandLine();
    void commandLineAgainstTheDrive_data();
    void commandLineAgainstTheDrive();
    void windows();
};

void TestParamSetE2e::failedBlockReadAlone()
{
    test::SimProcess sim;
    QVERIFY2(sim.start({}), qPrintable(sim.error()));
    RunnerOn on(sim.path());
    QSignalSpy requests(&on.engine, &mb::TransactionEngine::Finished);
    QSignalSpy finished(&on.runner, &ParameterSetRunner::Finished);
    // 0116 and 0117 are not in the drive's map: the block 0114..0118 is refused.
    on.runner.Read({114, 115, 116, 117, 118});
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished[0][0].value<Stop>(), Stop::Done);
    QCOMPARE(requests.size(), 6);  // the block, then each register alone
    const QMap<int, Reading>& r = on.runner.Readings();
    QCOMPARE(r[114].value, quint16(1234));
    QVERIFY(r[115].IsRead() && r[118].IsRead());
    QCOMPARE(r[116].error, QStringLiteral("异常 02：非法数据地址"));
    QCOMPARE(r[117].error, QStringLiteral("异常 02：非法数据地址"));
}

void TestParamSetE2e::portLost_data()
{
    QTest::addColumn<bool>("restore");
    QTest::newRow("backup") << false;
    QTest::newRow("restore") << true;
}

void TestParamSetE2e::portLost()
{
    QFETCH(bool, restore);
    test::SimProcess sim;
    QVERIFY2(sim.start({}), qPrintable(sim.error()));
    RunnerOn on(sim.path());
    QSignalSpy finished(&on.runner, &ParameterSetRunner::Finished);
    int done = 0;
    connect(&on.runner, &ParameterSetRunner::Progress, this, [&](ParameterSetRunner::Phase, int d, int) { done = d; });
    qsizetype planned = 0;
    if (restore) {
        QMap<int, quint16> file;
        QMap<int, Reading> drive;
        for (const ParameterInfo& p : ParameterTable()) {
            if (p.Writable() && p.code / 100 >= 10 && p.code / 100 < 30) {
                file.insert(p.code, 77);
                drive.insert(p.code, Reading{Reading::Read, 0, QString()});
            }
        }
        planned = file.size();
        on.runner.Restore(file, drive);
    } else {
        on.runner.Read(CatalogueParameterCodes());
    }
    QTRY_VERIFY_WITH_TIMEOUT(done >= 3, 10000);
    sim.stop();
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished[0][0].value<Stop>(), Stop::PortLost);
    if (restore) {
        // Every write up to the loss verified, the one in flight reported lost,
        // the rest left unwritten.
        const RestoreSummary& s = on.runner.Summary();
        QVERIFY(s.reports.size() > 3);
        QCOMPARE(s.reports.last().kind, WriteReport::PortLost);
        QCOMPARE(s.Count(WriteReport::Verified), s.reports.size() - 1);
        QVERIFY(!s.notWritten.isEmpty());
        QCOMPARE(s.reports.size() + s.notWritten.size(), planned);
        QVERIFY(s.Text().contains(QStringLiteral("已停止：串口已断开；未写入 ")));
    } else {
        // What was read before the loss is kept; nothing is taken for unreadable.
        int read = 0;
        for (const Reading& r : on.runner.Readings()) {
            QVERIFY(r.IsRead());
            ++read;
        }
        QVERIFY(read > 3 && read < 415);
    }
    QVERIFY(!on.runner.Running());
}

void TestParamSetE2e::commandLine()
{
    test::SimProcess sim;
    QVERIFY2(sim.start({QStringLiteral("--verbose"), QStringLiteral("--no-pace")}), qPrintable(sim.error()));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("drive.csv"));
    const QStringList port{QStringLiteral("--port"), sim.path()};

    Cli r = RunCli(QStringList{QStringLiteral("backup")} + port + QStringList{file});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("已保存 415 个参数到 %1\n").arg(file));
    r = RunCli(QStringList{QStringLiteral("write")} + port + QStringList{QStringLiteral("2202=120"), QStringLiteral("9902=0x2")});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("9902\t应用宏\t2\t已写入，已校验\n2202\t加速时间1\t120\t已写入，已校验\n"));
    r = RunCli(QStringList{QStringLiteral("write")} + port + QStringList{QStringLiteral("0103=1")});
    QCOMPARE(r.code, 2);  // read-only: refused before the line is touched
    r = RunCli(QStringList{QStringLiteral("compare")} + port + QStringList{file});
    QCOMPARE(r.code, 1);
    QCOMPARE(r.out, QStringLiteral("9902\t应用宏\t驱动器 2\t文件 1\n2202\t加速时间1\t驱动器 120\t文件 50\n2 个参数不同\n"));

    r = RunCli(QStringList{QStringLiteral("restore")} + port + QStringList{file});
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.startsWith(QStringLiteral("9902\t应用宏\t1\t已写入，已校验\n2202\t加速时间1\t50\t已写入，已校验\n"
                                             "已写入并校验 2 个参数：9902、2202\n")),
             qPrintable(r.out));
    // After the macro the drive's parameters were read again before 2202 was written.
    QTRY_VERIFY(sim.log().contains("<- 01 06 08 99 00 32"));
    const QString log = QString::fromUtf8(sim.log());
    const qsizetype macro = log.lastIndexOf(QStringLiteral("<- 01 06 26 AD 00 01"));
    QVERIFY(macro > 0);
    const qsizetype reread = log.indexOf(QStringLiteral("<- 01 03 26 AC"), macro);
    QVERIFY(reread > 0 && reread < log.indexOf(QStringLiteral("<- 01 06 08 99 00 32"), macro));

    r = RunCli(QStringList{QStringLiteral("compare")} + port + QStringList{file});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("驱动器与文件相同（比较了 415 个参数）\n"));
    r = RunCli(QStringList{QStringLiteral("read")} + port + QStringList{QStringLiteral("2202"), QStringLiteral("101")});
    QCOMPARE(r.code, 0);
    QCOMPARE(r.out, QStringLiteral("2202\t加速时间1\t50\n0101\t转速与方向\t0\n"));

    // In the language chosen for the window: the names read English, the
    // program's help has no Chinese left.
    r = RunCli(QStringList{QStringLiteral("read")} + port + QStringList{QStringLiteral("2202")}, QStringLiteral("en"));
    QCOMPARE(r.out, QStringLiteral("2202\tAcceleration time 1\t50\n"));
    r = RunCli({QStringLiteral("--help")}, QStringLiteral("en"));
    QCOMPARE(r.code, 0);
    QVERIFY2(r.out.contains(QStringLiteral("backup")) && !r.out.contains(QRegularExpression(QStringLiteral("\\p{Han}"))),
             qPrintable(r.out));
}

void TestParamSetE2e::commandLineAgainstTheDrive_data()
{
    QTest::addColumn<QStringList>("sim");       // drive-sim's options
    QTest::addColumn<QStringList>("answers");   // if any, a pseudo-terminal answers thus instead (AnswerOnPty)
    QTest::addColumn<QByteArray>("stopAt");     // drive-sim is stopped once its log shows this
    QTest::addColumn<QByteArray>("file");       // what %file holds before the run; empty: no file
    QTest::addColumn<QStringList>("args");      // with %port and %file
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("out");           // all of standard output (%file)
    QTest::addColumn<QString>("err");           // a part of standard error
    QTest::addColumn<QStringList>("requests");  // all that the drive heard, in order; not checked when empty

    const QStringList none;
    const QStringList backup{"backup", "--port", "%port", "%file"};
    const QStringList restore{"restore", "--port", "%port", "%file"};
    // 9902 differs from the drive (1), 2202 does not (50).
    const QByteArray macro2 = "代码,名称,寄存器,值\r\n9902,应用宏,0x26AD,2\r\n2202,加速时间1,0x0899,50\r\n";
    const QString read9902 = "01 03 26 AD 00 01", read2202 = "01 03 08 99 00 01", write9902 = "01 06 26 AD 00 02";

    // Line problems: exit 3, and no file written.
    QTest::newRow("no answer") << QStringList{"--drop", "all"} << none << QByteArray() << QByteArray() << backup
                               << 3 << "" << "backup：读取中断：驱动器无应答（已读取 0 / 415 个参数），未保存文件"
                               << none;
    QTest::newRow("port lost") << QStringList{"--delay", "100"} << none << QByteArray("<- 01 03") << QByteArray()
                               << backup << 3 << "" << "backup：读取中断：串口已断开（已读取 " << none;
    // Through a network converter: the same backup over drive-sim's RTU over TCP.
    QTest::newRow("backup over TCP") << QStringList{"--tcp", "0"} << none << QByteArray() << QByteArray() << backup
                                     << 0 << "已保存 415 个参数到 %file\n" << "" << none;
    QTest::newRow("converter refuses") << QStringList{"--tcp", "0"} << none << QByteArray() << QByteArray()
                                       << QStringList{"backup", "--port", "%closed", "%file"} << 3 << ""
                                       << "无法打开串口 127.0.0.1:" << none;
    // A parameter not read, a write refused or read back otherwise: exit 1.
    QTest::newRow("backup with a parameter not read")
        << QStringList{"--drop", "1-6"} << none << QByteArray() << QByteArray() << backup << 1
        << "已保存 414 个参数到 %file\n" << "backup：9901 语言：未能读取（无应答）" << none;
    QTest::newRow("write refused")
        << none << none << QByteArray() << QByteArray() << QStringList{"write", "--port", "%port", "5320=1"} << 1
        << "5320\tEFB 参数20\t1\t异常 03：非法数据值\n" << "" << QStringList{"01 06 14 C7 00 01"};
    QTest::newRow("write read back otherwise")
        << none
        << QStringList{"01 06 08 99 00 78 -> 01 06 08 99 00 78 5B A7", "01 03 08 99 00 01 -> 01 03 02 00 79 79 A6"}
        << QByteArray() << QByteArray() << QStringList{"write", "--port", "%port", "2202=120"} << 1
        << "2202\t加速时间1\t120\t读回值为 121，与写入值 120 不符\n" << ""
        << QStringList{"01 06 08 99 00 78", read2202};
    // Restore: --dry-run writes nothing; 9902 alone is written, then the rest read again.
    QTest::newRow("restore --dry-run")
        << none << none << QByteArray() << macro2 << QStringList{"restore", "--dry-run", "--port", "%port", "%file"}
        << 1 << "9902\t应用宏\t1 -> 2\n将写入 1 个参数（--dry-run：未写入）\n" << ""
        << QStringList{read9902, read2202};
    QTest::newRow("restore of 9902 alone")
        << none << none << QByteArray() << macro2 << restore << 0
        << "9902\t应用宏\t2\t已写入，已校验\n已写入并校验 1 个参数：9902\n未改变 1 个（与文件相同）\n" << ""
        << QStringList{read9902, read2202, write9902, read9902, read2202};
    QTest::newRow("restore of 9902 refused")
        << none
        << QStringList{read9902 + " -> 01 03 02 00 01 79 84", read2202 + " -> 01 03 02 00 32 39 91",
                       write9902 + " -> 01 86 03 02 61"}
        << QByteArray() << macro2 << restore << 1
        << "9902\t应用宏\t2\t异常 03：非法数据值\n已写入并校验 0 个参数\n被拒绝 1 个：9902（异常 03：非法数据值）\n"
           "未改变 1 个（与文件相同）\n"
        << "" << QStringList{read9902, read2202, write9902};
}

void TestParamSetE2e::commandLineAgainstTheDrive()
{
    QFETCH(QStringList, sim);
    QFETCH(QStringList, answers);
    QFETCH(QByteArray, stopAt);
    QFETCH(QByteArray, file);
    QFETCH(QStringList, args);
    QFETCH(int, code);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QFETCH(QStringList, requests);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("drive.csv"));
    if (!file.isEmpty()) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(file) == file.size());
    }
    test::SimProcess drive;
    test::Pty pty;
    if (answers.isEmpty())
        QVERIFY2(drive.start(QStringList{"--verbose", "--no-pace"} + sim), qPrintable(drive.error()));
    else
        QVERIFY(pty.isValid());
    args.replaceInStrings(QStringLiteral("%port"), answers.isEmpty() ? drive.path() : pty.slavePath());
    args.replaceInStrings(QStringLiteral("%file"), path);
    if (args.contains(QStringLiteral("%closed"))) {
        QTcpServer gone;  // a port nobody listens on any more
        QVERIFY(gone.listen(QHostAddress::LocalHost, 0));
        const QString closed = QStringLiteral("127.0.0.1:%1").arg(gone.serverPort());
        gone.close();
        args.replaceInStrings(QStringLiteral("%closed"), closed);
    }

    QProcess cli;
    StartCli(cli, args);
    QStringList heard;
    if (!answers.isEmpty()) {
        heard = AnswerOnPty(pty, cli, answers);
    } else if (!stopAt.isEmpty()) {
        QTRY_VERIFY_WITH_TIMEOUT(drive.log().contains(stopAt), 30000);
        drive.stop();
    }
    const Cli r = CliResult(cli);
    if (answers.isEmpty()) {
        drive.stop();  // its log whole
        heard = RequestsInLog(drive.log());
    }
    QCOMPARE(r.code, code);
    QCOMPARE(r.out, QString(out).replace(QStringLiteral("%file"), path));
    QVERIFY2(r.err.contains(err), qPrintable(r.err));
    if (!requests.isEmpty())
        QCOMPARE(heard, requests);
    if (code == 3) {  // the file as it was
        QFile f(path);
        QCOMPARE(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(), file);
    }
}

void TestParamSetE2e::windows()
{
    test::SimProcess sim;
    QVERIFY2(sim.start({QStringLiteral("--no-pace")}), qPrintable(sim.error()));
    test::Tool tool;
    Form1& form = *tool.form;
    test::RecordingMessageBoxes& boxes = tool.boxes;
    // The parameter read's wait lasts until the reply waits at the port.
    tool.platform.onSleep = [&](int) { QVERIFY(test::WaitForBytesAtPort(sim.path(), 7, 10000)); };

    // Closed port.
    form.List1->itemDoubleClicked(form.List1->item(1));
    QCOMPARE(boxes.texts(), QStringList{QStringLiteral("请打开串口")});
    form.ComboMSCPort->setEditText(sim.path());
    form.CommandOpenMSC_Click();

    ParameterMenu& menu = tool.Piece<ParameterMenu>();
    ParameterSetWindow* set = menu.ParamSetWindow();
    QSignalSpy work(set, &ParameterSetWindow::WorkFinished);
    set->ReadAll->click();
    QVERIFY(!set->ReadAll->isEnabled() && set->Cancel->isEnabled());
    QVERIFY(work.wait(10000));
    QVERIFY(set->ProgressText->text().startsWith(QStringLiteral("已读取 415 / 415 个参数，用时 ")));
    tool.files.path = tool.dir.filePath(QStringLiteral("set.csv"));
    set->Save->click();

    // Two parameters changed with the double-click window, one on its result row.
    ParameterEditDialog* edit = menu.ParamEditor();
    auto change = [&](const QString& group, int row, QListWidget* list, const QString& value) {
        form.Combo1->setCurrentIndex(form.Combo1->findText(group));
        form.List1->item(row)->setCheckState(Qt::Checked);
        form.CmdViewPram_Click();
        list->itemDoubleClicked(list->item(row));
        QTRY_VERIFY(edit->CurrentValue->text().contains(QStringLiteral("有符号")));
        edit->NewValue->setText(value);
        edit->WriteButton->click();
        QTRY_COMPARE(edit->ResultText->text(), QStringLiteral("已写入，已校验"));
    };
    change(QStringLiteral("99 电机数据"), 3, form.List1, QStringLiteral("0x5A"));  // 9906: 84 -> 90
    QCOMPARE(form.List2->item(3)->text(), QStringLiteral("90"));                  // the result row shows it
    change(QStringLiteral("22 加速/减速"), 1, form.List2, QStringLiteral("-1"));  // 2202: 50 -> 65535
    QCOMPARE(edit->CurrentValue->text(), QStringLiteral("65535（有符号 -1，0xFFFF）"));
    form.Combo1->setCurrentIndex(form.Combo1->findText(QStringLiteral("01 运行数据")));
    form.List1->itemDoubleClicked(form.List1->item(0));
    QVERIFY(!edit->WriteButton->isEnabled());
    QCOMPARE(edit->ReadOnlyNote->text(), QStringLiteral("只读：运行数据是实际值，只能读取"));

    set->Open->click();
    set->ReadAll->click();
    QVERIFY(work.wait(10000));
    QCOMPARE(set->DifferentCodes(), (QList<int>{9906, 2202}));
    set->OnlyDifferent->setChecked(true);
    int shown = 0;
    for (int row = 0; row < set->Table->rowCount(); ++row)
        shown += set->Table->isRowHidden(row) ? 0 : 1;
    QCOMPARE(shown, 2);

    boxes.shown.clear();
    set->WriteDrive->click();
    QVERIFY(work.wait(10000));
    QCOMPARE(boxes.shown.size(), 2);
    QVERIFY(boxes.shown[0].text.startsWith(QStringLiteral("将修改 2 个参数")));
    QVERIFY2(boxes.shown[1].text.startsWith(QStringLiteral("已写入并校验 2 个参数：9906、2202\n未改变 337 个")),
             qPrintable(boxes.shown[1].text));
    QVERIFY(set->DifferentCodes().isEmpty());
    set->ReadAll->click();
    QVERIFY(work.wait(10000));
    QVERIFY(set->DifferentCodes().isEmpty());
    QCOMPARE(set->Table->item(FindParameter(2202)->index, ParameterSetWindow::ColStatus)->text(),
             QStringLiteral("相同"));
}

QTEST_MAIN(TestParamSetE2e)
#include "test_paramset_e2e.moc"

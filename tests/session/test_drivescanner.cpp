// Finding the drive on a scripted line and a virtual clock: which replies
// count as a device and what is read of it, the one short try of each probe,
// cancelling at once with the line's settings given back, the port lost, and
// a scan refused while the line is not free.
#include "modbus/engine.h"
#include "serial/faketransport.h"
#include "session/drivescanner.h"
#include "tests/support/scripteddrive.h"

#include <QSignalSpy>
#include <QTest>

using namespace kv;

namespace {

struct Line {
    VirtualClock clock;
    FakeTransport line{clock};
    mb::TransactionEngine engine{line, clock};
    test::ScriptedDrive drive{line, 5};

    explicit Line(const char* settings = "9600,N,8,1")
    {
        line.Open(QStringLiteral("line"), *ParseSettings(QString::fromLatin1(settings)), nullptr);
    }
};

QString FoundText(const FoundDevice& d)
{
    QString what = d.identity ? d.identity->Text() : QString();
    if (d.exceptionCode)
        what = QStringLiteral("exception %1").arg(*d.exceptionCode);
    return QStringLiteral("%1 %2 %3 ms %4").arg(d.station).arg(SettingsText(d.settings)).arg(d.replyMs).arg(what);
}

} // namespace

class TestDriveScanner : public QObject {
    Q_OBJECT
private slots:
    void found_data();
    void found();
    void cancelEndsAtOnceAndGivesTheSettingsBack();
    void portLostEndsTheScan();
    void refusedWhileTheLineIsNotFree();
};

void TestDriveScanner::found_data()
{
    QTest::addColumn<QList<quint16>>("group33");  // registers 3301.. the drive has
    QTest::addColumn<int>("refuseWith");           // an exception code for every read; 0: none
    QTest::addColumn<QStringList>("found");
    QTest::addColumn<QStringList>("requests");
    const QStringList probes3{"R 0CE4 x1", "R 0CE4 x1", "R 0CE4 x1"};
    // Stations 4..6 with the drive at 5, replying 5 ms after each request.
    QTest::newRow("group 33 read whole")
        << QList<quint16>{0x0250, 0x0101, 2301, 88, 0x0250} << 0
        << QStringList{"5 9600,N,8,1 5 ms 软件版本 0250，程序版本 0101，测试日期 2301，传动容量 8.8 A，参数表 0250"}
        << QStringList{"R 0CE4 x1", "R 0CE4 x1", "R 0CE4 x5", "R 0CE4 x1"};
    QTest::newRow("an exception is a device too")
        << QList<quint16>{} << 2 << QStringList{"5 9600,N,8,1 5 ms exception 2"} << probes3;
    QTest::newRow("3301 alone: no group to tell")
        << QList<quint16>{0x0250} << 0 << QStringList{"5 9600,N,8,1 5 ms "}
        << QStringList{"R 0CE4 x1", "R 0CE4 x1", "R 0CE4 x5", "R 0CE4 x1"};
    QTest::newRow("nobody") << QList<quint16>{} << -1 << QStringList{} << probes3;
}

void TestDriveScanner::found()
{
    QFETCH(QList<quint16>, group33);
    QFETCH(int, refuseWith);
    QFETCH(QStringList, found);
    QFETCH(QStringList, requests);
    Line t;
    for (int i = 0; i < group33.size(); ++i)
        t.drive.registers.insert(static_cast<quint16>(kProbeRegister + i), group33[i]);
    t.drive.answering = refuseWith >= 0;
    if (refuseWith > 0)
        t.drive.refuse = [refuseWith](const test::ScriptedDrive::Request&) { return quint8(refuseWith); };
    DriveScanner scanner(t.engine);
    QSignalSpy finished(&scanner, &DriveScanner::Finished);
    QSignalSpy progress(&scanner, &DriveScanner::Progress);
    QVERIFY(scanner.Start(ScanPlan::Stations(t.line.Settings(), {4, 6})));
    QVERIFY(t.clock.AdvanceUntil([&] { return !finished.isEmpty(); }));
    QCOMPARE(finished.first().first().value<DriveScanner::Stop>(), DriveScanner::Stop::Done);
    QStringList seen;
    for (const FoundDevice& d : scanner.Found())
        seen.append(FoundText(d));
    QCOMPARE(seen, found);
    // One try each: a silent station is not asked twice.
    QCOMPARE(t.drive.requests, requests);
    QCOMPARE(progress.size(), 4);  // at the start and after each probe
    QCOMPARE(progress.last().at(0).toInt(), 3);
    QCOMPARE(progress.last().at(2).toLongLong(), qint64(0));
}

void TestDriveScanner::cancelEndsAtOnceAndGivesTheSettingsBack()
{
    Line t("9600,E,8,1");
    t.drive.answering = false;
    DriveScanner scanner(t.engine);
    QSignalSpy finished(&scanner, &DriveScanner::Finished);
    QVERIFY(scanner.Start(ScanPlan::Sweep(t.line.Settings())));
    // Into the second step of the sweep: 1200,E,8,1.
    QVERIFY(t.clock.AdvanceUntil([&] { return t.line.Settings().parity == QSerialPort::EvenParity
                                               && t.line.Settings().baud == 1200; }));
    QVERIFY(t.engine.Busy());
    scanner.Cancel();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().value<DriveScanner::Stop>(), DriveScanner::Stop::Cancelled);
    QVERIFY(!scanner.Running());
    QVERIFY(!t.engine.Busy());
    QCOMPARE(SettingsText(t.line.Settings()), QStringLiteral("9600,E,8,1"));
    const qsizetype writes = t.line.Writes().size();
    t.clock.AdvanceMs(1000);
    QCOMPARE(t.line.Writes().size(), writes);
    QCOMPARE(finished.size(), 1);
}

void TestDriveScanner::portLostEndsTheScan()
{
    Line t;
    t.drive.loseAt = 3;
    DriveScanner scanner(t.engine);
    QSignalSpy finished(&scanner, &DriveScanner::Finished);
    QVERIFY(scanner.Start(ScanPlan::Stations(t.line.Settings())));
    QVERIFY(t.clock.AdvanceUntil([&] { return !finished.isEmpty(); }));
    QCOMPARE(finished.first().first().value<DriveScanner::Stop>(), DriveScanner::Stop::PortLost);
    QCOMPARE(scanner.StopText(DriveScanner::Stop::PortLost), QStringLiteral("串口已断开"));
    QCOMPARE(t.drive.requests.size(), 3);
}

void TestDriveScanner::refusedWhileTheLineIsNotFree()
{
    Line t;
    DriveScanner scanner(t.engine);
    t.engine.Submit(mb::Request::Read(5, 0x0064, 1));
    QString why;
    QVERIFY(!scanner.Start(ScanPlan::Stations(t.line.Settings()), &why));
    QCOMPARE(why, QStringLiteral("线路正忙，请等其他读写结束后再查找"));
    t.engine.Cancel();
    t.line.Close();
    QVERIFY(!scanner.Start(ScanPlan::Stations(t.line.Settings()), &why));
    QCOMPARE(why, QStringLiteral("串口未打开"));
    QVERIFY(t.drive.requests.isEmpty());
}

QTEST_GUILESS_MAIN(TestDriveScanner)
#include "test_drivescanner.moc"

// The line through a converter: drive-sim's RTU over TCP on 127.0.0.1 and a
// scripted server. The window opens an address typed into its port box, sends
// from the terminal, polls and is told why a connection failed; the engine
// takes replies split at every byte and ends the request in flight when the
// peer goes; the window reconnects to a converter that comes back.
#include "app/logbox.h"
#include "app/reconnect.h"
#include "modbus/engine.h"
#include "serial/mscomm.h"
#include "session/drivescanner.h"
#include "drive/scanplan.h"
#include "serial/tcptransport.h"
#include "tests/e2e/simprocess.h"
#include "tests/support/bytes.h"
#include "tests/support/scripteddrive.h"
#include "tests/support/tool.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <csignal>
#include <memory>
#include <optional>

using namespace kv;

namespace {

// A port nobody listens on: one the system gave a listener that has gone again.
quint16 RefusingPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

mb::Result Run(mb::TransactionEngine& engine, const mb::Request& request)
{
    std::optional<mb::Result> result;
    engine.Submit(request, [&](const mb::Result& r) { result = r; });
    if (!QTest::qWaitFor([&] { return result.has_value(); }, 20000))
        return mb::Result();
    return *result;
}

} // namespace

class TestTcpE2e : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void windowThroughConverter();
    void connectionFailure();
    void repliesSplitAtEveryByte_data();
    void repliesSplitAtEveryByte();
    void peerGoesMidTransactionAndComesBack();

private:
    QTemporaryDir m_data;
};

void TestTcpE2e::initTestCase()
{
    QVERIFY(m_data.isValid());
    qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
}

void TestTcpE2e::windowThroughConverter()
{
    test::SimProcess sim;
    QVERIFY2(sim.start({"--tcp", "0", "--station", "3,17", "--verbose"}), qPrintable(sim.error()));
    test::Tool tool;
    tool.form->Combo2->setEditText(QStringLiteral("17"));
    QVERIFY(tool.Open(QStringLiteral(" tcp://127.0.0.1:%1 ").arg(sim.tcpPort())));
    QCOMPARE(tool.form->CommandOpenMSC->text(), Form1::kCaptionClosePort);
    QTRY_VERIFY(!tool.session->Line().Connecting());
    const QString where = QStringLiteral("127.0.0.1:%1 (TCP)").arg(sim.tcpPort());
    QCOMPARE(tool.Part(QStringLiteral("statusPort"))->text(), where + QStringLiteral("  帧计时 9600,N,8,1  站号 11"));

    // The terminal: a frame with its CRC out, the drive's reply in the log.
    tool.form->ChkSend16->setChecked(true);
    tool.form->ChkCRC16->setChecked(true);
    tool.form->Text1->setText(QStringLiteral("11030CE40001"));
    tool.form->Command1->click();
    QTRY_VERIFY(tool.form->Text2->Text().contains(QStringLiteral("接收: 110302")));

    // Finding the drives behind the converter at the line's settings; a sweep
    // is refused. A probe's timeout is short: a drive held up by a loaded
    // machine may look absent in one round, so a few rounds are allowed, but
    // nothing else may ever be found.
    DriveScanner scanner(tool.session->Engine());
    QVERIFY(!scanner.Start(ScanPlan::Sweep(tool.session->Line().Settings())));
    QSet<int> found;
    for (int round = 0; round < 5 && found.size() < 2; ++round) {
        std::optional<DriveScanner::Stop> stop;
        QMetaObject::Connection c =
            connect(&scanner, &DriveScanner::Finished, this, [&](DriveScanner::Stop s) { stop = s; });
        QVERIFY(scanner.Start(ScanPlan::Stations(tool.session->Line().Settings(), {1, 20})));
        QTRY_VERIFY_WITH_TIMEOUT(stop.has_value(), 20000);
        disconnect(c);
        QCOMPARE(int(*stop), int(DriveScanner::Stop::Done));
        for (const FoundDevice& d : scanner.Found()) {
            QVERIFY2(d.station == 3 || d.station == 17, qPrintable(QString::number(d.station)));
            if (d.identity)  // its group 33 read may have been held up too
                found.insert(d.station);
        }
    }
    QCOMPARE(found, (QSet<int>{3, 17}));

    // 500 ms polling of drive 17, decoded as from a cable.
    QStringList replies;
    connect(tool.form.get(), &Form1::PollReplyDecoded, this, [&](const QString& text) { replies.append(text); });
    tool.form->Commandgraphstart->click();
    QTRY_VERIFY_WITH_TIMEOUT(replies.size() >= 2, 10000);
    QVERIFY(replies.first().startsWith(QStringLiteral("11030C")));
    QVERIFY(tool.boxes.texts().isEmpty());
}

void TestTcpE2e::connectionFailure()
{
    test::Tool tool;
    const quint16 port = RefusingPort();
    QVERIFY(tool.Open(QStringLiteral("127.0.0.1:%1").arg(port)));  // open at once, connecting
    QTRY_COMPARE(tool.form->CommandOpenMSC->text(), Form1::kCaptionOpenPort);
    QVERIFY(!tool.form->MSComm->PortOpen());
    QCOMPARE(tool.boxes.texts(), QStringList{QStringLiteral("无效端口号")});
    QCOMPARE(tool.Part(QStringLiteral("statusPort"))->text(),
             QStringLiteral("未打开 — 127.0.0.1:%1 (TCP)：连接被拒绝").arg(port));
    // A text that says tcp:// but is no address is refused at once, as a bad port number is.
    QVERIFY(!tool.Open(QStringLiteral("tcp://COM3")));
    QCOMPARE(tool.boxes.texts().size(), 2);
}

void TestTcpE2e::repliesSplitAtEveryByte_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<int>("piece");  // bytes a write
    QTest::addColumn<int>("outcome");
    const QByteArray values = test::Hex("01 03 0C 01 F4 00 64 02 26 00 00 00 00 00 07");
    for (int piece : {1, 2, 5, 16})
        QTest::addRow("registers, %d a write", piece) << test::WithCrc(values) << piece << int(mb::Outcome::Registers);
    QTest::newRow("exception, 1 a write") << test::WithCrc(test::Hex("01 83 02")) << 1
                                          << int(mb::Outcome::Exception);
}

void TestTcpE2e::repliesSplitAtEveryByte()
{
    QFETCH(QByteArray, reply);
    QFETCH(int, piece);
    QFETCH(int, outcome);
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    QByteArray heard;
    connect(&server, &QTcpServer::newConnection, this, [&] {
        QTcpSocket* peer = server.nextPendingConnection();
        connect(peer, &QTcpSocket::readyRead, peer, [&, peer] {
            heard += peer->readAll();
            if (heard.size() < 8)
                return;
            // Each piece its own segment: written and gone before the next.
            for (qsizetype at = 0; at < reply.size(); at += piece) {
                peer->write(reply.mid(at, piece));
                peer->waitForBytesWritten(1000);
            }
        });
    });
    TcpTransport line;
    mb::TransactionEngine engine(line);
    engine.SetRetries(0);
    QVERIFY(line.Open(QStringLiteral("127.0.0.1:%1").arg(server.serverPort()), LineSettings{}, nullptr));
    const mb::Result r = Run(engine, mb::Request::Read(1, 0x0004, 6));  // submitted while connecting
    QCOMPARE(int(r.outcome), outcome);
    QCOMPARE(r.attempts, 1);
    QCOMPARE(heard, mb::Request::Read(1, 0x0004, 6).Frame());
    if (outcome == int(mb::Outcome::Registers))
        QCOMPARE(r.registers.at(2), quint16(0x0226));
}

void TestTcpE2e::peerGoesMidTransactionAndComesBack()
{
    // drive-sim holds its reply back; the converter goes while the request waits.
    auto sim = std::make_unique<test::SimProcess>();
    QVERIFY2(sim->start({"--tcp", "0", "--delay", "400", "--verbose"}), qPrintable(sim->error()));
    const int port = sim->tcpPort();
    test::Tool tool;
    tool.Piece<Reconnect>().AutoReconnect->setChecked(true);
    QVERIFY(tool.Open(QStringLiteral("127.0.0.1:%1").arg(port)));
    QTRY_VERIFY(!tool.session->Line().Connecting() || !tool.session->Line().IsOpen());
    QVERIFY(tool.session->Line().IsOpen());

    std::optional<mb::Result> result;
    tool.session->Engine().Submit(mb::Request::Read(1, 0x0004, 6), [&](const mb::Result& r) { result = r; });
    QTRY_VERIFY(sim->log().contains("<- 01 03 00 04"));
    sim->signal(SIGKILL);
    sim->stop();
    QTRY_VERIFY_WITH_TIMEOUT(result.has_value(), 10000);
    QCOMPARE(int(result->outcome), int(mb::Outcome::PortLost));
    QTRY_COMPARE(tool.form->CommandOpenMSC->text(), Form1::kCaptionOpenPort);
    QCOMPARE(tool.boxes.texts(), QStringList{QStringLiteral("串口已断开，请检查连接后重新打开串口")});
    QVERIFY(tool.Part(QStringLiteral("statusPort"))->text().endsWith(QStringLiteral("：连接已被对方关闭")));

    // The converter back at the same address: the window opens it again by itself.
    sim = std::make_unique<test::SimProcess>();
    QVERIFY2(sim->start({"--tcp", QString::number(port)}), qPrintable(sim->error()));
    QTRY_VERIFY_WITH_TIMEOUT(tool.form->MSComm->PortOpen(), 15000);
    QTRY_VERIFY(!tool.session->Line().Connecting());
    QCOMPARE(tool.form->CommandOpenMSC->text(), Form1::kCaptionClosePort);
    QCOMPARE(int(Run(tool.session->Engine(), mb::Request::Read(1, 0x0004, 6)).outcome), int(mb::Outcome::Registers));
}

QTEST_MAIN(TestTcpE2e)
#include "test_tcp_e2e.moc"

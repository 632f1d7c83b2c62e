// Requests, reply assembly and the texts of exceptions and frames. Expected
// frames are literal bytes (CRCs worked out independently of the codec).
#include "modbus/rtu.h"
#include "tests/support/bytes.h"

#include <QTest>

using namespace kv::mb;
using kv::test::Hex;

namespace {

const char* const kReply100 = "01 03 02 00 64 B9 AF";        // one register, 100
const char* const kPollReply = "01 03 0C 01 F4 00 0A 02 1C 03 E8 01 2C 00 01 3B E9";
const char* const kException02 = "01 83 02 C0 F1";
const char* const kEcho047F = "01 06 00 00 04 7F CA EA";

} // namespace

class TestRtu : public QObject {
    Q_OBJECT
private slots:
    void requests_data();
    void requests();
    void assembly_data();
    void assembly();
    void splitAnywhereGivesTheSameReply();
    void texts_data();
    void texts();
};

void TestRtu::requests_data()
{
    QTest::addColumn<Request>("request");
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("replyLength");
    QTest::addColumn<QString>("describe");
    QTest::addColumn<bool>("valid");
    QTest::newRow("poll") << Request::Read(1, 4, 6) << Hex("01 03 00 04 00 06 84 09") << 17
                          << QStringLiteral("读 0004 起 6 个寄存器") << true;
    QTest::newRow("one register") << Request::Read(1, 0, 1) << Hex("01 03 00 00 00 01 84 0A") << 7
                                  << QStringLiteral("读 0000 起 1 个寄存器") << true;
    QTest::newRow("write") << Request::Write(1, 0, 0x047F) << Hex(kEcho047F) << 8
                           << QStringLiteral("写 0000 = 047F") << true;
    QTest::newRow("125 registers") << Request::Read(1, 0x0064, 125) << Hex("01 03 00 64 00 7D C4 34") << 255
                                   << QStringLiteral("读 0064 起 125 个寄存器") << true;
    // Requests that never go on the line: only their refusal counts.
    QTest::newRow("126 registers") << Request::Read(1, 0, 126) << QByteArray() << 0 << QString() << false;
    QTest::newRow("past the last address") << Request::Read(1, 0xFFFF, 2) << QByteArray() << 0 << QString() << false;
    QTest::newRow("broadcast read") << Request::Read(0, 0, 1) << QByteArray() << 0 << QString() << false;
    QTest::newRow("station 248") << Request::Write(248, 0, 1) << QByteArray() << 0 << QString() << false;
}

void TestRtu::requests()
{
    QFETCH(Request, request);
    QFETCH(QByteArray, frame);
    QFETCH(int, replyLength);
    QFETCH(QString, describe);
    QFETCH(bool, valid);
    QCOMPARE(request.IsValid(), valid);
    if (!valid)
        return;
    QCOMPARE(request.ReplyLength(), replyLength);
    QCOMPARE(request.Frame(), frame);
    QCOMPARE(request.Describe(), describe);
}

void TestRtu::assembly_data()
{
    QTest::addColumn<Request>("request");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("done");            // a verdict without giving up
    QTest::addColumn<Outcome>("outcome");      // the verdict, or what giving up gives
    QTest::addColumn<QList<quint16>>("registers");
    QTest::addColumn<int>("exceptionCode");
    QTest::addColumn<int>("dropped");
    const Request one = Request::Read(1, 0x0064, 1);
    QTest::newRow("whole") << one << Hex(kReply100) << true << Outcome::Registers << QList<quint16>{100} << 0 << 0;
    QTest::newRow("noise before") << one << Hex("FF 00 13 01 03 02 00 64 B9 AF") << true << Outcome::Registers
                                  << QList<quint16>{100} << 0 << 3;
    QTest::newRow("late poll reply before")
        << one << (Hex(kPollReply) + Hex(kReply100)) << true << Outcome::Registers << QList<quint16>{100} << 0 << 17;
    QTest::newRow("wrong crc") << one << Hex("01 03 02 00 64 B9 AE") << true << Outcome::CrcError
                               << QList<quint16>{} << 0 << 0;
    QTest::newRow("exception") << one << Hex(kException02) << true << Outcome::Exception << QList<quint16>{} << 2 << 0;
    QTest::newRow("several registers") << Request::Read(1, 0, 2) << Hex("01 03 04 00 01 00 02 2A 32") << true
                                       << Outcome::Registers << QList<quint16>{1, 2} << 0 << 0;
    QTest::newRow("write echoed") << Request::Write(1, 0, 0x047F) << Hex(kEcho047F) << true << Outcome::Written
                                  << QList<quint16>{} << 0 << 0;
    QTest::newRow("write echo differs") << Request::Write(1, 0, 0x047F) << Hex("01 06 00 00 04 00 8B 0A") << true
                                        << Outcome::Mismatch << QList<quint16>{} << 0 << 0;
    QTest::newRow("stops short") << one << Hex("01 03 02 00") << false << Outcome::Incomplete << QList<quint16>{}
                                 << 0 << 0;
    QTest::newRow("nothing") << one << QByteArray() << false << Outcome::Timeout << QList<quint16>{} << 0 << 0;
    QTest::newRow("another station") << one << Hex("02 03 02 00 64 FD AF") << false << Outcome::WrongStation
                                     << QList<quint16>{} << 0 << 7;
    QTest::newRow("another function") << one << Hex("01 04 02 00 64 B8 DB") << false << Outcome::WrongFunction
                                      << QList<quint16>{} << 0 << 7;
    QTest::newRow("only a late reply") << one << Hex(kPollReply) << false << Outcome::Timeout << QList<quint16>{}
                                       << 0 << 17;
}

void TestRtu::assembly()
{
    QFETCH(Request, request);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, done);
    QFETCH(Outcome, outcome);
    QFETCH(QList<quint16>, registers);
    QFETCH(int, exceptionCode);
    QFETCH(int, dropped);
    ReplyAssembler a(request);
    QCOMPARE(a.Feed(bytes), done);
    QCOMPARE(done ? a.Verdict() : a.GiveUp(), outcome);
    QCOMPARE(a.Registers(), registers);
    QCOMPARE(int(a.ExceptionCode()), exceptionCode);
    QCOMPARE(a.DroppedCount(), qint64(dropped));
}

void TestRtu::splitAnywhereGivesTheSameReply()
{
    // A poll reply cut into three pieces at every pair of places, with a stray byte in front.
    const QByteArray bytes = Hex("00") + Hex(kPollReply);
    for (int i = 0; i <= bytes.size(); ++i) {
        for (int j = i; j <= bytes.size(); ++j) {
            ReplyAssembler a(Request::Read(1, 4, 6));
            a.Feed(bytes.left(i));
            a.Feed(bytes.mid(i, j - i));
            QVERIFY(a.Feed(bytes.mid(j)));
            QCOMPARE(a.Verdict(), Outcome::Registers);
            QCOMPARE(a.Registers(), (QList<quint16>{0x01F4, 0x000A, 0x021C, 0x03E8, 0x012C, 0x0001}));
            QCOMPARE(a.DroppedCount(), qint64(1));
        }
    }
}

void TestRtu::texts_data()
{
    QTest::addColumn<QString>("actual");
    QTest::addColumn<QString>("expected");
    const char* const names[] = {"非法功能", "非法数据地址", "非法数据值", "从站设备故障", "确认", "从站设备忙"};
    for (int code = 1; code <= 6; ++code)
        QTest::addRow("exception %d", code) << ExceptionText(quint8(code)) << QString::fromUtf8(names[code - 1]);
    QTest::newRow("exception 08") << ExceptionText(8) << QStringLiteral("存储奇偶性差错");
    QTest::newRow("exception 0A") << ExceptionText(0x0A) << QStringLiteral("网关路径不可用");
    QTest::newRow("exception 0B") << ExceptionText(0x0B) << QStringLiteral("网关目标设备无响应");
    QTest::newRow("exception 07") << ExceptionText(7) << QStringLiteral("异常 07");
    QTest::newRow("exception 0C") << ExceptionMessage(0x0C) << QStringLiteral("异常 0C");
    QTest::newRow("message 02") << ExceptionMessage(2) << QStringLiteral("异常 02：非法数据地址");
    QTest::newRow("frame: poll request") << DescribeFrame(Hex("01 03 00 04 00 06 84 09"), true)
                                         << QStringLiteral("读 0004 起 6 个寄存器");
    QTest::newRow("frame: poll reply") << DescribeFrame(Hex(kPollReply), false) << QStringLiteral("读回 6 个寄存器");
    QTest::newRow("frame: write") << DescribeFrame(Hex(kEcho047F), false) << QStringLiteral("写 0000 = 047F");
    QTest::newRow("frame: exception") << DescribeFrame(Hex(kException02), false)
                                      << QStringLiteral("异常 02：非法数据地址");
    QTest::newRow("frame: bad crc") << DescribeFrame(Hex("01 03 02 00 64 B9 AE"), false) << QStringLiteral("CRC错误");
    QTest::newRow("frame: half") << DescribeFrame(Hex("01 03 0C 01 F4"), false) << QString();
    QTest::newRow("frame: two joined") << DescribeFrame(Hex(kReply100) + Hex(kReply100), false) << QString();
}

void TestRtu::texts()
{
    QFETCH(QString, actual);
    QFETCH(QString, expected);
    QCOMPARE(actual, expected);
}

QTEST_GUILESS_MAIN(TestRtu)
#include "test_rtu.moc"

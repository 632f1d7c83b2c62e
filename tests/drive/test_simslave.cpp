// The simulated drive's Modbus slave (libmodbus over a socket pair) fed with
// request bytes, its fault plan and its command line; no serial line.
#include "drive/catalogue.h"
#include "drive/registermap.h"
#include "serial/framecodec.h"
#include "tools/drive-sim/drivemodel.h"
#include "tools/drive-sim/faults.h"
#include "tools/drive-sim/modbusslave.h"
#include "tools/drive-sim/options.h"

#include <QtTest>

#include <vector>

using namespace kv::sim;

namespace {

std::vector<int> Codes()
{
    std::vector<int> codes;
    for (int code : kv::CatalogueParameterCodes())
        codes.push_back(code);
    return codes;
}

// A frame text with its CRC appended, as bytes.
std::vector<std::uint8_t> Frame(const char* text)
{
    const QByteArray b = kv::HexFrameToBytes(QString::fromLatin1(text));
    return std::vector<std::uint8_t>(b.begin(), b.end());
}

std::vector<std::uint8_t> Raw(const char* hex)
{
    const QByteArray b = QByteArray::fromHex(hex);
    return std::vector<std::uint8_t>(b.begin(), b.end());
}

QString Hex(const std::vector<std::uint8_t>& bytes)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()))
                                   .toHex()
                                   .toUpper());
}

bool CrcValid(const std::vector<std::uint8_t>& frame)
{
    if (frame.size() < 4)
        return false;
    const std::vector<std::uint8_t> body(frame.begin(), frame.end() - 2);
    return Hex(Frame(Hex(body).toLatin1().constData())) == Hex(frame);
}

std::vector<std::uint8_t> Concat(std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::optional<Options> Parse(const QStringList& args, std::string* error)
{
    std::vector<std::string> v;
    for (const QString& a : args)
        v.push_back(a.toStdString());
    return ParseOptions(v, error);
}

} // namespace

class TestSimSlave : public QObject {
    Q_OBJECT

private slots:
    void liveBlockRead()
    {
        DriveModel model(Codes());
        ModbusSlave slave(model, 1);
        QVERIFY2(slave.isValid(), slave.error().c_str());
        const auto events = slave.handle(Frame("010300040006"));
        QCOMPARE(events.size(), size_t(1));
        QCOMPARE(events[0].kind, SlaveEvent::Kind::Reply);
        const auto& r = events[0].reply;
        QCOMPARE(r.size(), size_t(17));
        QCOMPARE(Hex(r).left(6), QString("01030C"));
        QVERIFY(CrcValid(r));
        // Power-up: stopped, DC voltage near 540 V, status 0x1240.
        QCOMPARE((r[3] << 8) | r[4], 0);
        QVERIFY(std::abs(((r[7] << 8) | r[8]) - 540) < 15);
        QCOMPARE((r[13] << 8) | r[14], 0x1240);
    }

    void exactReplies_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QString>("reply");
        QTest::newRow("parameter 9802") << "010326490001" << "0103020001" "7984";
        QTest::newRow("parameter 0101 (stopped)") << "010300640001" << "0103020000" "B844";
        QTest::newRow("parameters 0101..0103") << "010300640003" << "010306000000000000" "2175";
        QTest::newRow("parameter 5303 = 9600") << "010314B60001" << Hex(Frame("0103022580"));
        QTest::newRow("start, first word: echo") << "010600000476" << "0106000004760AEC";
        QTest::newRow("reference 25 Hz: echo") << "010600012710" << "010600012710C236";
        QTest::newRow("registers 2..3: exception 02") << "010300020002" << "018302C0F1";
        QTest::newRow("registers 0..9: exception 02") << "01030000000A" << Hex(Frame("018302"));
        QTest::newRow("register 0xFFFF: exception 02") << "0103FFFF0001" << Hex(Frame("018302"));
        QTest::newRow("126 registers: exception 03") << "01030064007E" << Hex(Frame("018303"));
        QTest::newRow("0 registers: exception 03") << "010300640000" << Hex(Frame("018303"));
        QTest::newRow("function 04: exception 01") << "010400040006" << "01840182C0";
        QTest::newRow("function 16: exception 01") << "01100001000102000A" << Hex(Frame("019001"));
        QTest::newRow("function 17: exception 01") << "0111" << Hex(Frame("019101"));
        QTest::newRow("function 07: exception 01") << "0107" << "0187018230";
        // Functions the Modbus library cannot frame: framed by the line's silence and the CRC.
        QTest::newRow("function 08 with data: exception 01") << "010800000000" << "01880187C0";
        QTest::newRow("function 2B: exception 01") << "012B0E0100" << "01AB019EF0";
        QTest::newRow("function 41: exception 01") << "014100000001" << "01C101B050";
        QTest::newRow("function 00: exception 01") << "0100" << "0180018000";
        QTest::newRow("function 83, an exception code: exception 01") << "0183" << "01830180F0";
        QTest::newRow("write live block: exception 02") << "010600040001" << Hex(Frame("018602"));
        QTest::newRow("reference 20001: exception 03") << "010600014E21" << Hex(Frame("018603"));
    }
    void exactReplies()
    {
        QFETCH(QString, request);
        QFETCH(QString, reply);
        DriveModel model(Codes());
        ModbusSlave slave(model, 1);
        const auto events = slave.handle(Frame(request.toLatin1().constData()));
        QCOMPARE(events.size(), size_t(1));
        QCOMPARE(events[0].kind, SlaveEvent::Kind::Reply);
        QCOMPARE(Hex(events[0].reply), reply);
    }

    void controlWordsReachTheModel()
    {
        DriveModel model(Codes());
        ModbusSlave slave(model, 1);
        slave.handle(Frame("010600014E20"));
        slave.handle(Frame("010600000476"));
        slave.handle(Frame("01060000047F"));
        QCOMPARE(model.state(), DriveState::OperationEnabled);
        QCOMPARE(int(model.reference()), 20000);
        model.advance(2.0);
        const auto r = slave.handle(Frame("010300040006"))[0].reply;
        QCOMPARE((r[3] << 8) | r[4], 200);
        QVERIFY(kv::BitSet(static_cast<std::uint16_t>((r[13] << 8) | r[14]), kv::kSwReadyForReference));
        slave.handle(Frame("010600000477"));
        QCOMPARE(model.state(), DriveState::ReadyToOperate);
    }

    void silenceForOtherStationsAndBadFrames_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<SlaveEvent::Kind>("kind");
        QTest::newRow("station 2") << QByteArray::fromHex("020300040006843A") << SlaveEvent::Kind::OtherStation;
        QTest::newRow("station 247") << QByteArray(kv::HexFrameToBytes(u"F70300040006"))
                                     << SlaveEvent::Kind::OtherStation;
        QTest::newRow("bad CRC") << QByteArray::fromHex("0103000400060000") << SlaveEvent::Kind::BadFrame;
        QTest::newRow("CRC bytes swapped") << QByteArray::fromHex("0103000400060984") << SlaveEvent::Kind::BadFrame;
        QTest::newRow("incomplete") << QByteArray::fromHex("010300") << SlaveEvent::Kind::BadFrame;
        QTest::newRow("function 41, bad CRC") << QByteArray::fromHex("014100000001FC06") << SlaveEvent::Kind::BadFrame;
        QTest::newRow("function 41, cut short") << QByteArray::fromHex("0141") << SlaveEvent::Kind::BadFrame;
        QTest::newRow("function 41 for station 2") << QByteArray::fromHex("024100000001FC36")
                                                   << SlaveEvent::Kind::OtherStation;
        QTest::newRow("no frame starts with FF") << QByteArray::fromHex("FFFFFFFF") << SlaveEvent::Kind::BadFrame;
        QTest::newRow("broadcast write") << QByteArray(kv::HexFrameToBytes(u"000600012710"))
                                         << SlaveEvent::Kind::Broadcast;
        QTest::newRow("broadcast read") << QByteArray(kv::HexFrameToBytes(u"000300040006"))
                                        << SlaveEvent::Kind::Broadcast;
    }
    void silenceForOtherStationsAndBadFrames()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(SlaveEvent::Kind, kind);
        DriveModel model(Codes());
        ModbusSlave slave(model, 1);
        const auto events = slave.handle(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        QVERIFY(!events.empty());
        QCOMPARE(events[0].kind, kind);
        for (const auto& e : events)
            QVERIFY(e.reply.empty());
        // The next request is answered normally.
        const auto next = slave.handle(Frame("010300040006"));
        QCOMPARE(next.size(), size_t(1));
        QCOMPARE(next[0].reply.size(), size_t(17));
    }

    void broadcastWriteIsCarriedOut()
    {
        DriveModel model(Codes());
        ModbusSlave slave(model, 1);
        slave.handle(Frame("000600012710"));
        QCOMPARE(int(model.reference()), 10000);
    }

    void otherStationThenOursInOneChunk()
    {
        // A request for another station that nobody answers must not make
        // the next request look like that station's reply.
        DriveModel model(Codes());
        ModbusSlave slave(model, 1);
        const auto events = slave.handle(Concat(Frame("020300040006"), Frame("010326490001")));
        QCOMPARE(events.size(), size_t(2));
        QCOMPARE(events[0].kind, SlaveEvent::Kind::OtherStation);
        QCOMPARE(events[1].kind, SlaveEvent::Kind::Reply);
        QCOMPARE(Hex(events[1].reply), QString("01030200017984"));
    }

    void backToBackRequests()
    {
        DriveModel model(Codes());
        ModbusSlave slave(model, 1);
        const auto events = slave.handle(
            Concat(Concat(Frame("010300040006"), Raw("0103000400060000")), Frame("010326490001")));
        QCOMPARE(events.size(), size_t(3));
        QCOMPARE(events[0].reply.size(), size_t(17));
        QCOMPARE(events[1].kind, SlaveEvent::Kind::BadFrame);
        QCOMPARE(Hex(events[2].reply), QString("01030200017984"));
    }

    void countersOfGoodMessagesAndCrcErrors()
    {
        DriveModel model(Codes());
        ModbusSlave slave(model, 1);
        slave.handle(Raw("0103000400060000"));
        slave.handle(Raw("0103000400060000"));
        slave.handle(Frame("020300040006")); // another station's: not ours to count
        const auto r = slave.handle(Frame("010314B90002"))[0].reply; // 5306, 5307
        QCOMPARE(r.size(), size_t(9));
        QCOMPARE((r[3] << 8) | r[4], 1); // this request
        QCOMPARE((r[5] << 8) | r[6], 2);
    }

    void otherStationNumber()
    {
        DriveModel model(Codes());
        ModbusSlave slave(model, 7);
        QCOMPARE(slave.handle(Frame("010300040006"))[0].kind, SlaveEvent::Kind::OtherStation);
        const auto events = slave.handle(Frame("070300040006"));
        QCOMPARE(events[0].kind, SlaveEvent::Kind::Reply);
        QCOMPARE(Hex(events[0].reply).left(6), QString("07030C"));
    }

    void survivesRandomBytes()
    {
        // Noise on the line: chunks of random bytes, some starting with a
        // plausible header, never a crash and never a reply to a broken frame.
        DriveModel model(Codes());
        ModbusSlave slave(model, 1);
        QRandomGenerator random(2024);
        int replies = 0;
        int wholeFrames = 0;
        for (int i = 0; i < 400; ++i) {
            std::vector<std::uint8_t> chunk(1 + random.bounded(300));
            for (auto& b : chunk)
                b = static_cast<std::uint8_t>(random.bounded(256));
            if (i % 3 == 0) {
                chunk[0] = 1;
                if (chunk.size() > 1)
                    chunk[1] = static_cast<std::uint8_t>(random.bounded(0x18));
            } else if (i % 4 == 1) {
                // A whole read of a random register range: always answered,
                // with its registers or an exception.
                const QString text = QStringLiteral("0103%1%2")
                                         .arg(random.bounded(0x10000), 4, 16, QChar('0'))
                                         .arg(1 + random.bounded(4), 4, 16, QChar('0'));
                chunk = Frame(text.toLatin1().constData());
                ++wholeFrames;
            }
            for (const auto& e : slave.handle(chunk)) {
                if (e.kind != SlaveEvent::Kind::Reply)
                    continue;
                ++replies;
                QVERIFY(CrcValid(e.request)); // only whole, checked frames are answered
                QVERIFY(CrcValid(e.reply));
            }
        }
        QCOMPARE(replies, wholeFrames);
        const auto events = slave.handle(Frame("010326490001"));
        QCOMPARE(events.size(), size_t(1));
        QCOMPARE(Hex(events[0].reply), QString("01030200017984"));
    }

    void faultWhen_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("hits"); // replies 1..10 hit, as 0/1
        QTest::newRow("first 3") << "3" << true << "1110000000";
        QTest::newRow("0: never") << "0" << true << "0000000000";
        QTest::newRow("range 2-4") << "2-4" << true << "0111000000";
        QTest::newRow("every 3rd") << "/3" << true << "0010010010";
        QTest::newRow("all") << "all" << true << "1111111111";
        QTest::newRow("100%") << "100%" << true << "1111111111";
        QTest::newRow("0%") << "0%" << true << "0000000000";
        QTest::newRow("empty") << "" << false << "";
        QTest::newRow("letters") << "x" << false << "";
        QTest::newRow("range from 0") << "0-2" << false << "";
        QTest::newRow("range backwards") << "5-2" << false << "";
        QTest::newRow("period 0") << "/0" << false << "";
        QTest::newRow("rate above 100") << "101%" << false << "";
        QTest::newRow("negative") << "-1" << false << "";
        QTest::newRow("rate without number") << "%" << false << "";
    }
    void faultWhen()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QString, hits);
        std::string error;
        const auto when = ParseFaultWhen(text.toStdString(), &error);
        QCOMPARE(when.has_value(), valid);
        if (!valid) {
            QVERIFY(!error.empty());
            return;
        }
        FaultOptions o;
        o.drop = *when;
        FaultInjector f(o);
        QString got;
        for (int i = 0; i < 10; ++i)
            got += f.plan(Frame("0103020001")).drop ? '1' : '0';
        QCOMPARE(got, hits);
    }

    void replyPlans()
    {
        const auto reply = Frame("01030C01F4000A021C03E8012C0001");
        FaultOptions o;
        o.badCrc = *ParseFaultWhen("1", nullptr);
        o.stray = *ParseValueFault("3@2-2", 1, 256, nullptr);
        o.splitGapMs = *ParseValueFault("40@3-3", 0, 60000, nullptr);
        o.delayMs = *ParseValueFault("120@4-4", 0, 60000, nullptr);
        FaultInjector f(o);

        const ReplyPlan bad = f.plan(reply);
        QCOMPARE(bad.firstPart.size(), reply.size());
        QVERIFY(bad.secondPart.empty());
        QVERIFY(!CrcValid(bad.firstPart));
        QVERIFY(std::equal(reply.begin(), reply.end() - 2, bad.firstPart.begin()));

        const ReplyPlan stray = f.plan(reply);
        QCOMPARE(stray.firstPart.size(), reply.size() + 3);
        QVERIFY(std::equal(reply.begin(), reply.end(), stray.firstPart.begin() + 3));

        const ReplyPlan split = f.plan(reply);
        QCOMPARE(split.firstPart.size(), size_t(8));
        QCOMPARE(split.splitGapMs, 40);
        QCOMPARE(Hex(Concat(split.firstPart, split.secondPart)), Hex(reply));

        const ReplyPlan late = f.plan(reply);
        QCOMPARE(late.delayMs, 120);
        QCOMPARE(Hex(late.firstPart), Hex(reply));

        const ReplyPlan plain = f.plan(reply);
        QVERIFY(plain.describe().empty());
        QCOMPARE(Hex(plain.firstPart), Hex(reply));
    }

    void ratesAreReproducibleWithASeed()
    {
        FaultOptions o;
        o.drop = *ParseFaultWhen("30%", nullptr);
        o.stray = *ParseValueFault("2@50%", 1, 256, nullptr);
        o.seed = 42;
        FaultInjector a(o), b(o);
        o.seed = 43;
        FaultInjector c(o);
        QString sa, sb, sc;
        const auto reply = Frame("0103020001");
        auto sign = [](const ReplyPlan& p) { return p.drop ? QString("d") : Hex(p.firstPart) + ","; };
        for (int i = 0; i < 200; ++i) {
            sa += sign(a.plan(reply));
            sb += sign(b.plan(reply));
            sc += sign(c.plan(reply));
        }
        QCOMPARE(sa, sb);
        QVERIFY(sa != sc);
        const auto drops = sa.count('d');
        QVERIFY2(drops > 30 && drops < 90, qPrintable(QString::number(drops)));
    }

    void options_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<bool>("valid");
        QTest::newRow("none") << QStringList{} << true;
        QTest::newRow("full line") << QStringList{"--port", "/dev/ttyUSB0", "--station", "5", "--baud=19200",
                                                  "--parity", "e", "--data-bits", "8", "--stop-bits", "2"}
                                   << true;
        QTest::newRow("faults") << QStringList{"--delay", "200@3", "--split=50", "--drop", "/5", "--bad-crc",
                                               "10%", "--stray", "2@1-4", "--seed", "7", "-v"}
                                << true;
        QTest::newRow("drive fault") << QStringList{"--fault-after", "12.5", "--fault-code", "9"} << true;
        QTest::newRow("unknown option") << QStringList{"--speed", "1"} << false;
        QTest::newRow("missing value") << QStringList{"--station"} << false;
        QTest::newRow("station 0") << QStringList{"--station", "0"} << false;
        QTest::newRow("station 248") << QStringList{"--station", "248"} << false;
        QTest::newRow("odd baud") << QStringList{"--baud", "9601"} << false;
        QTest::newRow("parity X") << QStringList{"--parity", "X"} << false;
        QTest::newRow("delay with bad when") << QStringList{"--delay", "200@x"} << false;
        QTest::newRow("negative delay") << QStringList{"--delay", "-5"} << false;
        QTest::newRow("stray 0") << QStringList{"--stray", "0"} << false;
        QTest::newRow("fault after 0") << QStringList{"--fault-after", "0"} << false;
        QTest::newRow("fault after nan") << QStringList{"--fault-after", "nan"} << false;
        QTest::newRow("seed negative") << QStringList{"--seed", "-1"} << false;
        QTest::newRow("empty link") << QStringList{"--link="} << false;
        QTest::newRow("station range backwards") << QStringList{"--station", "6-3"} << false;
        QTest::newRow("station 0 in a list") << QStringList{"--station", "0,1"} << false;
        QTest::newRow("trip at a station not on the line") << QStringList{"--fault-after", "20@2"} << false;
        QTest::newRow("three @ in a delay") << QStringList{"--station", "1-3", "--delay", "200@1@2@3"} << false;
        QTest::newRow("stray bytes have no station") << QStringList{"--station", "1,2", "--stray", "2@1@2"} << false;
        QTest::newRow("tcp on every address") << QStringList{"--tcp", "0.0.0.0:5020"} << true;
        QTest::newRow("tcp on a host name") << QStringList{"--tcp", "localhost:5020"} << false;
        QTest::newRow("tcp and a device") << QStringList{"--tcp", "5020", "--port", "/dev/ttyUSB0"} << false;
    }
    void options()
    {
        QFETCH(QStringList, args);
        QFETCH(bool, valid);
        std::string error;
        const auto o = Parse(args, &error);
        QCOMPARE(o.has_value(), valid);
        QCOMPARE(error.empty(), valid);
    }

    void stationOptions_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("drives"); // station:trip seconds/fault code of each drive
        QTest::newRow("default") << QStringList{} << "1:0/3";
        QTest::newRow("list and range, sorted, once each") << QStringList{"--station", "5,2,3-4,2"}
                                                           << "2:0/3 3:0/3 4:0/3 5:0/3";
        QTest::newRow("without @: the first station")
            << QStringList{"--station", "9,4", "--fault-after", "12.5", "--fault-code", "7"} << "4:12.5/7 9:0/3";
        QTest::newRow("each its own") << QStringList{"--station", "3,17", "--fault-after", "20@17", "--fault-code",
                                                     "9@3", "--fault-code", "5"}
                                      << "3:0/9 17:20/3";
    }
    void stationOptions()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, drives);
        std::string error;
        const auto o = Parse(args, &error);
        QVERIFY2(o, error.c_str());
        QStringList got;
        for (int s : o->stations)
            got << QString("%1:%2/%3").arg(s).arg(o->driveFault(s).afterSeconds).arg(o->driveFault(s).code);
        QCOMPARE(got.join(' '), drives);
        QCOMPARE(o->station, o->stations.front());
    }

    void stationReplyFaults_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QList<int>>("replies"); // the station of each reply, in order
        QTest::addColumn<QString>("faults");     // per reply: - none, d dropped, l late, c bad CRC, s split
        QTest::newRow("first 2 of station 2") << "--drop=2@2" << QList<int>{1, 2, 1, 2, 2, 1} << "-d-d--";
        QTest::newRow("first 2 on the line") << "--drop=2" << QList<int>{2, 1, 2} << "dd-";
        QTest::newRow("every 2nd of station 2") << "--bad-crc=/2@2" << QList<int>{2, 1, 2, 2, 1, 2} << "--c--c";
        QTest::newRow("station 1's first split") << "--split=40@1@1" << QList<int>{2, 1, 1} << "-s-";
        QTest::newRow("station 2 late") << "--delay=300@all@2" << QList<int>{1, 2, 2, 1} << "-ll-";
    }
    void stationReplyFaults()
    {
        QFETCH(QString, option);
        QFETCH(QList<int>, replies);
        QFETCH(QString, faults);
        const auto o = Parse({"--station", "1,2", option}, nullptr);
        QVERIFY(o);
        FaultInjector f(o->faults);
        QString got;
        for (int station : replies) {
            const ReplyPlan p = f.plan(Frame("0103020001"), station);
            const bool crc = CrcValid(Concat(p.firstPart, p.secondPart));
            got += p.drop ? 'd' : p.delayMs > 0 ? 'l' : !crc ? 'c' : p.splitAt > 0 ? 's' : '-';
        }
        QCOMPARE(got, faults);
    }

    void optionValues()
    {
        std::string error;
        const auto o = Parse({"--station", "5", "--baud=19200", "--parity", "e", "--stop-bits", "2", "--split",
                              "50@/2", "--seed", "7"},
                             &error);
        QVERIFY(o);
        QCOMPARE(o->station, 5);
        QCOMPARE(o->baud, 19200);
        QCOMPARE(o->parity, 'E');
        QCOMPARE(o->stopBits, 2);
        QCOMPARE(o->faults.splitGapMs.value, 50L);
        QCOMPARE(o->faults.splitGapMs.when.kind, FaultWhen::Kind::Every);
        QCOMPARE(o->faults.seed, std::uint64_t(7));
        QVERIFY(o->seedGiven);
        // 3.5 characters of 12 bits at 19200 baud is 2.2 ms: the floor of 5 ms applies.
        QCOMPARE(o->effectiveFrameGapMs(), 5);
        const auto slow = Parse({"--baud", "1200"}, &error);
        QCOMPARE(slow->effectiveFrameGapMs(), 30);
    }
};

QTEST_GUILESS_MAIN(TestSimSlave)
#include "test_simslave.moc"

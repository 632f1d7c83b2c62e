// The frame codec: CRC text, pairing, and agreement with an independent Modbus stack.
#include "serial/framecodec.h"
#include "tests/support/pty.h"

#include <QRandomGenerator>
#include <QTest>

#include <modbus.h>

#include <cerrno>

using namespace kv;

class TestFrameCodec : public QObject {
    Q_OBJECT
private slots:
    void crc16Text_data();
    void crc16Text();
    void driveFrames_data();
    void driveFrames();
    void hexFrameToBytes_data();
    void hexFrameToBytes();
    void blankShiftsThePairs();
    void argumentUnchanged();
    void hexPairValue_data();
    void hexPairValue();
    void independentStackAcceptsEveryFrame();
    void independentStackRepliesCheckOut();
};

void TestFrameCodec::crc16Text_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("crc");
    QTest::newRow("read one register") << "010300000001" << "840A";
    QTest::newRow("poll frame") << "010300040006" << "8409";
    QTest::newRow("blanks between pairs") << "01 03 00 00 00 01" << "840A";
    QTest::newRow("trailing X") << "010300000001X" << "840A";
    QTest::newRow("lower case") << "0a0300000001" << "8571";
    QTest::newRow("letters G-Z dropped") << "01G03H00Z0000Q01" << "840A";
    QTest::newRow("13 digits use the first 12") << "0103000000017" << "840A";
    QTest::newRow("empty text") << "" << "FFFF";
    QTest::newRow("one digit") << "7" << "FFFF";
    QTest::newRow("no hex digit") << "xyz !" << "FFFF";
    QTest::newRow("full-width text") << "０１" << "FFFF";
    // Upper case comes first: the ligature U+FB00 upper-cases to "FF".
    QTest::newRow("ligature ff") << QString(QChar(0xFB00)) << "FF00";
    QTest::newRow("parameter 9802") << "010326490001" << "5E94";
    QTest::newRow("parameter 0101") << "010300640001" << "C5D5";
    // Every CRC byte below 0x10 keeps its leading zero (values from pymodbus).
    QTest::newRow("low byte below 0x10") << "01066001" << "0819";
    QTest::newRow("high byte below 0x10") << "01060020" << "E001";
    QTest::newRow("both bytes below 0x10") << "01066025" << "0802";
}

void TestFrameCodec::crc16Text()
{
    QFETCH(QString, text);
    QFETCH(QString, crc);
    QCOMPARE(Crc16Text(text), crc);
}

void TestFrameCodec::driveFrames_data()
{
    // The drive command frames for station 01, CRC included, as they go on the line.
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("start 1") << "010600000476" << QByteArray::fromHex("0106000004760AEC");
    QTest::newRow("start 2") << "01060000047F" << QByteArray::fromHex("01060000047FCAEA");
    QTest::newRow("stop") << "010600000477" << QByteArray::fromHex("010600000477CB2C");
    QTest::newRow("fault reset 2") << "0106000004F7" << QByteArray::fromHex("0106000004F7CA8C");
    QTest::newRow("25 Hz") << "010600012710" << QByteArray::fromHex("010600012710C236");
    QTest::newRow("50 Hz") << "010600014E20" << QByteArray::fromHex("010600014E20EC72");
    QTest::newRow("reference 0") << "010600010000" << QByteArray::fromHex("010600010000D80A");
    QTest::newRow("poll") << "010300040006" << QByteArray::fromHex("0103000400068409");
    QTest::newRow("read 9802") << "010326490001" << QByteArray::fromHex("0103264900015E94");
}

void TestFrameCodec::driveFrames()
{
    QFETCH(QString, frame);
    QFETCH(QByteArray, wire);
    QCOMPARE(HexFrameToBytes(frame), wire);
    // The echo route: text + CRC text paired the same way gives the same bytes.
    QCOMPARE(HexPairsToBytes(frame + Crc16Text(frame)), wire);
    QCOMPARE(BytesToHexText(wire), frame + Crc16Text(frame));
}

void TestFrameCodec::hexFrameToBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty gives the CRC of nothing") << "" << QByteArray::fromHex("FFFF");
    QTest::newRow("one byte") << "01" << QByteArray::fromHex("017E80");
    // "010" + "7E80" is cut as 01 07 E8 and the last digit is dropped.
    QTest::newRow("odd length") << "010" << QByteArray::fromHex("0107E8");
}

void TestFrameCodec::hexFrameToBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(HexFrameToBytes(text), bytes);
}

void TestFrameCodec::blankShiftsThePairs()
{
    // Pairing keeps every character: the blank lands inside a pair and shifts the
    // later pairs, while the CRC covers the hexadecimal digits only.
    const QString text = QStringLiteral("01 03");
    const QString t = text + Crc16Text(text);
    const QByteArray got = HexFrameToBytes(text);
    QCOMPARE(got.size(), t.size() / 2);
    QCOMPARE(quint8(got[0]), quint8(0x01));
    QCOMPARE(quint8(got[1]), quint8(0x00));  // " 0"
    QCOMPARE(quint8(got[2]), HexPairValue(QStringView(t).mid(4, 2)));
    QCOMPARE(Crc16Text(text), Crc16Text(u"0103"));
}

void TestFrameCodec::argumentUnchanged()
{
    const QString text = QStringLiteral("01 03 00 00 00 01");
    const QString copy = text;
    Crc16Text(text);
    HexFrameToBytes(text);
    QCOMPARE(text, copy);
}

void TestFrameCodec::hexPairValue_data()
{
    QTest::addColumn<QString>("pair");
    QTest::addColumn<int>("value");
    QTest::newRow("upper") << "AF" << 0xAF;
    QTest::newRow("lower") << "af" << 0xAF;
    QTest::newRow("blank first") << " F" << 0x0F;
    QTest::newRow("blank second") << "F " << 0x0F;
    QTest::newRow("tab") << "\t1" << 0x01;
    QTest::newRow("line feed") << "\n1" << 0x01;
    QTest::newRow("carriage return is no blank") << "\r1" << 0;
    QTest::newRow("stops at non-hex") << "1G" << 0x01;
    QTest::newRow("no leading digit") << "G1" << 0;
    QTest::newRow("two blanks") << "  " << 0;
    QTest::newRow("single") << "7" << 7;
}

void TestFrameCodec::hexPairValue()
{
    QFETCH(QString, pair);
    QFETCH(int, value);
    QCOMPARE(int(HexPairValue(pair)), value);
}

namespace {

// A random request of function 03, 06 or 16 for a random station, as frame text.
QString RandomRequest(QRandomGenerator& rng, int& station)
{
    station = rng.bounded(1, 248);
    const int function = std::array{3, 6, 16}[rng.bounded(3)];
    const int address = rng.bounded(0, 100);  // inside the slave's mapping
    QString t = QStringLiteral("%1%2%3").arg(station, 2, 16, QLatin1Char('0')).arg(function, 2, 16, QLatin1Char('0'))
                    .arg(address, 4, 16, QLatin1Char('0'));
    if (function == 3) {
        t += QStringLiteral("%1").arg(rng.bounded(1, 20), 4, 16, QLatin1Char('0'));
    } else if (function == 6) {
        t += QStringLiteral("%1").arg(rng.bounded(0, 0x10000), 4, 16, QLatin1Char('0'));
    } else {
        const int count = rng.bounded(1, 10);
        t += QStringLiteral("%1%2").arg(count, 4, 16, QLatin1Char('0')).arg(count * 2, 2, 16, QLatin1Char('0'));
        for (int i = 0; i < count; ++i)
            t += QStringLiteral("%1").arg(rng.bounded(0, 0x10000), 4, 16, QLatin1Char('0'));
    }
    // Mixed case on purpose: the codec must not care.
    return rng.bounded(2) ? t.toUpper() : t.toLower();
}

struct ModbusSlave {
    modbus_t* ctx = nullptr;
    modbus_mapping_t* map = nullptr;
    explicit ModbusSlave(const QString& path)
    {
        ctx = modbus_new_rtu(path.toLocal8Bit().constData(), 9600, 'N', 8, 1);
        if (!ctx)
            return;
        modbus_set_response_timeout(ctx, 1, 0);
        modbus_set_indication_timeout(ctx, 2, 0);
        map = modbus_mapping_new(0, 0, 200, 0);
        if (modbus_connect(ctx) != 0) {
            modbus_free(ctx);
            ctx = nullptr;
        }
    }
    ~ModbusSlave()
    {
        if (map)
            modbus_mapping_free(map);
        if (ctx) {
            modbus_close(ctx);
            modbus_free(ctx);
        }
    }
};

} // namespace

void TestFrameCodec::independentStackAcceptsEveryFrame()
{
    test::Pty pty;
    QVERIFY(pty.isValid());
    ModbusSlave slave(pty.slavePath());
    QVERIFY2(slave.ctx, "libmodbus could not open the pseudo-terminal");

    QRandomGenerator rng(20261207);
    uint8_t req[MODBUS_RTU_MAX_ADU_LENGTH];
    for (int i = 0; i < 300; ++i) {
        int station = 0;
        const QString text = RandomRequest(rng, station);
        const QByteArray frame = HexFrameToBytes(text);
        modbus_set_slave(slave.ctx, station);
        QVERIFY(pty.write(frame));
        const int n = modbus_receive(slave.ctx, req);
        // -1 is a CRC error (or a frame for another station): the frame was refused.
        QVERIFY2(n == frame.size(), qPrintable(QStringLiteral("libmodbus refused %1 (%2)").arg(BytesToHexText(frame)).arg(
                                        QString::fromLocal8Bit(modbus_strerror(errno)))));
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(req), n), frame);
    }

    // And a frame with a broken CRC is refused by the same stack.
    QByteArray bad = HexFrameToBytes(u"010300040006");
    bad[bad.size() - 1] = static_cast<char>(bad[bad.size() - 1] ^ 0x01);
    modbus_set_slave(slave.ctx, 1);
    modbus_set_indication_timeout(slave.ctx, 0, 300000);
    QVERIFY(pty.write(bad));
    QCOMPARE(modbus_receive(slave.ctx, req), -1);
}

void TestFrameCodec::independentStackRepliesCheckOut()
{
    // The other way round: replies built by libmodbus carry CRCs that our codec agrees with.
    test::Pty pty;
    QVERIFY(pty.isValid());
    ModbusSlave slave(pty.slavePath());
    QVERIFY(slave.ctx);
    for (int r = 0; r < 200; ++r)
        slave.map->tab_registers[r] = static_cast<uint16_t>(r * 257);
    QRandomGenerator rng(7);
    uint8_t req[MODBUS_RTU_MAX_ADU_LENGTH];
    for (int i = 0; i < 50; ++i) {
        int station = 0;
        const QString text = RandomRequest(rng, station);
        modbus_set_slave(slave.ctx, station);
        QVERIFY(pty.write(HexFrameToBytes(text)));
        const int n = modbus_receive(slave.ctx, req);
        QVERIFY(n > 0);
        QVERIFY(modbus_reply(slave.ctx, req, n, slave.map) > 0);
        const QByteArray reply = pty.readAvailable(1000, 30);
        QVERIFY(reply.size() > 4);
        const QString body = BytesToHexText(reply.left(reply.size() - 2));
        QCOMPARE(Crc16Text(body), BytesToHexText(reply.right(2)));
        QCOMPARE(HexFrameToBytes(body), reply);
    }
}

QTEST_GUILESS_MAIN(TestFrameCodec)
#include "test_framecodec.moc"

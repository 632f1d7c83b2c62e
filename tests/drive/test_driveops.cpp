// Drive frames, poll decoding, parameter result rows and the catalogue.
#include "drive/catalogue.h"
#include "drive/drivecommands.h"
#include "drive/paramread.h"
#include "drive/polling.h"
#include "serial/framecodec.h"

#include <QTest>

#include <cfloat>

using namespace kv;

class TestDriveOps : public QObject {
    Q_OBJECT
private slots:
    void frequencyReference_data();
    void frequencyReference();
    void echoFrames_data();
    void echoFrames();
    void pollRequest();
    void decodeWorkedExample();
    void signedRegisters_data();
    void signedRegisters();
    void decodeOnlyExactLength_data();
    void decodeOnlyExactLength();
    void curveSamplesNeverInfinite_data();
    void curveSamplesNeverInfinite();
    void resultRows_data();
    void resultRows();
    void textRepliesAsUtf16Bytes();
    void parameterRequests_data();
    void parameterRequests();
    void catalogueShape();
    void catalogueGroups_data();
    void catalogueGroups();
};

void TestDriveOps::frequencyReference_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("digits");
    QTest::newRow("25") << "25" << "2710";
    QTest::newRow("1") << "1" << "0190";
    QTest::newRow("0") << "0" << "0000";
    QTest::newRow("10.24") << "10.24" << "1000";
    QTest::newRow("50") << "50" << "4E20";
    QTest::newRow("half to even down") << "0.03125" << "000C";
    QTest::newRow("half to even up") << "0.09375" << "0026";
    QTest::newRow("above 50") << "60" << "0000";
    QTest::newRow("just above 50") << "50.0001" << "0000";
    QTest::newRow("negative") << "-5" << "0000";
    QTest::newRow("letters") << "abc" << "0000";
    QTest::newRow("blanks around and inside") << "  2 5  " << "2710";
    QTest::newRow("hex") << "&H19" << "2710";
    QTest::newRow("huge") << "1e309" << "0000";
    QTest::newRow("negative zero") << "-0" << "0000";
}

void TestDriveOps::frequencyReference()
{
    QFETCH(QString, text);
    QFETCH(QString, digits);
    QCOMPARE(FrequencyReferenceDigits(text), digits);
}

void TestDriveOps::echoFrames_data()
{
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QString>("full");
    QTest::newRow("start 1") << QStringLiteral("01") + (kStartFrame1) << "0106000004760AEC";
    QTest::newRow("start 2") << QStringLiteral("01") + (kStartFrame2) << "01060000047FCAEA";
    QTest::newRow("stop") << QStringLiteral("01") + (kStopFrame) << "010600000477CB2C";
    QTest::newRow("set 25 Hz") << QStringLiteral("01") + (kSetFrequencyPrefix) + FrequencyReferenceDigits(u"25")
                               << "010600012710C236";
    QTest::newRow("set 50 Hz") << QStringLiteral("01") + (kSetFrequencyPrefix) + FrequencyReferenceDigits(u"50")
                               << "010600014E20EC72";
}

void TestDriveOps::echoFrames()
{
    QFETCH(QString, frame);
    QFETCH(QString, full);
    const EchoFrame f = MakeEchoFrame(frame);
    QCOMPARE(f.fullText, full);
    QCOMPARE(f.bytes, QByteArray::fromHex(full.toLatin1()));
    // Both codec routes agree on frames the program builds.
    QCOMPARE(f.bytes, HexFrameToBytes(frame));
}

void TestDriveOps::pollRequest()
{
    QCOMPARE(PollRequestText(u"01"), QStringLiteral("010300040006"));
    QCOMPARE(HexFrameToBytes(PollRequestText(u"01")), QByteArray::fromHex("0103000400068409"));
    QCOMPARE(HexFrameToBytes(PollRequestText(u"0A")).size(), 8);
}

void TestDriveOps::decodeWorkedExample()
{
    const auto r = DecodePollReply(u"01030C01F4000A021C03E8012C0001ABCD");
    QVERIFY(r.has_value());
    QCOMPARE(r->PolledValues[0], 50.0f);
    QCOMPARE(r->PolledValues[1], 1.0f);
    QCOMPARE(r->PolledValues[2], 540.0f);
    QCOMPARE(r->PolledValues[3], 10.0f);
    QCOMPARE(r->PolledValues[4], 7.2f);
    QCOMPARE(r->StatusWord, 1);
    QVERIFY(IsStatusBitSet(r->StatusWord, 0));
    for (int i = 1; i < kStatusLampCount; ++i)
        QVERIFY(!IsStatusBitSet(r->StatusWord, i));
    // The default curves: frequency x 1, current x 1, DC voltage x 0.1.
    QCOMPARE(CurveSample(r->PolledValues[0], 1), 50.0f);
    QCOMPARE(CurveSample(r->PolledValues[1], 1), 1.0f);
    QCOMPARE(CurveSample(r->PolledValues[2], 0.1), 54.0f);
}

void TestDriveOps::signedRegisters_data()
{
    QTest::addColumn<QString>("digits");
    QTest::addColumn<int>("value");
    QTest::newRow("zero") << "0000" << 0;
    QTest::newRow("max positive") << "7FFF" << 32767;
    QTest::newRow("min negative") << "8000" << -32768;
    QTest::newRow("minus one") << "FFFF" << -1;
    QTest::newRow("lower case") << "ffff" << -1;
    QTest::newRow("stops at non-hex") << "1G00" << 1;
    QTest::newRow("no digit") << "zzzz" << 0;
}

void TestDriveOps::signedRegisters()
{
    QFETCH(QString, digits);
    QFETCH(int, value);
    QCOMPARE(int(SignedRegister(digits)), value);
}

void TestDriveOps::decodeOnlyExactLength_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("decoded");
    QTest::newRow("34") << "01030CFFFF000A021C03E8012C9FFFABCD" << true;
    QTest::newRow("33") << "01030CFFFF000A021C03E8012C8FFFABC" << false;
    QTest::newRow("35") << "01030CFFFF000A021C03E8012C8FFFABCDE" << false;
    QTest::newRow("exception reply") << "018302C0F1" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("two replies") << QString(68, u'0') << false;
    QTest::newRow("34 characters of text") << "hello world, this is 34 characters" << true;
}

void TestDriveOps::decodeOnlyExactLength()
{
    QFETCH(QString, text);
    QFETCH(bool, decoded);
    const auto r = DecodePollReply(text);
    QCOMPARE(r.has_value(), decoded);
    if (r && QTest::currentDataTag() == QLatin1String("34")) {
        QCOMPARE(r->PolledValues[0], -0.1f);  // 0xFFFF is -1, not 65535
        QCOMPARE(r->StatusWord, qint32(qint16(0x9FFF)));
        QVERIFY(r->StatusWord < 0);
        for (int i = 0; i < kStatusLampCount; ++i)
            QVERIFY(IsStatusBitSet(r->StatusWord, i));
    }
    if (r) {
        for (float v : r->PolledValues)
            QVERIFY(std::isfinite(v));
    }
}

void TestDriveOps::curveSamplesNeverInfinite_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<double>("factor");
    QTest::addColumn<float>("expected");
    QTest::newRow("plain") << 540.0f << 0.1 << 54.0f;
    QTest::newRow("huge factor") << 50.0f << 1e300 << FLT_MAX;
    QTest::newRow("huge negative") << -0.1f << 1e300 << -FLT_MAX;
    QTest::newRow("largest double factor") << 3276.7f << DBL_MAX << FLT_MAX;
    QTest::newRow("zero factor") << 50.0f << 0.0 << 0.0f;
}

void TestDriveOps::curveSamplesNeverInfinite()
{
    QFETCH(float, value);
    QFETCH(double, factor);
    QFETCH(float, expected);
    QCOMPARE(CurveSample(value, factor), expected);
}

void TestDriveOps::resultRows_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("row");
    QTest::newRow("value 100") << QByteArray::fromHex("0103020064B9AF") << "100";
    QTest::newRow("unsigned 65535") << QByteArray::fromHex("010302FFFFB9F4") << "65535";
    QTest::newRow("other station and bad CRC still a value") << QByteArray::fromHex("05030200010000") << "1";
    QTest::newRow("exception") << QByteArray::fromHex("018302C0F1") << "1832C0F1";
    QTest::newRow("no bytes") << QByteArray() << "";
    QTest::newRow("eight bytes") << QByteArray::fromHex("0103020064B9AF00") << "132064B9AF0";
    QTest::newRow("zero bytes inside") << QByteArray::fromHex("00000A") << "00A";
}

void TestDriveOps::resultRows()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, row);
    QCOMPARE(ParameterResultRow(reply), row);
}

void TestDriveOps::textRepliesAsUtf16Bytes()
{
    QCOMPARE(TextReplyBytes(u"d"), QByteArray("d\0", 2));
    QCOMPARE(ParameterResultRow(TextReplyBytes(u"d")), QStringLiteral("640"));
    QCOMPARE(TextReplyBytes(u"中"), QByteArray::fromHex("2D4E"));
    // Always an even count, so never a value row.
    QCOMPARE(TextReplyBytes(u"abc").size(), 6);
    QCOMPARE(ParameterResultRow(TextReplyBytes(u"abc")), QStringLiteral("610620630"));
}

void TestDriveOps::parameterRequests_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QByteArray>("wire");
    QTest::newRow("0101") << "0101----转速与方向" << QByteArray::fromHex("010300640001C5D5");
    QTest::newRow("9802") << "9802----通讯选择" << QByteArray::fromHex("0103264900015E94");
    QTest::newRow("0401") << "0401----最后故障" << HexFrameToBytes(u"010301900001");
    QTest::newRow("irregular row") << "5102-5126\t总线参数226" << HexFrameToBytes(u"010313ED0001");
}

void TestDriveOps::parameterRequests()
{
    QFETCH(QString, row);
    QFETCH(QByteArray, wire);
    QCOMPARE(HexFrameToBytes(ParameterReadRequestText(u"01", row)), wire);
}

void TestDriveOps::catalogueShape()
{
    QCOMPARE(CatalogueRowCount(), 415);
    const QString& text = CatalogueText();
    QVERIFY(text.endsWith(QStringLiteral("\r\n")));
    QCOMPARE(text.count(QStringLiteral("\r\n")), 415);
    QCOMPARE(ParameterGroups().size(), 31);
    QCOMPARE(ParameterGroups().first(), QStringLiteral("99 电机数据"));
    QCOMPARE(ParameterGroups().last(), QStringLiteral("98 可选件"));
    // Every row belongs to exactly one group of the list, and the groups cover all rows.
    int total = 0;
    for (const QString& g : ParameterGroups())
        total += CatalogueRowsOfGroup(g).size();
    QCOMPARE(total, 415);
    QCOMPARE(ParameterRegisterHex(u"0101----x"), QStringLiteral("0064"));
    QCOMPARE(ParameterRegisterHex(u"9802----x"), QStringLiteral("2649"));
}

void TestDriveOps::catalogueGroups_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::newRow("99") << "99 电机数据" << 8 << "9901----语言" << "9915----电机功率因数";
    QTest::newRow("01") << "01 运行数据" << 54 << "0101----转速与方向" << QString();
    QTest::newRow("98") << "98 可选件" << 1 << "9802----通讯选择" << "9802----通讯选择";
    QTest::newRow("51") << "51 外部通讯模块" << 9 << "5101----总线适配器类型" << "5133----功能块版本";
    QTest::newRow("53") << "53 内置通讯协议" << 20 << "5301----内置通讯协议辨识" << QString();
    QTest::newRow("no such group") << "77 nothing" << 0 << QString() << QString();
    QTest::newRow("design text") << "参数列表" << 0 << QString() << QString();
    QTest::newRow("empty") << "" << 0 << QString() << QString();
}

void TestDriveOps::catalogueGroups()
{
    QFETCH(QString, group);
    QFETCH(int, rows);
    QFETCH(QString, first);
    QFETCH(QString, last);
    const QStringList r = CatalogueRowsOfGroup(group);
    QCOMPARE(r.size(), rows);
    if (!first.isEmpty())
        QCOMPARE(r.first(), first);
    if (!last.isEmpty())
        QCOMPARE(r.last(), last);
    if (group.startsWith(u"51"))
        QCOMPARE(r[1], QStringLiteral("5102-5126\t总线参数226"));
}

QTEST_GUILESS_MAIN(TestDriveOps)
#include "test_driveops.moc"

// The trigger's rules and the capture's file without a window: the texts a
// condition is shown and filed by, and the CSV of a capture, row for row.
#include "drive/capturefile.h"
#include "drive/triggerrule.h"

#include <QDateTime>
#include <QTest>

using namespace kv;

namespace {

const qint64 kTrigger = QDateTime(QDate(2026, 12, 8), QTime(12, 3, 41, 250)).toMSecsSinceEpoch();

LiveSample Sample(qint64 timeMs, quint16 frequency, quint16 current, quint16 status, bool crcGood = true)
{
    return SampleFromRegisters({frequency, current, 540, 500, 500, status}, timeMs, crcGood);
}

TriggerCondition Bit(int bit, TriggerEdge edge)
{
    TriggerCondition c;
    c.bit = bit;
    c.edge = edge;
    return c;
}

TriggerCondition Level(TriggerValue value, double level, TriggerEdge edge)
{
    TriggerCondition c;
    c.kind = TriggerCondition::Kind::Level;
    c.value = value;
    c.level = level;
    c.edge = edge;
    return c;
}

} // namespace

Q_DECLARE_METATYPE(kv::TriggerCondition)

class TestCaptureFile : public QObject {
    Q_OBJECT
private slots:
    void conditionNamesAndFileNames_data();
    void conditionNamesAndFileNames();
    void csvOfACapture_data();
    void csvOfACapture();
};

void TestCaptureFile::conditionNamesAndFileNames_data()
{
    QTest::addColumn<TriggerCondition>("condition");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("fileName");
    QTest::newRow("a trip") << Bit(kSwFault, TriggerEdge::Rising) << "故障 ↑" << "2026-12-08_12-03-41.250_故障";
    QTest::newRow("ready lost") << Bit(kSwReadyToRun, TriggerEdge::Falling) << "准运行 ↓"
                                << "2026-12-08_12-03-41.250_准运行消失";
    QTest::newRow("a slash in the bit's name") << Bit(kSwExt2Selected, TriggerEdge::Either) << "外1/2 ↕"
                                               << "2026-12-08_12-03-41.250_外1_2变化";
    QTest::newRow("current above") << Level(TriggerValue::Current, 12.5, TriggerEdge::Rising) << "电流 > 12.5 A"
                                   << "2026-12-08_12-03-41.250_电流高于12.5A";
    QTest::newRow("DC voltage below") << Level(TriggerValue::DcVoltage, 480, TriggerEdge::Falling)
                                      << "直流电压 < 480 V" << "2026-12-08_12-03-41.250_直流电压低于480V";
    QTest::newRow("AI2 either way") << Level(TriggerValue::Ai2, 4.008, TriggerEdge::Either) << "AI2 ↕ 4.008 mA"
                                    << "2026-12-08_12-03-41.250_AI2越过4.008mA";
}

void TestCaptureFile::conditionNamesAndFileNames()
{
    QFETCH(TriggerCondition, condition);
    QFETCH(QString, text);
    QFETCH(QString, fileName);
    QCOMPARE(condition.Text(), text);
    QCOMPARE(CaptureFileStem(kTrigger, condition.FileTag()), fileName);
}

void TestCaptureFile::csvOfACapture_data()
{
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QList<quint16>>("record");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("recordLines");
    QTest::newRow("no fault involved") << false << QList<quint16>() << QString() << QString();
    QTest::newRow("fault record read")
        << true << QList<quint16>{3, 12, 0, 1460, 500, 527, 97, 0, 0x0238, 0, 0, 7, 0} << QString()
        << QStringLiteral("# 故障记录,0401,最后故障,3\r\n"
                          "# 故障记录,0402,故障时间1,12\r\n"
                          "# 故障记录,0403,故障时间2,0\r\n"
                          "# 故障记录,0404,故障时转速,1460\r\n"
                          "# 故障记录,0405,故障时频率,500\r\n"
                          "# 故障记录,0406,故障时电压,527\r\n"
                          "# 故障记录,0407,故障时电流,97\r\n"
                          "# 故障记录,0408,故障时转矩,0\r\n"
                          "# 故障记录,0409,故障时状态,568\r\n"
                          "# 故障记录,0410,故障时DI 1-3,0\r\n"
                          "# 故障记录,0411,故障时DI 4-6,0\r\n"
                          "# 故障记录,0412,历史故障1,7\r\n"
                          "# 故障记录,0413,历史故障2,0\r\n");
    QTest::newRow("fault record not read, the reason quoted")
        << true << QList<quint16>() << QStringLiteral("异常 02：非法数据地址, 重试 2 次")
        << QStringLiteral("# 故障记录,\"未能读取：异常 02：非法数据地址, 重试 2 次\"\r\n");
}

void TestCaptureFile::csvOfACapture()
{
    QFETCH(bool, asked);
    QFETCH(QList<quint16>, record);
    QFETCH(QString, error);
    QFETCH(QString, recordLines);
    CaptureFileFacts facts;
    facts.cause = QStringLiteral("故障 ↑");
    facts.triggerMs = kTrigger;
    facts.station = 10;
    facts.beforeMs = 5000;
    facts.afterMs = 100;
    facts.faultRecordAsked = asked;
    facts.faultRecord = record;
    facts.faultRecordError = error;
    const std::vector<LiveSample> samples{Sample(kTrigger - 100, 500, 123, 0x0237),
                                          Sample(kTrigger, 0, 0, 0x023F),
                                          Sample(kTrigger + 100, 0, 0, 0x023F, false)};
    const QString expected = QStringLiteral("# 触发条件,故障 ↑\r\n"
                                            "# 触发时间,2026-12-08T12:03:41.250\r\n"
                                            "# 站号,0A\r\n"
                                            "# 触发前 (s),5\r\n"
                                            "# 触发后 (s),0.1\r\n")
        + recordLines
        + QStringLiteral("时间,频率 (Hz),电流 (A),直流电压 (V),AI1,AI2,状态字,CRC,触发\r\n"
                         "2026-12-08T12:03:41.150,50,12.3,540,5,12,0237,正确,\r\n"
                         "2026-12-08T12:03:41.250,0,0,540,5,12,023F,正确,●\r\n"
                         "2026-12-08T12:03:41.350,0,0,540,5,12,023F,错误,\r\n");
    const QByteArray csv = CaptureCsv(facts, samples, 1);
    QVERIFY(csv.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(QString::fromUtf8(csv.mid(3)), expected);
}

QTEST_GUILESS_MAIN(TestCaptureFile)
#include "test_capturefile.moc"

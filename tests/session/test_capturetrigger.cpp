// The trigger in the line session, on a virtual clock: which sample fires it
// and what the capture holds, once or again and again, never while disarmed,
// levels crossed with samples exactly at the level, no crossing across a gap;
// and the fault record read once between two samples of the fast sampler,
// kept with the capture and in its file.
#include "drive/fastpoll.h"
#include "modbus/engine.h"
#include "serial/faketransport.h"
#include "session/capturetrigger.h"
#include "session/linesession.h"
#include "session/samplehistory.h"
#include "tests/support/scripteddrive.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace kv;

namespace {

constexpr quint16 kStatus = 0x0237;  // ready, running, no fault

TriggerCondition Bit(int bit, TriggerEdge edge = TriggerEdge::Rising)
{
    TriggerCondition c;
    c.bit = bit;
    c.edge = edge;
    return c;
}

TriggerCondition Current(double level, TriggerEdge edge)
{
    TriggerCondition c;
    c.kind = TriggerCondition::Kind::Level;
    c.value = TriggerValue::Current;
    c.level = level;
    c.edge = edge;
    return c;
}

struct Session {
    VirtualClock clock;
    FakeTransport* line = nullptr;
    std::unique_ptr<LineSession> session;

    Session()
    {
        auto fake = std::make_unique<FakeTransport>(clock);
        line = fake.get();
        session = std::make_unique<LineSession>(std::move(fake), clock);
    }
};

} // namespace

Q_DECLARE_METATYPE(kv::TriggerCondition)

class TestCaptureTrigger : public QObject {
    Q_OBJECT
private slots:
    void firesAndCaptures_data();
    void firesAndCaptures();
    void faultRecordReadOnceBetweenSamples();
};

void TestCaptureTrigger::firesAndCaptures_data()
{
    QTest::addColumn<TriggerCondition>("condition");
    QTest::addColumn<bool>("continuous");
    QTest::addColumn<bool>("armed");
    QTest::addColumn<int>("beforeMs");
    QTest::addColumn<int>("afterMs");
    // A sample every 100 ms: the condition's bit (0/1) or the current in A;
    // "|" is a pause of a second (a new stretch of sampling).
    QTest::addColumn<QString>("samples");
    // Each capture: "trigger's sample: first-last sample held", counted from 0.
    QTest::addColumn<QStringList>("captures");

    const QString trip = QStringLiteral("0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 1 1 1 1 1 1 1 1 1 1");
    QTest::newRow("a trip: 1 s before, 0.5 s after")
        << Bit(kSwFault) << false << true << 1000 << 500 << trip << QStringList{"20:10-25"};
    QTest::newRow("before reaches past the first sample")
        << Bit(kSwFault) << false << true << 1000 << 200 << "0 0 0 1 1 1 1 1" << QStringList{"3:0-5"};
    QTest::newRow("after cut short when sampling stops")
        << Bit(kSwFault) << false << true << 0 << 5000 << "0 0 1 1" << QStringList{"2:2-3"};
    const QString twoTrips = QStringLiteral("0 0 0 0 0 1 1 1 1 1 0 0 0 0 0 1 1 1 1 1");
    QTest::newRow("单次: the second trip is not caught")
        << Bit(kSwFault) << false << true << 200 << 200 << twoTrips << QStringList{"5:3-7"};
    QTest::newRow("连续: armed again after each capture")
        << Bit(kSwFault) << true << true << 200 << 200 << twoTrips << QStringList{"5:3-7", "15:13-17"};
    QTest::newRow("disarmed: nothing") << Bit(kSwFault) << true << false << 200 << 200 << twoTrips << QStringList{};
    QTest::newRow("falling bit") << Bit(kSwReadyToRun, TriggerEdge::Falling) << false << true << 0 << 0
                                 << "0 1 1 0 0" << QStringList{"3:3-3"};
    QTest::newRow("rising: at the level is not above it")
        << Current(12.5, TriggerEdge::Rising) << false << true << 0 << 0 << "12 12.5 13 12.5 12" << QStringList{"2:2-2"};
    QTest::newRow("falling: at the level is not below it")
        << Current(12.5, TriggerEdge::Falling) << false << true << 0 << 0 << "13 12.5 12 12.5 13" << QStringList{"2:2-2"};
    QTest::newRow("either: up through it and down again")
        << Current(12.3, TriggerEdge::Either) << true << true << 0 << 0 << "12.2 12.3 12.4 12.3 12.2"
        << QStringList{"2:2-2", "4:4-4"};
    QTest::newRow("a change across a gap does not count")
        << Bit(kSwFault) << true << true << 1500 << 0 << "0 0 | 1 1 0 0 1" << QStringList{"6:1-6"};
}

void TestCaptureTrigger::firesAndCaptures()
{
    QFETCH(TriggerCondition, condition);
    QFETCH(bool, continuous);
    QFETCH(bool, armed);
    QFETCH(int, beforeMs);
    QFETCH(int, afterMs);
    QFETCH(QString, samples);
    QFETCH(QStringList, captures);

    Session s;
    CaptureTrigger& trigger = s.session->Trigger();
    TriggerSettings settings;
    settings.condition = condition;
    settings.beforeMs = beforeMs;
    settings.afterMs = afterMs;
    settings.mode = continuous ? TriggerSettings::Mode::Continuous : TriggerSettings::Mode::Single;
    trigger.SetSettings(settings);
    trigger.SetArmed(armed);
    QStringList got;
    QMap<qint64, int> indexAt;  // sample time -> its number
    connect(&trigger, &CaptureTrigger::Captured, this, [&](const TraceCapture& c) {
        const SampleHistory& h = *c.samples;
        got << QStringLiteral("%1:%2-%3").arg(indexAt[c.triggerMs]).arg(indexAt[h.At(0).timeMs]).arg(
            indexAt[h.At(h.Count() - 1).timeMs]);
        QCOMPARE(h.At(c.triggerIndex).timeMs, c.triggerMs);
    });

    s.session->SetPolling(true);
    int n = 0;
    for (const QString& token : samples.split(u' ')) {
        if (token == u"|") {  // paused for a second
            s.session->SetPolling(false);
            s.clock.AdvanceMs(1000);
            s.session->SetPolling(true);
            continue;
        }
        s.clock.AdvanceMs(100);
        std::array<quint16, kRegLiveBlockCount> registers{500, 100, 540, 500, 500, kStatus};
        if (condition.kind == TriggerCondition::Kind::Bit)
            registers[5] = token == u"1" ? quint16(kStatus | 1u << condition.bit) : quint16(kStatus & ~(1u << condition.bit));
        else
            registers[1] = static_cast<quint16>(qRound(token.toDouble() * 10));
        indexAt[s.clock.WallMs()] = n++;
        s.session->TakeSample(SampleFromRegisters(registers, s.clock.WallMs()));
    }
    // Sampling stops: what is still waiting for its time after is frozen all the same.
    s.clock.AdvanceMs(afterMs + CaptureTrigger::kStallGraceMs + 100);
    QCOMPARE(got, captures);
    QCOMPARE(trigger.Captures(), qint64(captures.size()));
    QCOMPARE(trigger.Armed(), armed && continuous);
}

void TestCaptureTrigger::faultRecordReadOnceBetweenSamples()
{
    Session s;
    test::ScriptedDrive drive(*s.line);
    const QList<quint16> record{3, 12, 0, 1460, 500, 527, 97, 0, 0x023F, 0, 0, 7, 0};
    for (quint16 r = 0; r < kRegLiveBlockCount; ++r)
        drive.registers[quint16(kRegLiveBlockStart + r)] = std::array<quint16, 6>{500, 97, 527, 500, 500, kStatus}[r];
    for (quint16 k = 0; k < kFaultRecordCount; ++k)
        drive.registers[quint16(kRegFaultRecordStart + k)] = record[k];
    QVERIFY(s.line->Open(QStringLiteral("scripted"), LineSettings{}, nullptr));
    QList<QPair<qint64, QByteArray>> sent;  // every request with its time on the clock
    connect(s.line, &Transport::Transmitted, this,
            [&](const QByteArray& bytes) { sent.append({s.clock.NowUs(), bytes}); });

    QTemporaryDir dir;
    CaptureTrigger& trigger = s.session->Trigger();
    TriggerSettings settings;  // 故障 ↑
    settings.beforeMs = 1000;
    settings.afterMs = 500;
    settings.folder = dir.filePath(QStringLiteral("captures"));
    trigger.SetSettings(settings);
    trigger.Arm();
    std::optional<TraceCapture> captured;
    connect(&trigger, &CaptureTrigger::Captured, this, [&](const TraceCapture& c) { captured = c; });
    s.session->Sampler().SetPeriodMs(FastPoll::kAsFastAsPossible);
    s.session->SetFastSampling(true);
    s.session->SetPolling(true);
    s.clock.AdvanceMs(2000);
    drive.registers[kRegStatusWord] = kStatus | 1u << kSwFault;  // the drive trips
    QVERIFY(s.clock.AdvanceUntil([&] { return captured.has_value(); }, 5'000'000));
    s.clock.AdvanceMs(100);

    // Read once, between two reads of the live block.
    const QString live = QStringLiteral("R 0004 x6");
    QCOMPARE(drive.requests.count(QStringLiteral("R 0190 x13")), 1);
    const qsizetype at = drive.requests.indexOf(QStringLiteral("R 0190 x13"));
    QCOMPARE(drive.requests.mid(at - 1, 3), (QStringList{live, QStringLiteral("R 0190 x13"), live}));
    // The sampler goes on as soon as the line is free: the fault record's
    // request (8 characters at 9600 baud, 1.04 ms each) and the 3.5
    // characters of silence after it, within a millisecond.
    const qint64 lineFreeUs = (8 + 3.5) * 10 * 1'000'000 / 9600;
    const qint64 gapUs = sent[at + 1].first - sent[at].first;
    QVERIFY2(gapUs <= lineFreeUs + 1000, qPrintable(QString::number(gapUs)));

    QVERIFY(captured->fault);
    QCOMPARE(captured->faultRecord, record);
    QVERIFY(captured->faultRecordError.isEmpty());
    const QStringList files = QDir(settings.folder).entryList(QDir::Files);
    QCOMPARE(files, QStringList{QFileInfo(captured->csvPath).fileName()});
    QVERIFY2(files[0].endsWith(QStringLiteral("_故障.csv")), qPrintable(files[0]));
    QFile file(captured->csvPath);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
    QVERIFY(lines.contains(QStringLiteral("# 故障记录,0401,最后故障,3")));
    QVERIFY(lines.contains(QStringLiteral("# 故障记录,0409,故障时状态,575")));
    const qsizetype marked = lines.indexOf(QRegularExpression(QStringLiteral(".*,●$")));
    QVERIFY(marked > 0);
    QVERIFY2(lines[marked].endsWith(QStringLiteral(",50,9.7,527,5,12,023F,正确,●")), qPrintable(lines[marked]));
    QVERIFY2(lines[marked - 1].endsWith(QStringLiteral(",50,9.7,527,5,12,0237,正确,")), qPrintable(lines[marked - 1]));
}

QTEST_GUILESS_MAIN(TestCaptureTrigger)
#include "test_capturetrigger.moc"

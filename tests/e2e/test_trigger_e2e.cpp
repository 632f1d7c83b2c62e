// A trip caught against the simulated drive: the window's additions sample
// it fast, the trigger waits for "故障 ↑", drive-sim trips a moment after its
// start (--fault-after), the current climbing before it, and fills its fault
// record; the capture holds the overload and the trip's sample, the fault
// record as the drive gives it, and its CSV file.
#include "app/fastsampling.h"
#include "app/triggerdialog.h"
#include "app/triggerui.h"
#include "modbus/engine.h"
#include "serial/mscomm.h"
#include "serial/portsettings.h"
#include "session/capturetrigger.h"
#include "tests/e2e/simprocess.h"
#include "tests/support/tool.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace kv;

class TestTriggerE2e : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void tripCaughtWithItsFaultRecord();

private:
    QTemporaryDir m_data;
};

void TestTriggerE2e::initTestCase()
{
    QVERIFY(m_data.isValid());
    qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
    QVERIFY(QDir().mkpath(PortLinkFolder()));
}

void TestTriggerE2e::tripCaughtWithItsFaultRecord()
{
    test::SimProcess sim;
    const QString link = PortLinkFolder() + QStringLiteral("/COM3");
    QVERIFY2(sim.start({QStringLiteral("--link"), link, QStringLiteral("--fault-after"), QStringLiteral("2")}),
             qPrintable(sim.error()));
    QTRY_VERIFY(QFileInfo(link).isSymLink() && QFileInfo(link).exists());
    test::Tool tool;
    auto& fast = tool.Piece<FastSamplingMenu>();
    fast.SetFastPeriod(50);
    fast.FastOn->trigger();
    tool.form->CommandOpenMSC->click();  // COM 3, 9600,N,8,1, station 1
    QVERIFY2(tool.form->MSComm->PortOpen(), qPrintable(tool.boxes.texts().join(u'|')));

    // 故障 ↑ (the default), 1 s before and after, once, into a folder of the test.
    TriggerUi& ui = tool.Piece<TriggerUi>();
    ui.TriggerSettings->trigger();
    TriggerDialog& dialog = *ui.Dialog();
    QCOMPARE(dialog.Condition->text(), QStringLiteral("故障 ↑"));
    dialog.Before->setValue(1.0);
    dialog.After->setValue(1.0);
    tool.files.folder = m_data.filePath(QStringLiteral("captures"));
    dialog.Browse->click();
    dialog.Ok->click();
    ui.TriggerArm->trigger();
    QCOMPARE(tool.Part(QStringLiteral("statusTrigger"))->text(), QStringLiteral("触发：等待"));
    std::optional<TraceCapture> captured;
    connect(&tool.session->Trigger(), &CaptureTrigger::Captured, this, [&](const TraceCapture& c) { captured = c; });

    tool.form->Commandgraphstart->click();  // sampling
    for (const quint16 word : {kCwStartPrepare, kCwStartRun})
        tool.session->Engine().Submit(mb::Request::Write(1, kRegControlWord, word));
    QTRY_VERIFY_WITH_TIMEOUT(captured.has_value(), 20000);

    // The trip's sample, the one before it without the fault.
    QCOMPARE(captured->cause, QStringLiteral("故障 ↑"));
    QVERIFY(captured->fault);
    const SampleHistory& samples = *captured->samples;
    QVERIFY(captured->triggerIndex > 0);
    QVERIFY(BitSet(samples.At(captured->triggerIndex).Status(), kSwFault));
    QVERIFY(!BitSet(samples.At(captured->triggerIndex - 1).Status(), kSwFault));
    // The fault record as the drive keeps it: the fault code (3 by default),
    // the status word at the trip (running, no fault yet).
    QVERIFY2(captured->faultRecordError.isEmpty(), qPrintable(captured->faultRecordError));
    QCOMPARE(captured->faultRecord.size(), qsizetype(kFaultRecordCount));
    QCOMPARE(captured->faultRecord[0], quint16(3));
    QVERIFY(!BitSet(captured->faultRecord[8], kSwFault));
    // The overload that tripped it: the current climbs before the trip to more
    // than twice what it was a second before, and the record keeps its peak (0407).
    const quint16 first = samples.At(0).registers[1];
    const SampleHistory::Extremes before = samples.Range(0, captured->triggerIndex);
    QVERIFY2(before.high[1] > 2 * first, qPrintable(QStringLiteral("%1 %2").arg(before.high[1]).arg(first)));
    QVERIFY2(captured->faultRecord[6] > 2 * first, qPrintable(QString::number(captured->faultRecord[6])));

    // Its file: the comment lines, the header, a row per sample, the trip's row marked.
    QFile file(captured->csvPath);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(captured->csvPath));
    QVERIFY(QFileInfo(file).fileName().endsWith(QStringLiteral("_故障.csv")));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(lines.takeLast(), QString());
    QCOMPARE(lines.mid(0, 1), QStringList{QStringLiteral("# 触发条件,故障 ↑")});
    QVERIFY(lines.contains(QStringLiteral("# 故障记录,0401,最后故障,3")));
    const qsizetype header =
        lines.indexOf(QStringLiteral("时间,频率 (Hz),电流 (A),直流电压 (V),AI1,AI2,状态字,CRC,触发"));
    QCOMPARE(header, qsizetype(5 + kFaultRecordCount));
    const QStringList rows = lines.mid(header + 1);
    QCOMPARE(rows.size(), samples.Count());
    QCOMPARE(rows.filter(QStringLiteral(",●")).size(), 1);
    const QStringList marked = rows[captured->triggerIndex].split(u',');
    QCOMPARE(marked.last(), QStringLiteral("●"));
    QVERIFY(BitSet(marked[6].toUShort(nullptr, 16), kSwFault));

    // Once: disarmed again, the status line's part gone.
    QVERIFY(!ui.TriggerArm->isChecked());
    QVERIFY(tool.Part(QStringLiteral("statusTrigger"))->isHidden());
    QCOMPARE(sim.stop(), 0);
}

QTEST_MAIN(TestTriggerE2e)
#include "test_trigger_e2e.moc"

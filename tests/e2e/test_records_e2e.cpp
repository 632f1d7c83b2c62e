// Recording live values against the simulated drive on COM 3: every decoded
// reply becomes a row with the reply's values and CRC verdict, nothing lost
// while polling pauses and resumes, nor when the drive is pulled away and a new
// one appears under the same link and the port reconnects by itself; a file
// that cannot be written ends the recording with a message and polling goes on.
#include "app/liverecordingui.h"
#include "app/reconnect.h"
#include "drive/liverecord.h"
#include "serial/mscomm.h"
#include "serial/portsettings.h"
#include "tests/e2e/simprocess.h"
#include "tests/support/scripteddrive.h"
#include "tests/support/tool.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

using namespace kv;

namespace {

const QString kPortLost = QStringLiteral("串口已断开，请检查连接后重新打开串口");

// The row's fields the reply text gives, worked out here from the registers.
QStringList ExpectedFields(const QString& reply)
{
    const double factors[5] = {0.1, 0.1, 1.0, 0.01, 0.024};
    QStringList fields;
    for (int k = 0; k < 5; ++k) {
        const auto raw = static_cast<qint16>(reply.mid(6 + 4 * k, 4).toUShort(nullptr, 16));
        fields.append(QString::number(raw * factors[k], 'g', 6));
    }
    fields.append(reply.mid(26, 4).toUpper());
    const QByteArray bytes = QByteArray::fromHex(reply.toLatin1());
    const quint16 sent = static_cast<quint16>(static_cast<quint8>(bytes[15]) | (static_cast<quint8>(bytes[16]) << 8));
    fields.append(test::ModbusCrc(bytes.left(15)) == sent ? QStringLiteral("正确") : QStringLiteral("错误"));
    return fields;
}

} // namespace

class TestRecordsE2e : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void everyReplyAcrossPauseAndUnplug();
    void fileThatCannotBeWritten();

private:
    bool startDrive();
    void waitForReplies(int more);

    QTemporaryDir m_data;
    std::unique_ptr<test::SimProcess> m_sim;
    std::unique_ptr<test::Tool> m_tool;
    QStringList m_replies;  // every decoded reply's text, in order
};

void TestRecordsE2e::initTestCase()
{
    QVERIFY(m_data.isValid());
    qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
    QVERIFY(QDir().mkpath(PortLinkFolder()));
}

bool TestRecordsE2e::startDrive()
{
    m_sim = std::make_unique<test::SimProcess>();
    const QString link = PortLinkFolder() + QStringLiteral("/COM3");
    if (!m_sim->start({QStringLiteral("--link"), link, QStringLiteral("--bad-crc"), QStringLiteral("/3"),
                       QStringLiteral("--seed"), QStringLiteral("1")})) {
        qWarning("%s", qPrintable(m_sim->error()));
        return false;
    }
    return QTest::qWaitFor([&] { return QFileInfo(link).isSymLink() && QFileInfo(link).exists(); }, 5000);
}

void TestRecordsE2e::init()
{
    QVERIFY(startDrive());
    m_replies.clear();
    m_tool = std::make_unique<test::Tool>();
    connect(m_tool->form.get(), &Form1::PollReplyDecoded, this,
            [this](const QString& text) { m_replies.append(text); });
    m_tool->form->CommandOpenMSC->click();  // COM 3, 9600,N,8,1, station 1
    QVERIFY2(m_tool->form->MSComm->PortOpen(), qPrintable(m_tool->boxes.texts().join(u'|')));
    m_tool->form->Commandgraphstart->click();
}

void TestRecordsE2e::cleanup()
{
    m_tool.reset();
    m_sim.reset();
}

void TestRecordsE2e::waitForReplies(int more)
{
    const qsizetype target = m_replies.size() + more;
    QTRY_VERIFY_WITH_TIMEOUT(m_replies.size() >= target, 10000);
}

void TestRecordsE2e::everyReplyAcrossPauseAndUnplug()
{
    LiveRecordingUi& rec = m_tool->Piece<LiveRecordingUi>();
    Reconnect& reconnect = m_tool->Piece<Reconnect>();
    reconnect.AutoReconnect->setChecked(true);
    m_tool->files.path = m_data.filePath(QStringLiteral("live.csv"));
    const qsizetype before = m_replies.size();
    rec.RecordStart->trigger();
    QVERIFY(rec.Recording().Active());
    waitForReplies(3);

    m_tool->form->Commandgraphstart->click();  // pause
    QCOMPARE(m_tool->form->Commandgraphstart->text(), Form1::kCaptionStart);
    m_tool->form->Commandgraphstart->click();  // and on again
    waitForReplies(2);

    // The boxes changed while the port is open: the retries use the settings
    // the port was opened with.
    m_tool->form->ComboMSCBaudrate->setEditText(QStringLiteral("19200"));
    m_tool->form->Combo2->setEditText(QStringLiteral("7"));
    // The drive is pulled away; another appears under the same link.
    m_sim->signal(SIGKILL);
    m_sim->stop();
    QTRY_COMPARE(m_tool->form->CommandOpenMSC->text(), Form1::kCaptionOpenPort);
    QTRY_VERIFY(reconnect.Part->text().startsWith(QStringLiteral("重新连接中…")));
    QVERIFY(startDrive());
    QTRY_VERIFY_WITH_TIMEOUT(m_tool->form->MSComm->PortOpen(), 10000);
    QCOMPARE(m_tool->form->CommandOpenMSC->text(), Form1::kCaptionClosePort);
    QVERIFY(reconnect.Part->isHidden());
    QCOMPARE(m_tool->form->ComboMSCBaudrate->currentText(), QStringLiteral("9600"));
    QCOMPARE(m_tool->form->StationAddr, QStringLiteral("01"));
    waitForReplies(3);  // polling resumed by itself
    QCOMPARE(m_tool->boxes.texts(), QStringList{kPortLost});
    QTRY_COMPARE(rec.Part->text(), QStringLiteral("实时记录：%1（%2 行）")
                                       .arg(QDir::toNativeSeparators(m_tool->files.path))
                                       .arg(m_replies.size() - before));

    rec.RecordStop->trigger();
    QVERIFY(rec.Part->isHidden());
    const QStringList replies = m_replies.mid(before);
    QFile file(m_tool->files.path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QStringList rows = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    QCOMPARE(rows.takeFirst(), QStringLiteral("时间,频率 (Hz),电流 (A),直流电压 (V),AI1,AI2,状态字,CRC"));
    QCOMPARE(rows.takeLast(), QString());  // the last row is whole
    QCOMPARE(rows.size(), replies.size());
    QString lastTime;
    int bad = 0;
    for (int i = 0; i < rows.size(); ++i) {
        QStringList fields = rows[i].split(u',');
        QCOMPARE(fields.size(), 8);
        const QString time = fields.takeFirst();
        QVERIFY2(QDateTime::fromString(time, Qt::ISODateWithMs).isValid(), qPrintable(time));
        QVERIFY(time >= lastTime);
        lastTime = time;
        for (int k = 0; k < 5; ++k)
            fields[k] = QString::number(fields[k].toDouble(), 'g', 6);
        QCOMPARE(fields, ExpectedFields(replies[i]));
        bad += fields[6] == QStringLiteral("错误");
    }
    QVERIFY(bad > 0);  // every third reply of each drive has its CRC spoilt
}

void TestRecordsE2e::fileThatCannotBeWritten()
{
    // A full disk: the file opens, and writing fails while the recording runs.
    if (!QFileInfo(QStringLiteral("/dev/full")).isWritable())
        QSKIP("no /dev/full here");
    LiveRecordingUi& rec = m_tool->Piece<LiveRecordingUi>();
    waitForReplies(1);
    m_tool->files.path = QStringLiteral("/dev/full");
    rec.RecordStart->trigger();
    QTRY_COMPARE(m_tool->boxes.shown.size(), 1);
    QVERIFY2(m_tool->boxes.shown[0].text.startsWith(QStringLiteral("实时数据记录已停止：")), qPrintable(m_tool->boxes.shown[0].text));
    QVERIFY(!rec.Recording().Active());
    QVERIFY(rec.Part->isHidden());
    QVERIFY(rec.RecordStart->isEnabled());
    // Polling goes on undisturbed.
    waitForReplies(2);
    QCOMPARE(m_tool->form->CommandOpenMSC->text(), Form1::kCaptionClosePort);
    QCOMPARE(m_tool->boxes.shown.size(), 1);
}

QTEST_MAIN(TestRecordsE2e)
#include "test_records_e2e.moc"

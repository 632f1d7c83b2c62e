// What sits beside the main window: the status line, the line lent to the
// engine (polling paused, the window's handlers refused), the log saved, the
// traffic capture. A pseudo-terminal is the drive.
#include "app/additions.h"
#include "app/form1.h"
#include "app/logbox.h"
#include "app/preferences.h"
#include "app/statusline.h"
#include "common/filechooser.h"
#include "common/intervaltimer.h"
#include "drive/fastpoll.h"
#include "modbus/capture.h"
#include "modbus/engine.h"
#include "modbus/statistics.h"
#include "serial/mscomm.h"
#include "tests/support/fakes.h"
#include "tests/support/pty.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace kv;

namespace {

class FixedFiles final : public FileChooser {
public:
    QString SaveFileName(const FileRequest&) override { return path; }
    QString OpenFileName(const FileRequest&) override { return path; }
    QString path;
};

} // namespace

class TestAdditions : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void menusComeAfterTheOriginal();
    void statusLineShowsThePort();
    void lineLentToTheEngine();
    void saveLogAndCapture();
    void captureThatCannotBeWrittenIsReported();
    void fastSamplingTakesThePollingOver();
    void fastSamplingIsKept();

private:
    void open();

    std::unique_ptr<test::Pty> m_pty;
    test::RecordingMessageBoxes m_boxes;
    test::FakePlatform m_platform;
    FixedFiles m_files;
    std::unique_ptr<Form1> m_form;
    QTemporaryDir m_dir;
    std::unique_ptr<Preferences> m_prefs;
    std::unique_ptr<Additions> m_add;
};

void TestAdditions::init()
{
    m_pty = std::make_unique<test::Pty>();
    QVERIFY(m_pty->isValid());
    m_boxes.shown.clear();
    m_form = std::make_unique<Form1>(m_boxes, m_platform);
    m_form->Form_Load();
    m_prefs = std::make_unique<Preferences>(m_dir.filePath(QStringLiteral("settings.ini")));
    m_add = std::make_unique<Additions>(*m_form, m_boxes, m_files, *m_prefs);
}

void TestAdditions::cleanup()
{
    m_add.reset();
    m_form.reset();
    m_pty.reset();
}

void TestAdditions::open()
{
    m_form->ComboMSCPort->setEditText(m_pty->slavePath());
    m_form->CommandOpenMSC_Click();
    QCOMPARE(m_form->CommandOpenMSC->text(), Form1::kCaptionClosePort);
}

void TestAdditions::menusComeAfterTheOriginal()
{
    QStringList titles;
    for (QAction* a : m_form->menuBar()->actions())
        titles.append(a->text());
    QCOMPARE(titles, (QStringList{"开始", "记录", "参数", "设置"}));
    QStringList items;
    for (QAction* a : m_add->RecordMenu->actions())
        if (!a->isSeparator())
            items.append(a->text());
    QCOMPARE(items, (QStringList{"保存日志…", "通讯记录到文件…", "停止通讯记录", "统计清零"}));
}

void TestAdditions::statusLineShowsThePort()
{
    QCOMPARE(m_add->Status().Port->text(), QStringLiteral("未打开"));
    m_form->Combo2->setEditText(QStringLiteral("10"));
    open();
    QCOMPARE(m_add->Status().Port->text(), m_pty->slavePath() + QStringLiteral("  9600,N,8,1  站号 0A"));
    m_form->CommandOpenMSC_Click();
    QCOMPARE(m_add->Status().Port->text(), QStringLiteral("未打开"));
}

void TestAdditions::lineLentToTheEngine()
{
    open();
    m_form->Commandgraphstart->click();
    QCOMPARE(m_form->Timer1->Interval(), 500);
    std::optional<mb::Result> result;
    m_add->Engine().Submit(mb::Request::Read(1, 0x0064, 1), [&](const mb::Result& r) { result = r; });
    QCOMPARE(m_form->Timer1->Interval(), 0);
    QByteArray request;
    QTRY_COMPARE((request += m_pty->readAvailable(20, 5)), QByteArray::fromHex("0103006400 01C5D5"));

    // Meanwhile the window's own handlers leave the line alone.
    m_form->Command1_Click();
    m_form->Command_stop_Click();
    QCOMPARE(m_boxes.texts(), (QStringList{"通讯忙，请稍候", "通讯忙，请稍候"}));
    m_form->Timer1_Timer();
    QCOMPARE(m_pty->readAvailable(100, 50), QByteArray());

    m_pty->write(QByteArray::fromHex("01030200 64B9AF"));
    QTRY_VERIFY(result.has_value());
    QCOMPARE(result->registers, QList<quint16>{100});
    QCOMPARE(m_form->Timer1->Interval(), 500);  // polling resumes as the button says
    QTRY_VERIFY(m_add->Status().Counters->text().startsWith(QStringLiteral("请求 1  正确 1")));
}

void TestAdditions::saveLogAndCapture()
{
    open();
    m_files.path = m_dir.filePath(QStringLiteral("capture.txt"));
    m_add->CaptureStart->trigger();
    QVERIFY(m_add->Capture().Active());
    QVERIFY(!m_add->CaptureStart->isEnabled());
    m_form->Text1->setText(QStringLiteral("01060000047F"));
    m_form->ChkCRC16->setChecked(true);
    m_form->Command1_Click();
    QCOMPARE(m_pty->read(8), QByteArray::fromHex("01060000047FCAEA"));
    m_pty->write(QByteArray::fromHex("018302C0F1"));
    QTRY_COMPARE(m_add->Capture().Lines(), qint64(2));
    m_add->CaptureStop->trigger();

    QFile capture(m_files.path);
    QVERIFY(capture.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(capture.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines[0].endsWith(QStringLiteral(" TX 01 06 00 00 04 7F CA EA  写 0000 = 047F")));
    QVERIFY(lines[1].endsWith(QStringLiteral(" RX 01 83 02 C0 F1  异常 02：非法数据地址")));
    QTRY_VERIFY(m_add->Status().Counters->text().contains(QStringLiteral("最近：异常 02：非法数据地址")));

    m_files.path = m_dir.filePath(QStringLiteral("log.txt"));
    m_add->SaveLog->trigger();
    QFile log(m_files.path);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(log.readAll()), m_form->Text2->Text());
    QVERIFY(m_form->Text2->Text().contains(QStringLiteral("接收: 018302C0F1")));
}

void TestAdditions::captureThatCannotBeWrittenIsReported()
{
    m_files.path = m_dir.filePath(QStringLiteral("no/such/folder/capture.txt"));
    m_add->CaptureStart->trigger();
    QVERIFY(!m_add->Capture().Active());
    QCOMPARE(m_boxes.shown.size(), 1);
    QVERIFY(m_boxes.shown[0].text.startsWith(QStringLiteral("无法创建通讯记录：")));
}

void TestAdditions::fastSamplingTakesThePollingOver()
{
    const QByteArray poll = QByteArray::fromHex("0103000400068409");
    const QByteArray reply = QByteArray::fromHex("01030C01F4000A021C03E8012C00013BE9");
    auto answer = [&](const QByteArray& bytes) {
        QByteArray request;
        QTRY_COMPARE((request += m_pty->readAvailable(20, 5)), poll);
        m_pty->write(bytes);
    };
    open();
    m_add->SetFastPeriod(20);
    m_add->FastOn->trigger();
    m_form->Commandgraphstart->click();
    QCOMPARE(m_form->Commandgraphstart->text(), Form1::kCaptionPause);
    QCOMPARE(m_form->Timer1->Interval(), 0);  // the sampler polls, not the timer
    answer(reply);
    QTRY_COMPARE(m_form->PollRepliesDecoded(), qint64(1));
    answer(reply.left(16) + char(0xEA));  // a bad CRC: counted, not plotted
    QTRY_COMPARE(m_add->Statistics().Counters().crcErrors, qint64(1));
    answer(reply);
    QTRY_COMPARE(m_form->PollRepliesDecoded(), qint64(2));

    // A drive button goes through at once, the sampler making way.
    m_form->Command_stop_Click();
    QVERIFY(m_boxes.shown.isEmpty());
    QByteArray line;
    QTRY_VERIFY((line += m_pty->readAvailable(20, 5)).contains(QByteArray::fromHex("010600000477CB2C")));

    // Off again: the poll timer polls as it always did.
    m_add->FastOn->trigger();
    QVERIFY(!m_add->Sampler().Running());
    QTRY_COMPARE(m_form->Timer1->Interval(), 500);
    m_form->Commandgraphstart->click();
    QCOMPARE(m_form->Timer1->Interval(), 0);
}

void TestAdditions::fastSamplingIsKept()
{
    m_add->FastOn->trigger();
    m_add->FastPeriods.last()->trigger();  // "尽快"
    m_add.reset();
    m_add = std::make_unique<Additions>(*m_form, m_boxes, m_files, *m_prefs);
    QVERIFY(m_add->FastOn->isChecked());
    QCOMPARE(m_add->Sampler().PeriodMs(), 0);
    QVERIFY(m_add->FastPeriods.last()->isChecked());
    QCOMPARE(m_add->FastPeriods.last()->text(), QStringLiteral("尽快"));
}

QTEST_MAIN(TestAdditions)
#include "test_additions.moc"

// What sits beside the main window: the status line, the line lent to the
// engine (polling paused, the window's handlers refused), the log saved, the
// traffic capture, the chart's picture, the port list read again, the settings
// kept, the retries after a loss. A pseudo-terminal is the drive.
#include "app/additions.h"
#include "app/chartexport.h"
#include "app/form1.h"
#include "app/logbox.h"
#include "app/portlist.h"
#include "app/preferences.h"
#include "app/reconnect.h"
#include "app/responsetimeout.h"
#include "app/statusline.h"
#include "chart/curvegraph.h"
#include "common/filechooser.h"
#include "common/intervaltimer.h"
#include "drive/fastpoll.h"
#include "modbus/capture.h"
#include "modbus/engine.h"
#include "modbus/statistics.h"
#include "serial/mscomm.h"
#include "serial/portinfo.h"
#include "tests/support/fakes.h"
#include "tests/support/pty.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QHelpEvent>
#include <QTest>
#include <QToolTip>

using namespace kv;

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
    void chartPictureIsTheSurface();
    void portListReadAgainWhenItOpens();
    void settingsKeptBetweenRuns();
    void pressingTheButtonEndsTheRetries();

private:
    void open();

    std::unique_ptr<test::Pty> m_pty;
    test::RecordingMessageBoxes m_boxes;
    test::FakePlatform m_platform;
    test::FixedFiles m_files;
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
    QCOMPARE(items, (QStringList{"保存日志…", "通讯记录到文件…", "停止通讯记录", "统计清零", "记录实时数据…", "停止记录",
                                 "保存曲线图片…", "复制曲线图片"}));
    items.clear();
    for (QAction* a : m_add->SettingsMenu->actions())
        items.append(a->text());
    QCOMPARE(items, (QStringList{"高速采样", "断线自动重连", "响应超时…", "语言 / Language"}));
}

void TestAdditions::statusLineShowsThePort()
{
    QCOMPARE(m_add->Status().Port->text(), QStringLiteral("未打开"));
    m_form->Combo2->setEditText(QStringLiteral("10"));
    open();
    QCOMPARE(m_add->Status().Port->text(), m_pty->slavePath() + QStringLiteral("  9600,N,8,1  站号 0A"));
    m_form->CommandOpenMSC_Click();
    QCOMPARE(m_add->Status().Port->text(), QStringLiteral("未打开"));

    // A text longer than the window: the window keeps its width, the long part
    // gives way and shows its whole text as a tooltip, the short one stays whole.
    m_form->show();
    const int width = m_form->width();
    const QString path = QStringLiteral("/tmp/") + QString(300, QLatin1Char('x')) + QStringLiteral(".txt");
    m_add->Status().Capture->setText(path);
    m_add->Status().Capture->show();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCOMPARE(m_form->width(), width);
    QVERIFY(m_add->Status().Capture->geometry().right() < width);
    QCOMPARE(m_add->Status().Port->width(), m_add->Status().Port->sizeHint().width());
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), m_add->Status().Capture->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(m_add->Status().Capture, &help);
    QCOMPARE(QToolTip::text(), path);
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

void TestAdditions::chartPictureIsTheSurface()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    for (const char* reply : {"01030C01F4007B021C01F401F404378176", "01030C00FA0050021C00C800640001707F",
                              "01030C01F4007B021C01F401F404378176"})
        m_form->HandlePollReply(QString::fromLatin1(reply));
    auto* surface = m_form->CurveGraph1->findChild<QWidget*>(QStringLiteral("picGraph"));
    auto* legend = m_form->CurveGraph1->findChild<QWidget*>(QStringLiteral("lblLegend1"));
    QVERIFY(surface && legend);
    // The user drags legend 1 elsewhere.
    const QPoint before = legend->pos();
    QTest::mousePress(legend, Qt::LeftButton, {}, QPoint(4, 4));
    QTest::mouseMove(legend, QPoint(44, 34));
    QTest::mouseRelease(legend, Qt::LeftButton, {}, QPoint(44, 34));
    QCOMPARE(legend->pos(), before + QPoint(40, 30));

    m_files.path = m_dir.filePath(QStringLiteral("chart.png"));
    m_add->ChartPicture().SavePicture->trigger();
    const QImage saved(m_files.path, "PNG");
    // The same pixels as the window shows in the surface's place.
    const QImage shown = m_form->grab(QRect(surface->mapTo(m_form.get(), QPoint(0, 0)), surface->size())).toImage();
    QCOMPARE(saved.size(), surface->size());
    QCOMPARE(saved.convertToFormat(QImage::Format_RGB32), shown.convertToFormat(QImage::Format_RGB32));

    m_add->ChartPicture().CopyPicture->trigger();
    QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
             saved.convertToFormat(QImage::Format_RGB32));
    QVERIFY(m_boxes.shown.isEmpty());
}

void TestAdditions::portListReadAgainWhenItOpens()
{
    QList<SystemPort> ports = {{"/dev/ttyUSB0", "ttyUSB0", "FT232R USB UART", "FTDI"}};
    m_add->Ports().SetSource([&] { return ports; });
    QComboBox* box = m_form->ComboMSCPort;
    box->lineEdit()->clear();
    QTest::keyClicks(box->lineEdit(), QStringLiteral("/dev/my-adapter"));
    box->showPopup();
    QCOMPARE(box->count(), 11);
    QCOMPARE(box->itemText(9), QStringLiteral("COM10"));
    QCOMPARE(box->itemText(10), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(box->itemData(10, Qt::ToolTipRole).toString(), QStringLiteral("ttyUSB0 — FT232R USB UART (FTDI)"));
    QCOMPARE(box->currentText(), QStringLiteral("/dev/my-adapter"));
    box->hidePopup();

    // That adapter pulled out, two others plugged in.
    ports = {{"/dev/ttyACM0", "ttyACM0", "", ""}, {"/dev/ttyUSB1", "ttyUSB1", "CP2102", "Silicon Labs"}};
    box->showPopup();
    QTRY_VERIFY(box->view()->isVisible());
    QCOMPARE(box->count(), 12);
    QCOMPARE(box->itemText(10), QStringLiteral("/dev/ttyACM0"));
    QCOMPARE(box->itemData(11, Qt::ToolTipRole).toString(), QStringLiteral("ttyUSB1 — CP2102 (Silicon Labs)"));
    QCOMPARE(box->currentText(), QStringLiteral("/dev/my-adapter"));
    box->hidePopup();

    // Open, the status line names the device the port resolved to.
    ports.append({m_pty->slavePath(), "pts", "USB-RS485 bridge", "Maker"});
    open();
    QCOMPARE(m_add->Ports().Part->text(), QStringLiteral("USB-RS485 bridge (Maker)"));
    QVERIFY(!m_add->Ports().Part->isHidden());
    m_form->CommandOpenMSC_Click();
    QVERIFY(m_add->Ports().Part->isHidden());
}

void TestAdditions::settingsKeptBetweenRuns()
{
    QVERIFY(!m_add->Reconnecting().AutoReconnect->isChecked());  // off by default
    m_add->Reconnecting().AutoReconnect->trigger();
    m_add->ResponseTimeout().ResponseTimeout->trigger();
    auto* dialog = m_form->findChild<QInputDialog*>(QStringLiteral("ResponseTimeoutDialog"));
    QVERIFY(dialog);
    QCOMPARE(dialog->intValue(), 500);
    QCOMPARE(dialog->intMinimum(), 100);
    QCOMPARE(dialog->intMaximum(), 5000);
    dialog->setIntValue(1200);
    dialog->accept();
    QCOMPARE(m_add->Engine().ResponseTimeoutMs(), 1200);

    // The next run starts with them; the window as always.
    m_add.reset();
    m_form = std::make_unique<Form1>(m_boxes, m_platform);
    m_form->Form_Load();
    Preferences again(m_dir.filePath(QStringLiteral("settings.ini")));
    m_add = std::make_unique<Additions>(*m_form, m_boxes, m_files, again);
    QVERIFY(m_add->Reconnecting().AutoReconnect->isChecked());
    QCOMPARE(m_add->Engine().ResponseTimeoutMs(), 1200);
    QCOMPARE(m_form->ComboMSCPort->currentText(), QStringLiteral("COM 3"));
    m_add.reset();
}

void TestAdditions::pressingTheButtonEndsTheRetries()
{
    m_add->Reconnecting().AutoReconnect->setChecked(true);
    open();
    m_pty->closeMaster();  // the adapter is pulled out
    QTRY_COMPARE(m_form->CommandOpenMSC->text(), Form1::kCaptionOpenPort);
    QLabel* part = m_add->Reconnecting().Part;
    QVERIFY(!part->isHidden());
    QTRY_COMPARE(part->text(), QStringLiteral("重新连接中…（已试 2 次）"));
    const QStringList told = {QStringLiteral("串口已断开，请检查连接后重新打开串口")};
    QCOMPARE(m_boxes.texts(), told);  // once, not once per try

    m_form->CommandOpenMSC->click();  // the user tries, and is told the port is not there
    QVERIFY(!m_add->Reconnecting().Retrying());
    QVERIFY(part->isHidden());
    const int tries = m_add->Reconnecting().Tries();
    QTest::qWait(2 * Reconnect::kRetryIntervalMs);  // no try follows
    QCOMPARE(m_add->Reconnecting().Tries(), tries);
    QCOMPARE(m_boxes.texts(), told + QStringList{QStringLiteral("无效端口号")});
}

QTEST_MAIN(TestAdditions)
#include "test_additions.moc"

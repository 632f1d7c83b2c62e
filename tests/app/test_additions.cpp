// What sits beside the main window: the status line, the line lent to the
// engine (polling paused, the window's handlers refused), the log saved, the
// traffic capture, fast sampling, the chart's picture, the port list read
// again, the settings kept, the retries after a loss. A scripted line on a
// virtual clock is the drive, except where the retries need a device that
// goes away (a pseudo-terminal).
#include "app/captureui.h"
#include "app/chartexport.h"
#include "app/drivescanwindow.h"
#include "app/fastsampling.h"
#include "app/logbox.h"
#include "app/portlist.h"
#include "app/reconnect.h"
#include "app/triggerdialog.h"
#include "app/triggerui.h"
#include "chart/curvegraph.h"
#include "common/colors.h"
#include "common/intervaltimer.h"
#include "drive/fastpoll.h"
#include "modbus/capture.h"
#include "modbus/engine.h"
#include "modbus/statistics.h"
#include "serial/mscomm.h"
#include "serial/portinfo.h"
#include "session/capturetrigger.h"
#include "tests/support/bytes.h"
#include "tests/support/pty.h"
#include "tests/support/scripteddrive.h"
#include "tests/support/tool.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFile>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QToolTip>

using namespace kv;
using test::Hex;

namespace {

const QByteArray kPoll = Hex("01 03 00 04 00 06 84 09");
const QByteArray kPollReply = Hex("01 03 0C 01 F4 00 0A 02 1C 03 E8 01 2C 00 01 3B E9");

QStringList ItemTexts(const QMenu* menu)
{
    QStringList items;
    for (QAction* a : menu->actions())
        if (!a->isSeparator())
            items.append(a->text());
    return items;
}

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
    void chartPictureIsTheSurface();
    void portListReadAgainWhenItOpens();
    void settingsKeptBetweenRuns();
    void pressingTheButtonEndsTheRetries();
    void triggerSetArmedAndShown();
    void findTheDriveAndUseIt();

private:
    std::unique_ptr<test::Tool> m_tool;
};

void TestAdditions::init()
{
    m_tool = std::make_unique<test::Tool>(test::Tool::ScriptedLine);
}

void TestAdditions::cleanup()
{
    m_tool.reset();
}

void TestAdditions::menusComeAfterTheOriginal()
{
    QStringList titles;
    for (QAction* a : m_tool->form->menuBar()->actions())
        titles.append(a->text());
    QCOMPARE(titles, (QStringList{"开始", "记录", "参数", "设置", "分析"}));
    QCOMPARE(ItemTexts(m_tool->form->findChild<QMenu*>("RecordMenu")),
             (QStringList{"保存日志…", "通讯记录到文件…", "停止通讯记录", "统计清零", "记录实时数据…", "停止记录",
                          "保存曲线图片…", "复制曲线图片"}));
    QCOMPARE(ItemTexts(m_tool->form->findChild<QMenu*>("SettingsMenu")),
             (QStringList{"高速采样", "断线自动重连", "响应超时…", "语言 / Language", "查找驱动器…"}));
    QCOMPARE(ItemTexts(m_tool->form->findChild<QMenu*>("AnalysisMenu")),
             (QStringList{"趋势分析…", "触发设置…", "触发准备"}));
}

void TestAdditions::statusLineShowsThePort()
{
    QLabel* port = m_tool->Part("statusPort");
    QCOMPARE(port->text(), QStringLiteral("未打开"));
    m_tool->form->Combo2->setEditText(QStringLiteral("10"));
    QVERIFY(m_tool->Open());
    QCOMPARE(port->text(), QStringLiteral("COM 3 → %1  9600,N,8,1  站号 0A").arg(m_tool->fake->openedWhere));
    m_tool->form->CommandOpenMSC_Click();
    QCOMPARE(port->text(), QStringLiteral("未打开"));
    QVERIFY(m_tool->Open());
    m_tool->fake->Lose();  // the line goes: shown closed at once
    QCOMPARE(port->text(), QStringLiteral("未打开"));

    // A text longer than the window: the window keeps its width, the long part
    // gives way and shows its whole text as a tooltip, the short one stays whole.
    m_tool->form->show();
    const int width = m_tool->form->width();
    const QString path = QStringLiteral("/tmp/") + QString(300, QLatin1Char('x')) + QStringLiteral(".txt");
    QLabel* capture = m_tool->Part("statusCapture");
    capture->setText(path);
    capture->show();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCOMPARE(m_tool->form->width(), width);
    QVERIFY(capture->geometry().right() < width);
    QCOMPARE(port->width(), port->sizeHint().width());
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), capture->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(capture, &help);
    QCOMPARE(QToolTip::text(), path);
}

void TestAdditions::lineLentToTheEngine()
{
    Form1& form = *m_tool->form;
    QVERIFY(m_tool->Open());
    form.Commandgraphstart->click();
    QCOMPARE(form.Timer1->Interval(), 500);
    std::optional<mb::Result> result;
    m_tool->session->Engine().Submit(mb::Request::Read(1, 0x0064, 1), [&](const mb::Result& r) { result = r; });
    QCOMPARE(form.Timer1->Interval(), 0);
    m_tool->Pass(1);
    QCOMPARE(m_tool->fake->Writes(), QList<QByteArray>{Hex("01 03 00 64 00 01 C5 D5")});

    // Meanwhile the window's own handlers leave the line alone.
    form.Command1_Click();
    form.Command_stop_Click();
    QCOMPARE(m_tool->boxes.texts(), (QStringList{"通讯忙，请稍候", "通讯忙，请稍候"}));
    form.Timer1_Timer();
    QCOMPARE(m_tool->fake->Writes().size(), 1);

    m_tool->fake->Send(Hex("01 03 02 00 64 B9 AF"));
    m_tool->Pass(1);
    QVERIFY(result.has_value());
    QCOMPARE(result->registers, QList<quint16>{100});
    QCOMPARE(form.Timer1->Interval(), 500);  // polling resumes as the button says
    QTRY_VERIFY(m_tool->Part("statusCounters")->text().startsWith(QStringLiteral("请求 1  正确 1")));
}

void TestAdditions::saveLogAndCapture()
{
    Form1& form = *m_tool->form;
    QVERIFY(m_tool->Open());
    m_tool->files.path = m_tool->dir.filePath(QStringLiteral("capture.txt"));
    m_tool->Action("CaptureStart")->trigger();
    QVERIFY(m_tool->session->Capture().Active());
    QVERIFY(!m_tool->Action("CaptureStart")->isEnabled());
    form.Text1->setText(QStringLiteral("01060000047F"));
    form.ChkCRC16->setChecked(true);
    form.Command1_Click();
    QCOMPARE(m_tool->fake->Writes(), QList<QByteArray>{Hex("01 06 00 00 04 7F CA EA")});
    m_tool->fake->Send(Hex("01 83 02 C0 F1"));
    m_tool->Pass(1);
    QCOMPARE(m_tool->session->Capture().Lines(), qint64(2));
    m_tool->Action("CaptureStop")->trigger();

    QFile capture(m_tool->files.path);
    QVERIFY(capture.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(capture.readAll()).split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines[0].endsWith(QStringLiteral(" TX 01 06 00 00 04 7F CA EA  写 0000 = 047F")));
    QVERIFY(lines[1].endsWith(QStringLiteral(" RX 01 83 02 C0 F1  异常 02：非法数据地址")));
    QTRY_VERIFY(m_tool->Part("statusCounters")->text().contains(QStringLiteral("最近：异常 02：非法数据地址")));

    m_tool->files.path = m_tool->dir.filePath(QStringLiteral("log.txt"));
    m_tool->Action("SaveLog")->trigger();
    QFile log(m_tool->files.path);
    QVERIFY(log.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(log.readAll()), form.Text2->Text());
    QVERIFY(form.Text2->Text().contains(QStringLiteral("接收: 018302C0F1")));
}

void TestAdditions::captureThatCannotBeWrittenIsReported()
{
    // A folder that is not there, and a disk that fills while the capture runs.
    m_tool->files.path = m_tool->dir.filePath(QStringLiteral("no/such/folder/capture.txt"));
    m_tool->Action("CaptureStart")->trigger();
    QVERIFY(!m_tool->session->Capture().Active());
    QCOMPARE(m_tool->boxes.shown.size(), 1);
    QVERIFY(m_tool->boxes.shown[0].text.startsWith(QStringLiteral("无法创建通讯记录：")));
    if (!QFile::exists(QStringLiteral("/dev/full")))
        QSKIP("no /dev/full here");
    QVERIFY(m_tool->Open());
    m_tool->files.path = QStringLiteral("/dev/full");
    m_tool->Action("CaptureStart")->trigger();
    QVERIFY(m_tool->session->Capture().Active());
    m_tool->form->Command_stop_Click();  // a frame to write
    QCOMPARE(m_tool->boxes.shown.size(), 2);
    QVERIFY(m_tool->boxes.shown[1].text.startsWith(QStringLiteral("通讯记录已停止：")));
    QVERIFY(!m_tool->session->Capture().Active());
    QVERIFY(m_tool->Part("statusCapture")->isHidden());
    QVERIFY(m_tool->Action("CaptureStart")->isEnabled());
}

void TestAdditions::fastSamplingTakesThePollingOver()
{
    Form1& form = *m_tool->form;
    QList<QByteArray> replies{kPollReply, kPollReply.left(16) + char(0xEA), kPollReply};
    m_tool->fake->SetResponder([&](const QByteArray& written) {
        const QByteArray reply = written == kPoll && !replies.isEmpty() ? replies.takeFirst() : QByteArray();
        return QList<FakeTransport::Piece>{{20000, reply}};
    });
    QVERIFY(m_tool->Open());
    auto& fast = m_tool->Piece<FastSamplingMenu>();
    fast.SetFastPeriod(20);
    fast.FastOn->trigger();
    form.Commandgraphstart->click();
    QCOMPARE(form.Commandgraphstart->text(), Form1::kCaptionPause);
    QCOMPARE(form.Timer1->Interval(), 0);  // the sampler polls, not the timer
    QVERIFY(m_tool->clock->AdvanceUntil([&] { return form.PollRepliesDecoded() == 1; }));
    // A bad CRC: counted, not plotted; its retry is answered.
    QVERIFY(m_tool->clock->AdvanceUntil([&] { return form.PollRepliesDecoded() == 2; }));
    QCOMPARE(m_tool->session->Statistics().Counters().crcErrors, qint64(1));

    // A drive button goes through at once, the sampler making way.
    form.Command_stop_Click();
    QVERIFY(m_tool->boxes.shown.isEmpty());
    QVERIFY(m_tool->fake->Writes().contains(Hex("01 06 00 00 04 77 CB 2C")));

    // Off again: the poll timer polls as it always did.
    fast.FastOn->trigger();
    QVERIFY(!m_tool->session->Sampler().Running());
    m_tool->Pass(600);
    QCOMPARE(form.Timer1->Interval(), 500);
    form.Commandgraphstart->click();
    QCOMPARE(form.Timer1->Interval(), 0);
}

void TestAdditions::fastSamplingIsKept()
{
    auto& fast = m_tool->Piece<FastSamplingMenu>();
    fast.FastOn->trigger();
    fast.FastPeriods.last()->trigger();  // "尽快"
    m_tool->RestartAdditions();
    auto& again = m_tool->Piece<FastSamplingMenu>();
    QVERIFY(again.FastOn->isChecked());
    QCOMPARE(m_tool->session->Sampler().PeriodMs(), 0);
    QVERIFY(again.FastPeriods.last()->isChecked());
    QCOMPARE(again.FastPeriods.last()->text(), QStringLiteral("尽快"));
    // The menus and status parts of the additions made before went with them.
    QCOMPARE(m_tool->form->menuBar()->actions().size(), 5);
    QCOMPARE(m_tool->form->findChildren<QLabel*>(QStringLiteral("statusPort")).size(), 1);
}

void TestAdditions::chartPictureIsTheSurface()
{
    Form1& form = *m_tool->form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (const char* reply : {"01030C01F4007B021C01F401F404378176", "01030C00FA0050021C00C800640001707F",
                              "01030C01F4007B021C01F401F404378176"})
        form.HandlePollReply(QString::fromLatin1(reply));
    auto* surface = form.CurveGraph1->findChild<QWidget*>(QStringLiteral("picGraph"));
    auto* legend = form.CurveGraph1->findChild<QWidget*>(QStringLiteral("lblLegend1"));
    QVERIFY(surface && legend);
    // The user drags legend 1 elsewhere.
    const QPoint before = legend->pos();
    QTest::mousePress(legend, Qt::LeftButton, {}, QPoint(4, 4));
    QTest::mouseMove(legend, QPoint(44, 34));
    QTest::mouseRelease(legend, Qt::LeftButton, {}, QPoint(44, 34));
    QCOMPARE(legend->pos(), before + QPoint(40, 30));

    m_tool->files.path = m_tool->dir.filePath(QStringLiteral("chart.png"));
    m_tool->Action("SavePicture")->trigger();
    const QImage saved = QImage(m_tool->files.path, "PNG").convertToFormat(QImage::Format_RGB32);
    // The surface's own drawing everywhere but under the legends, legend 1
    // standing where it was dragged.
    const QImage drawn = form.CurveGraph1->Picture().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(saved.size(), surface->size());
    QRegion legends;
    for (QWidget* w : surface->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (w->isVisible())
            legends += w->geometry();
    const QRect under = legend->geometry();
    int differing = 0;
    for (int y = 0; y < saved.height(); ++y)
        for (int x = 0; x < saved.width(); ++x) {
            const bool same = saved.pixel(x, y) == drawn.pixel(x, y);
            QVERIFY2(same || legends.contains(QPoint(x, y)), qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            differing += !same && under.contains(x, y);
        }
    QVERIFY(differing > under.width() * under.height() / 4);  // legend 1 is on it, where it was dragged

    m_tool->Action("CopyPicture")->trigger();
    QCOMPARE(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), saved);
    QVERIFY(m_tool->boxes.shown.isEmpty());
}

void TestAdditions::portListReadAgainWhenItOpens()
{
    QList<SystemPort> ports = {{"/dev/ttyUSB0", "ttyUSB0", "FT232R USB UART", "FTDI"}};
    m_tool->Piece<PortList>().SetSource([&] { return ports; });
    QComboBox* box = m_tool->form->ComboMSCPort;
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
    QVERIFY(m_tool->Open());
    ports.append({m_tool->fake->openedWhere, "ttyS2", "USB-RS485 bridge", "Maker"});
    m_tool->form->CommandOpenMSC_Click();
    QVERIFY(m_tool->Open());
    QLabel* part = m_tool->Part("statusDevice");
    QCOMPARE(part->text(), QStringLiteral("USB-RS485 bridge (Maker)"));
    QVERIFY(!part->isHidden());
    m_tool->form->CommandOpenMSC_Click();
    QVERIFY(part->isHidden());
}

void TestAdditions::settingsKeptBetweenRuns()
{
    QVERIFY(!m_tool->Action("AutoReconnect")->isChecked());  // off by default
    m_tool->Action("AutoReconnect")->trigger();
    m_tool->Action("ResponseTimeout")->trigger();
    auto* dialog = m_tool->form->findChild<QInputDialog*>(QStringLiteral("ResponseTimeoutDialog"));
    QVERIFY(dialog);
    QCOMPARE(dialog->intValue(), 500);
    QCOMPARE(dialog->intMinimum(), 100);
    QCOMPARE(dialog->intMaximum(), 5000);
    dialog->setIntValue(1200);
    dialog->accept();
    QCOMPARE(m_tool->session->Engine().ResponseTimeoutMs(), 1200);

    // The next run starts with them; the window as always.
    m_tool->session->Engine().SetResponseTimeoutMs(0);
    m_tool->Restart();
    QVERIFY(m_tool->Action("AutoReconnect")->isChecked());
    QCOMPARE(m_tool->session->Engine().ResponseTimeoutMs(), 1200);
    QCOMPARE(m_tool->form->ComboMSCPort->currentText(), QStringLiteral("COM 3"));
}

void TestAdditions::pressingTheButtonEndsTheRetries()
{
    test::Tool tool;  // on a pseudo-terminal: the retries look for the device
    test::Pty pty;
    tool.Action("AutoReconnect")->setChecked(true);
    QVERIFY(tool.Open(pty.slavePath()));
    pty.closeMaster();  // the adapter is pulled out
    QTRY_COMPARE(tool.form->CommandOpenMSC->text(), Form1::kCaptionOpenPort);
    QLabel* part = tool.Part("statusReconnect");
    QVERIFY(!part->isHidden());
    QTRY_COMPARE(part->text(), QStringLiteral("重新连接中…（已试 2 次）"));
    const QStringList told = {QStringLiteral("串口已断开，请检查连接后重新打开串口")};
    QCOMPARE(tool.boxes.texts(), told);  // once, not once per try

    tool.form->CommandOpenMSC->click();  // the user tries, and is told the port is not there
    auto& reconnect = tool.Piece<Reconnect>();
    QVERIFY(!reconnect.Retrying());
    QVERIFY(part->isHidden());
    QCOMPARE(tool.boxes.texts(), told + QStringList{QStringLiteral("无效端口号")});
}

void TestAdditions::triggerSetArmedAndShown()
{
    auto& ui = m_tool->Piece<TriggerUi>();
    QLabel* part = m_tool->Part(QStringLiteral("statusTrigger"));
    QVERIFY(part->isHidden());  // disarmed

    // The settings window: "电流 > 12.5 A", 0 s before and after, the folder chosen.
    ui.TriggerSettings->trigger();
    TriggerDialog& dialog = *ui.Dialog();
    QVERIFY(dialog.isVisible() && !dialog.isModal());
    QCOMPARE(dialog.Condition->text(), QStringLiteral("故障 ↑"));
    QCOMPARE(dialog.Folder->text(), QDir::toNativeSeparators(Preferences::DefaultCaptureFolder()));
    dialog.Kind->setCurrentIndex(1);
    dialog.Value->setCurrentIndex(1);
    dialog.Level->setValue(12.5);
    dialog.Before->setValue(0);
    dialog.After->setValue(0);
    m_tool->files.folder = m_tool->dir.filePath(QStringLiteral("captures"));
    dialog.Browse->click();
    QCOMPARE(dialog.Condition->text(), QStringLiteral("电流 > 12.5 A"));
    dialog.Ok->click();
    QVERIFY(!dialog.isVisible());

    ui.TriggerArm->trigger();
    QVERIFY(!part->isHidden());
    QCOMPARE(part->text(), QStringLiteral("触发：等待"));
    LineSession& session = *m_tool->session;
    const auto take = [&](quint16 current) {
        m_tool->Pass(100);
        session.TakeSample(SampleFromRegisters({500, current, 540, 500, 500, 0x0237}, m_tool->clock->WallMs()));
    };
    take(120);
    take(130);
    const QString at = QDateTime::fromMSecsSinceEpoch(m_tool->clock->WallMs()).toString(QStringLiteral("HH:mm:ss.zzz"));
    QCOMPARE(part->text(), QStringLiteral("触发：已触发 ") + at);
    take(130);  // past the time after: captured, and "单次" disarms
    QVERIFY(part->isHidden());
    QVERIFY(!ui.TriggerArm->isChecked());
    const QStringList written = QDir(m_tool->files.folder).entryList(QDir::Files, QDir::Name);
    QCOMPARE(written.size(), 2);  // the capture's CSV and its picture, of one name
    QVERIFY(written[0].endsWith(u".csv") && written[1] == written[0].chopped(3) + QStringLiteral("png"));
    ui.TriggerArm->trigger();
    QCOMPARE(part->text(), QStringLiteral("触发：等待（已捕获 1 次）"));

    // Kept for the next start: the settings, and armed.
    m_tool->RestartAdditions();
    auto& again = m_tool->Piece<TriggerUi>();
    QVERIFY(again.TriggerArm->isChecked());
    QCOMPARE(session.Trigger().Settings().condition.Text(), QStringLiteral("电流 > 12.5 A"));
    QCOMPARE(session.Trigger().Settings().folder, m_tool->files.folder);
}

void TestAdditions::findTheDriveAndUseIt()
{
    // A drive at station 17 on the line; the window opened at station 1.
    test::ScriptedDrive drive(*m_tool->fake, 17);
    drive.registers = {{0x0CE4, 0x0241}, {0x0CE5, 0x0101}, {0x0CE6, 2317}, {0x0CE7, 88}, {0x0CE8, 0x0241}};
    QVERIFY(m_tool->Open());
    m_tool->Action(QStringLiteral("FindDrive"))->trigger();
    auto* w = m_tool->form->findChild<DriveScanWindow*>(QStringLiteral("DriveScanWindow"));
    QVERIFY(w && w->isVisible() && !w->isModal());
    QCOMPARE(w->Stations->text(), QStringLiteral("1-247"));
    w->ModeSweep->setChecked(true);
    QCOMPARE(w->Stations->text(), QStringLiteral("1-4"));
    w->ModeStations->setChecked(true);
    w->Stations->setText(QStringLiteral("16-18"));
    bool finished = false;
    connect(w, &DriveScanWindow::ScanFinished, this, [&] { finished = true; });
    QTest::mouseClick(w->StartScan, Qt::LeftButton);
    QVERIFY(w->Scanning() && !w->StartScan->isEnabled() && w->Cancel->isEnabled());
    for (int i = 0; i < 100 && !finished; ++i)
        m_tool->Pass(10);
    QVERIFY(finished);
    QCOMPARE(w->Table->rowCount(), 1);
    QCOMPARE(w->Table->item(0, DriveScanWindow::ColStation)->text(), QStringLiteral("17"));
    QCOMPARE(w->Table->item(0, DriveScanWindow::ColIdentity)->text(),
             QStringLiteral("软件版本 0241，程序版本 0101，测试日期 2317，传动容量 8.8 A，参数表 0241"));
    QCOMPARE(w->ProgressText->text(), QStringLiteral("查找结束：找到 1 个设备"));
    // "使用": the boxes as a user would type them, and the port opened with them.
    QTest::mouseClick(w->Use, Qt::LeftButton);
    QVERIFY(m_tool->form->PortIsOpen());
    const PortChoice opened = m_tool->form->OpenedWith();
    QCOMPARE(opened, (PortChoice{QStringLiteral("COM 3"), QStringLiteral("9600"), QStringLiteral("None"),
                                 QStringLiteral("8"), QStringLiteral("1"), QStringLiteral("17")}));
    QCOMPARE(m_tool->session->Station(), quint8(17));
}

QTEST_MAIN(TestAdditions)
#include "test_additions.moc"

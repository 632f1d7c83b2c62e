// The main window losing its line: the simulated drive on COM 3 goes away while
// the window polls, while it reads parameters and while a command waits between
// its two frames. The user is told once, the port shows closed, the poll timer's
// ticks do nothing, and the port opens again when a drive is back on COM 3.
#include "app/form1.h"
#include "app/lamp.h"
#include "app/logbox.h"
#include "common/colors.h"
#include "common/intervaltimer.h"
#include "serial/mscomm.h"
#include "serial/portsettings.h"
#include "tests/e2e/simprocess.h"
#include "tests/support/fakes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <csignal>
#include <functional>
#include <memory>

using namespace kv;

namespace {

const QString kPortLost = QStringLiteral("串口已断开，请检查连接后重新打开串口");


} // namespace

class TestForm1Unplug : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void lostWhilePolling();
    void lostWhileReadingParameters();
    void lostWhileACommandWaits_data();
    void lostWhileACommandWaits();
    void lostWhileIdleAndReopenedTwice();

private:
    bool startDrive();
    // Pulls the drive out: the simulator ends at once and its terminal goes with it.
    void pullDrive();
    // The window after a loss: told once, shown closed, the port closed.
    void verifyToldOnceAndClosed();
    // Lets the poll timer tick a few times: nothing is sent, shown or logged.
    void verifyTicksHarmless();
    // A drive is back on COM 3: the port opens without a message.
    void verifyReopens();

    QTemporaryDir m_data;
    std::unique_ptr<test::SimProcess> sim;
    std::unique_ptr<test::RecordingMessageBoxes> boxes;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<Form1> form;
};

void TestForm1Unplug::initTestCase()
{
    QVERIFY(m_data.isValid());
    qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
    QVERIFY(QDir().mkpath(PortLinkFolder()));
}

bool TestForm1Unplug::startDrive()
{
    sim = std::make_unique<test::SimProcess>();
    const QString link = PortLinkFolder() + QStringLiteral("/COM3");
    if (!sim->start({QStringLiteral("--link"), link, QStringLiteral("--seed"), QStringLiteral("1")})) {
        qWarning("%s", qPrintable(sim->error()));
        return false;
    }
    return QTest::qWaitFor([&] { return QFileInfo(link).isSymLink() && QFileInfo(link).exists(); }, 5000);
}

void TestForm1Unplug::pullDrive()
{
    sim->signal(SIGKILL);
    sim->stop();  // reaps it
}

void TestForm1Unplug::init()
{
    QVERIFY(startDrive());
    boxes = std::make_unique<test::RecordingMessageBoxes>();
    platform = std::make_unique<test::FakePlatform>();
    platform->realSleep = true;  // the waits really wait, as the drive is pulled meanwhile
    form = std::make_unique<Form1>(*boxes, *platform);
    form->Form_Load();
    form->CommandOpenMSC->click();  // the defaults: COM 3, 9600,N,8,1, station 1
    QVERIFY2(form->MSComm->PortOpen(), qPrintable(boxes->texts().join(u',')));
}

void TestForm1Unplug::cleanup()
{
    form.reset();
    sim.reset();
    boxes.reset();
    platform.reset();
}

void TestForm1Unplug::verifyToldOnceAndClosed()
{
    QTRY_COMPARE(form->CommandOpenMSC->text(), QStringLiteral("打开串口"));
    QTest::qWait(200);  // a second report would come from the event loop
    QCOMPARE(boxes->texts(), QStringList{kPortLost});
    QCOMPARE(boxes->shown[0].icon, MsgIcon::Exclamation);
    QCOMPARE(form->ShapeMSC->FillColor(), kRed);
    QCOMPARE(form->ShapeMSC->FillColor(), qint32(0x0000FF));
    QVERIFY(!form->MSComm->PortOpen());
    QVERIFY(!form->Chkreceive16->isEnabled());
}

void TestForm1Unplug::verifyTicksHarmless()
{
    auto* serial = form->MSComm->findChild<QSerialPort*>();
    QVERIFY(serial);
    int errors = 0;
    int events = 0;
    int ticks = 0;
    const auto c1 = connect(serial, &QSerialPort::errorOccurred, this, [&](QSerialPort::SerialPortError e) {
        if (e != QSerialPort::NoError)
            ++errors;
    });
    const auto c2 = connect(form->MSComm, &MSComm::OnComm, this, [&] { ++events; });
    const auto c3 = connect(form->Timer1, &IntervalTimer::Timer, this, [&] { ++ticks; });
    const QString log = form->Text2->Text();
    const int sleepsBefore = static_cast<int>(platform->sleeps.size());
    form->Timer1->setInterval(100);  // a few ticks quickly
    QTRY_VERIFY(ticks >= 5);
    form->Timer1->setInterval(0);
    disconnect(c1);
    disconnect(c2);
    disconnect(c3);
    QCOMPARE(errors, 0);
    QCOMPARE(events, 0);
    QCOMPARE(static_cast<int>(platform->sleeps.size()), sleepsBefore);  // no poll was sent and waited for
    QCOMPARE(form->Text2->Text(), log);
    QCOMPARE(boxes->texts(), QStringList{kPortLost});
    QCOMPARE(form->CommandOpenMSC->text(), QStringLiteral("打开串口"));
}

void TestForm1Unplug::verifyReopens()
{
    QVERIFY(startDrive());
    form->CommandOpenMSC->click();
    QVERIFY2(form->MSComm->PortOpen(), qPrintable(boxes->texts().join(u'|')));
    QCOMPARE(form->CommandOpenMSC->text(), QStringLiteral("关闭串口"));
    QCOMPARE(form->ShapeMSC->FillColor(), kGreen);
    QCOMPARE(boxes->texts(), QStringList{kPortLost});
    // The new line carries traffic: a frame typed into the terminal is answered.
    form->Text1->setText(QStringLiteral("010300040006"));
    form->ChkCRC16->setChecked(true);
    form->Command1->click();
    QTRY_VERIFY(form->Text2->Text().contains(QStringLiteral("接收: 01030C")));
}

void TestForm1Unplug::lostWhilePolling()
{
    form->Commandgraphstart->click();
    QCOMPARE(form->Timer1->Interval(), 500);
    QTRY_VERIFY_WITH_TIMEOUT(form->PollRepliesDecoded() >= 2, 5000);

    pullDrive();
    verifyToldOnceAndClosed();
    // Polling is still on: the caption says so and the timer keeps its interval.
    QCOMPARE(form->Commandgraphstart->text(), QStringLiteral("暂停"));
    QCOMPARE(form->Timer1->Interval(), 500);
    verifyTicksHarmless();

    form->Timer1->setInterval(500);
    verifyReopens();
    // Polling resumes by itself on the new line.
    const qint64 decoded = form->PollRepliesDecoded();
    QTRY_VERIFY_WITH_TIMEOUT(form->PollRepliesDecoded() >= decoded + 2, 5000);
    QCOMPARE(boxes->texts(), QStringList{kPortLost});
}

void TestForm1Unplug::lostWhileReadingParameters()
{
    form->Commandgraphstart->click();  // polling runs while the rows are read
    QCOMPARE(form->List1->count(), 8);
    for (int r = 0; r < form->List1->count(); ++r)
        form->List1->item(r)->setCheckState(Qt::Checked);
    // The drive goes during the wait after the third request.
    // (the hook runs before each wait, with the waits so far recorded)
    platform->onSleep = [this](int) {
        if (platform->sleeps.size() == 3)
            pullDrive();
    };
    form->CmdViewPram->click();
    platform->onSleep = nullptr;

    verifyToldOnceAndClosed();
    QCOMPARE(form->List2->count(), 8);
    // Rows after the loss wait for nothing and stay empty.
    for (int r = 3; r < 8; ++r)
        QCOMPARE(form->List2->item(r)->text(), QString());
    QCOMPARE(platform->sleeps, (QList<int>{50, 50, 50}));
    // The chart still reads "暂停": the poll timer is back, harmless while closed,
    // and polling resumes by itself once the port is open again.
    QCOMPARE(form->Commandgraphstart->text(), QStringLiteral("暂停"));
    QCOMPARE(form->Timer1->Interval(), 500);
    verifyTicksHarmless();

    form->Timer1->setInterval(500);
    verifyReopens();
    const qint64 decoded = form->PollRepliesDecoded();
    QTRY_VERIFY_WITH_TIMEOUT(form->PollRepliesDecoded() >= decoded + 1, 5000);
}

void TestForm1Unplug::lostWhileACommandWaits_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("wait");
    QTest::addColumn<bool>("startEnabledAfter");
    // The second start frame never goes out, so the drive was not started: the
    // start button stays available.
    QTest::newRow("start") << "Command_start" << 200 << true;
    QTest::newRow("fault reset") << "Command2" << 100 << true;
}

void TestForm1Unplug::lostWhileACommandWaits()
{
    QFETCH(QString, button);
    QFETCH(int, wait);
    QFETCH(bool, startEnabledAfter);
    platform->onSleep = [this](int) { pullDrive(); };
    auto* b = form->findChild<QPushButton*>(button);
    QVERIFY(b);
    b->click();
    platform->onSleep = nullptr;
    QCOMPARE(platform->sleeps, QList<int>{wait});

    verifyToldOnceAndClosed();
    QCOMPARE(form->Command_start->isEnabled(), startEnabledAfter);
    // Only the frame before the wait was logged (fault reset logs none).
    const int echoes = static_cast<int>(form->Text2->Text().count(QStringLiteral("输出：")));
    QCOMPARE(echoes, button == QStringLiteral("Command_start") ? 1 : 0);
    verifyTicksHarmless();
    verifyReopens();
}

void TestForm1Unplug::lostWhileIdleAndReopenedTwice()
{
    for (int round = 0; round < 2; ++round) {
        pullDrive();
        QTRY_COMPARE(form->CommandOpenMSC->text(), QStringLiteral("打开串口"));
        QTest::qWait(200);
        QCOMPARE(boxes->texts().count(kPortLost), round + 1);  // once per loss
        QCOMPARE(boxes->shown.size(), round + 1);
        // A click on a drive button now only asks for the port.
        form->Command_stop->click();
        QCOMPARE(boxes->texts().last(), QStringLiteral("请打开串口"));
        boxes->shown.removeLast();
        QVERIFY(startDrive());
        form->CommandOpenMSC->click();
        QVERIFY2(form->MSComm->PortOpen(), qPrintable(boxes->texts().join(u'|')));
    }
    QCOMPARE(boxes->shown.size(), 2);
}

QTEST_MAIN(TestForm1Unplug)
#include "test_form1_unplug.moc"

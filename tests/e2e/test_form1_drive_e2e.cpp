// The main window against the simulated drive: the drive buttons, live polling
// and the parameter read on a pseudo-terminal, with the simulator as the judge
// of the frames. The waits are real, the message boxes recorded.
//
// The drive's state is read back over the line with the window's own means:
// the poll reply (status word and live values) and a read of the control word
// and the frequency reference typed into the terminal.
#include "app/form1.h"
#include "app/lamp.h"
#include "app/logbox.h"
#include "chart/curvegraph.h"
#include "common/colors.h"
#include "common/intervaltimer.h"
#include "drive/polling.h"
#include "serial/mscomm.h"
#include "serial/transport.h"
#include "tests/e2e/simprocess.h"
#include "tests/support/fakes.h"
#include "tests/support/pty.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <csignal>
#include <memory>
#include <optional>

using namespace kv;

namespace {

// Status word bits as the lamps name them.
constexpr int kReadyToSwitchOn = 0;
constexpr int kReadyToRun = 1;
constexpr int kReadyForReference = 2;
constexpr int kFault = 3;
constexpr int kSwitchOnInhibited = 6;

} // namespace

class TestForm1DriveE2e : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void commandsChangeTheDrive();
    void pollingPlotsAndLightsLamps();
    void parameterReadShowsDriveValues();
    void lateReplies_data();
    void lateReplies();

private:
    bool startSim(const QStringList& extra = {});
    bool openForm();
    // One poll by hand: the request, its real wait, then the decoded reply.
    std::optional<PollReply> pollOnce();
    // Control word and frequency reference, read through the terminal.
    std::optional<QPair<int, int>> readControlAndReference();
    // Lines of the simulator's log that contain the text.
    int simLogCount(const QString& text);
    // How often the drive received the frame, whether it came alone or joined
    // to another (two frames a wait apart arrive together when the drive was
    // held up meanwhile).
    int framesReceived(const QString& frame);
    // Waits until the window has taken every byte the drive has sent, so that
    // a late echo of an earlier command is not read together with what follows.
    void settle();

    std::unique_ptr<test::SimProcess> sim;
    std::unique_ptr<test::RecordingMessageBoxes> boxes;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<Form1> form;
    QList<PollReply> replies;
    qint64 bytesTaken = 0;  // by the window, from the line
};

void TestForm1DriveE2e::cleanup()
{
    form.reset();
    replies.clear();
    if (sim)
        QCOMPARE(sim->stop(), 0);
    sim.reset();
}

bool TestForm1DriveE2e::startSim(const QStringList& extra)
{
    sim = std::make_unique<test::SimProcess>();
    if (!sim->start(QStringList{QStringLiteral("--verbose"), QStringLiteral("--seed"), QStringLiteral("7")} + extra)) {
        qWarning("%s", qPrintable(sim->error()));
        return false;
    }
    return true;
}

bool TestForm1DriveE2e::openForm()
{
    boxes = std::make_unique<test::RecordingMessageBoxes>();
    platform = std::make_unique<test::FakePlatform>();
    platform->realSleep = true;
    form = std::make_unique<Form1>(*boxes, *platform);
    form->Form_Load();
    form->show();
    connect(form.get(), &Form1::PollReplyHandled, this, [this](const PollReply& r) { replies.append(r); });
    bytesTaken = 0;
    connect(&form->MSComm->Line(), &Transport::Received, this, [this](const QByteArray& b) { bytesTaken += b.size(); });
    form->ComboMSCPort->setEditText(sim->path());
    form->CommandOpenMSC->click();
    return form->MSComm->PortOpen() && boxes->shown.isEmpty() && form->StationAddr == u"01";
}

void TestForm1DriveE2e::settle()
{
    // "<time> <- 01 03 00 04 00 06 84 09" for what the drive received in one
    // go (every request here is 8 bytes), "<time> -> 01 06 ...  (note)" for
    // each reply: the drive has answered every request it has, and the
    // window has taken every byte of the answers.
    auto settled = [this] {
        qint64 requests = 0;
        qint64 replies = 0;
        qint64 bytes = 0;
        for (const QString& line : QString::fromLocal8Bit(sim->log()).split(u'\n')) {
            const qsizetype in = line.indexOf(QStringLiteral(" <- "));
            const qsizetype out = line.indexOf(QStringLiteral(" -> "));
            if (in >= 0)
                requests += line.mid(in + 4).split(u' ', Qt::SkipEmptyParts).size() / 8;
            if (out >= 0) {
                ++replies;
                bytes += line.mid(out + 4).section(QStringLiteral("  "), 0, 0).split(u' ', Qt::SkipEmptyParts).size();
            }
        }
        return requests == replies && bytesTaken == bytes;
    };
    QTRY_VERIFY_WITH_TIMEOUT(settled(), 10000);
}

std::optional<PollReply> TestForm1DriveE2e::pollOnce()
{
    settle();
    const qsizetype before = replies.size();
    form->Timer1_Timer();
    QElapsedTimer clock;
    clock.start();
    while (replies.size() == before && clock.elapsed() < 10000)
        QTest::qWait(10);
    if (replies.size() == before)
        return std::nullopt;
    return replies.last();
}

std::optional<QPair<int, int>> TestForm1DriveE2e::readControlAndReference()
{
    settle();  // late echoes of earlier writes are logged first
    form->Command3->click();
    form->Text1->setText(QStringLiteral("010300000002"));
    form->ChkCRC16->setChecked(true);
    form->Command1->click();
    static const QRegularExpression reply(QStringLiteral("接收: [0-9A-F]*010304([0-9A-F]{4})([0-9A-F]{4})"));
    QElapsedTimer clock;
    clock.start();
    QRegularExpressionMatch m;
    while (!(m = reply.match(form->Text2->Text())).hasMatch() && clock.elapsed() < 10000)
        QTest::qWait(10);
    if (!m.hasMatch())
        return std::nullopt;
    return QPair<int, int>(m.captured(1).toInt(nullptr, 16), m.captured(2).toInt(nullptr, 16));
}

int TestForm1DriveE2e::simLogCount(const QString& text)
{
    return QString::fromLocal8Bit(sim->log()).count(text);
}

int TestForm1DriveE2e::framesReceived(const QString& frame)
{
    int n = 0;
    // Each line: the time, then "<- " and the bytes the drive received in one go.
    for (const QString& line : QString::fromLocal8Bit(sim->log()).split(u'\n'))
        if (line.contains(QStringLiteral(" <- ")))
            n += line.count(frame);
    return n;
}

void TestForm1DriveE2e::commandsChangeTheDrive()
{
    QVERIFY(startSim());
    QVERIFY(openForm());

    // After power-up the drive is switch-on inhibited.
    std::optional<PollReply> r = pollOnce();
    QVERIFY(r);
    QVERIFY(IsStatusBitSet(r->StatusWord, kSwitchOnInhibited));
    QVERIFY(!IsStatusBitSet(r->StatusWord, kReadyToSwitchOn));

    // Set frequency: the reference register takes 25 Hz = 10000.
    form->Text3->setText(QStringLiteral("25"));
    form->Command_set->click();
    std::optional<QPair<int, int>> regs = readControlAndReference();
    QVERIFY(regs);
    QCOMPARE(regs->second, 10000);

    // Start: two frames the drive takes one after the other; it runs and ramps up.
    form->Command_start->click();
    QVERIFY(!form->Command_start->isEnabled());
    QTRY_COMPARE(framesReceived(QStringLiteral("01 06 00 00 04 76 0A EC")), 1);
    QTRY_COMPARE(simLogCount(QStringLiteral("-> 01 06 00 00 04 76 0A EC\n")), 1);
    QTRY_COMPARE(framesReceived(QStringLiteral("01 06 00 00 04 7F CA EA")), 1);
    QTRY_COMPARE(simLogCount(QStringLiteral("-> 01 06 00 00 04 7F CA EA\n")), 1);
    regs = readControlAndReference();
    QVERIFY(regs);
    QCOMPARE(regs->first, 0x047F);
    QTest::qWait(500);
    r = pollOnce();
    QVERIFY(r);
    for (int bit : {kReadyToSwitchOn, kReadyToRun, kReadyForReference})
        QVERIFY2(IsStatusBitSet(r->StatusWord, bit), qPrintable(QString::number(r->StatusWord, 16)));
    QVERIFY(!IsStatusBitSet(r->StatusWord, kSwitchOnInhibited));
    QVERIFY2(r->PolledValues[0] > 0.0f, "the output frequency ramps up");
    QVERIFY(r->PolledValues[0] <= 25.0f);

    // Stop: switched on, operation no longer enabled.
    form->Command_stop->click();
    QVERIFY(form->Command_start->isEnabled());
    regs = readControlAndReference();
    QVERIFY(regs);
    QCOMPARE(regs->first, 0x0477);
    r = pollOnce();
    QVERIFY(r);
    QVERIFY(IsStatusBitSet(r->StatusWord, kReadyToRun));
    QVERIFY(!IsStatusBitSet(r->StatusWord, kReadyForReference));

    // A fault trips the drive; fault reset clears it.
    sim->signal(SIGUSR1);
    QTRY_COMPARE_WITH_TIMEOUT(simLogCount(QStringLiteral("drive tripped on request")), 1, 10000);
    r = pollOnce();
    QVERIFY(r && IsStatusBitSet(r->StatusWord, kFault));
    QCOMPARE(form->Shape1[kFault]->FillColor(), kRed);
    const QString logBefore = form->Text2->Text();
    form->Command2->click();
    QVERIFY(!form->Text2->Text().mid(logBefore.size()).contains(QStringLiteral("输出：")));
    QTRY_COMPARE(framesReceived(QStringLiteral("01 06 00 00 04 77 CB 2C")), 2);  // stop, then reset
    QTRY_COMPARE(framesReceived(QStringLiteral("01 06 00 00 04 F7 CA 8C")), 1);
    r = pollOnce();
    QVERIFY(r);
    QVERIFY(!IsStatusBitSet(r->StatusWord, kFault));
    QCOMPARE(form->Shape1[kFault]->FillColor(), kLightBlue);
    regs = readControlAndReference();
    QVERIFY(regs);
    QCOMPARE(regs->first, 0x04F7);
    // The drive refused nothing the window sent.
    QTest::qWait(100);
    QCOMPARE(simLogCount(QStringLiteral("ignored")), 0);
    QCOMPARE(simLogCount(QStringLiteral("exception")), 0);
    QVERIFY(boxes->shown.isEmpty());
}

void TestForm1DriveE2e::pollingPlotsAndLightsLamps()
{
    QVERIFY(startSim());
    QVERIFY(openForm());
    form->Text3->setText(QStringLiteral("50"));
    form->Command_set->click();
    form->Command_start->click();

    form->Commandgraphstart->click();
    QCOMPARE(form->Timer1->Interval(), 500);
    QTRY_VERIFY_WITH_TIMEOUT(replies.size() >= 6, 10000);
    form->Commandgraphstart->click();
    QTest::qWait(300);
    QCOMPARE(form->Timer1->Interval(), 0);

    // Every poll request was answered, and every decoded reply came from one.
    const QString pollRequest = QStringLiteral("<- 01 03 00 04 00 06 84 09\n");
    QTRY_VERIFY(simLogCount(pollRequest) >= replies.size());
    const int requests = simLogCount(pollRequest);
    QTRY_COMPARE(simLogCount(QStringLiteral("-> 01 03 0C ")), requests);
    QVERIFY(replies.size() <= requests);
    QCOMPARE(form->PollRepliesDecoded(), replies.size());

    // The drive accelerates: the frequency never falls, and it moved.
    for (qsizetype i = 1; i < replies.size(); ++i)
        QVERIFY(replies[i].PolledValues[0] >= replies[i - 1].PolledValues[0]);
    const PollReply& last = replies.last();
    QVERIFY(last.PolledValues[0] > replies.first().PolledValues[0]);
    QVERIFY2(last.PolledValues[2] > 400.0f && last.PolledValues[2] < 700.0f, "DC voltage near 540 V");

    // The chart holds the last reply's values (sources frequency, current, DC
    // voltage; factors 1, 1, 0.1), one column per reply.
    const CurveGraph* g = form->CurveGraph1;
    const float expected[3] = {last.PolledValues[0], last.PolledValues[1],
                               static_cast<float>(static_cast<double>(last.PolledValues[2]) * 0.1)};
    for (short i = 1; i <= 3; ++i) {
        QVERIFY(g->CurveHasData(i));
        QCOMPARE(g->CurveBuffers(i).Values.back(), g->Model().RowOf(expected[i - 1]));
    }
    QCOMPARE(g->LastEmptyIndex(), g->PointCount() - 1 - static_cast<int>(replies.size()));

    // The lamps show the drive's status word: running, remote, and no fault.
    for (int i = 0; i < 13; ++i)
        QCOMPARE(form->Shape1[i]->FillColor(), IsStatusBitSet(last.StatusWord, i) ? kRed : kLightBlue);
    QCOMPARE(form->Shape1[kReadyForReference]->FillColor(), kRed);
    QCOMPARE(form->Shape1[kFault]->FillColor(), kLightBlue);
    QVERIFY(boxes->shown.isEmpty());
}

void TestForm1DriveE2e::parameterReadShowsDriveValues()
{
    QVERIFY(startSim());
    QVERIFY(openForm());
    form->Combo1->setCurrentIndex(form->Combo1->findText(QStringLiteral("53 内置通讯协议")));
    QCOMPARE(form->List1->count(), 20);
    // 5302 station, 5303 baud rate, 5310 the first value the poll reads.
    const QList<int> ticked{1, 2, 9};
    for (int r : ticked)
        form->List1->item(r)->setCheckState(Qt::Checked);
    QCOMPARE(form->List1->item(9)->text(), QStringLiteral("5310----EFB 参数10"));
    // Each wait of the read lasts until the drive's reply is on the line, however
    // long the simulator takes (7 bytes: one register).
    platform->realSleep = false;
    platform->onSleep = [this](int) { QVERIFY(test::WaitForBytesAtPort(sim->path(), 7, 10000)); };
    form->Commandgraphstart->click();  // the chart runs: polling pauses for the read
    form->CmdViewPram->click();
    platform->onSleep = nullptr;
    QCOMPARE(form->Timer1->Interval(), 500);
    form->Commandgraphstart->click();

    QCOMPARE(form->List2->count(), 20);
    for (int r = 0; r < 20; ++r) {
        const QString expected = r == 1 ? QStringLiteral("1") : r == 2 ? QStringLiteral("9600")
                                                         : r == 9 ? QStringLiteral("103")
                                                                  : QString();
        QCOMPARE(form->List2->item(r)->text(), expected);
    }
    QTRY_COMPARE(simLogCount(QStringLiteral("<- 01 03 14 B5 00 01 ")), 1);
    QTRY_COMPARE(simLogCount(QStringLiteral("<- 01 03 14 B6 00 01 ")), 1);
    QTRY_COMPARE(simLogCount(QStringLiteral("<- 01 03 14 BD 00 01 ")), 1);
    QVERIFY(boxes->shown.isEmpty());
}

void TestForm1DriveE2e::lateReplies_data()
{
    QTest::addColumn<QStringList>("simArgs");
    QTest::addColumn<int>("chunks");
    QTest::addColumn<int>("decoded");
    // A reply that comes after the 150 ms wait in two parts: both parts logged, none decoded.
    // The parts are far apart, so that even a slow machine reads the first alone.
    QTest::newRow("late and split") << QStringList{QStringLiteral("--delay"), QStringLiteral("250@all"),
                                                   QStringLiteral("--split"), QStringLiteral("1500@all")}
                                    << 2 << 0;
    // Late but whole when the receive event reads it: decoded.
    QTest::newRow("late, whole") << QStringList{QStringLiteral("--delay"), QStringLiteral("250@all")} << 1 << 1;
}

void TestForm1DriveE2e::lateReplies()
{
    QFETCH(QStringList, simArgs);
    QFETCH(int, chunks);
    QFETCH(int, decoded);
    QVERIFY(startSim(simArgs));
    QVERIFY(openForm());
    form->Timer1_Timer();
    QTRY_COMPARE_WITH_TIMEOUT(form->Text2->Text().count(QStringLiteral("接收: ")), chunks, 10000);
    QTest::qWait(300);
    QCOMPARE(form->Text2->Text().count(QStringLiteral("接收: ")), chunks);
    // Together the chunks are the whole reply.
    static const QRegularExpression line(QStringLiteral("接收: ([0-9A-F]+)\r\n"));
    QString joined;
    for (const QRegularExpressionMatch& m : line.globalMatch(form->Text2->Text()))
        joined += m.captured(1);
    QCOMPARE(joined.size(), 34);
    QVERIFY(joined.startsWith(QStringLiteral("01030C")));
    QCOMPARE(form->PollRepliesDecoded(), decoded);
    QCOMPARE(replies.size(), decoded);
    if (decoded == 0) {
        QVERIFY(!form->CurveGraph1->CurveHasData(2));
        for (const Lamp* lamp : form->Shape1)
            QCOMPARE(lamp->FillColor(), kLightBlue);
    }
}

QTEST_MAIN(TestForm1DriveE2e)
#include "test_form1_drive_e2e.moc"

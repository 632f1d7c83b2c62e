// The main window's drive operations on a real pseudo-terminal, the test being
// the drive at the far end: the one-click commands, live polling onto the
// chart and the lamps, the parameter read, and the menu items.
//
// The waits of the handlers go through the platform: at each wait the test
// looks at what is on the line and, for a parameter read, answers it, so the
// reply is there when the handler reads after its wait.
#include "app/form1.h"
#include "app/form2.h"
#include "app/form3.h"
#include "app/lamp.h"
#include "app/logbox.h"
#include "chart/curvegraph.h"
#include "common/colors.h"
#include "common/intervaltimer.h"
#include "serial/framecodec.h"
#include "serial/mscomm.h"
#include "serial/portsettings.h"
#include "tests/support/bytes.h"
#include "tests/support/fakes.h"
#include "tests/support/pty.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cmath>
#include <functional>
#include <memory>

using namespace kv;

namespace {

using test::Hex;

// A frame text with its CRC, as bytes.
QByteArray WithCrc(const QString& frameText)
{
    return QByteArray::fromHex((frameText + Crc16Text(frameText)).toLatin1());
}

QString LogLine(const QString& message)
{
    return QStringLiteral("14:05:33 ") + message + QStringLiteral("\r\n");
}

// The worked poll reply (its last four digits are not a CRC: they are ignored).
const QString kWorkedReply = QStringLiteral("01030C01F4000A021C03E8012C0001ABCD");

// A parameter reply of one register.
QByteArray ValueReply(quint16 value)
{
    const QString text = QStringLiteral("010302%1").arg(value, 4, 16, QLatin1Char('0')).toUpper();
    return WithCrc(text);
}

} // namespace

class TestForm1DriveOps : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    // drive commands
    void commandFrames_data();
    void commandFrames();
    void frequencyFromText3_data();
    void frequencyFromText3();
    void startDisabledUntilStop();
    void closedPortSendsNothing_data();
    void closedPortSendsNothing();
    void commandsToAVanishedPort();

    // live polling
    void pollReplyOntoChartAndLamps_data();
    void pollReplyOntoChartAndLamps();
    void curve2OnlyWhileTicked();
    void curve1FedWhenUnticked();
    void hugeFactorNeverInfinite_data();
    void hugeFactorNeverInfinite();
    void otherRepliesLeaveChartAndLamps();
    void startPauseButton();
    void startPauseWithPortClosed();
    void pollTick();
    void pollingFollowsThePort();
    void lampReset();

    // parameter read
    void readClosedPort();
    void readNothingTicked();
    void readRowsBesideTheirParameters();
    void readRequests_data();
    void readRequests();
    void readReplies_data();
    void readReplies();
    void pollReplyWaitingBeforeRead();
    void readInTextMode_data();
    void readInTextMode();
    void readRestoresPolling_data();
    void readRestoresPolling();
    void readTopIndex();

    // menus
    void menuTree();
    void terminalItemTwice();
    void terminalItemWithPortClosed();
    void helpWindow();
    void pictureWindow();
    void registration();

private:
    bool open(int station = 1);
    void openAndClose();
    // Chooses a group and ticks rows (0-based).
    void tick(const QString& group, const QList<int>& rows);
    QStringList resultRows() const;
    // Waits (without handling events) until bytes written by the far end can be
    // read at the tool's end of the line.
    float lastValue(short curve) const;
    float rowOf(float value) const { return form->CurveGraph1->Model().RowOf(value); }
    QList<qint32> lampColours() const;

    QTemporaryDir m_data;
    std::unique_ptr<test::Pty> pty;
    std::unique_ptr<test::RecordingMessageBoxes> boxes;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<Form1> form;
};

void TestForm1DriveOps::initTestCase()
{
    QVERIFY(m_data.isValid());
    qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
}

void TestForm1DriveOps::init()
{
    pty = std::make_unique<test::Pty>();
    QVERIFY(pty->isValid());
    boxes = std::make_unique<test::RecordingMessageBoxes>();
    platform = std::make_unique<test::FakePlatform>();
    form = std::make_unique<Form1>(*boxes, *platform);
    form->Form_Load();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

void TestForm1DriveOps::cleanup()
{
    form.reset();
    platform.reset();
    boxes.reset();
    pty.reset();
}

bool TestForm1DriveOps::open(int station)
{
    form->Combo2->setEditText(QString::number(station));
    form->ComboMSCPort->setEditText(pty->slavePath());
    form->CommandOpenMSC->click();
    return form->MSComm->PortOpen() && boxes->shown.isEmpty();
}

void TestForm1DriveOps::openAndClose()
{
    QVERIFY(open());
    form->CommandOpenMSC->click();
    QCOMPARE(form->CommandOpenMSC->text(), QStringLiteral("打开串口"));
}

void TestForm1DriveOps::tick(const QString& group, const QList<int>& rows)
{
    const int index = form->Combo1->findText(group);
    QVERIFY(index >= 0);
    form->Combo1->setCurrentIndex(index);
    for (int r : rows)
        form->List1->item(r)->setCheckState(Qt::Checked);
}

QStringList TestForm1DriveOps::resultRows() const
{
    QStringList rows;
    for (int r = 0; r < form->List2->count(); ++r)
        rows << form->List2->item(r)->text();
    return rows;
}

float TestForm1DriveOps::lastValue(short curve) const
{
    return form->CurveGraph1->CurveBuffers(curve).Values.back();
}

QList<qint32> TestForm1DriveOps::lampColours() const
{
    QList<qint32> colours;
    for (const Lamp* lamp : form->Shape1)
        colours << lamp->FillColor();
    return colours;
}

// ---- drive commands ---------------------------------------------------------------------

void TestForm1DriveOps::commandFrames_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("station");
    // What is on the line at each wait, then after the handler.
    QTest::addColumn<QByteArrayList>("segments");
    QTest::addColumn<QList<int>>("waits");
    QTest::addColumn<QString>("log");
    QTest::addColumn<bool>("startEnabled");

    QTest::newRow("start") << "Command_start" << 1 << QByteArrayList{Hex("0106000004760AEC"), Hex("01060000047FCAEA")}
                           << QList<int>{200}
                           << LogLine(QStringLiteral("输出：0106000004760AEC"))
            + LogLine(QStringLiteral("输出：01060000047FCAEA"))
                           << false;
    QTest::newRow("stop") << "Command_stop" << 1 << QByteArrayList{Hex("010600000477CB2C")} << QList<int>{}
                          << LogLine(QStringLiteral("输出：010600000477CB2C")) << true;
    QTest::newRow("set 25 Hz") << "Command_set" << 1 << QByteArrayList{Hex("010600012710C236")} << QList<int>{}
                               << LogLine(QStringLiteral("输出：010600012710C236")) << true;
    QTest::newRow("fault reset, no log line")
        << "Command2" << 1 << QByteArrayList{Hex("010600000477CB2C"), Hex("0106000004F7CA8C")} << QList<int>{100}
        << QString() << true;
    QTest::newRow("start, station 10")
        << "Command_start" << 10
        << QByteArrayList{Hex("0A06000004760B97"), Hex("0A060000047FCB91")}
        << QList<int>{200}
        << LogLine(QStringLiteral("输出：0A06000004760B97")) + LogLine(QStringLiteral("输出：0A060000047FCB91"))
        << false;
}

void TestForm1DriveOps::commandFrames()
{
    QFETCH(QString, button);
    QFETCH(int, station);
    QFETCH(QByteArrayList, segments);
    QFETCH(QList<int>, waits);
    QFETCH(QString, log);
    QFETCH(bool, startEnabled);
    QVERIFY(open(station));
    QByteArrayList seen;
    platform->onSleep = [&](int) { seen << pty->readAvailable(1000, 30); };
    form->findChild<QPushButton*>(button)->click();
    seen << pty->readAvailable(1000, 30);
    QCOMPARE(seen, segments);
    QCOMPARE(platform->sleeps, waits);
    QCOMPARE(form->Text2->Text(), log);
    QCOMPARE(form->Command_start->isEnabled(), startEnabled);
    QVERIFY(boxes->shown.isEmpty());
}

void TestForm1DriveOps::frequencyFromText3_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("frame");  // CRCs as pymodbus computes them
    QTest::newRow("25") << "25" << Hex("010600012710C236");
    QTest::newRow("50") << "50" << Hex("010600014E20EC72");
    QTest::newRow("0") << "0" << Hex("010600010000D80A");
    QTest::newRow("1") << "1" << Hex("010600010190D9F6");
    QTest::newRow("10.24") << "10.24" << Hex("010600011000D5CA");
    QTest::newRow("half down to even") << "0.03125" << Hex("01060001000CD80F");
    QTest::newRow("half up to even") << "0.09375" << Hex("01060001002659D0");
    QTest::newRow("60") << "60" << Hex("010600010000D80A");
    QTest::newRow("-5") << "-5" << Hex("010600010000D80A");
    QTest::newRow("letters") << "Hz" << Hex("010600010000D80A");
    QTest::newRow("empty") << "" << Hex("010600010000D80A");
    QTest::newRow("blanks around and between") << " 2 5 " << Hex("010600012710C236");
    QTest::newRow("&H19") << "&H19" << Hex("010600012710C236");
    QTest::newRow("comma is no decimal separator") << "12,5" << Hex("0106000112C0D4FA");
    QTest::newRow("beyond double") << "1e999" << Hex("010600010000D80A");
}

void TestForm1DriveOps::frequencyFromText3()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, frame);
    QVERIFY(open());
    form->Text3->setText(text);
    form->Command_set->click();
    QCOMPARE(pty->readAvailable(1000, 30), frame);
    QCOMPARE(form->Text2->Text(), LogLine(QStringLiteral("输出：") + QString::fromLatin1(frame.toHex().toUpper())));
    QCOMPARE(form->Text3->text(), text);  // the box keeps what was typed
    QVERIFY(boxes->shown.isEmpty());
}

void TestForm1DriveOps::startDisabledUntilStop()
{
    QVERIFY(open());
    form->Command_start->click();
    QVERIFY(!form->Command_start->isEnabled());
    (void)pty->readAvailable(1000, 30);
    // A second start cannot be clicked.
    QTest::mouseClick(form->Command_start, Qt::LeftButton);
    QCOMPARE(pty->readAvailable(200, 30), QByteArray());
    // Set frequency, fault reset and closing the port leave it disabled.
    form->Command_set->click();
    form->Command2->click();
    form->CommandOpenMSC->click();
    QVERIFY(!form->Command_start->isEnabled());
    // Stop with the port closed only tells the user.
    form->Command_stop->click();
    QCOMPARE(boxes->texts(), QStringList{QStringLiteral("请打开串口")});
    QVERIFY(!form->Command_start->isEnabled());
    // Open again and stop: start is possible again.
    form->CommandOpenMSC->click();
    QVERIFY(form->MSComm->PortOpen());
    (void)pty->readAvailable(200, 30);
    form->Command_stop->click();
    QVERIFY(form->Command_start->isEnabled());
    QCOMPARE(pty->readAvailable(1000, 30), Hex("010600000477CB2C"));
}

void TestForm1DriveOps::closedPortSendsNothing_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("start") << "Command_start";
    QTest::newRow("stop") << "Command_stop";
    QTest::newRow("set frequency") << "Command_set";
    QTest::newRow("fault reset") << "Command2";
    QTest::newRow("chart start") << "Commandgraphstart";
    QTest::newRow("view parameters") << "CmdViewPram";
}

void TestForm1DriveOps::closedPortSendsNothing()
{
    QFETCH(QString, button);
    openAndClose();
    form->Text3->setText(QStringLiteral("abc"));
    form->List1->item(1)->setCheckState(Qt::Checked);
    form->List2->addItem(QStringLiteral("earlier"));
    form->findChild<QPushButton*>(button)->click();
    QCOMPARE(boxes->shown.size(), 1);
    QCOMPARE(boxes->shown[0].text, QStringLiteral("请打开串口"));
    QCOMPARE(boxes->shown[0].title, QString());
    QCOMPARE(boxes->shown[0].buttons, MsgButtons::Ok);
    QCOMPARE(pty->readAvailable(200, 30), QByteArray());
    QVERIFY(platform->sleeps.isEmpty());
    QCOMPARE(form->Text2->Text(), QString());
    QVERIFY(form->Command_start->isEnabled());
    QCOMPARE(form->Commandgraphstart->text(), QStringLiteral("开始"));
    QCOMPARE(form->Timer1->Interval(), 0);
    QCOMPARE(resultRows(), QStringList{QStringLiteral("earlier")});
}

void TestForm1DriveOps::commandsToAVanishedPort()
{
    QVERIFY(open());
    pty->closeMaster();
    form->Command_start->click();
    // The command stops at the failed frame: no second frame, no wait, no log,
    // the start button unchanged; the port shows closed and the user is told once.
    QTRY_COMPARE(form->CommandOpenMSC->text(), QStringLiteral("打开串口"));
    QTest::qWait(100);
    QCOMPARE(boxes->shown.size(), 1);
    QVERIFY(platform->sleeps.isEmpty());
    QVERIFY(!form->Text2->Text().contains(QStringLiteral("输出：")));
    QVERIFY(form->Command_start->isEnabled());
}

// ---- live polling -------------------------------------------------------------------------

void TestForm1DriveOps::pollReplyOntoChartAndLamps_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<int>("source1");     // data source of curve 1, chosen while it is ticked
    QTest::addColumn<QString>("factor1");  // scale factor of curve 1
    QTest::addColumn<float>("curve1");
    QTest::addColumn<float>("curve2");
    QTest::addColumn<float>("curve3");
    QTest::addColumn<int>("redLamps");  // bit i: lamp i red
    QTest::newRow("worked reply: 50.0, 1.0, 54.0, lamp 0")
        << kWorkedReply << 0 << "1" << 50.0f << 1.0f << 54.0f << 0x0001;
    QTest::newRow("frequency FFFF is -0.1")
        << QStringLiteral("01030CFFFF000A021C03E8012C00010000") << 0 << "1" << -0.1f << 1.0f << 54.0f << 0x0001;
    QTest::newRow("negative status word: bits 0..12 only")
        << QStringLiteral("01030C01F4000A021C03E8012CF0081234") << 0 << "1" << 50.0f << 1.0f << 54.0f << 0x1008;
    QTest::newRow("all 13 lamps") << QStringLiteral("01030C01F4000A021C03E8012C1FFF0000") << 0 << "1" << 50.0f << 1.0f
                                  << 54.0f << 0x1FFF;
    QTest::newRow("negative current and voltage")
        << QStringLiteral("01030C0000FFF6FE0C03E8012C00000000") << 0 << "1" << 0.0f << -1.0f << -50.0f << 0x0000;
    // The receive path knows no station: station 2's answer to a read typed in the terminal.
    QTest::newRow("34 digits from another station")
        << QStringLiteral("02030C01F4000A021C03E8012C0001ABCD") << 0 << "1" << 50.0f << 1.0f << 54.0f << 0x0001;
    QTest::newRow("curve 1 switched to AI1 while ticked") << kWorkedReply << 3 << "1" << 10.0f << 1.0f << 54.0f
                                                          << 0x0001;
    QTest::newRow("factor abc flattens curve 1 at 0") << kWorkedReply << 0 << "abc" << 0.0f << 1.0f << 54.0f
                                                      << 0x0001;
}

void TestForm1DriveOps::pollReplyOntoChartAndLamps()
{
    QFETCH(QString, reply);
    QFETCH(int, source1);
    QFETCH(QString, factor1);
    QFETCH(float, curve1);
    QFETCH(float, curve2);
    QFETCH(float, curve3);
    QFETCH(int, redLamps);
    QVERIFY(open());
    QVERIFY(form->chkShowCurve[0]->isChecked() && form->comCurveType[0]->isEnabled());
    form->comCurveType[0]->setCurrentIndex(source1);
    form->textquxian1->setText(factor1);
    QSignalSpy handled(form.get(), &Form1::PollReplyHandled);
    QVERIFY(pty->write(QByteArray::fromHex(reply.toLatin1())));
    QTRY_COMPARE(handled.size(), 1);
    QCOMPARE(form->PollRepliesDecoded(), 1);
    // Default sources frequency, current, DC voltage; factors 1, 1, 0.1.
    const CurveGraph* g = form->CurveGraph1;
    QCOMPARE(lastValue(1), rowOf(curve1));
    QCOMPARE(lastValue(2), rowOf(curve2));
    QCOMPARE(lastValue(3), rowOf(curve3));
    for (short i = 1; i <= 3; ++i)
        QVERIFY(g->CurveHasData(i));
    QCOMPARE(g->LastEmptyIndex(), g->PointCount() - 2);  // one sample of the clock curve
    for (int i = 0; i < 13; ++i)
        QCOMPARE(form->Shape1[i]->FillColor(), (redLamps >> i) & 1 ? kRed : kLightBlue);
    // The reply is logged as received.
    QCOMPARE(form->Text2->Text(), LogLine(QStringLiteral("接收: ") + reply));
}

void TestForm1DriveOps::curve2OnlyWhileTicked()
{
    QVERIFY(open());
    form->chkShowCurve[1]->click();  // "显示 2" off
    QVERIFY(!form->chkShowCurve[1]->isChecked());
    QVERIFY(pty->write(QByteArray::fromHex(kWorkedReply.toLatin1())));
    QTRY_COMPARE(form->PollRepliesDecoded(), 1);
    const CurveGraph* g = form->CurveGraph1;
    QVERIFY(!g->CurveHasData(2));
    for (float row : g->CurveBuffers(2).Values)
        QCOMPARE(row, 0.0f);  // as the clearing left it
    QCOMPARE(lastValue(1), rowOf(50.0f));
    QCOMPARE(lastValue(3), rowOf(54.0f));
    // Ticked again, curve 2 is fed from the next reply on.
    form->chkShowCurve[1]->click();
    QVERIFY(pty->write(QByteArray::fromHex(kWorkedReply.toLatin1())));
    QTRY_COMPARE(form->PollRepliesDecoded(), 2);
    QVERIFY(g->CurveHasData(2));
    QCOMPARE(lastValue(2), rowOf(1.0f));
}

void TestForm1DriveOps::curve1FedWhenUnticked()
{
    QVERIFY(open());
    form->chkShowCurve[0]->click();  // "显示 1" off
    QVERIFY(!form->chkShowCurve[0]->isChecked());
    const qint32 emptyBefore = form->CurveGraph1->LastEmptyIndex();
    QVERIFY(pty->write(QByteArray::fromHex(kWorkedReply.toLatin1())));
    QTRY_COMPARE(form->PollRepliesDecoded(), 1);
    QCOMPARE(lastValue(1), rowOf(50.0f));
    QCOMPARE(form->CurveGraph1->LastEmptyIndex(), emptyBefore - 1);  // the clock moved on
}

void TestForm1DriveOps::hugeFactorNeverInfinite_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("factor");
    QTest::newRow("curve 1 beyond single") << "textquxian1" << "1e39";
    QTest::newRow("curve 1 beyond double") << "textquxian1" << "1e400";
    QTest::newRow("curve 2 huge") << "Text5" << "1e300";
    QTest::newRow("curve 3 huge negative") << "Text6" << "-1e300";
    QTest::newRow("curve 3 row beyond single") << "Text6" << "1e37";
}

void TestForm1DriveOps::hugeFactorNeverInfinite()
{
    QFETCH(QString, box);
    QFETCH(QString, factor);
    QVERIFY(open());
    form->findChild<QLineEdit*>(box)->setText(factor);
    for (int n = 1; n <= 2; ++n) {
        QVERIFY(pty->write(QByteArray::fromHex(kWorkedReply.toLatin1())));
        QTRY_COMPARE(form->PollRepliesDecoded(), n);
    }
    const CurveGraph* g = form->CurveGraph1;
    for (short i = 1; i <= 3; ++i) {
        for (float row : g->CurveBuffers(i).Values)
            QVERIFY2(std::isfinite(row), qPrintable(QStringLiteral("curve %1").arg(i)));
    }
    // The rest of the reply is handled: the lamps, and the curves of sound factors.
    QCOMPARE(form->Shape1[0]->FillColor(), kRed);
    if (box != u"Text5")
        QCOMPARE(lastValue(2), rowOf(1.0f));
    if (box == u"textquxian1")
        QCOMPARE(lastValue(3), rowOf(54.0f));
    // A sound factor again: the chart starts afresh and takes values.
    form->findChild<QLineEdit*>(box)->setText(QStringLiteral("1"));
    QVERIFY(pty->write(QByteArray::fromHex(kWorkedReply.toLatin1())));
    QTRY_COMPARE(form->PollRepliesDecoded(), 3);
    QCOMPARE(lastValue(1), rowOf(50.0f));
    QCOMPARE(g->LastEmptyIndex(), g->PointCount() - 2);  // one sample since the factor changed
}

void TestForm1DriveOps::otherRepliesLeaveChartAndLamps()
{
    QVERIFY(open());
    QVERIFY(pty->write(QByteArray::fromHex(kWorkedReply.toLatin1())));
    QTRY_COMPARE(form->PollRepliesDecoded(), 1);
    const std::vector<float> before = form->CurveGraph1->CurveBuffers(1).Values;
    const QList<qint32> lamps = lampColours();
    // An exception reply and a parameter reply: logged, nothing else.
    QVERIFY(pty->write(Hex("018302C0F1")));
    QTRY_VERIFY(form->Text2->Text().contains(QStringLiteral("接收: 018302C0F1")));
    QVERIFY(pty->write(Hex("0103020064B9AF")));
    QTRY_VERIFY(form->Text2->Text().contains(QStringLiteral("接收: 0103020064B9AF")));
    QCOMPARE(form->PollRepliesDecoded(), 1);
    QCOMPARE(form->CurveGraph1->CurveBuffers(1).Values, before);
    QCOMPARE(lampColours(), lamps);
}

void TestForm1DriveOps::startPauseButton()
{
    QVERIFY(open());
    QCOMPARE(form->Commandgraphstart->text(), QStringLiteral("开始"));
    form->Commandgraphstart->click();
    QCOMPARE(form->Commandgraphstart->text(), QStringLiteral("暂停"));
    QCOMPARE(form->Timer1->Interval(), 500);
    QVERIFY(form->Timer1->IsRunning());
    form->Commandgraphstart->click();
    QCOMPARE(form->Commandgraphstart->text(), QStringLiteral("开始"));
    QCOMPARE(form->Timer1->Interval(), 0);
    QVERIFY(!form->Timer1->IsRunning());
    QVERIFY(boxes->shown.isEmpty());
}

void TestForm1DriveOps::startPauseWithPortClosed()
{
    // Running, then the port closed: the button only tells the user.
    QVERIFY(open());
    form->Commandgraphstart->click();
    form->CommandOpenMSC->click();
    form->Commandgraphstart->click();
    QCOMPARE(boxes->texts(), QStringList{QStringLiteral("请打开串口")});
    QCOMPARE(form->Commandgraphstart->text(), QStringLiteral("暂停"));
    QCOMPARE(form->Timer1->Interval(), 500);
}

void TestForm1DriveOps::pollTick()
{
    // Port closed: a tick does nothing.
    form->Timer1_Timer();
    QVERIFY(platform->sleeps.isEmpty());
    QVERIFY(open(3));
    QByteArray atWait;
    platform->onSleep = [&](int) { atWait = pty->readAvailable(1000, 30); };
    form->Timer1_Timer();
    // The request is on the line when the wait begins; it is not logged.
    QCOMPARE(atWait, Hex("03030004000685EB"));
    QCOMPARE(platform->sleeps, QList<int>{150});
    QCOMPARE(form->Text2->Text(), QString());
}

void TestForm1DriveOps::pollingFollowsThePort()
{
    QVERIFY(open());
    form->Commandgraphstart->click();
    QByteArray line;
    const QByteArray request = Hex("0103000400068409");
    QTRY_VERIFY_WITH_TIMEOUT((line += pty->readAvailable(20, 5)).size() >= 8, 3000);
    QCOMPARE(line, request);
    QVERIFY(pty->write(QByteArray::fromHex(kWorkedReply.toLatin1())));
    QTRY_COMPARE(form->PollRepliesDecoded(), 1);
    // Closing the port leaves the timer running; its ticks do nothing.
    form->CommandOpenMSC->click();
    const int waits = platform->sleeps.size();
    QTest::qWait(1200);
    QCOMPARE(form->Timer1->Interval(), 500);
    QCOMPARE(platform->sleeps.size(), waits);
    // Opened again, polling goes on by itself.
    form->CommandOpenMSC->click();
    QVERIFY(form->MSComm->PortOpen());
    line.clear();
    QTRY_VERIFY_WITH_TIMEOUT((line += pty->readAvailable(20, 5)).size() >= 8, 3000);
    QCOMPARE(line.left(8), request);
}

void TestForm1DriveOps::lampReset()
{
    QVERIFY(open());
    QVERIFY(pty->write(Hex("01030C01F4000A021C03E8012C1FFF0000")));
    QTRY_COMPARE(form->PollRepliesDecoded(), 1);
    QCOMPARE(lampColours(), QList<qint32>(13, kRed));
    form->Command4->click();
    QCOMPARE(lampColours(), QList<qint32>(13, kLightBlue));
    // The next reply sets them again.
    QVERIFY(pty->write(QByteArray::fromHex(kWorkedReply.toLatin1())));
    QTRY_COMPARE(form->PollRepliesDecoded(), 2);
    QCOMPARE(form->Shape1[0]->FillColor(), kRed);
    QCOMPARE(form->Shape1[1]->FillColor(), kLightBlue);
}

// ---- parameter read ------------------------------------------------------------------------

void TestForm1DriveOps::readClosedPort()
{
    // Polling runs, then the port is closed: the read only tells the user.
    QVERIFY(open());
    form->Commandgraphstart->click();
    form->CommandOpenMSC->click();
    tick(QStringLiteral("20 限幅"), {1});
    form->List2->addItem(QStringLiteral("earlier"));
    form->CmdViewPram->click();
    QCOMPARE(boxes->texts(), QStringList{QStringLiteral("请打开串口")});
    QCOMPARE(form->Timer1->Interval(), 500);
    QCOMPARE(resultRows(), QStringList{QStringLiteral("earlier")});
    QCOMPARE(form->List1->item(1)->checkState(), Qt::Checked);
    QVERIFY(platform->sleeps.isEmpty());
}

void TestForm1DriveOps::readNothingTicked()
{
    QVERIFY(open());
    form->Commandgraphstart->click();  // the chart runs
    form->List2->addItem(QStringLiteral("earlier"));
    form->CmdViewPram->click();
    QCOMPARE(boxes->shown.size(), 1);
    QCOMPARE(boxes->shown[0].text, QStringLiteral("没有勾选需要查看的参数"));
    QCOMPARE(boxes->shown[0].buttons, MsgButtons::Ok);
    QCOMPARE(boxes->shown[0].title, QString());
    QCOMPARE(form->List2->count(), 0);
    // Polling stays stopped although the chart still shows "暂停".
    QCOMPARE(form->Commandgraphstart->text(), QStringLiteral("暂停"));
    QCOMPARE(form->Timer1->Interval(), 0);
    QCOMPARE(pty->readAvailable(200, 30), QByteArray());
}

void TestForm1DriveOps::readRowsBesideTheirParameters()
{
    QVERIFY(open());
    tick(QStringLiteral("20 限幅"), {1, 3});  // 2005 and 2007 of five rows
    QByteArrayList requests;
    QList<QByteArray> replies{ValueReply(100), ValueReply(65535)};
    platform->onSleep = [&](int ms) {
        requests << pty->read(8, 1000);
        QVERIFY(pty->writeAndWaitAtPort(replies.takeFirst()));
        QThread::msleep(static_cast<unsigned long>(ms));
    };
    form->CmdViewPram->click();
    QCOMPARE(requests, (QByteArrayList{Hex("010307D40001C546"), Hex("010307D600016486")}));
    QCOMPARE(platform->sleeps, (QList<int>{50, 50}));
    QCOMPARE(resultRows(), (QStringList{QString(), QStringLiteral("100"), QString(), QStringLiteral("65535"), QString()}));
    // The ticks stay; nothing is logged, now or by the receive events that follow.
    QCOMPARE(form->List1->item(1)->checkState(), Qt::Checked);
    QCOMPARE(form->List1->item(3)->checkState(), Qt::Checked);
    QTest::qWait(100);
    QCOMPARE(form->Text2->Text(), QString());
    QVERIFY(boxes->shown.isEmpty());
}

void TestForm1DriveOps::readRequests_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("station");
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("9802") << "98 可选件" << 0 << 1 << Hex("0103264900015E94");
    QTest::newRow("0101") << "01 运行数据" << 0 << 1 << Hex("010300640001C5D5");
    QTest::newRow("irregular row reads 5102") << "51 外部通讯模块" << 1 << 1 << Hex("010313ED000110BB");
    QTest::newRow("0401, station 16") << "04 故障记录" << 0 << 16 << Hex("100301900001869A");
}

void TestForm1DriveOps::readRequests()
{
    QFETCH(QString, group);
    QFETCH(int, row);
    QFETCH(int, station);
    QFETCH(QByteArray, request);
    QVERIFY(open(station));
    tick(group, {row});
    QByteArray sent;
    platform->onSleep = [&](int) { sent = pty->read(8, 1000); };
    form->CmdViewPram->click();
    QCOMPARE(sent, request);
    QCOMPARE(platform->sleeps, QList<int>{50});
    QCOMPARE(resultRows().size(), form->List1->count());
    QCOMPARE(resultRows().at(row), QString());  // no reply: an empty row
}

void TestForm1DriveOps::readReplies_data()
{
    // Rows 0 and 1 of group 99 ticked; what the drive sends at each wait.
    QTest::addColumn<QByteArrayList>("answers");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("values") << QByteArrayList{ValueReply(100), ValueReply(0)}
                            << QStringList{QStringLiteral("100"), QStringLiteral("0")};
    QTest::newRow("exception, then a value of its own")
        << QByteArrayList{Hex("018302C0F1"), ValueReply(1)} << QStringList{QStringLiteral("1832C0F1"), QStringLiteral("1")};
    QTest::newRow("late reply joins the next one")
        << QByteArrayList{QByteArray(), ValueReply(100) + ValueReply(100)}
        << QStringList{QString(), QStringLiteral("132064B9AF132064B9AF")};
    QTest::newRow("another station, bad CRC: still a value")
        << QByteArrayList{Hex("07030200FF0000"), Hex("01030201")} << QStringList{QStringLiteral("255"), QStringLiteral("1321")};
    QTest::newRow("no replies") << QByteArrayList{QByteArray(), QByteArray()} << QStringList{QString(), QString()};
}

void TestForm1DriveOps::readReplies()
{
    QFETCH(QByteArrayList, answers);
    QFETCH(QStringList, rows);
    QVERIFY(open());
    tick(QStringLiteral("99 电机数据"), {0, 1});
    platform->onSleep = [&](int ms) {
        (void)pty->read(8, 1000);
        const QByteArray answer = answers.takeFirst();
        if (!answer.isEmpty()) {
            QVERIFY(pty->writeAndWaitAtPort(answer));
        }
        QThread::msleep(static_cast<unsigned long>(ms));
    };
    form->CmdViewPram->click();
    QCOMPARE(resultRows(), rows + QStringList(6, QString()));
    QTest::qWait(100);
    QCOMPARE(form->Text2->Text(), QString());
}

void TestForm1DriveOps::pollReplyWaitingBeforeRead()
{
    // A poll reply that came just before the click is read with the first row's reply.
    QVERIFY(open());
    tick(QStringLiteral("99 电机数据"), {0, 1});
    // On the line, not yet taken by the receive path.
    QVERIFY(pty->writeAndWaitAtPort(QByteArray::fromHex(kWorkedReply.toLatin1())));
    platform->onSleep = [&](int ms) {
        (void)pty->read(8, 1000);
        QVERIFY(pty->writeAndWaitAtPort(ValueReply(100)));
        QThread::msleep(static_cast<unsigned long>(ms));
    };
    form->CmdViewPram->click();
    const QStringList rows = resultRows();
    QCOMPARE(rows.size(), 8);
    QCOMPARE(rows[0], QStringLiteral("13C1F40A21C3E812C01ABCD132064B9AF"));
    QCOMPARE(rows[1], QStringLiteral("100"));
    // Nothing is left for the receive path: no log line, no poll reply decoded.
    QTest::qWait(100);
    QCOMPARE(form->Text2->Text(), QString());
    QCOMPARE(form->PollRepliesDecoded(), 0);
}

void TestForm1DriveOps::readInTextMode_data()
{
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("row");
    QTest::newRow("letter d") << QByteArray("d") << "640";
    QTest::newRow("seven letters are no value") << QByteArray("abcdefg") << "610620630640650660670";
    QTest::newRow("nothing") << QByteArray() << "";
}

void TestForm1DriveOps::readInTextMode()
{
    QFETCH(QByteArray, answer);
    QFETCH(QString, row);
    QVERIFY(open());
    form->Chkreceive16->setChecked(false);
    QCOMPARE(form->MSComm->InputMode(), 0);
    tick(QStringLiteral("98 可选件"), {0});
    platform->onSleep = [&](int ms) {
        (void)pty->read(8, 1000);
        if (!answer.isEmpty()) {
            QVERIFY(pty->writeAndWaitAtPort(answer));
        }
        QThread::msleep(static_cast<unsigned long>(ms));
    };
    form->CmdViewPram->click();
    QCOMPARE(resultRows(), QStringList{row});
}

void TestForm1DriveOps::readRestoresPolling_data()
{
    QTest::addColumn<bool>("running");
    QTest::newRow("chart running") << true;
    QTest::newRow("chart stopped") << false;
}

void TestForm1DriveOps::readRestoresPolling()
{
    QFETCH(bool, running);
    QVERIFY(open());
    if (running)
        form->Commandgraphstart->click();
    tick(QStringLiteral("99 电机数据"), {2, 5});
    QList<int> during;
    platform->onSleep = [&](int) { during << form->Timer1->Interval(); };
    form->CmdViewPram->click();
    QCOMPARE(during, (QList<int>{0, 0}));
    QCOMPARE(form->Timer1->Interval(), running ? 500 : 0);
    QCOMPARE(form->Timer1->IsRunning(), running);
}

void TestForm1DriveOps::readTopIndex()
{
    QVERIFY(open());
    tick(QStringLiteral("01 运行数据"), {30});
    form->List1->scrollToItem(form->List1->item(20), QAbstractItemView::PositionAtTop);
    QCOMPARE(form->List1->indexAt(QPoint(1, 1)).row(), 20);
    platform->onSleep = [&](int ms) {
        (void)pty->read(8, 1000);
        QVERIFY(pty->writeAndWaitAtPort(ValueReply(42)));
        QThread::msleep(static_cast<unsigned long>(ms));
    };
    form->CmdViewPram->click();
    QCOMPARE(form->List2->count(), 54);
    QCOMPARE(form->List2->item(30)->text(), QStringLiteral("42"));
    QCOMPARE(form->List2->indexAt(QPoint(1, 1)).row(), 20);
    // Scrolling List1 afterwards does not move List2.
    form->List1->scrollToItem(form->List1->item(0), QAbstractItemView::PositionAtTop);
    QCOMPARE(form->List2->indexAt(QPoint(1, 1)).row(), 20);
}

// ---- menus ------------------------------------------------------------------------------------

void TestForm1DriveOps::menuTree()
{
    // The whole tree in order, as the user walks it; no shortcuts, no separators,
    // everything enabled and visible, no check marks.
    QStringList walked;
    std::function<void(QMenu*, int)> walk = [&](QMenu* menu, int level) {
        walked << QStringLiteral("%1 %2 %3").arg(level).arg(menu->objectName(), menu->title());
        for (QAction* a : menu->actions()) {
            QVERIFY(!a->isSeparator());
            QVERIFY(a->isEnabled());
            QVERIFY(a->isVisible());
            QVERIFY(a->shortcut().isEmpty());
            QVERIFY(!a->isChecked());
            if (a->menu())
                walk(a->menu(), level + 1);
            else
                walked << QStringLiteral("%1 %2 %3").arg(level + 1).arg(a->objectName(), a->text());
        }
    };
    walk(form->Menu, 1);
    QCOMPARE(walked, (QStringList{QStringLiteral("1 Menu 开始"), QStringLiteral("2 debug1 调试助手"),
                                  QStringLiteral("2 Instruction 使用教程"), QStringLiteral("2 zuce 注册MSCOMM控件"),
                                  QStringLiteral("3 regsvr32 注册控件"), QStringLiteral("3 regsvr32u 卸载控件"),
                                  QStringLiteral("2 about 微信扫码加好友"), QStringLiteral("2 exit1 退出")}));
}

void TestForm1DriveOps::terminalItemTwice()
{
    QVERIFY(open());
    tick(QStringLiteral("20 限幅"), {2});
    form->List2->addItem(QStringLiteral("row 0"));
    form->List2->addItem(QStringLiteral("row 1"));
    QVERIFY(!form->Frame1->isVisible());
    QVERIFY(form->Frame3->isVisible());

    // Bytes wait in the serial control while nothing reads them.
    QVERIFY(pty->writeAndWaitAtPort(Hex("0103020064B9AF")));
    form->debug1->trigger();
    QVERIFY(form->debug1->isChecked());
    QVERIFY(form->Frame1->isVisible());
    QCOMPARE(form->Frame1->geometry(), form->Frame3->geometry());
    // The panel lies over the parameter list: its centre shows the terminal.
    const QPoint centre = form->Frame3->geometry().center();
    QWidget* top = form->Frame3->parentWidget()->childAt(centre);
    QVERIFY(top && (top == form->Frame1 || form->Frame1->isAncestorOf(top)));
    QTest::qWait(200);
    QCOMPARE(form->Text2->Text(), QString());  // what waited was dropped, not logged
    // The line still works: what comes now is logged.
    QVERIFY(pty->write(Hex("0106")));
    QTRY_COMPARE(form->Text2->Text(), LogLine(QStringLiteral("接收: 0106")));

    form->debug1->trigger();
    QVERIFY(!form->debug1->isChecked());
    QVERIFY(!form->Frame1->isVisible());
    QVERIFY(form->Frame3->isVisible());
    QCOMPARE(form->Combo1->currentText(), QStringLiteral("20 限幅"));
    QCOMPARE(form->List1->count(), 5);
    QCOMPARE(form->List1->item(2)->checkState(), Qt::Checked);
    QCOMPARE(resultRows(), (QStringList{QStringLiteral("row 0"), QStringLiteral("row 1")}));
}

void TestForm1DriveOps::terminalItemWithPortClosed()
{
    form->debug1->trigger();
    QVERIFY(form->debug1->isChecked());
    QVERIFY(form->Frame1->isVisible());
    QVERIFY(boxes->shown.isEmpty());
    form->debug1->trigger();
    QVERIFY(!form->debug1->isChecked());
    QVERIFY(!form->Frame1->isVisible());
}

void TestForm1DriveOps::helpWindow()
{
    const QStringList guide{
        QStringLiteral(" "),
        QStringLiteral("  1 变频器参数设置:"),
        QStringLiteral("    通讯设置"),
        QStringLiteral("    9802=1 5302=1 5305=0 5303=9600 5304=0"),
        QStringLiteral("    读取参数设置"),
        QStringLiteral("    5310=103 5311=104 5312=107 5313=120 5314=121 5315=5320"),
        QStringLiteral("    外部控制设置"),
        QStringLiteral("    1102=0 1001=10  1103=8 1604=8"),
        QStringLiteral("  2 查看参数的时候尽量不要同时查看10个以上,每个参数都有个延迟等待数据接  收，一次性查看太多，延迟时间过长"),
        QStringLiteral("    显示的值为内存数据，转换工程数据需要乘以最小分辨率，比如电流最小分辨率是0.1，查看的数据时25，真实数据时2.5A"),
        QStringLiteral("    如果分辨率是百分比，最小分辨率是0.1%，AI1内存值是30，真实工程数据是30*0.1%*(%100代表的值,10V)=3V"),
        QStringLiteral("    最小分辨率可以在说明书完整参数表里查询"),
        QStringLiteral("  3 本人水平有限，错误在所难免，有ORVEX传动的问题欢迎交流，敬请谅解。"),
    };
    auto helpWindows = [] {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += qobject_cast<Form2*>(w) && w->isVisible() ? 1 : 0;
        return n;
    };
    QCOMPARE(helpWindows(), 0);
    form->Instruction->trigger();
    Form2* help = form->AuxWindows().Help();
    QVERIFY(help);
    QVERIFY(help->isVisible());
    QCOMPARE(help->windowTitle(), QStringLiteral("使用教程"));
    QCOMPARE(help->size(), QSize(708, 253));
    QCOMPARE(help->WrittenLines(), guide);
    // Again while open: the same window, the text once.
    form->Instruction->trigger();
    QCOMPARE(form->AuxWindows().Help(), help);
    QCOMPARE(help->WrittenLines(), guide);
    QCOMPARE(helpWindows(), 1);
    // Closed and opened again: the same 13 lines once.
    help->close();
    QCOMPARE(helpWindows(), 0);
    form->Instruction->trigger();
    QVERIFY(form->AuxWindows().Help()->isVisible());
    QCOMPARE(form->AuxWindows().Help()->WrittenLines(), guide);
    QCOMPARE(helpWindows(), 1);
    // The main window stays usable.
    QVERIFY(form->isEnabled());
    QVERIFY(!form->AuxWindows().Help()->isModal());
}

void TestForm1DriveOps::pictureWindow()
{
    form->about->trigger();
    Form3* picture = form->AuxWindows().Picture();
    QVERIFY(picture);
    QVERIFY(picture->isVisible());
    QCOMPARE(picture->windowTitle(), QStringLiteral("微信扫码加好友"));
    QCOMPARE(picture->size(), QSize(253, 236));
    QVERIFY(!picture->Picture1()->pixmap().isNull());
    form->about->trigger();
    QCOMPARE(form->AuxWindows().Picture(), picture);
    int shown = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        shown += qobject_cast<Form3*>(w) && w->isVisible() ? 1 : 0;
    QCOMPARE(shown, 1);
}

void TestForm1DriveOps::registration()
{
    QTemporaryDir system;
    QVERIFY(system.isValid());
    platform->systemDirectory = system.path();
    const QByteArray component("component bytes");
    platform->resources.insert({QStringLiteral("CUSTOM"), 101}, component);

    form->regsvr32->trigger();
    QCOMPARE(platform->starts.size(), 1);
    QCOMPARE(platform->starts[0].first, QStringLiteral("regsvr32  MSCOMM32.OCX"));
    QCOMPARE(platform->starts[0].second, WindowStyle::Hide);
    QFile written(system.path() + QStringLiteral("/MSCOMM32.OCX"));
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), component);

    form->regsvr32u->trigger();
    QCOMPARE(platform->starts.size(), 2);
    QCOMPARE(platform->starts[1].first, QStringLiteral("regsvr32 /u  MSCOMM32.OCX "));
    QCOMPARE(platform->starts[1].second, WindowStyle::MinimizedFocus);

    // A failing installation is silent and launches nothing.
    platform->failWrites = true;
    form->regsvr32->trigger();
    QCOMPARE(platform->starts.size(), 2);
    QVERIFY(boxes->shown.isEmpty());
    QVERIFY(form->isVisible());
}

QTEST_MAIN(TestForm1DriveOps)
#include "test_form1_driveops.moc"

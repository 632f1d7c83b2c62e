// The main window against the simulated drive: the port opened as COM 3 through
// the port links, frames typed into the terminal, the drive's replies through
// the receive path.
#include "app/form1.h"
#include "app/logbox.h"
#include "serial/framecodec.h"
#include "serial/mscomm.h"
#include "serial/portsettings.h"
#include "tests/e2e/simprocess.h"
#include "tests/support/fakes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace kv;

namespace {

class RecordingForm : public Form1 {
public:
    using Form1::Form1;
    void HandlePollReply(const QString& replyText) override { pollReplies.append(replyText); }
    QStringList pollReplies;
};

} // namespace

class TestForm1DriveSim : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void liveBlockReadIsLoggedAndHandedOn();
    void exceptionReplyIsLoggedOnly();
    void frameForAnotherStationGetsNoReply();

private:
    // Types a frame, ticks the CRC option and sends.
    void sendWithCrc(const QString& frame);

    QTemporaryDir m_data;
    std::unique_ptr<test::SimProcess> sim;
    std::unique_ptr<test::RecordingMessageBoxes> boxes;
    std::unique_ptr<test::FakePlatform> platform;
    std::unique_ptr<RecordingForm> form;
};

void TestForm1DriveSim::initTestCase()
{
    QVERIFY(m_data.isValid());
    qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
    QVERIFY(QDir().mkpath(PortLinkFolder()));
}

void TestForm1DriveSim::init()
{
    sim = std::make_unique<test::SimProcess>();
    const QString link = PortLinkFolder() + QStringLiteral("/COM3");
    QVERIFY2(sim->start({QStringLiteral("--link"), link, QStringLiteral("--seed"), QStringLiteral("1")}),
             qPrintable(sim->error()));
    QTRY_VERIFY(QFileInfo(link).isSymLink());
    boxes = std::make_unique<test::RecordingMessageBoxes>();
    platform = std::make_unique<test::FakePlatform>();
    form = std::make_unique<RecordingForm>(*boxes, *platform);
    form->Form_Load();
    form->CommandOpenMSC->click();  // the defaults: COM 3, 9600,N,8,1, station 1
    QVERIFY2(form->MSComm->PortOpen(), qPrintable(boxes->texts().join(u',')));
    QCOMPARE(form->StationAddr, QStringLiteral("01"));
}

void TestForm1DriveSim::cleanup()
{
    form.reset();
    QCOMPARE(sim->stop(), 0);
    sim.reset();
}

void TestForm1DriveSim::sendWithCrc(const QString& frame)
{
    form->Text1->setText(frame);
    form->ChkCRC16->setChecked(true);
    form->Command1->click();
}

void TestForm1DriveSim::liveBlockReadIsLoggedAndHandedOn()
{
    sendWithCrc(QStringLiteral("010300040006"));
    QTRY_COMPARE(form->pollReplies.size(), 1);
    const QString reply = form->pollReplies[0];
    QVERIFY(reply.startsWith(QStringLiteral("01030C")));
    // The drive's CRC over the first 15 bytes is the last two.
    QCOMPARE(reply.right(4), Crc16Text(reply.left(30)));
    QCOMPARE(form->Text2->Text(), QStringLiteral("14:05:33 发送: 0103000400068409\r\n")
                                      + QStringLiteral("14:05:33 接收: ") + reply + QStringLiteral("\r\n"));
}

void TestForm1DriveSim::exceptionReplyIsLoggedOnly()
{
    // A register the drive does not have: exception 02, five bytes.
    sendWithCrc(QStringLiteral("01037FFF0001"));
    QTRY_VERIFY(form->Text2->Text().contains(QStringLiteral("接收: ")));
    QVERIFY(form->Text2->Text().contains(QStringLiteral("14:05:33 接收: 018302C0F1\r\n")));
    QTest::qWait(100);
    QVERIFY(form->pollReplies.isEmpty());
}

void TestForm1DriveSim::frameForAnotherStationGetsNoReply()
{
    // The default frame of the terminal goes to station 2.
    form->Command1->click();
    QTest::qWait(300);
    QCOMPARE(form->Text2->Text(), QStringLiteral("14:05:33 发送: 02060000000F\r\n"));
    QVERIFY(form->pollReplies.isEmpty());
}

QTEST_MAIN(TestForm1DriveSim)
#include "test_form1_drivesim.moc"

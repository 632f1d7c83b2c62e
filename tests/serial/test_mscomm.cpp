// The serial control on real pseudo-terminals.
#include "serial/mscomm.h"
#include "tests/support/pty.h"

#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cerrno>

using namespace kv;

namespace {

QByteArray AllByteValues()
{
    QByteArray b(256, '\0');
    for (int i = 0; i < 256; ++i)
        b[i] = static_cast<char>(i);
    return b;
}

// Runs the event loop until bytes have been delivered through OnComm and read.
QByteArray ReceiveThroughEvents(MSComm& comm, int expected, int timeoutMs = 3000)
{
    QByteArray got;
    QMetaObject::Connection c = QObject::connect(&comm, &MSComm::OnComm, [&] {
        if (comm.CommEvent() == MSComm::comEvReceive) {
            comm.setInputLen(0);
            got += comm.InputBytes();
        }
    });
    (void)QTest::qWaitFor([&] { return got.size() >= expected; }, timeoutMs);
    QObject::disconnect(c);
    return got;
}

} // namespace

class TestMSComm : public QObject {
    Q_OBJECT
private slots:
    void openAndCloseWithSettings();
    void settingsRejected_data();
    void settingsRejected();
    void portNumberRejected_data();
    void portNumberRejected();
    void missingPortRaises();
    void busyOperationsOnClosedPort();
    void allByteValuesBothWays();
    void textMode();
    void textModeJoinsASplitCharacter();
    void readAfterBlockingWait();
    void staleReadNoticeKeepsThePort();
    void eventNotRaisedWhileHandlerBlocks();
    void noEventWhenNothingWaits();
    void inBufferCountZeroDiscards();
    void vanishingPeerClosesOnce();
    void reopenAfterClose();
    void portNumberUsesLinkFolder();
};

void TestMSComm::openAndCloseWithSettings()
{
    test::Pty pty;
    QVERIFY(pty.isValid());
    MSComm comm;
    comm.setPortDevice(pty.slavePath());
    comm.setSettings(QStringLiteral("19200,E,7,2"));
    comm.setInputMode(1);
    comm.setRThreshold(1);
    QVERIFY(!comm.PortOpen());
    comm.setPortOpen(true);
    QVERIFY(comm.PortOpen());
    QCOMPARE(comm.Settings(), QStringLiteral("19200,E,7,2"));
    QCOMPARE(comm.DevicePath(), pty.slavePath());
    // Settings may change while open.
    comm.setSettings(QStringLiteral("9600,N,8,1"));
    QCOMPARE(comm.Settings(), QStringLiteral("9600,N,8,1"));
    // Opening twice is an error; closing twice is not.
    QVERIFY_THROWS_EXCEPTION(CommError, comm.setPortOpen(true));
    comm.setPortOpen(false);
    QVERIFY(!comm.PortOpen());
    comm.setPortOpen(false);
    QVERIFY(!comm.PortOpen());
}

void TestMSComm::settingsRejected_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("blank parity") << "9600, ,8,1";
    QTest::newRow("nine data bits") << "9600,N,9,1";
    QTest::newRow("garbage") << "hello";
    QTest::newRow("empty") << "";
}

void TestMSComm::settingsRejected()
{
    QFETCH(QString, text);
    MSComm comm;
    try {
        comm.setSettings(text);
        QFAIL("a rejected settings text must raise an error");
    } catch (const CommError& e) {
        QCOMPARE(e.code(), CommError::InvalidPropertyValue);
    }
    // The old settings stay.
    QCOMPARE(comm.Settings(), QStringLiteral("9600,N,8,1"));
}

void TestMSComm::portNumberRejected_data()
{
    QTest::addColumn<int>("number");
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -3;
    QTest::newRow("too big") << 256;
    QTest::newRow("huge") << std::numeric_limits<int>::max();
}

void TestMSComm::portNumberRejected()
{
    QFETCH(int, number);
    MSComm comm;
    QVERIFY_THROWS_EXCEPTION(CommError, comm.setCommPort(number));
    QCOMPARE(comm.CommPort(), short(1));
}

void TestMSComm::missingPortRaises()
{
    MSComm comm;
    comm.setPortDevice(QStringLiteral("/dev/kv-no-such-port"));
    QVERIFY_THROWS_EXCEPTION(CommError, comm.setPortOpen(true));
    QVERIFY(!comm.PortOpen());
    QVERIFY_THROWS_EXCEPTION(CommError, comm.setPortDevice(QString()));
}

void TestMSComm::busyOperationsOnClosedPort()
{
    MSComm comm;
    QVERIFY_THROWS_EXCEPTION(CommError, comm.setOutput(QByteArray("x")));
    QVERIFY_THROWS_EXCEPTION(CommError, comm.setOutput(QStringLiteral("x")));
    QVERIFY_THROWS_EXCEPTION(CommError, comm.Input());
    // Discarding with the port closed is harmless.
    comm.setInBufferCount(0);
    QCOMPARE(comm.InBufferCount(), 0);
    QVERIFY_THROWS_EXCEPTION(CommError, comm.setInputMode(2));
}

void TestMSComm::allByteValuesBothWays()
{
    test::Pty pty;
    MSComm comm;
    comm.setPortDevice(pty.slavePath());
    comm.setInputMode(1);
    comm.setRThreshold(1);
    comm.setPortOpen(true);

    comm.setOutput(AllByteValues());
    QCOMPARE(pty.read(256), AllByteValues());

    QVERIFY(pty.write(AllByteValues()));
    QCOMPARE(ReceiveThroughEvents(comm, 256), AllByteValues());
}

void TestMSComm::textMode()
{
    test::Pty pty;
    MSComm comm;
    comm.setPortDevice(pty.slavePath());
    comm.setInputMode(0);
    comm.setRThreshold(1);
    comm.setPortOpen(true);

    comm.setOutput(QStringLiteral("abc"));
    QCOMPARE(pty.read(3), QByteArray("abc"));

    QVERIFY(pty.write(QByteArray("hello")));
    QString got;
    connect(&comm, &MSComm::OnComm, this, [&] {
        comm.setInputLen(0);
        const QVariant v = comm.Input();
        QCOMPARE(v.typeId(), QMetaType::QString);
        got += v.toString();
    });
    QVERIFY(QTest::qWaitFor([&] { return got.size() >= 5; }, 3000));
    QCOMPARE(got, QStringLiteral("hello"));
}

void TestMSComm::textModeJoinsASplitCharacter()
{
    if (QStringEncoder(QStringEncoder::System).encode(QStringLiteral("中")) != QByteArray("\xe4\xb8\xad"))
        QSKIP("the system code page is not UTF-8");
    test::Pty pty;
    MSComm comm;
    comm.setPortDevice(pty.slavePath());
    comm.setInputMode(0);
    comm.setPortOpen(true);
    const QByteArray han = QStringLiteral("中").toUtf8();  // three bytes
    QVERIFY(pty.writeAndWaitAtPort(han.left(1)));
    const QString first = comm.InputText();
    QCOMPARE(first, QString());  // half a character: nothing yet
    QVERIFY(pty.writeAndWaitAtPort(han.mid(1) + QByteArray("\xff", 1)));
    const QString second = comm.InputText();
    QCOMPARE(second, QStringLiteral("中") + QChar(QChar::ReplacementCharacter));
}

void TestMSComm::readAfterBlockingWait()
{
    // A handler sends, blocks the thread, then reads: the bytes that arrived
    // during the wait are there although no event loop ran.
    test::Pty pty;
    MSComm comm;
    comm.setPortDevice(pty.slavePath());
    comm.setInputMode(1);
    comm.setRThreshold(1);
    comm.setPortOpen(true);
    comm.setOutput(QByteArray::fromHex("0103264900015E94"));
    QCOMPARE(pty.read(8), QByteArray::fromHex("0103264900015E94"));
    QVERIFY(pty.writeAndWaitAtPort(QByteArray::fromHex("01030200017984")));  // while no event loop runs
    comm.setInputLen(0);
    QCOMPARE(comm.InputBytes(), QByteArray::fromHex("01030200017984"));
    // Nothing is left for a later receive event.
    QSignalSpy spy(&comm, &MSComm::OnComm);
    QTest::qWait(100);
    QCOMPARE(spy.count(), 0);
}

void TestMSComm::staleReadNoticeKeepsThePort()
{
    // A read notice that comes after a wait took its bytes. The read finds
    // nothing, and Qt reports the error number left from before, often "try
    // again" (an X11 connection leaves it): a resource error. The port stays
    // open and goes on receiving.
    test::Pty pty;
    MSComm comm;
    comm.setPortDevice(pty.slavePath());
    comm.setInputMode(1);
    comm.setRThreshold(1);
    comm.setPortOpen(true);
    QSignalSpy openChanged(&comm, &MSComm::OpenChanged);
    QSocketNotifier* notice = nullptr;
    for (QSocketNotifier* n : comm.findChildren<QSocketNotifier*>())
        if (n->type() == QSocketNotifier::Read)
            notice = n;
    QVERIFY(notice);
    QEvent activated(QEvent::SockAct);
    errno = EAGAIN;
    QCoreApplication::sendEvent(notice, &activated);
    QVERIFY(comm.PortOpen());
    QVERIFY(pty.write(QByteArray::fromHex("01030200017984")));
    QCOMPARE(ReceiveThroughEvents(comm, 7), QByteArray::fromHex("01030200017984"));
    QCOMPARE(openChanged.count(), 0);
}

void TestMSComm::eventNotRaisedWhileHandlerBlocks()
{
    test::Pty pty;
    MSComm comm;
    comm.setPortDevice(pty.slavePath());
    comm.setInputMode(1);
    comm.setRThreshold(1);
    comm.setPortOpen(true);

    int events = 0;
    bool inHandler = false;
    bool reentered = false;
    QByteArray got;
    connect(&comm, &MSComm::OnComm, this, [&] {
        if (inHandler)
            reentered = true;
        ++events;
        comm.setInputLen(0);
        got += comm.InputBytes();
    });
    // A handler that writes and blocks, as a poll does.
    QTimer::singleShot(0, this, [&] {
        inHandler = true;
        comm.setOutput(QByteArray::fromHex("0103000400068409"));
        pty.read(8);
        QVERIFY(pty.writeAndWaitAtPort(QByteArray::fromHex("01030C")));
        QVERIFY(pty.writeAndWaitAtPort(QByteArray::fromHex("01F4000A021C03E8012C0001")));
        QCOMPARE(events, 0);
        inHandler = false;
    });
    QVERIFY(QTest::qWaitFor([&] { return got.size() >= 15; }, 3000));
    QVERIFY(!reentered);
    // Both pieces gathered while the handler blocked and are read as one chunk.
    QCOMPARE(events, 1);
    QCOMPARE(got, QByteArray::fromHex("01030C01F4000A021C03E8012C0001"));
    QCOMPARE(comm.CommEvent(), short(MSComm::comEvReceive));
}

void TestMSComm::noEventWhenNothingWaits()
{
    test::Pty pty;
    MSComm comm;
    comm.setPortDevice(pty.slavePath());
    comm.setInputMode(1);
    comm.setRThreshold(1);
    comm.setPortOpen(true);
    QSignalSpy spy(&comm, &MSComm::OnComm);
    // Bytes arrive, and a handler takes them before the event loop delivers an event.
    QVERIFY(pty.writeAndWaitAtPort(QByteArray("abc")));
    QCOMPARE(comm.InputBytes(), QByteArray("abc"));
    QTest::qWait(150);
    QCOMPARE(spy.count(), 0);
    // With RThreshold 0 no receive event is raised at all.
    comm.setRThreshold(0);
    QVERIFY(pty.writeAndWaitAtPort(QByteArray("def")));
    QTest::qWait(150);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(comm.InputBytes(), QByteArray("def"));
}

void TestMSComm::inBufferCountZeroDiscards()
{
    test::Pty pty;
    MSComm comm;
    comm.setPortDevice(pty.slavePath());
    comm.setInputMode(1);
    comm.setRThreshold(0);
    comm.setPortOpen(true);
    QVERIFY(pty.writeAndWaitAtPort(QByteArray("stale bytes")));
    QCOMPARE(comm.InBufferCount(), 11);
    comm.setInBufferCount(0);
    QCOMPARE(comm.InBufferCount(), 0);
    QCOMPARE(comm.InputBytes(), QByteArray());
    QVERIFY(pty.writeAndWaitAtPort(QByteArray("fresh")));
    QCOMPARE(comm.InputBytes(), QByteArray("fresh"));
    QVERIFY_THROWS_EXCEPTION(CommError, comm.setInBufferCount(5));
}

void TestMSComm::vanishingPeerClosesOnce()
{
    auto pty = std::make_unique<test::Pty>();
    MSComm comm;
    comm.setPortDevice(pty->slavePath());
    comm.setInputMode(1);
    comm.setRThreshold(1);
    comm.setPortOpen(true);
    QList<short> events;
    connect(&comm, &MSComm::OnComm, this, [&] {
        events.append(comm.CommEvent());
        if (comm.CommEvent() == MSComm::comEvReceive) {
            comm.setInputLen(0);
            comm.InputBytes();
        }
    });
    pty.reset();  // both sides go: the device is gone
    QVERIFY(QTest::qWaitFor([&] { return !comm.PortOpen(); }, 3000));
    QTest::qWait(300);
    QCOMPARE(events.count(MSComm::comEventPortLost), 1);
    QVERIFY(!comm.PortOpen());
    QVERIFY_THROWS_EXCEPTION(CommError, comm.setOutput(QByteArray("x")));
}

void TestMSComm::reopenAfterClose()
{
    test::Pty pty;
    MSComm comm;
    comm.setPortDevice(pty.slavePath());
    comm.setInputMode(1);
    comm.setRThreshold(1);
    for (int i = 0; i < 3; ++i) {
        comm.setPortOpen(true);
        comm.setOutput(QByteArray("ping"));
        QCOMPARE(pty.read(4), QByteArray("ping"));
        comm.setPortOpen(false);
    }
}

void TestMSComm::portNumberUsesLinkFolder()
{
    QTemporaryDir data;
    QVERIFY(data.isValid());
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    const QString folder = PortLinkFolder();
    QVERIFY(folder.startsWith(data.path()));
    QVERIFY(QDir().mkpath(folder));
    test::Pty pty;
    QVERIFY(QFile::link(pty.slavePath(), folder + QStringLiteral("/COM3")));
    MSComm comm;
    comm.setCommPort(3);
    QCOMPARE(comm.DevicePath(), pty.slavePath());
    comm.setPortOpen(true);
    comm.setOutput(QByteArray("x"));
    QCOMPARE(pty.read(1), QByteArray("x"));
    comm.setPortOpen(false);
    QVERIFY_THROWS_EXCEPTION(CommError, comm.setCommPort(0));
    comm.setCommPort(4);
    QCOMPARE(comm.DevicePath(), QStringLiteral("/dev/ttyS3"));
}

QTEST_GUILESS_MAIN(TestMSComm)
#include "test_mscomm.moc"

// The receive path's rules for a chunk.
#include "serial/receivepath.h"

#include <QTest>

using namespace kv;

class TestReceivePath : public QObject {
    Q_OBJECT
private slots:
    void chunkText_data();
    void chunkText();
    void verdict_data();
    void verdict();
    void logLimit_data();
    void logLimit();
    void logEntry();
};

void TestReceivePath::chunkText_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("poll reply") << QByteArray::fromHex("01030C01F4000A021C03E8012C00018409")
                                << "01030C01F4000A021C03E8012C00018409";
    QTest::newRow("leading zeros kept") << QByteArray::fromHex("000F0A") << "000F0A";
    QTest::newRow("high bytes upper case") << QByteArray::fromHex("F0FFab") << "F0FFAB";
    QTest::newRow("empty") << QByteArray() << "";
}

void TestReceivePath::chunkText()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(ChunkTextFromBytes(bytes), text);
}

void TestReceivePath::verdict_data()
{
    QTest::addColumn<QString>("chunk");
    QTest::addColumn<bool>("log");
    QTest::addColumn<bool>("pollReply");
    const QString reply = QStringLiteral("01030C01F4000A021C03E8012C00018409");
    QTest::newRow("whole reply") << reply << true << true;
    QTest::newRow("first part of a split reply") << reply.left(10) << true << false;
    QTest::newRow("second part of a split reply") << reply.mid(10) << true << false;
    QTest::newRow("two replies in one read") << reply + reply << true << false;
    QTest::newRow("station F0 dropped") << "F0030C01F4000A021C03E8012C00018409" << false << false;
    QTest::newRow("first byte 0F logged") << "0F03" << true << false;
    QTest::newRow("text mode F dropped") << "Fault" << false << false;
    QTest::newRow("text mode lower f logged") << "fault" << true << false;
    QTest::newRow("text of 34 characters") << QString(34, u'a') << true << true;
    QTest::newRow("33 digits") << reply.left(33) << true << false;
    QTest::newRow("35 digits") << reply + u'0' << true << false;
    QTest::newRow("empty read") << "" << false << false;
}

void TestReceivePath::verdict()
{
    QFETCH(QString, chunk);
    QFETCH(bool, log);
    QFETCH(bool, pollReply);
    const ChunkVerdict v = JudgeChunk(chunk);
    QCOMPARE(v.log, log);
    QCOMPARE(v.pollReply, pollReply);
    if (log)
        QCOMPARE(ReceiveLogLine(chunk), QStringLiteral("接收: ") + chunk);
}

void TestReceivePath::logLimit_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<bool>("over");
    QTest::newRow("1990 + 20") << 2010 << true;
    QTest::newRow("exactly 2000") << 2000 << false;
    QTest::newRow("2001") << 2001 << true;
    QTest::newRow("empty") << 0 << false;
}

void TestReceivePath::logLimit()
{
    QFETCH(int, length);
    QFETCH(bool, over);
    QCOMPARE(LogOverLimit(QString(length, u'x')), over);
}

void TestReceivePath::logEntry()
{
    QCOMPARE(LogEntry(u"14:05:33", u"接收: 0103"), QStringLiteral("14:05:33 接收: 0103\r\n"));
}

QTEST_GUILESS_MAIN(TestReceivePath)
#include "test_receivepath.moc"

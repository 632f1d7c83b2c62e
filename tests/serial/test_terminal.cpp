// What a typed frame puts on the line and in the log.
#include "serial/terminal.h"

#include <QTest>

using namespace kv;

class TestTerminal : public QObject {
    Q_OBJECT
private slots:
    void send_data();
    void send();
};

void TestTerminal::send_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("hex");
    QTest::addColumn<bool>("crc");
    QTest::addColumn<bool>("sends");
    QTest::addColumn<bool>("asText");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("logLine");

    QTest::newRow("default frame") << "02060000000F" << true << false << true << false
                                   << QByteArray::fromHex("02060000000F") << "发送: 02060000000F";
    QTest::newRow("with CRC") << "010300000001" << true << true << true << false
                              << QByteArray::fromHex("010300000001840A") << "发送: 010300000001840A";
    QTest::newRow("lower case digits") << "0103000000ff" << true << false << true << false
                                       << QByteArray::fromHex("0103000000FF") << "发送: 0103000000ff";
    // Pairs as typed: a blank lands inside a pair and shifts the later ones,
    // while the CRC counts only the digits.
    QTest::newRow("blanks between pairs") << "01 03" << true << true << true << false
                                          << QByteArray::fromHex("01003402") << "发送: 01 034021";
    QTest::newRow("odd length") << "0103000" << true << false << true << false
                                << QByteArray::fromHex("010300") << "发送: 0103000";
    QTest::newRow("text send") << "abc" << false << false << true << true << QByteArray() << "发送: abc";
    QTest::newRow("text send ignores CRC") << "abc" << false << true << true << true << QByteArray() << "发送: abc";
    QTest::newRow("empty text send") << "" << false << false << true << true << QByteArray() << "发送: ";
    QTest::newRow("empty hex") << "" << true << false << false << false << QByteArray() << "";
    QTest::newRow("one hex digit") << "1" << true << false << false << false << QByteArray() << "";
    // The CRC is appended first; the text then has bytes to send.
    QTest::newRow("empty hex with CRC") << "" << true << true << true << false << QByteArray::fromHex("FFFF")
                                        << "发送: FFFF";
    QTest::newRow("one digit with CRC") << "1" << true << true << true << false << QByteArray::fromHex("1FFF")
                                        << "发送: 1FFFF";
    QTest::newRow("two digits") << "7F" << true << false << true << false << QByteArray::fromHex("7F") << "发送: 7F";
}

void TestTerminal::send()
{
    QFETCH(QString, text);
    QFETCH(bool, hex);
    QFETCH(bool, crc);
    QFETCH(bool, sends);
    QFETCH(bool, asText);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, logLine);
    const TerminalSend s = BuildTerminalSend(text, hex, crc);
    QCOMPARE(s.send, sends);
    if (!sends)
        return;
    QCOMPARE(s.asText, asText);
    if (asText)
        QCOMPARE(s.text, text);
    else
        QCOMPARE(s.bytes, bytes);
    QCOMPARE(s.logLine, logLine);
}

QTEST_GUILESS_MAIN(TestTerminal)
#include "test_terminal.moc"

// Hexadecimal text: numbers and bytes written, bytes and leading digits read.
#include "common/hex.h"

#include <QTest>

#include <optional>

using namespace kv;

Q_DECLARE_METATYPE(std::optional<QByteArray>)

class TestHex : public QObject {
    Q_OBJECT
private slots:
    void written_data();
    void written();
    void read_data();
    void read();
};

void TestHex::written_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("station") << HexText(0x0A, 2) << "0A";
    QTest::newRow("register") << HexText(0x4E20, 4) << "4E20";
    QTest::newRow("zero") << HexText(0, 4) << "0000";
    QTest::newRow("wider than asked") << HexText(0x12345, 4) << "12345";
    QTest::newRow("bytes") << BytesToHexText(QByteArray("\x01\xab\x00\xff", 4)) << "01AB00FF";
    QTest::newRow("bytes with blanks") << BytesToHexText(QByteArray("\x01\x03\x0c", 3), ' ') << "01 03 0C";
    QTest::newRow("no bytes") << BytesToHexText(QByteArray(), ' ') << "";
}

void TestHex::written()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(text, expected);
}

void TestHex::read_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<QByteArray>>("bytes");
    QTest::addColumn<quint32>("leading");
    QTest::newRow("pairs, either case") << "01aBfF" << std::optional(QByteArray("\x01\xab\xff", 3)) << 0x01ABFFu;
    QTest::newRow("empty") << "" << std::optional(QByteArray()) << 0u;
    QTest::newRow("odd length") << "010" << std::optional<QByteArray>() << 0x010u;
    QTest::newRow("not a digit") << "1G" << std::optional<QByteArray>() << 0x1u;
    QTest::newRow("blank") << " 1" << std::optional<QByteArray>() << 0u;
    QTest::newRow("full-width digit") << QStringLiteral("１2") << std::optional<QByteArray>() << 0u;
    QTest::newRow("only the last 32 bits") << "123456789" << std::optional<QByteArray>() << 0x23456789u;
}

void TestHex::read()
{
    QFETCH(QString, text);
    QFETCH(std::optional<QByteArray>, bytes);
    QFETCH(quint32, leading);
    QCOMPARE(HexTextToBytes(text), bytes);
    QCOMPARE(LeadingHexValue(text), leading);
}

QTEST_APPLESS_MAIN(TestHex)
#include "test_hex.moc"

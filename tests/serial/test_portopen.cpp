// Station address, port text and settings text of the port open.
#include "serial/portopen.h"
#include "tests/support/pty.h"

#include <QTest>

using namespace kv;

class TestPortOpen : public QObject {
    Q_OBJECT
private slots:
    void stationAddr_data();
    void stationAddr();
    void settingsText_data();
    void settingsText();
    void portText_data();
    void portText();
    void portTextNamingAPseudoTerminal();
    void portList_data();
    void portList();
};

void TestPortOpen::stationAddr_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("addr");
    QTest::newRow("1") << "1" << "01";
    QTest::newRow("10") << "10" << "0A";
    QTest::newRow("99") << "99" << "63";
    QTest::newRow("0 is broadcast") << "0" << "00";
    QTest::newRow("00 is broadcast") << "00" << "00";
    QTest::newRow("100") << "100" << "64";
    QTest::newRow("247") << "247" << "F7";
    QTest::newRow("248 is no station") << "248" << "01";
    QTest::newRow("leading zeros") << "0012" << "0C";
    QTest::newRow("many digits") << "00000000000000000000247" << "F7";
    QTest::newRow("huge number") << "99999999999999999999" << "01";
    QTest::newRow("empty") << "" << "01";
    QTest::newRow("blanks only") << "  " << "01";
    QTest::newRow("three letters") << "abc" << "01";
    QTest::newRow("non-numeric") << "ab" << "01";
    QTest::newRow("leading blank") << " 5" << "05";
    QTest::newRow("blanks, tab, line feed around") << " \t5\n " << "05";
    QTest::newRow("carriage return") << "5\r" << "01";
    QTest::newRow("blank inside") << "1 2" << "01";
    QTest::newRow("number then letter") << "7x" << "01";
    QTest::newRow("15 is F") << "15" << "0F";
    QTest::newRow("16 is 10") << "16" << "10";
    QTest::newRow("decimal point") << "1.0" << "01";
    QTest::newRow("fraction") << ".5" << "01";
    QTest::newRow("trailing stop") << "2." << "01";
    QTest::newRow("exponent") << "1e2" << "01";
    QTest::newRow("hexadecimal prefix") << "&H10" << "01";
    QTest::newRow("plus sign") << "+5" << "01";
    QTest::newRow("negative gives no station") << "-1" << "01";
    QTest::newRow("full-width digits") << "\uFF15" << "01";
}

void TestPortOpen::stationAddr()
{
    QFETCH(QString, text);
    QFETCH(QString, addr);
    QCOMPARE(StationAddrFromText(text), addr);
}

void TestPortOpen::settingsText_data()
{
    QTest::addColumn<QString>("baud");
    QTest::addColumn<QString>("parity");
    QTest::addColumn<QString>("data");
    QTest::addColumn<QString>("stop");
    QTest::addColumn<QString>("settings");
    QTest::newRow("defaults") << "9600" << "None" << "8" << "1" << "9600,N,8,1";
    QTest::newRow("odd") << "19200" << "Odd" << "7" << "2" << "19200,O,7,2";
    QTest::newRow("even") << "4800" << "Even" << "8" << "1" << "4800,E,8,1";
    QTest::newRow("blanks trimmed") << "  9600 " << "None" << " 8 " << " 1  " << "9600,N,8,1";
    QTest::newRow("parity not upper-cased") << "9600" << "odd" << "8" << "1" << "9600,o,8,1";
    QTest::newRow("parity blank kept") << "9600" << " Odd" << "8" << "1" << "9600, ,8,1";
    QTest::newRow("parity empty") << "9600" << "" << "8" << "1" << "9600,,8,1";
    QTest::newRow("tab not a blank") << "9600\t" << "N" << "8" << "1" << "9600\t,N,8,1";
}

void TestPortOpen::settingsText()
{
    QFETCH(QString, baud);
    QFETCH(QString, parity);
    QFETCH(QString, data);
    QFETCH(QString, stop);
    QFETCH(QString, settings);
    QCOMPARE(BuildSettingsText(baud, parity, data, stop), settings);
}

void TestPortOpen::portText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("address");  // a network target's address text
    const int number = PortTarget::Number, invalid = PortTarget::Invalid, network = PortTarget::Network;
    QTest::newRow("COM 3") << "COM 3" << number << 3 << "";
    QTest::newRow("COM10") << "COM10" << number << 10 << "";
    QTest::newRow("COM0") << "COM0" << number << 0 << "";
    QTest::newRow("no digit") << "COM" << invalid << 0 << "";
    QTest::newRow("empty") << "" << invalid << 0 << "";
    QTest::newRow("digit not at the end") << "3 COM" << invalid << 0 << "";
#ifndef Q_OS_WIN
    QTest::newRow("missing device path") << "/dev/kv-no-such-port7" << invalid << 0 << "";
#endif
    // Network addresses of a converter, and texts that stay serial port texts.
    QTest::newRow("IPv4") << " 192.168.1.20:4001 " << network << 0 << "192.168.1.20:4001";
    QTest::newRow("IPv6") << "[fe80::1]:4001" << network << 0 << "[fe80::1]:4001";
    QTest::newRow("host name") << "host.local:4001" << network << 0 << "host.local:4001";
    QTest::newRow("localhost") << "localhost:502" << network << 0 << "localhost:502";
    QTest::newRow("tcp:// IPv4") << "TCP://192.168.1.20:4001" << network << 0 << "192.168.1.20:4001";
    QTest::newRow("tcp:// IPv6") << "tcp://[::1]:5020" << network << 0 << "[::1]:5020";
    QTest::newRow("tcp:// bare name") << "tcp://drive7:4001" << network << 0 << "drive7:4001";
    QTest::newRow("tcp:// without port") << "tcp://192.168.1.20" << invalid << 0 << "";
    QTest::newRow("tcp:// port 0") << "tcp://192.168.1.20:0" << invalid << 0 << "";
    QTest::newRow("port above 65535") << "192.168.1.20:65536" << number << 65536 << "";
    QTest::newRow("name without a dot") << "COM:3" << number << 3 << "";
    QTest::newRow("IPv6 without brackets") << "fe80::1:4001" << number << 4001 << "";
    QTest::newRow("blank inside") << "192.168.1.20: 4001" << number << 4001 << "";
}

void TestPortOpen::portText()
{
    QFETCH(QString, text);
    QFETCH(int, kind);
    QFETCH(int, number);
    QFETCH(QString, address);
    const PortTarget target = ResolvePortText(text);
    QCOMPARE(int(target.kind), kind);
    if (kind == PortTarget::Number)
        QCOMPARE(target.number, number);
    if (kind == PortTarget::Network)
        QCOMPARE(target.device, address);
}

void TestPortOpen::portTextNamingAPseudoTerminal()
{
#ifdef Q_OS_WIN
    QSKIP("device paths are a POSIX matter");
#else
    test::Pty pty;
    QVERIFY(pty.isValid());
    const PortTarget target = ResolvePortText(pty.slavePath());
    QCOMPARE(int(target.kind), int(PortTarget::Device));
    QCOMPARE(target.device, pty.slavePath());
#endif
}

void TestPortOpen::portList_data()
{
    QTest::addColumn<QStringList>("system");
    QTest::addColumn<QStringList>("tail");
    QTest::newRow("none") << QStringList() << QStringList();
    QTest::newRow("posix devices") << QStringList{"/dev/ttyUSB0", "/dev/ttyACM1"}
                                   << QStringList{"/dev/ttyUSB0", "/dev/ttyACM1"};
    QTest::newRow("windows names, COM3 already listed") << QStringList{"COM3", "COM12", "com5"} << QStringList{"COM12"};
    QTest::newRow("twice reported") << QStringList{"COM12", "COM12"} << QStringList{"COM12"};
}

void TestPortOpen::portList()
{
    QFETCH(QStringList, system);
    QFETCH(QStringList, tail);
    const QStringList rows = PortListEntries(system);
    QCOMPARE(rows.mid(0, 10), (QStringList{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9",
                                           "COM10"}));
    QCOMPARE(rows.mid(10), tail);
}

QTEST_GUILESS_MAIN(TestPortOpen)
#include "test_portopen.moc"

// Settings texts and port names.
#include "serial/portsettings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kv;

class TestPortSettings : public QObject {
    Q_OBJECT
private slots:
    void accepted_data();
    void accepted();
    void rejected_data();
    void rejected();
    void trailingPortNumber_data();
    void trailingPortNumber();
    void portNumberThroughLinkFolder();
    void deviceForPortText();
};

void TestPortSettings::accepted_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("parity");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");
    QTest::newRow("defaults") << "9600,N,8,1" << 9600 << int(QSerialPort::NoParity) << 8 << int(QSerialPort::OneStop);
    QTest::newRow("odd") << "19200,O,7,2" << 19200 << int(QSerialPort::OddParity) << 7 << int(QSerialPort::TwoStop);
    QTest::newRow("even lower case") << "4800,e,8,1" << 4800 << int(QSerialPort::EvenParity) << 8 << int(QSerialPort::OneStop);
    QTest::newRow("mark") << "1200,M,5,1.5" << 1200 << int(QSerialPort::MarkParity) << 5 << int(QSerialPort::OneAndHalfStop);
    QTest::newRow("space") << "115200,S,6,1" << 115200 << int(QSerialPort::SpaceParity) << 6 << int(QSerialPort::OneStop);
}

void TestPortSettings::accepted()
{
    QFETCH(QString, text);
    QFETCH(int, baud);
    QFETCH(int, parity);
    QFETCH(int, dataBits);
    QFETCH(int, stopBits);
    const auto s = ParseSettings(text);
    QVERIFY(s.has_value());
    QCOMPARE(s->baud, baud);
    QCOMPARE(int(s->parity), parity);
    QCOMPARE(int(s->dataBits), dataBits);
    QCOMPARE(int(s->stopBits), stopBits);
    QCOMPARE(SettingsText(*s).toUpper(), text.toUpper());
}

void TestPortSettings::rejected_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("three fields") << "9600,N,8";
    QTest::newRow("five fields") << "9600,N,8,1,1";
    QTest::newRow("blank parity") << "9600, ,8,1";
    QTest::newRow("leading blank parity") << "9600, N,8,1";
    QTest::newRow("parity word") << "9600,None,8,1";
    QTest::newRow("parity X") << "9600,X,8,1";
    QTest::newRow("data bits 9") << "9600,N,9,1";
    QTest::newRow("data bits 4") << "9600,N,4,1";
    QTest::newRow("stop bits 3") << "9600,N,8,3";
    QTest::newRow("stop bits 0") << "9600,N,8,0";
    QTest::newRow("baud zero") << "0,N,8,1";
    QTest::newRow("baud negative") << "-9600,N,8,1";
    QTest::newRow("baud text") << "fast,N,8,1";
    QTest::newRow("baud decimal") << "9600.5,N,8,1";
    QTest::newRow("baud huge") << "99999999999,N,8,1";
    QTest::newRow("empty baud") << ",N,8,1";
    QTest::newRow("blank in baud") << "96 00,N,8,1";
}

void TestPortSettings::rejected()
{
    QFETCH(QString, text);
    QVERIFY(!ParseSettings(text).has_value());
}

void TestPortSettings::trailingPortNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");  // -1: none
    QTest::newRow("COM 3") << "COM 3" << 3;
    QTest::newRow("COM10") << "COM10" << 10;
    QTest::newRow("COM03") << "COM03" << 3;
    QTest::newRow("digits only") << "7" << 7;
    QTest::newRow("no digit") << "COM" << -1;
    QTest::newRow("digit not at the end") << "COM3x" << -1;
    QTest::newRow("empty") << "" << -1;
    QTest::newRow("pts path") << "/dev/pts/12" << 12;
    QTest::newRow("absurd length") << "COM99999999999999999999" << std::numeric_limits<int>::max();
}

void TestPortSettings::trailingPortNumber()
{
    QFETCH(QString, text);
    QFETCH(int, number);
    const auto n = TrailingPortNumber(text);
    if (number < 0)
        QVERIFY(!n.has_value());
    else
        QCOMPARE(n.value_or(-1), number);
}

void TestPortSettings::portNumberThroughLinkFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QFile::link(QStringLiteral("/dev/null"), dir.filePath(QStringLiteral("COM3"))));
    QCOMPARE(DeviceForPortNumber(3, dir.path()), QStringLiteral("/dev/null"));
    // Without a link the port number counts from ttyS0.
    QCOMPARE(DeviceForPortNumber(1, dir.path()), QStringLiteral("/dev/ttyS0"));
    QCOMPARE(DeviceForPortNumber(10, dir.path()), QStringLiteral("/dev/ttyS9"));
    QCOMPARE(DeviceForPortNumber(4, QString()), QStringLiteral("/dev/ttyS3"));
}

void TestPortSettings::deviceForPortText()
{
    QCOMPARE(DeviceForPortText(u"/dev/null").value_or(QString()), QStringLiteral("/dev/null"));
    QCOMPARE(DeviceForPortText(u"  /dev/null ").value_or(QString()), QStringLiteral("/dev/null"));
    QCOMPARE(DeviceForPortText(u"null").value_or(QString()), QStringLiteral("/dev/null"));
    QVERIFY(!DeviceForPortText(u"/dev/does-not-exist").has_value());
    QVERIFY(!DeviceForPortText(u"COM 3").has_value());
    QVERIFY(!DeviceForPortText(u"com3").has_value());
    QVERIFY(!DeviceForPortText(u"").has_value());
    QVERIFY(!DeviceForPortText(u"../etc/passwd").has_value());
}

QTEST_GUILESS_MAIN(TestPortSettings)
#include "test_portsettings.moc"

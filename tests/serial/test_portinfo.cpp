// The system's ports explained: tooltips, the rows of the port list, which
// port a device is (links followed), and whether the device a port text names
// is there now.
#include "serial/portinfo.h"
#include "serial/portsettings.h"
#include "tests/support/pty.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kv;

class TestPortInfo : public QObject {
    Q_OBJECT
private slots:
    void toolTip_data();
    void toolTip();
    void rowsComFirstThenSystemPorts();
    void deviceThroughLinks();
};

void TestPortInfo::toolTip_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("manufacturer");
    QTest::addColumn<QString>("tip");
    QTest::newRow("both") << "FT232R USB UART" << "FTDI" << "ttyUSB0 — FT232R USB UART (FTDI)";
    QTest::newRow("description only") << "USB-Serial Controller" << "" << "ttyUSB0 — USB-Serial Controller";
    QTest::newRow("maker only") << "" << "Prolific" << "ttyUSB0 — Prolific";
    QTest::newRow("maker within the description") << "CP2102 Silicon Labs bridge" << "Silicon Labs"
                                                  << "ttyUSB0 — CP2102 Silicon Labs bridge";
    QTest::newRow("nothing known") << "" << "" << "ttyUSB0";
}

void TestPortInfo::toolTip()
{
    QFETCH(QString, description);
    QFETCH(QString, manufacturer);
    QFETCH(QString, tip);
    QCOMPARE(PortToolTip({QStringLiteral("/dev/ttyUSB0"), QStringLiteral("ttyUSB0"), description, manufacturer}), tip);
}

void TestPortInfo::rowsComFirstThenSystemPorts()
{
    const QList<SystemPort> ports = {{"/dev/ttyUSB0", "ttyUSB0", "FT232R USB UART", "FTDI"},
                                     {"COM3", "COM3", "Communications Port", ""},
                                     {"/dev/ttyACM0", "ttyACM0", "", ""}};
    const QList<PortRow> rows = PortListRows(ports);
    QCOMPARE(rows.size(), 12);
    for (int n = 1; n <= 10; ++n) {
        // A system port among the first ten (Windows) keeps its place and gets its tooltip.
        const QString tip = n == 3 ? QStringLiteral("COM3 — Communications Port") : QString();
        QCOMPARE(rows[n - 1], (PortRow{QStringLiteral("COM%1").arg(n), tip}));
    }
    QCOMPARE(rows[10], (PortRow{"/dev/ttyUSB0", "ttyUSB0 — FT232R USB UART (FTDI)"}));
    QCOMPARE(rows[11], (PortRow{"/dev/ttyACM0", "ttyACM0"}));
}

void TestPortInfo::deviceThroughLinks()
{
    QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QVERIFY(QDir().mkpath(PortLinkFolder()));
    test::Pty pty;
    QVERIFY(pty.isValid());
    const QString link = PortLinkFolder() + QStringLiteral("/COM7");
    QVERIFY(QFile::link(pty.slavePath(), link));

    // The port list names the terminal itself; the box names it through COM7.
    const QList<SystemPort> ports = {{"/dev/ttyS0", "ttyS0", "", ""}, {pty.slavePath(), "pts", "Bridge", "Maker"}};
    QCOMPARE(PortForDevice(link, ports)->description, QStringLiteral("Bridge"));
    QCOMPARE(PortForDevice(pty.slavePath(), ports)->name, QStringLiteral("pts"));
    QVERIFY(!PortForDevice(QStringLiteral("/dev/nothing-here"), ports));

    QCOMPARE(PresentDeviceForPortText(u"COM 7"), pty.slavePath());
    QCOMPARE(PresentDeviceForPortText(pty.slavePath()), pty.slavePath());
    QVERIFY(DeviceOpens(PresentDeviceForPortText(u"COM7")));
    // A link whose device went away leads nowhere, and so does a path that names nothing.
    QVERIFY(QFile::link(data.filePath(QStringLiteral("gone")), PortLinkFolder() + QStringLiteral("/COM9")));
    QCOMPARE(PresentDeviceForPortText(u"COM9"), QString());
    QCOMPARE(PresentDeviceForPortText(data.filePath(QStringLiteral("gone"))), QString());
    QVERIFY(!DeviceOpens(QString()));
}

QTEST_GUILESS_MAIN(TestPortInfo)
#include "test_portinfo.moc"

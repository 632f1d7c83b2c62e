// The start-up routine and the installation of the serial component.
#include "app/startup.h"
#include "tests/support/fakes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace kv;
using kv::test::FakePlatform;

namespace {

QByteArray ComponentBytes()
{
    QByteArray b(103744, '\0');
    for (int i = 0; i < b.size(); ++i)
        b[i] = static_cast<char>((i * 131 + 7) & 0xFF);
    return b;
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void firstStartInstallsBeforeTheWindow();
    void longerOldFileIsReplacedWhole();
    void failingStepsAreSilentAndSkipTheRest_data();
    void failingStepsAreSilentAndSkipTheRest();
    void registerMenuRepeatsTheInstallation();
    void unregisterMenuCommand_data();
    void unregisterMenuCommand();
    void windowFailureIsIgnored();
    void realPlatformLeavesALinuxMachineUntouched();
    void realProgramCarriesTheComponent();
};

void TestStartup::firstStartInstallsBeforeTheWindow()
{
    QTemporaryDir system;
    FakePlatform platform;
    platform.systemDirectory = system.path();
    platform.resources.insert({QStringLiteral("CUSTOM"), 101}, ComponentBytes());

    int startsWhenShown = -1;
    bool fileWhenShown = false;
    Main(platform, [&] {
        startsWhenShown = static_cast<int>(platform.starts.size());
        fileWhenShown = QFile::exists(system.filePath(QStringLiteral("MSCOMM32.OCX")));
    });

    QCOMPARE(ReadAll(system.filePath(QStringLiteral("MSCOMM32.OCX"))), ComponentBytes());
    QCOMPARE(platform.writes.size(), 1);
    QCOMPARE(platform.writes[0].first, system.path() + QStringLiteral("/MSCOMM32.OCX"));
    QCOMPARE(platform.starts.size(), 1);
    QCOMPARE(platform.starts[0].first, QStringLiteral("regsvr32  MSCOMM32.OCX"));
    QCOMPARE(platform.starts[0].second, WindowStyle::Hide);
    QCOMPARE(startsWhenShown, 1);
    QVERIFY(fileWhenShown);
}

void TestStartup::longerOldFileIsReplacedWhole()
{
    QTemporaryDir system;
    const QString path = system.filePath(QStringLiteral("MSCOMM32.OCX"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(200000, 'x'));
    }
    FakePlatform platform;
    platform.systemDirectory = system.path();
    platform.resources.insert({QStringLiteral("CUSTOM"), 101}, ComponentBytes());
    Main(platform, {});
    const QByteArray now = ReadAll(path);
    QCOMPARE(now.size(), 103744);
    QCOMPARE(now, ComponentBytes());
}

void TestStartup::failingStepsAreSilentAndSkipTheRest_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<int>("expectedWrites");
    QTest::newRow("no system directory") << "nodir" << 0;
    QTest::newRow("resource missing") << "noresource" << 0;
    QTest::newRow("system directory not writable") << "readonly" << 1;
    QTest::newRow("system directory missing") << "missingdir" << 1;
    QTest::newRow("registration cannot start") << "nostart" << 1;
}

void TestStartup::failingStepsAreSilentAndSkipTheRest()
{
    QFETCH(QString, failure);
    QFETCH(int, expectedWrites);
    QTemporaryDir system;
    FakePlatform platform;
    platform.systemDirectory = system.path();
    platform.resources.insert({QStringLiteral("CUSTOM"), 101}, ComponentBytes());
    if (failure == u"nodir")
        platform.systemDirectory.clear();
    else if (failure == u"noresource")
        platform.resources.clear();
    else if (failure == u"readonly")
        platform.failWrites = true;
    else if (failure == u"missingdir")
        platform.systemDirectory = system.filePath(QStringLiteral("gone"));
    else if (failure == u"nostart")
        platform.failStarts = true;

    bool shown = false;
    Main(platform, [&] { shown = true; });
    QVERIFY(shown);
    QCOMPARE(platform.writes.size(), expectedWrites);
    if (failure != u"nostart")
        QCOMPARE(platform.starts.size(), 0);  // registration skipped after a failed step
    if (failure == u"nodir") {
        // Never written next to nothing: no file at the root or in the working directory.
        QVERIFY(!QFile::exists(QStringLiteral("/MSCOMM32.OCX")));
        QVERIFY(!QFile::exists(QStringLiteral("MSCOMM32.OCX")));
    }
}

void TestStartup::registerMenuRepeatsTheInstallation()
{
    QTemporaryDir system;
    FakePlatform platform;
    platform.systemDirectory = system.path();
    platform.resources.insert({QStringLiteral("CUSTOM"), 101}, ComponentBytes());
    RegisterSerialComponent(platform);
    QFile::remove(system.filePath(QStringLiteral("MSCOMM32.OCX")));
    RegisterSerialComponent(platform);
    QCOMPARE(platform.writes.size(), 2);
    QCOMPARE(platform.starts.size(), 2);
    QCOMPARE(ReadAll(system.filePath(QStringLiteral("MSCOMM32.OCX"))), ComponentBytes());
    // Failures are silent from the menu too.
    platform.failWrites = true;
    RegisterSerialComponent(platform);
    QCOMPARE(platform.starts.size(), 2);
}

void TestStartup::unregisterMenuCommand_data()
{
    QTest::addColumn<bool>("systemDirectory");
    QTest::addColumn<bool>("component");
    QTest::addColumn<int>("starts");
    QTest::newRow("component carried") << true << true << 1;
    // Nothing this build registered: the control of that name belongs to others.
    QTest::newRow("no component") << true << false << 0;
    QTest::newRow("no system directory") << false << true << 0;
}

void TestStartup::unregisterMenuCommand()
{
    QFETCH(bool, systemDirectory);
    QFETCH(bool, component);
    QFETCH(int, starts);
    QTemporaryDir system;
    FakePlatform platform;
    if (systemDirectory)
        platform.systemDirectory = system.path();
    if (component)
        platform.resources.insert({QStringLiteral("CUSTOM"), 101}, ComponentBytes());
    UnregisterSerialComponent(platform);
    QCOMPARE(platform.starts.size(), starts);
    QVERIFY(platform.writes.isEmpty());
    if (starts == 0)
        return;
    QCOMPARE(platform.starts[0].first, QStringLiteral("regsvr32 /u  MSCOMM32.OCX "));
    QCOMPARE(platform.starts[0].second, WindowStyle::MinimizedFocus);
    // A launch that fails reports nothing and does not throw.
    platform.failStarts = true;
    UnregisterSerialComponent(platform);
    QCOMPARE(platform.starts.size(), 2);
}

void TestStartup::windowFailureIsIgnored()
{
    FakePlatform platform;
    bool tried = false;
    QVERIFY_THROWS_NO_EXCEPTION(Main(platform, [&] {
        tried = true;
        throw std::runtime_error("no window");
    }));
    QVERIFY(tried);
}

void TestStartup::realPlatformLeavesALinuxMachineUntouched()
{
#ifdef Q_OS_WIN
    QSKIP("POSIX behaviour");
#else
    // A "regsvr32" on the PATH (as a Windows emulation layer may put there)
    // leaves a mark when it runs; so does a program started last, as a witness.
    QTemporaryDir bin;
    auto script = [&](const QString& name) {
        const QString path = bin.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return false;
        f.write(QStringLiteral("#!/bin/sh\ntouch '%1.ran'\n").arg(path).toLocal8Bit());
        f.close();
        return f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    };
    QVERIFY(script(QStringLiteral("regsvr32")) && script(QStringLiteral("witness")));
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toLocal8Bit() + ':' + path);

    QTemporaryDir cwd;
    const QString before = QDir::currentPath();
    QDir::setCurrent(cwd.path());
    bool shown = false;
    Main(SystemPlatform(), [&] { shown = true; });
    RegisterSerialComponent(SystemPlatform());
    UnregisterSerialComponent(SystemPlatform());
    QDir::setCurrent(before);
    QVERIFY(SystemPlatform().StartProgram(bin.filePath(QStringLiteral("witness")), WindowStyle::Hide));
    qputenv("PATH", path);

    QVERIFY(shown);
    QVERIFY(SystemPlatform().SystemDirectory().isEmpty());
    QVERIFY(QDir(cwd.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
    QVERIFY(!QFile::exists(QStringLiteral("/MSCOMM32.OCX")));
    QTRY_VERIFY(QFile::exists(bin.filePath(QStringLiteral("witness.ran"))));
    QVERIFY(!QFile::exists(bin.filePath(QStringLiteral("regsvr32.ran"))));
#endif
}

void TestStartup::realProgramCarriesTheComponent()
{
    const std::optional<QByteArray> bytes = SystemPlatform().LoadResource(QStringLiteral("CUSTOM"), 101);
    QVERIFY2(bytes.has_value(), "the program carries no serial component");
    QVERIFY(bytes->size() > 1000);
    QVERIFY(!SystemPlatform().LoadResource(QStringLiteral("CUSTOM"), 102).has_value());
}

QTEST_MAIN(TestStartup)
#include "test_startup.moc"

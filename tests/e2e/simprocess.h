// Runs the drive-sim program for a test and talks to it over its
// pseudo-terminal, byte by byte (LineClient) or through a Modbus client.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace kv::test {

class SimProcess {
public:
    SimProcess() = default;
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Starts drive-sim with the arguments and waits for the path it prints.
    // Returns false (and keeps the reason in error()) if it does not start.
    bool start(const QStringList& args);
    QString path() const { return m_path; }
    // With --tcp drive-sim prints "ADDRESS:PORT" instead of a path: the port (0 otherwise).
    int tcpPort() const;
    QString error() const { return m_error; }
    qint64 pid() const { return m_process.processId(); }
    void signal(int sig);
    // Sends SIGTERM and waits for the exit; returns the exit code (-1 if it crashed or hung).
    int stop();
    QByteArray log(); // what it wrote on standard error so far
    // Blocks (without running the event loop) until the log holds `count`
    // lines containing `needle`; false when it does not within `timeoutMs`.
    bool waitForLog(const QString& needle, int count, int timeoutMs = 20000);

private:
    QProcess m_process;
    QString m_path;
    QString m_error;
    QByteArray m_log;
};

// The master's end of the line: opens a terminal path raw, with line
// settings as "9600,N,8,1", or connects to drive-sim's TCP port on 127.0.0.1.
class LineClient {
public:
    explicit LineClient(const QString& path, const QString& settings = QStringLiteral("9600,N,8,1"));
    explicit LineClient(int tcpPort);
    ~LineClient();
    LineClient(const LineClient&) = delete;
    LineClient& operator=(const LineClient&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    // Sets the terminal's settings ("19200,E,8,1") as a master does with tcsetattr.
    bool setSettings(const QString& settings);
    void close();
    // Reads until the other end closes the connection (or resets it); false
    // when it is still open after `timeoutMs`. Bytes that come first are dropped.
    bool waitForClose(int timeoutMs = 20000);
    bool write(const QByteArray& bytes);
    // Reads until `count` bytes are in or `timeoutMs` passes.
    QByteArray read(int count, int timeoutMs = 2000);
    // Reads what arrives within `timeoutMs`, returning early once bytes have
    // come and the line has then been quiet for `quietMs`.
    QByteArray readQuiet(int timeoutMs, int quietMs);

private:
    int m_fd = -1;
};

QString DriveSimPath();

} // namespace kv::test

// A real pseudo-terminal for serial tests: the tool opens the slave side as its
// port, the test reads and writes the master side as the far end of the line.
#pragma once

#include <QByteArray>
#include <QString>

namespace kv::test {

class Pty {
public:
    Pty();  // opens a raw pseudo-terminal pair; isValid() tells whether it worked
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    bool isValid() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }
    int masterFd() const { return m_master; }

    // Writes all bytes to the line (master side).
    bool write(const QByteArray& bytes);
    // Reads what arrives from the tool until `count` bytes are in or `timeoutMs` passes.
    QByteArray read(int count, int timeoutMs = 2000);
    // Reads whatever arrives within `timeoutMs` (returns early after a quiet gap of quietMs).
    QByteArray readAvailable(int timeoutMs = 300, int quietMs = 50);
    // Closes the master side: the tool's end sees the line vanish.
    void closeMaster();

    // Bytes written on the master side that wait at the tool's end, read by nobody yet.
    int bytesAtPort() const;
    // Waits until at least `count` bytes wait at the tool's end (written bytes
    // reach it a moment later); false when they do not within `timeoutMs`.
    bool waitForBytesAtPort(int count = 1, int timeoutMs = 5000) const;
    // Writes the bytes and waits until all of them wait at the tool's end. The
    // tool must not read meanwhile: call it where its event loop does not run
    // (inside a handler's wait, or before the test lets events be handled).
    bool writeAndWaitAtPort(const QByteArray& bytes, int timeoutMs = 5000);

private:
    int m_master = -1;
    int m_slave = -1;  // kept open so the slave path survives until the test ends
    QString m_slavePath;
};

// The same for any terminal device, through a descriptor of its own that
// reads nothing: waits until at least `count` bytes wait at `path`.
bool WaitForBytesAtPort(const QString& path, int count = 1, int timeoutMs = 5000);

} // namespace kv::test

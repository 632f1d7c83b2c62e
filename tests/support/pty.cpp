#include "tests/support/pty.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <QElapsedTimer>

namespace kv::test {

namespace {

int BytesWaiting(int fd)
{
    int n = 0;
    return ::ioctl(fd, FIONREAD, &n) == 0 ? n : -1;
}

bool WaitForBytes(int fd, int count, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        if (BytesWaiting(fd) >= count)
            return true;
        if (clock.elapsed() > timeoutMs)
            return false;
        ::usleep(1000);
    }
}

} // namespace

Pty::Pty()
{
    int master = -1;
    int slave = -1;
    char name[256] = {};
    if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
        return;
    termios t{};
    if (tcgetattr(slave, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(slave, TCSANOW, &t);
    }
    if (tcgetattr(master, &t) == 0) {
        cfmakeraw(&t);
        tcsetattr(master, TCSANOW, &t);
    }
    const int flags = fcntl(master, F_GETFL);
    fcntl(master, F_SETFL, flags | O_NONBLOCK);
    m_master = master;
    m_slave = slave;
    m_slavePath = QString::fromLocal8Bit(name);
}

Pty::~Pty()
{
    closeMaster();
    if (m_slave >= 0)
        ::close(m_slave);
}

void Pty::closeMaster()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}

bool Pty::write(const QByteArray& bytes)
{
    qsizetype done = 0;
    QElapsedTimer clock;
    clock.start();
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (clock.elapsed() > 5000)
            return false;
        pollfd p{m_master, POLLOUT, 0};
        ::poll(&p, 1, 50);
    }
    return true;
}

QByteArray Pty::read(int count, int timeoutMs)
{
    QByteArray out;
    QElapsedTimer clock;
    clock.start();
    while (out.size() < count && clock.elapsed() < timeoutMs && m_master >= 0) {
        pollfd p{m_master, POLLIN, 0};
        if (::poll(&p, 1, 20) > 0 && (p.revents & POLLIN)) {
            char buf[4096];
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n > 0)
                out.append(buf, n);
        }
    }
    return out;
}

QByteArray Pty::readAvailable(int timeoutMs, int quietMs)
{
    QByteArray out;
    QElapsedTimer clock;
    clock.start();
    QElapsedTimer quiet;
    quiet.start();
    while (clock.elapsed() < timeoutMs && m_master >= 0) {
        pollfd p{m_master, POLLIN, 0};
        if (::poll(&p, 1, 10) > 0 && (p.revents & POLLIN)) {
            char buf[4096];
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n > 0) {
                out.append(buf, n);
                quiet.restart();
            }
        } else if (!out.isEmpty() && quiet.elapsed() >= quietMs) {
            break;
        }
    }
    return out;
}

int Pty::bytesAtPort() const
{
    return m_slave >= 0 ? BytesWaiting(m_slave) : -1;
}

bool Pty::waitForBytesAtPort(int count, int timeoutMs) const
{
    return m_slave >= 0 && WaitForBytes(m_slave, count, timeoutMs);
}

bool Pty::writeAndWaitAtPort(const QByteArray& bytes, int timeoutMs)
{
    const int before = bytesAtPort();
    return before >= 0 && write(bytes) && waitForBytesAtPort(before + static_cast<int>(bytes.size()), timeoutMs);
}

bool WaitForBytesAtPort(const QString& path, int count, int timeoutMs)
{
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool arrived = WaitForBytes(fd, count, timeoutMs);
    ::close(fd);
    return arrived;
}

} // namespace kv::test

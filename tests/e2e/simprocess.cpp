#include "tests/e2e/simprocess.h"

#include <QDeadlineTimer>

#include <QElapsedTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace kv::test {

QString DriveSimPath()
{
    return QStringLiteral(KV_DRIVE_SIM);
}

SimProcess::~SimProcess()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
}

bool SimProcess::start(const QStringList& args)
{
    m_process.start(DriveSimPath(), args);
    if (!m_process.waitForStarted(5000)) {
        m_error = QStringLiteral("cannot start %1: %2").arg(DriveSimPath(), m_process.errorString());
        return false;
    }
    QElapsedTimer clock;
    clock.start();
    while (!m_process.canReadLine() && clock.elapsed() < 5000) {
        if (!m_process.waitForReadyRead(100) && m_process.state() == QProcess::NotRunning)
            break;
    }
    if (!m_process.canReadLine()) {
        m_error = QStringLiteral("drive-sim printed no path: ") + QString::fromLocal8Bit(log());
        return false;
    }
    m_path = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    return !m_path.isEmpty();
}

int SimProcess::tcpPort() const
{
    const qsizetype colon = m_path.lastIndexOf(u':');
    return m_path.startsWith(u'/') || colon < 0 ? 0 : m_path.mid(colon + 1).toInt();
}

void SimProcess::signal(int sig)
{
    if (m_process.state() != QProcess::NotRunning)
        ::kill(static_cast<pid_t>(m_process.processId()), sig);
}

int SimProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(3000);
        return -1;
    }
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

QByteArray SimProcess::log()
{
    m_log += m_process.readAllStandardError();
    return m_log;
}

bool SimProcess::waitForLog(const QString& needle, int count, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (QString::fromUtf8(log()).count(needle) < count) {
        if (deadline.hasExpired())
            return false;
        m_process.waitForReadyRead(static_cast<int>(qMax<qint64>(1, qMin<qint64>(deadline.remainingTime(), 100))));
    }
    return true;
}

LineClient::LineClient(const QString& path, const QString& settings)
{
    m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return;
    setSettings(settings);
    ::tcflush(m_fd, TCIOFLUSH);
}

LineClient::LineClient(int tcpPort)
{
    m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_fd < 0)
        return;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<quint16>(tcpPort));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(m_fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        close();
        return;
    }
    ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);
}

bool LineClient::setSettings(const QString& settings)
{
    const QStringList parts = settings.split(u',');
    termios t{};
    if (parts.size() != 4 || ::tcgetattr(m_fd, &t) != 0)
        return false;
    ::cfmakeraw(&t);
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB);
    t.c_cflag |= (parts[2] == u"7" ? CS7 : CS8) | (parts[3] == u"2" ? CSTOPB : 0);
    // A parity with input parity checking, as libmodbus and pyserial set it.
    t.c_iflag &= ~static_cast<tcflag_t>(INPCK);
    if (parts[1] != u"N") {
        t.c_cflag |= PARENB | (parts[1] == u"O" ? PARODD : 0);
        t.c_iflag |= INPCK;
    }
    const speed_t speed = parts[0] == u"19200" ? B19200 : parts[0] == u"4800" ? B4800 : B9600;
    ::cfsetispeed(&t, speed);
    ::cfsetospeed(&t, speed);
    return ::tcsetattr(m_fd, TCSANOW, &t) == 0;
}

void LineClient::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool LineClient::waitForClose(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        char buf[256];
        const ssize_t n = ::read(m_fd, buf, sizeof buf);
        if (n == 0 || (n < 0 && (errno == ECONNRESET || errno == EPIPE)))
            return true;
    }
    return false;
}

LineClient::~LineClient()
{
    close();
}

bool LineClient::write(const QByteArray& bytes)
{
    qsizetype done = 0;
    QElapsedTimer clock;
    clock.start();
    while (done < bytes.size() && clock.elapsed() < 3000) {
        const ssize_t n = ::write(m_fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        } else {
            pollfd p{m_fd, POLLOUT, 0};
            ::poll(&p, 1, 20);
        }
    }
    return done == bytes.size();
}

QByteArray LineClient::read(int count, int timeoutMs)
{
    QByteArray out;
    QElapsedTimer clock;
    clock.start();
    while (out.size() < count && clock.elapsed() < timeoutMs) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, 20) > 0 && (p.revents & POLLIN)) {
            char buf[256];
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n > 0)
                out.append(buf, n);
        }
    }
    return out;
}

QByteArray LineClient::readQuiet(int timeoutMs, int quietMs)
{
    QByteArray out;
    QElapsedTimer clock, quiet;
    clock.start();
    quiet.start();
    while (clock.elapsed() < timeoutMs) {
        if (!out.isEmpty() && quiet.elapsed() >= quietMs)
            break;
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, 10) > 0 && (p.revents & POLLIN)) {
            char buf[256];
            const ssize_t n = ::read(m_fd, buf, sizeof buf);
            if (n > 0) {
                out.append(buf, n);
                quiet.restart();
            }
        }
    }
    return out;
}

} // namespace kv::test

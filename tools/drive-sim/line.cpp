#include "tools/drive-sim/line.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace kv::sim {

namespace {

speed_t SpeedOf(int baud)
{
    switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B9600;
    }
}

// The baud rate of a terminal speed; 0 for one drive-sim does not name.
int BaudOf(speed_t speed)
{
    switch (speed) {
    case B50: return 50;
    case B75: return 75;
    case B110: return 110;
    case B134: return 134;
    case B150: return 150;
    case B200: return 200;
    case B300: return 300;
    case B600: return 600;
    case B1200: return 1200;
    case B1800: return 1800;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    case B230400: return 230400;
    case B460800: return 460800;
    case B921600: return 921600;
    default: return 0;
    }
}

std::string AddressText(const sockaddr_in& address)
{
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text);
    return std::string(text) + ":" + std::to_string(ntohs(address.sin_port));
}

// Raw 8-bit line with the given settings; reads never block.
bool ConfigureLine(int fd, const Options& o, std::string* error)
{
    termios t{};
    if (::tcgetattr(fd, &t) != 0) {
        *error = std::string("cannot read the line settings: ") + std::strerror(errno);
        return false;
    }
    ::cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    t.c_cflag |= o.dataBits == 7 ? CS7 : CS8;
    if (o.parity != 'N') {
        t.c_cflag |= PARENB;
        if (o.parity == 'O')
            t.c_cflag |= PARODD;
    }
    if (o.stopBits == 2)
        t.c_cflag |= CSTOPB;
    // Input parity checking with a parity, as serial programs set it: on a
    // pseudo-terminal, which forgets PARENB, it is what tells the parity.
    t.c_iflag &= ~static_cast<tcflag_t>(INPCK);
    if (o.parity != 'N')
        t.c_iflag |= INPCK;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;
    ::cfsetispeed(&t, SpeedOf(o.baud));
    ::cfsetospeed(&t, SpeedOf(o.baud));
    if (::tcsetattr(fd, TCSANOW, &t) != 0) {
        *error = std::string("cannot set the line settings: ") + std::strerror(errno);
        return false;
    }
    return true;
}

constexpr std::size_t kMaxChunk = 4096;
constexpr int kWriteTimeoutMs = 1000;

} // namespace

std::string TimeStamp()
{
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    tm local{};
    ::localtime_r(&ts.tv_sec, &local);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%03ld", local.tm_hour, local.tm_min, local.tm_sec,
                  ts.tv_nsec / 1000000L);
    return buf;
}

LineServer::LineServer(const Options& options, const std::vector<SlaveDrive>& drives, ModbusSlave& slave,
                       FaultInjector& faults, std::FILE* log)
    : m_options(options), m_drives(drives), m_slave(slave), m_faults(faults), m_log(log),
      m_lastAdvance(std::chrono::steady_clock::now())
{
}

LineServer::~LineServer()
{
    close();
}

bool LineServer::open(std::string* error)
{
    if (m_options.tcp)
        return openTcp(error);
    if (!m_options.port.empty()) {
        m_fd = ::open(m_options.port.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (m_fd < 0) {
            *error = "cannot open " + m_options.port + ": " + std::strerror(errno);
            return false;
        }
        if (!ConfigureLine(m_fd, m_options, error)) {
            close();
            return false;
        }
        ::tcflush(m_fd, TCIOFLUSH);
        m_path = m_options.port;
        return makeLink(error);
    }

    m_fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_fd < 0 || ::grantpt(m_fd) != 0 || ::unlockpt(m_fd) != 0) {
        *error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        close();
        return false;
    }
    char name[256] = {};
    if (::ptsname_r(m_fd, name, sizeof name) != 0) {
        *error = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
        close();
        return false;
    }
    m_path = name;
    // Holding the slave side open keeps the terminal alive while no master
    // has it open (otherwise every read would fail until one does) and lets
    // us set it raw before anyone connects.
    m_keepOpen = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_keepOpen < 0) {
        *error = std::string("cannot open ") + name + ": " + std::strerror(errno);
        close();
        return false;
    }
    if (!ConfigureLine(m_keepOpen, m_options, error)) {
        close();
        return false;
    }
    ::fcntl(m_fd, F_SETFL, ::fcntl(m_fd, F_GETFL) | O_NONBLOCK);

    return makeLink(error);
}

bool LineServer::openTcp(std::string* error)
{
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (m_listen < 0) {
        *error = std::string("cannot make a TCP socket: ") + std::strerror(errno);
        return false;
    }
    const int on = 1;
    ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(m_options.tcpPort));
    ::inet_pton(AF_INET, m_options.tcpAddress.c_str(), &address.sin_addr);
    socklen_t size = sizeof address;
    if (::bind(m_listen, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
        || ::listen(m_listen, 4) != 0
        || ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        *error = "cannot listen on " + m_options.tcpAddress + ":" + std::to_string(m_options.tcpPort) + ": "
            + std::strerror(errno);
        close();
        return false;
    }
    m_socket = true;
    m_path = AddressText(address);
    return true;
}

void LineServer::acceptClient()
{
    sockaddr_in address{};
    socklen_t size = sizeof address;
    const int fd = ::accept4(m_listen, reinterpret_cast<sockaddr*>(&address), &size, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0)
        return;
    const std::string name = AddressText(address);
    // One client at a time, as a converter with one serial line serves it;
    // one that has just closed its connection no longer counts.
    if (m_fd >= 0 && clientGone())
        dropClient("gone");
    if (m_fd >= 0) {
        ::close(fd);
        logLine("refused a client from " + name + ": " + m_client + " is connected (one client at a time)");
        return;
    }
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    m_fd = fd;
    m_client = name;
    m_clientLost = false;
    logLine("client " + name + " connected");
}

bool LineServer::clientGone() const
{
    if (!m_socket || m_fd < 0)
        return false;
    pollfd p{m_fd, POLLRDHUP, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

void LineServer::dropClient(const std::string& why)
{
    if (m_fd < 0)
        return;
    ::close(m_fd);
    m_fd = -1;
    logLine("client " + m_client + " " + why);
}

std::string LineServer::settingsDiffering() const
{
    // On Linux both ends of a pseudo-terminal share one set of terminal
    // settings: what the master sets on its end with tcsetattr, tcgetattr on
    // our own handle shows (checked on kernel 6.x). The pty driver keeps the
    // baud rate and the stop bits as set, but forces 8 data bits and clears
    // the parity enable (PARENB) on every change. The parity is told by what
    // survives: a master with a parity turns on input parity checking (INPCK,
    // as libmodbus, pyserial and the tool do), odd with PARODD; without a
    // parity it turns INPCK off. Data bits cannot be told and are left out.
    termios t{};
    if (m_keepOpen < 0 || ::tcgetattr(m_keepOpen, &t) != 0)
        return {};
    const int baud = BaudOf(::cfgetospeed(&t));
    const int stopBits = (t.c_cflag & CSTOPB) ? 2 : 1;
    const char parity = (t.c_iflag & INPCK) == 0 ? 'N' : (t.c_cflag & PARODD) ? 'O' : 'E';
    if (baud == m_options.baud && stopBits == m_options.stopBits && parity == m_options.parity)
        return {};
    return (baud ? std::to_string(baud) : std::string("?")) + "," + parity + ",?," + std::to_string(stopBits);
}

bool LineServer::makeLink(std::string* error)
{
    if (m_options.link.empty())
        return true;
    struct stat st{};
    if (::lstat(m_options.link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            *error = m_options.link + " exists and is not a symbolic link; not replacing it";
            close();
            return false;
        }
        ::unlink(m_options.link.c_str()); // a link left by an earlier run
    }
    if (::symlink(m_path.c_str(), m_options.link.c_str()) != 0) {
        *error = "cannot make the link " + m_options.link + ": " + std::strerror(errno);
        close();
        return false;
    }
    m_linkMade = true;
    return true;
}

void LineServer::close()
{
    if (m_linkMade) {
        char target[512] = {};
        const ssize_t n = ::readlink(m_options.link.c_str(), target, sizeof target - 1);
        if (n > 0 && m_path == std::string(target, static_cast<std::size_t>(n)))
            ::unlink(m_options.link.c_str());
        m_linkMade = false;
    }
    if (m_keepOpen >= 0)
        ::close(m_keepOpen);
    m_keepOpen = -1;
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (m_listen >= 0)
        ::close(m_listen);
    m_listen = -1;
}

void LineServer::logLine(const std::string& text)
{
    if (!m_log)
        return;
    std::fprintf(m_log, "%s %s\n", TimeStamp().c_str(), text.c_str());
    std::fflush(m_log);
}

void LineServer::advanceModel()
{
    const auto now = std::chrono::steady_clock::now();
    const double seconds = std::chrono::duration<double>(now - m_lastAdvance).count();
    m_lastAdvance = now;
    for (const SlaveDrive& d : m_drives) {
        const DriveState before = d.model->state();
        d.model->advance(seconds);
        if (d.model->state() == DriveState::Fault && before != DriveState::Fault)
            logLine("station " + std::to_string(d.station) + ": drive tripped: fault "
                    + std::to_string(d.model->parameter(401)));
    }
}

void LineServer::takeSignals()
{
    unsigned char sig = 0;
    while (::read(m_signalFd, &sig, 1) == 1) {
        if (sig == SIGUSR1) {
            // The first drive trips, with its own fault code.
            advanceModel();
            const SlaveDrive& first = m_drives.front();
            const int code = m_options.driveFault(first.station).code;
            const bool wasFault = first.model->state() == DriveState::Fault;
            first.model->trip(static_cast<std::uint16_t>(code));
            if (!wasFault)
                logLine("station " + std::to_string(first.station) + ": drive tripped on request: fault "
                        + std::to_string(code));
        } else {
            m_stop = true;
        }
    }
}

bool LineServer::pause(int ms)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!m_stop) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return true;
        // A TCP client that goes away ends the wait: the rest of its reply
        // has nowhere to go.
        pollfd p[2] = {{m_signalFd, POLLIN, 0}, {m_socket ? m_fd : -1, POLLRDHUP, 0}};
        if (::poll(p, 2, static_cast<int>(left.count())) > 0) {
            if (p[0].revents & POLLIN)
                takeSignals();
            if (p[1].revents & (POLLRDHUP | POLLHUP | POLLERR)) {
                m_clientLost = true;
                return false;
            }
        }
    }
    return false;
}

bool LineServer::writeAll(const std::vector<std::uint8_t>& bytes)
{
    std::size_t done = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
    while (done < bytes.size()) {
        if (m_fd < 0)
            return false;
        const ssize_t n = m_socket ? ::send(m_fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL)
                                   : ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            m_clientLost = m_socket;
            return false;
        }
        if (std::chrono::steady_clock::now() > deadline)
            return false; // nobody takes the bytes off the line
        pollfd p{m_fd, POLLOUT, 0};
        ::poll(&p, 1, 20);
    }
    return true;
}

bool LineServer::writePaced(const std::vector<std::uint8_t>& bytes)
{
    // The bytes go out once the last of them would have crossed the line: no
    // byte reaches the master earlier than on a cable, and a reply still
    // arrives in one piece on a pseudo-terminal, as it does on a real port
    // read after it is complete.
    if (m_options.pace && !bytes.empty()) {
        const auto due = std::chrono::steady_clock::now()
            + std::chrono::microseconds(static_cast<long long>(bytes.size() * m_options.charTimeMs() * 1000.0));
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(due - std::chrono::steady_clock::now());
        if (wait.count() > 0 && !pause(static_cast<int>(wait.count())))
            return false;
        while (std::chrono::steady_clock::now() < due) {
            // the last fraction of a millisecond
        }
    }
    return writeAll(bytes);
}

void LineServer::sendReply(const SlaveEvent& event)
{
    const ReplyPlan plan = m_faults.plan(event.reply, event.station);
    const std::string faults = plan.describe();
    if (m_options.verbose) {
        std::string text = "-> " + HexBytes(event.reply);
        if (!event.note.empty())
            text += "  (" + event.note + ")";
        if (!faults.empty())
            text += "  [" + faults + "]";
        logLine(text);
    }
    if (plan.drop || m_fd < 0)
        return;
    m_clientLost = false;
    bool ok = !(plan.delayMs > 0 && !pause(plan.delayMs)) && writePaced(plan.firstPart);
    if (ok && !plan.secondPart.empty())
        ok = pause(plan.splitGapMs) && writePaced(plan.secondPart);
    if (m_clientLost)
        dropClient("went away during a reply");
    else if (!ok && !m_stop)
        logLine("reply not sent: the line takes no bytes");
}

void LineServer::process(std::vector<std::uint8_t> chunk)
{
    advanceModel();
    if (m_options.verbose)
        logLine("<- " + HexBytes(chunk));
    if (!m_requestSettings.empty()) {
        // At another speed or frame format the drive's receiver sees framing
        // errors and bytes that make no frame with a valid CRC: every drive
        // on the line stays silent, as on a cable.
        ++m_settingsMismatches;
        logLine("line settings differ: master " + m_requestSettings + ", drive " + m_options.lineSettings()
                + " (request " + std::to_string(m_settingsMismatches) + " not understood)");
        return;
    }
    for (const SlaveEvent& event : m_slave.handle(chunk)) {
        if (event.kind == SlaveEvent::Kind::Reply) {
            sendReply(event);
        } else if (m_options.verbose) {
            logLine("   " + event.note + (event.request.empty() ? "" : " (" + HexBytes(event.request) + ")"));
        }
        if (m_stop)
            return;
    }
}

int LineServer::run(int signalFd)
{
    m_signalFd = signalFd;
    std::vector<std::uint8_t> chunk;
    const auto gap = std::chrono::microseconds(static_cast<long long>(1000.0 * m_options.requestGapMs()));
    // The settings are read only on the pseudo-terminal drive-sim made, and
    // only when it keeps to the line's speed.
    const bool checkSettings = m_keepOpen >= 0 && m_options.pace;
    using Clock = std::chrono::steady_clock;
    Clock::time_point firstByte;  // of the request being gathered
    Clock::time_point lastByte;
    while (!m_stop) {
        pollfd fds[3] = {{m_signalFd, POLLIN, 0}, {m_fd, POLLIN, 0}, {m_listen, POLLIN, 0}};
        timespec wait{};
        timespec* timeout = nullptr;  // none: wait for bytes, a client or a signal
        if (!chunk.empty()) {
            // The request ends with a frame gap of silence after its last byte;
            // paced, that byte cannot have come before the bytes needed the line.
            auto end = lastByte;
            if (m_options.pace) {
                const auto onLine = std::chrono::microseconds(
                    static_cast<long long>(static_cast<double>(chunk.size()) * m_options.charTimeMs() * 1000.0));
                end = std::max(end, firstByte + onLine);
            }
            const auto due = end + gap;
            const long long left = std::max<long long>(
                0, std::chrono::duration_cast<std::chrono::nanoseconds>(due - Clock::now()).count());
            wait.tv_sec = static_cast<time_t>(left / 1000000000LL);
            wait.tv_nsec = static_cast<long>(left % 1000000000LL);
            timeout = &wait;
        }
        const int n = ::ppoll(fds, 3, timeout, nullptr);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            logLine(std::string("poll failed: ") + std::strerror(errno));
            return 1;
        }
        if (fds[0].revents & POLLIN)
            takeSignals();
        if (m_stop)
            break;
        if (n == 0) {
            // The line has been quiet for a frame gap: the request is complete.
            process(std::move(chunk));
            chunk.clear();
            continue;
        }
        if (m_fd >= 0 && (fds[1].revents & (POLLIN | POLLERR | POLLHUP))) {
            std::uint8_t buf[512];
            const ssize_t got = ::read(m_fd, buf, sizeof buf);
            if (got > 0) {
                if (chunk.empty()) {
                    firstByte = Clock::now();
                    m_requestSettings.clear();
                }
                lastByte = Clock::now();
                // The settings as the bytes arrive: a master that changes
                // them right after its request does not change how it was heard.
                if (checkSettings && m_requestSettings.empty())
                    m_requestSettings = settingsDiffering();
                chunk.insert(chunk.end(), buf, buf + got);
                if (chunk.size() >= kMaxChunk) {
                    process(std::move(chunk));
                    chunk.clear();
                }
            } else if (m_socket && (got == 0 || (errno != EAGAIN && errno != EINTR))) {
                // The TCP client has gone: what it sent last is not answered.
                dropClient("gone");
                chunk.clear();
            } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
                logLine("the line failed: " + std::string(got == 0 ? "end of file" : std::strerror(errno)));
                return 1;
            }
        }
        if (m_listen >= 0 && (fds[2].revents & POLLIN))
            acceptClient();
    }
    return 0;
}

} // namespace kv::sim

#include "tools/drive-sim/line.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
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

LineServer::LineServer(const Options& options, DriveModel& model, ModbusSlave& slave, FaultInjector& faults,
                       std::FILE* log)
    : m_options(options), m_model(model), m_slave(slave), m_faults(faults), m_log(log),
      m_lastAdvance(std::chrono::steady_clock::now())
{
}

LineServer::~LineServer()
{
    close();
}

bool LineServer::open(std::string* error)
{
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
    const DriveState before = m_model.state();
    m_model.advance(seconds);
    if (m_model.state() == DriveState::Fault && before != DriveState::Fault)
        logLine("drive tripped: fault " + std::to_string(m_model.parameter(401)));
}

void LineServer::takeSignals()
{
    unsigned char sig = 0;
    while (::read(m_signalFd, &sig, 1) == 1) {
        if (sig == SIGUSR1) {
            advanceModel();
            const bool wasFault = m_model.state() == DriveState::Fault;
            m_model.trip(static_cast<std::uint16_t>(m_options.faultCode));
            if (!wasFault)
                logLine("drive tripped on request: fault " + std::to_string(m_options.faultCode));
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
        pollfd p{m_signalFd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) > 0)
            takeSignals();
    }
    return false;
}

bool LineServer::writeAll(const std::vector<std::uint8_t>& bytes)
{
    std::size_t done = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
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
    const ReplyPlan plan = m_faults.plan(event.reply);
    const std::string faults = plan.describe();
    if (m_options.verbose) {
        std::string text = "-> " + HexBytes(event.reply);
        if (!event.note.empty())
            text += "  (" + event.note + ")";
        if (!faults.empty())
            text += "  [" + faults + "]";
        logLine(text);
    }
    if (plan.drop)
        return;
    if (plan.delayMs > 0 && !pause(plan.delayMs))
        return;
    bool ok = writePaced(plan.firstPart);
    if (ok && !plan.secondPart.empty()) {
        if (!pause(plan.splitGapMs))
            return;
        ok = writePaced(plan.secondPart);
    }
    if (!ok)
        logLine("reply not sent: the line takes no bytes");
}

void LineServer::process(std::vector<std::uint8_t> chunk)
{
    advanceModel();
    if (m_options.verbose)
        logLine("<- " + HexBytes(chunk));
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
    using Clock = std::chrono::steady_clock;
    Clock::time_point firstByte;  // of the request being gathered
    Clock::time_point lastByte;
    while (!m_stop) {
        pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_signalFd, POLLIN, 0}};
        timespec wait{};
        timespec* timeout = nullptr;  // none: wait for bytes or a signal
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
        const int n = ::ppoll(fds, 2, timeout, nullptr);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            logLine(std::string("poll failed: ") + std::strerror(errno));
            return 1;
        }
        if (fds[1].revents & POLLIN)
            takeSignals();
        if (m_stop)
            break;
        if (n == 0) {
            // The line has been quiet for a frame gap: the request is complete.
            process(std::move(chunk));
            chunk.clear();
            continue;
        }
        if (fds[0].revents & (POLLIN | POLLERR | POLLHUP)) {
            std::uint8_t buf[512];
            const ssize_t got = ::read(m_fd, buf, sizeof buf);
            if (got > 0) {
                if (chunk.empty())
                    firstByte = Clock::now();
                lastByte = Clock::now();
                chunk.insert(chunk.end(), buf, buf + got);
                if (chunk.size() >= kMaxChunk) {
                    process(std::move(chunk));
                    chunk.clear();
                }
            } else if (got == 0 || (errno != EAGAIN && errno != EINTR)) {
                logLine("the line failed: " + std::string(got == 0 ? "end of file" : std::strerror(errno)));
                return 1;
            }
        }
    }
    return 0;
}

} // namespace kv::sim

// drive-sim: a simulated drive answering Modbus RTU on a pseudo-terminal or a
// serial device. See --help.
#include "drive/catalogue.h"
#include "tools/drive-sim/drivemodel.h"
#include "tools/drive-sim/faults.h"
#include "tools/drive-sim/line.h"
#include "tools/drive-sim/modbusslave.h"
#include "tools/drive-sim/options.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <random>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

extern "C" void OnSignal(int sig)
{
    const unsigned char b = static_cast<unsigned char>(sig);
    const int saved = errno;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &b, 1);
    errno = saved;
}

bool InstallSignals()
{
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return false;
    struct sigaction sa{};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGUSR1}) {
        if (::sigaction(sig, &sa, nullptr) != 0)
            return false;
    }
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

std::uint16_t ParityCode(const kv::sim::Options& o)
{
    // The drive's own coding of the line format (parameter 5304).
    if (o.parity == 'E')
        return 2;
    if (o.parity == 'O')
        return 3;
    return o.stopBits == 2 ? 1 : 0;
}

} // namespace

int main(int argc, char** argv)
{
    using namespace kv::sim;
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    auto parsed = ParseOptions(args, &error);
    if (!parsed) {
        std::fprintf(stderr, "drive-sim: %s\n", error.c_str());
        return 2;
    }
    Options options = *parsed;
    if (options.help) {
        std::fputs(UsageText(), stdout);
        return 0;
    }
    if (!options.seedGiven)
        options.faults.seed = std::random_device{}();

    std::vector<int> codes;
    for (int code : kv::CatalogueParameterCodes())
        codes.push_back(code);
    // One drive per station, each with its own state, parameters and faults.
    std::vector<std::unique_ptr<DriveModel>> models;
    std::vector<SlaveDrive> drives;
    for (int station : options.stations) {
        auto model = std::make_unique<DriveModel>(codes);
        model->setIdentity(station);
        model->setParameter(5302, static_cast<std::uint16_t>(station));
        model->setParameter(5303, static_cast<std::uint16_t>(options.baud <= 65535 ? options.baud : 0));
        model->setParameter(5304, ParityCode(options));
        const DriveFault fault = options.driveFault(station);
        model->setFaultAfterRunning(fault.afterSeconds, static_cast<std::uint16_t>(fault.code));
        model->setOpenMap(options.openMap);
        drives.push_back({station, model.get()});
        models.push_back(std::move(model));
    }

    ModbusSlave slave(drives);
    if (!slave.isValid()) {
        std::fprintf(stderr, "drive-sim: %s\n", slave.error().c_str());
        return 1;
    }
    FaultInjector faults(options.faults);
    if (!InstallSignals()) {
        std::fprintf(stderr, "drive-sim: cannot install signal handlers\n");
        return 1;
    }
    LineServer server(options, drives, slave, faults, stderr);
    if (!server.open(&error)) {
        std::fprintf(stderr, "drive-sim: %s\n", error.c_str());
        return 1;
    }
    // The path (or for TCP the address) alone on standard output, for
    // scripts; the rest goes to the log.
    std::printf("%s\n", server.path().c_str());
    std::fflush(stdout);
    std::string stations;
    for (int station : options.stations)
        stations += (stations.empty() ? "" : ", ") + std::to_string(station);
    std::fprintf(stderr, "%s drive-sim: station%s %s on %s%s%s%s, %d %c%d%d, seed %llu\n", TimeStamp().c_str(),
                 options.stations.size() == 1 ? "" : "s", stations.c_str(), options.tcp ? "TCP " : "",
                 server.path().c_str(), options.link.empty() ? "" : " linked as ", options.link.c_str(),
                 options.baud, options.parity, options.dataBits, options.stopBits,
                 static_cast<unsigned long long>(options.faults.seed));
    const int status = server.run(g_signalPipe[0]);
    server.close();
    std::fprintf(stderr, "%s drive-sim: stopped\n", TimeStamp().c_str());
    return status;
}

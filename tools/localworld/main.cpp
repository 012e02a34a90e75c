// localworld: the local test world on loopback until SIGINT or SIGTERM.
//
//   localworld [--port-base N] [--version TEXT] [--skin DIR]
//
// Ports: logon N+1, lobby N+2, room N+3, media relay (UDP) N+4, web N+80, with N
// 27100 unless given; N 0 takes free ports (printed on the "ready" line). The pages
// show the emoticons and icons of DIR (the source tree's skin unless given).
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "LocalWorld.h"

namespace {

std::mutex g_out;

void Print(const std::string& line) {
    std::lock_guard<std::mutex> g(g_out);
    std::fprintf(stdout, "%s\n", line.c_str());
    std::fflush(stdout);
}

int Usage() {
    std::fprintf(stderr, "usage: localworld [--port-base N] [--version TEXT] [--skin DIR]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    testsupport::LocalWorld::Options options;
    options.ports = testsupport::LocalWorld::FixedPorts();
    options.version = MIVORA_WORLD_VERSION;
    options.skinDir = MIVORA_WORLD_SKIN;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--port-base" && i + 1 < argc) {
            char* end = nullptr;
            const long base = std::strtol(argv[++i], &end, 10);
            if (*end || base < 0 || base > 65535 - 80) return Usage();
            auto port = [base](int offset) {
                return static_cast<uint16_t>(base == 0 ? 0 : base + offset);
            };
            options.ports = {port(1), port(2), port(3), port(4), port(80)};
        } else if (arg == "--version" && i + 1 < argc) {
            options.version = argv[++i];
        } else if (arg == "--skin" && i + 1 < argc) {
            options.skinDir = argv[++i];
        } else {
            return Usage();
        }
    }
    options.log = Print;

    // Blocked before any thread starts, so only sigwait below receives them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    testsupport::LocalWorld world(options);
    if (!world.Start()) {
        Print("localworld: could not start (is another world running?)");
        return 1;
    }
    const auto& p = world.ports();
    Print("localworld: ready: logon " + std::to_string(p.logon) + ", lobby " +
          std::to_string(p.lobby) + ", room " + std::to_string(p.room) + ", relay " +
          std::to_string(p.relay) + " (UDP), web " + world.BaseUrl() + ", version " +
          options.version);
    int signal = 0;
    sigwait(&stopSignals, &signal);
    world.Stop();
    Print(std::string("localworld: stopped by ") + (signal == SIGINT ? "SIGINT" : "SIGTERM"));
    return 0;
}

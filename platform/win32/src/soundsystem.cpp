#include "win32/soundsystem.h"

#include <mutex>

namespace winplat {
namespace {

std::mutex g_lock;
std::shared_ptr<SoundSystem> g_installed;
std::shared_ptr<SoundSystem> g_alsa;  // or the test devices the environment asks for

}  // namespace

std::shared_ptr<SoundSystem> CurrentSoundSystem() {
    std::lock_guard<std::mutex> g(g_lock);
    if (g_installed) return g_installed;
    if (!g_alsa) g_alsa = CreateTestToneSoundSystemFromEnvironment();
    if (!g_alsa) g_alsa = CreateAlsaSoundSystem();
    return g_alsa;
}

void InstallSoundSystem(std::shared_ptr<SoundSystem> system) {
    std::lock_guard<std::mutex> g(g_lock);
    g_installed = std::move(system);
}

void RemoveSoundSystem() {
    InstallSoundSystem(nullptr);
}

}  // namespace winplat

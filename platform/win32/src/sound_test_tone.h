// The sound devices of a program run under test without a card (see the .cpp).
#pragma once

#include <memory>

#include "win32/soundsystem.h"

namespace winplat {

// Null unless MIVORA_TEST_SOUND_TONE or MIVORA_TEST_SOUND_PLAYED is set.
std::shared_ptr<SoundSystem> CreateTestToneSoundSystemFromEnvironment();

}  // namespace winplat

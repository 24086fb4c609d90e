#pragma once

#include "platform.h"

// The player of the two key sounds. It lives in a module of its own, loaded
// only when sounds are on, so that the sound system costs the drill nothing
// at start-up otherwise.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts the sound and returns at once, cutting off one still playing.
    virtual void play(Platform::Sound sound) = 0;
};

// The module's one entry point: a new player, owned by the caller.
extern "C" SoundPlayer* CreateSoundPlayer();
using CreateSoundPlayerFunction = SoundPlayer* (*)();
constexpr const char* SoundModuleName = "kidrill_sound";

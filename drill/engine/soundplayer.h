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
    // Stops the sounds and lets the player's thread end; none plays after.
    // False when the thread is still held by the sound system, waiting on a
    // server that does not answer: that system's exit handlers would then
    // wait with it.
    virtual bool finish() = 0;
};

// The module's one entry point: a new player, owned by the caller.
extern "C" SoundPlayer* CreateSoundPlayer();
constexpr const char* SoundModuleName = "kidrill_sound";
constexpr const char* SoundModuleEntry = "CreateSoundPlayer";

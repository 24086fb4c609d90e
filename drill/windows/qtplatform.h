#pragma once

#include "platform.h"

#include "soundplayer.h"

#include <QElapsedTimer>

#include <memory>

// The platform of a running drill program: Qt's clock, sounds from the
// program's own resources, message boxes and the application's end.
class QtPlatform final : public Platform {
public:
    QtPlatform();
    // Loads the two sounds; until then none plays. The sound system costs
    // start-up time and memory, so it is loaded only when sounds are on.
    void loadSounds();
    bool soundsLoaded() const { return sounds_ != nullptr; }
    // Ends the sounds before the program ends; false when the sound system
    // is held by a server that does not answer (SoundPlayer::finish).
    bool finishSounds();
    ~QtPlatform() override;
    QtPlatform(const QtPlatform&) = delete;
    QtPlatform& operator=(const QtPlatform&) = delete;

    std::uint32_t milliseconds() override;
    void playSound(Sound sound) override;
    void showError(const std::string& text, const std::string& caption) override;
    void requestTerminate() override;
    ScreenSize screenSize() override;
    Screens screens() override;
    std::string executableDirectory() override;
    std::uint32_t timeOfDayUtc() override;

private:
    QElapsedTimer clock_;
    std::unique_ptr<SoundPlayer> sounds_;
    bool soundsTried_ = false;
    Platform* previous_;
};

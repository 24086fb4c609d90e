#pragma once

#include "platform.h"

#include <functional>
#include <string>
#include <vector>

// Stands in for the platform during a test and records what was asked of
// it. Installs itself for its lifetime.
class RecordingPlatform final : public Platform {
public:
    RecordingPlatform() : previous_(InstallPlatform(this)) { ClearEndRequest(); }
    ~RecordingPlatform() override { InstallPlatform(previous_); }
    RecordingPlatform(const RecordingPlatform&) = delete;
    RecordingPlatform& operator=(const RecordingPlatform&) = delete;

    struct Message {
        std::string text;
        std::string caption;
    };

    std::uint32_t now = 0; // the clock, set by hand
    ScreenSize screen {1280, 1024};
    std::string appDir = "./";
    std::uint32_t timeOfDay = 0;
    std::vector<Sound> sounds;
    std::vector<Message> errors;
    int terminateRequests = 0;
    std::function<void()> whileErrorShows; // what happens while an error box would be up

    std::uint32_t milliseconds() override { return now; }
    void playSound(Sound sound) override { sounds.push_back(sound); }
    void showError(const std::string& text, const std::string& caption) override
    {
        errors.push_back({text, caption});
        if (whileErrorShows)
            whileErrorShows();
    }
    void requestTerminate() override { ++terminateRequests; }
    ScreenSize screenSize() override { return screen; }
    std::string executableDirectory() override { return appDir; }
    std::uint32_t timeOfDayUtc() override { return timeOfDay; }

private:
    Platform* previous_;
};

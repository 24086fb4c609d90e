#include "platform.h"

#include "learners/learnerplace.h"

#include <chrono>

namespace {

class QuietPlatform final : public Platform {
public:
    std::uint32_t milliseconds() override
    {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    }
    void playSound(Sound) override {}
    void showError(const std::string&, const std::string&) override {}
    void requestTerminate() override {}
    ScreenSize screenSize() override { return {1024, 768}; }
    std::string executableDirectory() override { return "./"; }
    std::uint32_t timeOfDayUtc() override { return 0; }
};

QuietPlatform quietPlatform;
bool endRequested = false;
Platform* installed = &quietPlatform;

} // namespace

std::string AppDir;
std::string UserDir;
int LearnerNumber = 1;

std::string LearnerDir()
{
    return LearnerDirectory(UserDir, LearnerNumber);
}

Platform::Screens Platform::screens()
{
    const ScreenSize size = screenSize();
    return {{0, 0}, {{0, 0, size.width, size.height}}};
}

Platform& CurrentPlatform()
{
    return *installed;
}

Platform* InstallPlatform(Platform* platform)
{
    Platform* previous = installed;
    installed = platform ? platform : &quietPlatform;
    return previous == &quietPlatform ? nullptr : previous;
}

void RequestEnd()
{
    endRequested = true;
    CurrentPlatform().requestTerminate();
}

bool EndRequested()
{
    return endRequested;
}

void ClearEndRequest()
{
    endRequested = false;
}

void ShowIoError(const std::string& path)
{
    CurrentPlatform().showError("入出力エラー: " + path, "エラー");
}

void ShowTooLarge(const std::string& path)
{
    CurrentPlatform().showError(path + " は大きすぎるため読み込めません", "エラー");
}

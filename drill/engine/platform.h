#pragma once

#include "windowplace.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The operations the drill program asks of the platform, gathered behind one
// interface so that tests can replace them. The program installs the real
// one at start-up; until then a quiet stand-in answers.
class Platform {
public:
    virtual ~Platform() = default;

    // Unsigned milliseconds from a monotonic clock; differences are taken
    // modulo 2^32.
    virtual std::uint32_t milliseconds() = 0;

    enum class Sound { Hit = 100, Miss = 101 };
    // Starts the sound and returns at once, cutting off a sound still playing.
    virtual void playSound(Sound sound) = 0;

    // A modal error box with one OK button; both texts are UTF-8.
    virtual void showError(const std::string& text, const std::string& caption) = 0;

    // Asks the program to end as soon as its event loop runs.
    virtual void requestTerminate() = 0;

    struct ScreenSize {
        std::int32_t width;
        std::int32_t height;
    };
    virtual ScreenSize screenSize() = 0;

    struct Screens {
        WindowPoint primary;               // where the primary screen begins
        std::vector<WindowArea> available; // what windows may cover, on every screen
    };
    // One screen of screenSize() at the origin, unless the platform knows more.
    virtual Screens screens();
    // The directory of the running executable, ending in '/'.
    virtual std::string executableDirectory() = 0;
    // Milliseconds since midnight, Coordinated Universal Time.
    virtual std::uint32_t timeOfDayUtc() = 0;
};

Platform& CurrentPlatform();
// Installs `platform` (not owned) and returns the one it replaces; nullptr
// brings back the quiet stand-in.
Platform* InstallPlatform(Platform* platform);

// Asks the program to end; EndRequested() tells afterwards that it is
// ending, so that nothing more is shown or saved on the way out.
void RequestEnd();
bool EndRequested();
void ClearEndRequest(); // for tests

// The platform's answer to a file that failed after it was opened, and to
// one too large to be a file of this program (FileStatus::TooLarge).
void ShowIoError(const std::string& path);
void ShowTooLarge(const std::string& path);

// The directory of the drill program's executable, ending in '/'. Every
// shipped data file path is AppDir followed by the bare file name.
extern std::string AppDir;
// The data directory, ending in '/': UserDataDirectory(AppDir), set at
// start-up. It holds the household's files (wordu.txt, a teacher's course,
// the index of the learners) and learner 1's own.
extern std::string UserDir;
// The learner practising, by number (learners/household.h); 1 until one is
// chosen.
extern int LearnerNumber;
// The directory of that learner's own files, kidrill.ini and records.sqlite,
// ending in '/': UserDir for learner 1, UserDir + "learners/<n>/" for another.
std::string LearnerDir();

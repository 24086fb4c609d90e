#include "platform.h"
#include "recordingplatform.h"
#include "scores.h"
#include "settingsfile.h"
#include "testsupport.h"
#include "textfile.h"
#include "wordlist.h"

#include <QTest>

#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// The two saves under faults: a disk that fills up part way, and a process
// killed in the middle. The file on disk is always the whole old file or the
// whole new one.

namespace {

// A table of `count` entries whose text tells which table it is.
const WordTable& Table(char mark, int count)
{
    static WordTable tables[2];
    WordTable& t = tables[mark == 'B'];
    t.EntryCount = static_cast<std::uint16_t>(count);
    for (int n = 1; n <= count; ++n) {
        WordEntry& e = t.entry(static_cast<std::uint16_t>(n));
        e.Sentence.assign(std::string(100, mark));
        e.Reading.assign(std::string(200, mark));
        e.Meaning1.assign(std::string(100, mark));
        e.Meaning2.assign(std::string(99, mark));
    }
    return t;
}

// Limits the size of files this process writes, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN); // a write past it fails instead
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previous_);
    }

private:
    rlimit old_ {};
    void (*previous_)(int) = nullptr;
};

QStringList FilesIn(const ScratchDir& dir)
{
    return QDir(QString::fromStdString(dir.path())).entryList(QDir::Files);
}

// Runs `save` over and over in a child process, kills it at a random moment,
// and returns the file as the kill left it.
template <typename Save>
std::string KillDuringSave(const ScratchDir& dir, const char* name, std::mt19937& random, Save save)
{
    const pid_t child = fork();
    if (child == 0) {
        for (int round = 0;; ++round)
            save(round);
    }
    usleep(std::uniform_int_distribution<useconds_t>(200, 20000)(random));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    return dir.read(name);
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT

private slots:
    void wordListSaveFailsWhole()
    {
        ScratchDir dir;
        const std::string old = FormatWordEntries(Table('A', 3));
        dir.write("wordu.txt", old);
        {
            FileSizeLimit limit(4096); // the new list is about 100 KB
            QVERIFY(!SaveWordEntries(dir.file("wordu.txt"), Table('B', 200)));
        }
        QCOMPARE(dir.read("wordu.txt"), old);
        QCOMPARE(FilesIn(dir), QStringList {"wordu.txt"});
    }

    void settingsSaveFailsWhole()
    {
        RecordingPlatform platform;
        ScratchDir dir;
        AppDir = dir.path();
        // The user's own lines make the file larger than the limit.
        const std::string old = "[Color]\r\n" + std::string(8000, ';') + "\r\n[Level1]\r\nMode1=5\r\n";
        dir.write("kidrill.ini", old);
        {
            FileSizeLimit limit(4096);
            QVERIFY(!SaveSettingsFile({1, 2, 3, 4}, HighScores {}));
        }
        QCOMPARE(dir.read("kidrill.ini"), old);
        QCOMPARE(platform.errors.size(), std::size_t(1));
        QCOMPARE(FilesIn(dir), QStringList {"kidrill.ini"});
    }

    void killedWordListSaveLeavesAWholeFile()
    {
        ScratchDir dir;
        const std::string a = FormatWordEntries(Table('A', 200));
        const std::string b = FormatWordEntries(Table('B', 150));
        dir.write("wordu.txt", a);
        std::mt19937 random(932);
        for (int trial = 0; trial < 20; ++trial) {
            const std::string left = KillDuringSave(dir, "wordu.txt", random, [&](int round) {
                SaveWordEntries(dir.file("wordu.txt"), round % 2 ? Table('A', 200) : Table('B', 150));
            });
            QVERIFY2(left == a || left == b, qPrintable(QString("trial %1: %2 bytes").arg(trial).arg(left.size())));
        }
    }

    void killedSettingsSaveLeavesAWholeFile()
    {
        RecordingPlatform platform;
        ScratchDir dir;
        AppDir = dir.path();
        HighScores low, high;
        for (int level = 1; level <= 3; ++level)
            for (int mode = 1; mode <= 5; ++mode)
                high.at(level, mode) = 1000000 + level * 10 + mode;
        dir.write("kidrill.ini", "[Option]\r\nKeySound=1\r\n");
        QVERIFY(SaveSettingsFile({1, 2, 3, 4}, low));
        const std::string a = dir.read("kidrill.ini");
        QVERIFY(SaveSettingsFile({1, 2, 3, 4}, high));
        const std::string b = dir.read("kidrill.ini");
        std::mt19937 random(2024);
        for (int trial = 0; trial < 20; ++trial) {
            const std::string left = KillDuringSave(dir, "kidrill.ini", random, [&](int round) {
                SaveSettingsFile({1, 2, 3, 4}, round % 2 ? low : high);
            });
            QVERIFY2(left == a || left == b, qPrintable(QString("trial %1: %2 bytes").arg(trial).arg(left.size())));
        }
    }
};

QTEST_APPLESS_MAIN(TestFaults)
#include "test_faults.moc"

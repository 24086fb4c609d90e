#include "platform.h"
#include "recordingplatform.h"
#include "scores.h"
#include "settings/settingsfile.h"
#include "testsupport.h"
#include "textfile.h"
#include "userfiles.h"
#include "wordlist.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QTest>

#include <climits>
#include <csignal>
#include <functional>
#include <grp.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// The two saves under faults: a disk that fills up part way, a process
// killed in the middle, and files on disk that are not the program's to
// replace. The file on disk is always the whole old file or the whole new
// one, and never one that the user may not write.

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

uid_t Owner(const QString& name)
{
    return name == "user" ? UserId() : name == "other" ? Other : 0;
}

// Lays out entries under `base`, '|' between them: "dir/ MODE OWNER",
// "file MODE OWNER CONTENT" or "link -> TARGET [OWNER]"; OWNER is user,
// other or root (a link's is root when not given).
void LayOut(const std::string& base, const QString& entries)
{
    for (const QString& entry : entries.split('|', Qt::SkipEmptyParts)) {
        const QStringList f = entry.split(' ');
        const std::string path = base + f[0].toStdString();
        if (f[1] == "->") {
            QVERIFY(symlink(f[2].toStdString().c_str(), path.c_str()) == 0);
            QVERIFY(lchown(path.c_str(), Owner(f.value(3)), Owner(f.value(3))) == 0);
            continue;
        }
        if (f[0].endsWith('/')) {
            QVERIFY(mkdir(path.c_str(), 0700) == 0);
        } else {
            QFile file(QString::fromStdString(path));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(f[3].toUtf8());
        }
        QVERIFY(chown(path.c_str(), Owner(f[2]), f[2] == "user" ? UserGroup() : Owner(f[2])) == 0);
        QVERIFY(chmod(path.c_str(), mode_t(f[1].toUInt(nullptr, 8))) == 0);
    }
}

// What lies under `base`, in the form LayOut takes; a file's content shows
// as "new" when a save wrote it (its lines end in CR LF).
QString Listing(const std::string& base)
{
    QStringList entries;
    QDirIterator it(QString::fromStdString(base), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const std::string native = path.toStdString();
        QString name = path.mid(int(base.size()));
        struct stat info {};
        lstat(native.c_str(), &info);
        if (S_ISLNK(info.st_mode)) {
            char target[PATH_MAX] = {};
            readlink(native.c_str(), target, sizeof target - 1);
            entries << name + " -> " + QString::fromLocal8Bit(target);
            continue;
        }
        const QString owner = info.st_uid == UserId() ? "user"
            : info.st_uid == Other                      ? "other"
            : info.st_uid == 0                          ? "root"
                                                        : QString::number(info.st_uid);
        QString line = (S_ISDIR(info.st_mode) ? name + '/' : name) + ' ' + QString::number(info.st_mode & 07777, 8)
            .rightJustified(4, '0') + ' ' + owner;
        if (S_ISREG(info.st_mode)) {
            const std::string content = ReadFileBytes(native).bytes;
            line += ' ' + (content.find('\r') != std::string::npos ? QString("new") : QString::fromStdString(content));
        }
        entries << line;
    }
    entries.sort();
    return entries.join('|');
}

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
    // Each save runs as an unprivileged user on an application directory
    // "app/" laid out as given, with $XDG_DATA_HOME at "xdg/".
    void savesRespectWhatIsOnDisk_data()
    {
        QTest::addColumn<QString>("file"); // the file saved: the word list or the settings
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("outcome"); // saved, an errno's name, or reported
        QTest::addColumn<QString>("after");

        const QString app = "app/ 0755 user|";
        QTest::newRow("a replaced file keeps its mode")
            << "wordu.txt" << app + "app/wordu.txt 0640 user old" << "saved" << app + "app/wordu.txt 0640 user new";
        QTest::newRow("a file the user may not write is left as it is")
            << "wordu.txt" << app + "app/wordu.txt 0444 user old" << "EACCES" << app + "app/wordu.txt 0444 user old";
        QTest::newRow("settings the user may not write: reported")
            << "kidrill.ini" << app + "app/kidrill.ini 0444 user old" << "reported"
            << app + "app/kidrill.ini 0444 user old";
        QTest::newRow("another user's file is left as it is")
            << "kidrill.ini" << app + "app/kidrill.ini 0644 root old" << "reported"
            << app + "app/kidrill.ini 0644 root old";
        QTest::newRow("another user's file that the user may write keeps its owner")
            << "wordu.txt" << app + "app/wordu.txt 0666 root old" << "saved" << app + "app/wordu.txt 0666 root new";
        QTest::newRow("a link is saved through to its target")
            << "wordu.txt" << app + "app/wordu.txt -> ../lists/mine.txt|lists/ 0755 user|lists/mine.txt 0600 user old"
            << "saved" << app + "app/wordu.txt -> ../lists/mine.txt|lists/ 0755 user|lists/mine.txt 0600 user new";
        QTest::newRow("a link to a file the user may not write")
            << "kidrill.ini" << app + "app/kidrill.ini -> ../lists/k.ini|lists/ 0755 user|lists/k.ini 0444 user old"
            << "reported" << app + "app/kidrill.ini -> ../lists/k.ini|lists/ 0755 user|lists/k.ini 0444 user old";
        QTest::newRow("a link to no file yet makes its target")
            << "wordu.txt" << app + "app/wordu.txt -> /LISTS/mine.txt|lists/ 0755 user" << "saved"
            << app + "app/wordu.txt -> /LISTS/mine.txt|lists/ 0755 user|lists/mine.txt 0644 user new";
        // A classroom's shared copy, where another user planted a link to a
        // file of the learner's: the kernel would not follow it there.
        const QString shared = "app/ 1777 root|home/ 0700 user|home/diary.txt 0600 user mine|";
        QTest::newRow("another user's link in a shared directory is refused")
            << "kidrill.ini" << shared + "app/kidrill.ini -> ../home/diary.txt other" << "reported"
            << shared + "app/kidrill.ini -> ../home/diary.txt";
        QTest::newRow("another user's link to the word list is refused")
            << "wordu.txt" << shared + "app/wordu.txt -> ../home/diary.txt other" << "EACCES"
            << shared + "app/wordu.txt -> ../home/diary.txt";
        QTest::newRow("the user's own link in a shared directory is followed")
            << "wordu.txt" << shared + "app/wordu.txt -> ../home/diary.txt user" << "saved"
            << "app/ 1777 root|home/ 0700 user|home/diary.txt 0600 user new|app/wordu.txt -> ../home/diary.txt";
        QTest::newRow("read-only application directory: the word list goes to the data home")
            << "wordu.txt" << "app/ 0555 user" << "saved"
            << "app/ 0555 user|xdg/ 0700 user|xdg/kidrill/ 0700 user|xdg/kidrill/wordu.txt 0644 user new";
        QTest::newRow("read-only application directory: the settings go to the data home")
            << "kidrill.ini" << "app/ 0555 root" << "saved"
            << "app/ 0555 root|xdg/ 0700 user|xdg/kidrill/ 0700 user|xdg/kidrill/kidrill.ini 0644 user new";
        // Old-style temporary names ("wordu.txt.Ab12Cd") match user files
        // such as "wordu.txt.backup": they are never taken for leftovers.
        const QString others = "app/.kidrill.ini.kidrill-save.Ab12Cd 0600 user x|app/.wordu.txt.kidrill-save.Ab12C 0600 user x|"
                               "app/.wordu.txt.kidrill-save.Lnk123 -> wordu.txt.backup|app/wordu.txt.Ab12Cd 0600 user x|"
                               "app/wordu.txt.backup 0644 user x";
        QTest::newRow("a killed save's leftover goes, nothing else")
            << "wordu.txt" << app + others + "|app/.wordu.txt.kidrill-save.Ab12Cd 0600 user x" << "saved"
            << app + others + "|app/wordu.txt 0644 user new";
        QTest::newRow("another user's leftover stays")
            << "wordu.txt" << app + "app/.wordu.txt.kidrill-save.Ab12Cd 0600 root x" << "saved"
            << app + "app/.wordu.txt.kidrill-save.Ab12Cd 0600 root x|app/wordu.txt 0644 user new";
    }
    void savesRespectWhatIsOnDisk()
    {
        QFETCH(QString, file);
        QFETCH(QString, before);
        QFETCH(QString, outcome);
        QFETCH(QString, after);
        if (!RunningAsRoot() && (before + after).contains(QRegularExpression(" (root|other)")))
            QSKIP("needs root to lay out another user's files");
        ScratchDir dir;
        const std::string base = dir.path();
        before.replace("/LISTS", QString::fromStdString(base) + "lists");
        after.replace("/LISTS", QString::fromStdString(base) + "lists");
        QVERIFY(chown(base.c_str(), UserId(), UserGroup()) == 0);
        LayOut(base, before);
        const int status = AsUser([&] {
            setenv("XDG_DATA_HOME", (base + "xdg").c_str(), 1);
            umask(022);
            const std::string directory = UserDataDirectory(base + "app/");
            if (file == "wordu.txt")
                return SaveWordEntries(directory + "wordu.txt", Table('A', 1)).error;
            RecordingPlatform platform;
            UserDir = directory;
            const bool saved = SaveSettingsFile({1, 2, 3, 4}, HighScores {});
            const bool reported = platform.errors.size() == 1
                && platform.errors[0].text == directory + "kidrill.ini に書き込めません";
            return saved ? 0 : reported ? 1 : 97;
        });
        const QMap<int, QString> outcomes {{0, "saved"}, {1, "reported"}, {EACCES, "EACCES"}, {EROFS, "EROFS"}};
        QCOMPARE(outcomes.value(status, QString::number(status)), outcome);
        QStringList expected = after.split('|');
        expected.sort();
        QCOMPARE(Listing(base), expected.join('|'));
        // Lets the scratch directory go, as whoever runs the test.
        for (QDirIterator it(QString::fromStdString(base), QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
             it.hasNext();)
            chmod(it.next().toStdString().c_str(), 0755);
    }

    // A save that fails part way, as on a full disk, whether it replaces the
    // file or rewrites another user's file in place.
    void wordListSaveFailsWhole_data()
    {
        QTest::addColumn<QString>("owner");
        QTest::newRow("the user's file") << "user";
        QTest::newRow("another user's file the user may write") << "root";
    }
    void wordListSaveFailsWhole()
    {
        QFETCH(QString, owner);
        if (owner == "root" && !RunningAsRoot())
            QSKIP("needs root to lay out another user's file");
        ScratchDir dir;
        const std::string old = FormatWordEntries(Table('A', 3));
        dir.write("wordu.txt", old);
        const std::string path = dir.file("wordu.txt");
        QVERIFY(chown(dir.path().c_str(), UserId(), UserGroup()) == 0);
        QVERIFY(chown(path.c_str(), owner == "user" ? UserId() : 0, owner == "user" ? UserGroup() : 0) == 0);
        QVERIFY(chmod(path.c_str(), 0666) == 0);
        const int error = AsUser([&] {
            FileSizeLimit limit(4096); // the new list is about 100 KB
            return SaveWordEntries(path, Table('B', 200)).error;
        });
        QCOMPARE(error, EFBIG);
        QCOMPARE(dir.read("wordu.txt"), old);
        QCOMPARE(FilesIn(dir), QStringList {"wordu.txt"});
    }

    void settingsSaveFailsWhole()
    {
        RecordingPlatform platform;
        ScratchDir dir;
        AppDir = UserDir = dir.path();
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
        AppDir = UserDir = dir.path();
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

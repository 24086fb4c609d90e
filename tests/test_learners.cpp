#include "commandline.h"
#include "course/course.h"
#include "learners/household.h"
#include "learners/learnername.h"
#include "platform.h"
#include "problems.h"
#include "records/recordkeeper.h"
#include "settings/settingsfile.h"
#include "testsupport.h"
#include "textfile.h"

#include <QDirIterator>
#include <QTest>

#include <map>
#include <unistd.h>

// Several learners in one data directory: names, their directories, the
// index, and the first learner being the files that were there before.

namespace {

using Tree = std::map<QString, std::string>;

// Every file, directory and link under `root`: files by their bytes.
Tree Snapshot(const std::string& root)
{
    Tree tree;
    const QString base = QString::fromStdString(root);
    QDirIterator it(base, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info = it.fileInfo();
        const QString name = path.mid(base.size());
        if (info.isSymLink())
            tree[name] = "-> " + info.symLinkTarget().toStdString();
        else if (info.isDir())
            tree[name] = "<dir>";
        else
            tree[name] = ReadFileBytes(path.toStdString()).bytes;
    }
    return tree;
}

QString Listed(const Household& household)
{
    QStringList all;
    for (const Learner& learner : household.learners())
        all << QStringLiteral("%1=%2").arg(learner.number).arg(learner.name);
    return all.join(u' ');
}

QString Listed(const LearnerIndex& index)
{
    QStringList all;
    for (const Learner& learner : index.learners)
        all << QStringLiteral("%1=%2").arg(learner.number).arg(learner.name);
    return all.join(u' ');
}

// The files of an older, single-learner install, every byte of which must
// stay where it is.
void WriteOldInstall(const ScratchDir& dir)
{
    dir.write("kidrill.ini", "[Option]\r\nRecords=1\r\n; mine\r\n[Level1]\r\nMode1=321\r\n");
    dir.write("records.sqlite", std::string("SQLite format 3\0\x10\x00", 19) + std::string(4000, '\x5a'));
    dir.write("records.sqlite-wal", std::string(100, '\x01'));
    dir.write("records.sqlite.broken-2026-01-02", "old");
    dir.write("wordu.txt", Cp932Lines({"猫,ねこ", "ねこです"}));
    dir.write("course.txt", Cp932Lines({"mine.txt,ぼくの,20"}));
    dir.write("mine.txt", Cp932Lines({"亜,あ", "一"}));
    dir.write(".kidrill.lock", "");
}

} // namespace

class TestLearners : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { LearnerNumber = 1; }

    // Each name given to add() in turn, and what became of it: the
    // learner's directory below the data directory, or the fault.
    void namesMapToTheirOwnDirectories_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("outcomes");
        const QString nul = QString::fromUtf8("ta\0ro", 5);
        QTest::newRow("plain names") << QStringList {"たろう", "Hanako", "山田 花子"}
                                     << QStringList {"learners/2/", "learners/3/", "learners/4/"};
        QTest::newRow("a slash and dots") << QStringList {"a/b", "../../x", "..", "./"}
                                          << QStringList {"learners/2/", "learners/3/", "NoLetter", "NoLetter"};
        QTest::newRow("a name that is a number") << QStringList {"7", "2", "1"}
                                                 << QStringList {"learners/2/", "learners/3/", "learners/4/"};
        QTest::newRow("case") << QStringList {"Taro", "taro", "TARO", "Taro"}
                              << QStringList {"learners/2/", "learners/3/", "learners/4/", "taken"};
        QTest::newRow("width") << QStringList {"Taro", "Ｔａｒｏ", "タロウ", "ﾀﾛｳ"}
                               << QStringList {"learners/2/", "learners/3/", "learners/4/", "learners/5/"};
        QTest::newRow("blanks at the ends are not the name")
            << QStringList {"たろう", "　たろう ", "\tたろう\n"} << QStringList {"learners/2/", "taken", "taken"};
        QTest::newRow("composed and decomposed kana are one name")
            << QStringList {"だい", QString::fromUtf8("た\xe3\x82\x99い")} << QStringList {"learners/2/", "taken"};
        QTest::newRow("a NUL") << QStringList {nul, "taro"} << QStringList {"BadCharacter", "learners/2/"};
        QTest::newRow("control characters")
            << QStringList {"ta\x1b[31mro", "a\nb", "a\tb", QString(QChar(0x7f)) + "a", "a" + QString(QChar(0x85)) + "b"}
            << QStringList {"BadCharacter", "BadCharacter", "BadCharacter", "BadCharacter", "BadCharacter"};
        QTest::newRow("direction and format marks")
            << QStringList {QString(QChar(0x202e)) + "abc", "a" + QString(QChar(0x200b)) + "b"}
            << QStringList {"BadCharacter", "BadCharacter"};
        QTest::newRow("other scripts and emoji") << QStringList {"Таро", "타로", QString::fromUtf8("ねこ\xf0\x9f\x90\xb1")}
                                                 << QStringList {"BadCharacter", "BadCharacter", "BadCharacter"};
        QTest::newRow("sixteen characters, and seventeen")
            << QStringList {"あいうえおかきくけこさしすせそた", "あいうえおかきくけこさしすせそたち"}
            << QStringList {"learners/2/", "TooLong"};
        QTest::newRow("nothing") << QStringList {"", "　 "} << QStringList {"Empty", "Empty"};
        QTest::newRow("signs beside letters") << QStringList {"O'Neil", "ぼく・わたし", "A-1 (2)", "「よし」"}
                                              << QStringList {"learners/2/", "learners/3/", "learners/4/", "learners/5/"};
    }
    void namesMapToTheirOwnDirectories()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, outcomes);
        ScratchDir outer;
        const std::string data = outer.path() + "data/";
        QVERIFY(CreateDirectories(data) == 0);
        Household household(data);
        household.load();
        QStringList got;
        for (const QString& name : names) {
            const Household::Change change = household.add(name);
            const NameCheck check = CheckLearnerName(name);
            if (change.done)
                got << QString::fromStdString(LearnerDirectory(data, change.number).substr(data.size()));
            else if (!check)
                got << QStringList {"None", "Empty", "TooLong", "BadCharacter", "NoLetter"}[int(check.fault)];
            else
                got << "taken";
        }
        QCOMPARE(got, outcomes);
        // Each a real directory of its own; the names reached nothing outside.
        for (const Learner& learner : household.learners())
            if (learner.number != 1)
                QVERIFY(QFileInfo(QString::fromStdString(LearnerDirectory(data, learner.number))).isDir());
        QStringList outside = QDir(QString::fromStdString(outer.path())).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QCOMPARE(outside, QStringList {"data"});
        QCOMPARE(QDir(QString::fromStdString(data)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 got.filter("learners/").isEmpty() ? QStringList {} : QStringList {"learners"});
        // The index gives back every name as it was kept.
        Household again(data);
        again.load();
        QCOMPARE(Listed(again), Listed(household));
        QVERIFY(again.problems().isEmpty());
    }

    // An older install becomes learner 1 without a step: what a household
    // does leaves every byte of its files where it was.
    void oldInstallBecomesTheFirstLearner_data()
    {
        QTest::addColumn<QString>("steps"); // a: add, r: rename learner 1, n: --learner, x: remove learner 2
        QTest::addColumn<QString>("learners");
        QTest::addColumn<bool>("indexWritten");
        QTest::newRow("never adding a learner") << "" << "1=はじめの人" << false;
        QTest::newRow("a second learner") << "a" << "1=はじめの人 2=はなこ" << true;
        QTest::newRow("the first named") << "r" << "1=たろう" << true;
        QTest::newRow("a new name on the command line") << "n" << "1=はじめの人 2=はなこ" << true;
        QTest::newRow("a second, then removed") << "ax" << "1=はじめの人" << true;
    }
    void oldInstallBecomesTheFirstLearner()
    {
        QFETCH(QString, steps);
        QFETCH(QString, learners);
        QFETCH(bool, indexWritten);
        ScratchDir dir;
        WriteOldInstall(dir);
        const Tree before = Snapshot(dir.path());
        Household household(dir.path());
        household.load();
        for (const QChar step : steps) {
            const Household::Change change = step == u'a' ? household.add("はなこ")
                : step == u'r'                            ? household.rename(1, "たろう")
                : step == u'n'                            ? household.named("はなこ")
                                                          : household.remove(2, QDate(2026, 12, 9));
            QVERIFY2(change.done, qPrintable(change.message));
        }
        household.choose(1);
        QCOMPARE(Listed(household), learners);
        QVERIFY(household.problems().isEmpty());
        QCOMPARE(LearnerDirectory(dir.path(), 1), dir.path());
        Tree after = Snapshot(dir.path());
        // Whatever is new lies in learners/.
        for (auto at = after.begin(); at != after.end();)
            at = at->first.startsWith("learners") ? after.erase(at) : std::next(at);
        QVERIFY(after == before);
        QCOMPARE(FileExists(LearnerIndexPath(dir.path())), indexWritten);
        QCOMPARE(QFileInfo::exists(QString::fromStdString(LearnersFolder(dir.path()))), indexWritten);
    }

    // A fresh data directory: the first name on the command line is learner 1's.
    void firstNameOfAFreshDirectoryIsTheFirstLearners()
    {
        ScratchDir dir;
        dir.write("wordu.txt", "x");
        Household household(dir.path());
        household.load();
        const Household::Change change = household.named("  Taro ");
        QVERIFY(change.done);
        QCOMPARE(change.number, 1);
        QCOMPARE(household.named("Taro").number, 1);
        Household again(dir.path());
        again.load();
        QCOMPARE(Listed(again), QString("1=Taro"));
        QCOMPARE(again.named("Hanako").number, 2);
    }

    void indexFaults_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("learners");
        QTest::addColumn<int>("last");
        QTest::addColumn<QString>("problems"); // joined by "|"
        const auto lines = [](const char* text) { return QByteArray(text); };
        QTest::newRow("an index") << lines("last=3\r\n1=たろう\r\n3=はなこ\r\n") << "1=たろう 3=はなこ" << 3 << "";
        QTest::newRow("LF, a byte order mark, comments, blank lines")
            << lines("\xef\xbb\xbf; ours\n\n  \n1=たろう\n;2=x\n") << "1=たろう" << 0 << "";
        QTest::newRow("blanks around the number and the name") << lines(" 12 =  はなこ \r\n") << "12=はなこ" << 0 << "";
        QTest::newRow("an = in a name") << lines("2=a=b\r\n") << "2=a=b" << 0 << "";
        QTest::newRow("no =") << lines("たろう\r\n2=はなこ\r\n") << "2=はなこ" << 0
                              << "index.txt 1 行目: 「ばんごう=名前」の 形では ありません";
        QTest::newRow("numbers that are no number")
            << lines("0=a\r\n02=b\r\n-2=c\r\n+2=d\r\n10000=e\r\n../2=f\r\n2x=g\r\n=h\r\n3=i\r\n") << "3=i" << 0
            << "index.txt 1 行目: ばんごうは 1 から 9999 までです|index.txt 2 行目: ばんごうは 1 から 9999 までです|"
               "index.txt 3 行目: ばんごうは 1 から 9999 までです|index.txt 4 行目: ばんごうは 1 から 9999 までです|"
               "index.txt 5 行目: ばんごうは 1 から 9999 までです|index.txt 6 行目: ばんごうは 1 から 9999 までです|"
               "index.txt 7 行目: ばんごうは 1 から 9999 までです|index.txt 8 行目: ばんごうは 1 から 9999 までです";
        QTest::newRow("names that are no name")
            << lines("2=\r\n3=a\x1b[2Jb\r\n4=あいうえおかきくけこさしすせそたち\r\n5=\xe2\x80\xae" "abc\r\n6=ok\r\n")
            << "6=ok" << 0
            << "index.txt 1 行目: 名前を 入れてください|"
               "index.txt 2 行目: 名前に つかえない 文字が あります（かな・かん字・ローマ字・数字に してください）|"
               "index.txt 3 行目: 名前は 16文字までです|"
               "index.txt 4 行目: 名前に つかえない 文字が あります（かな・かん字・ローマ字・数字に してください）";
        QTest::newRow("a number twice, a name twice, a name in another case")
            << lines("2=a\r\n2=b\r\n3=a\r\n4=A\r\n") << "2=a 4=A" << 0
            << "index.txt 2 行目: ばんごうか 名前が 前の 行と 同じです|index.txt 3 行目: ばんごうか 名前が 前の 行と 同じです";
        QTest::newRow("last names nobody") << lines("last=5\r\n2=a\r\n") << "2=a" << 0 << "";
        QTest::newRow("last is no number") << lines("last=../../etc\r\n2=a\r\n") << "2=a" << 0 << "";
        QTest::newRow("a line of 60000 bytes")
            << QByteArray("2=") + QByteArray(60000, 'a') + "\r\n3=b\r\n" << "3=b" << 0 << "index.txt 1 行目: 名前は 16文字までです";
        QTest::newRow("too large") << QByteArray("2=a\r\n") + QByteArray(64 * 1024, ';') << "" << 0
                                   << "index.txt: 大きすぎるので 名前の 一らんとして 読みません";
        QTest::newRow("a NUL byte") << QByteArray("2=a\r\n3=b\0c\r\n", 12) << "" << 0
                                    << "index.txt: 名前の 一らんでは ありません（0 の バイトが あります）";
        QTest::newRow("not UTF-8") << QByteArray("2=\x82\xbd\x82\xeb\x82\xa4\r\n") << "" << 0
                                   << "index.txt: 名前の 一らんでは ありません（UTF-8 では ありません）";
        QByteArray many;
        for (int n = 1; n <= 102; ++n)
            many += QByteArray::number(n) + "=n" + QByteArray::number(n) + "\r\n";
        QStringList hundred;
        for (int n = 1; n <= 100; ++n)
            hundred << QStringLiteral("%1=n%1").arg(n);
        QTest::newRow("more than a hundred") << many << hundred.join(u' ') << 0
                                             << "index.txt 101 行目: 100 人より 多くは 読みません|index.txt 102 行目: 100 人より 多くは 読みません";
    }
    void indexFaults()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, learners);
        QFETCH(int, last);
        QFETCH(QString, problems);
        const LearnerIndex index = ParseLearnerIndex(std::string_view(bytes.constData(), std::size_t(bytes.size())));
        QCOMPARE(Listed(index), learners);
        QCOMPARE(index.last, last);
        QCOMPARE(index.problems.join(u'|'), problems);
        // Written and read again, the learners stay as they were.
        const LearnerIndex again = ParseLearnerIndex(LearnerIndexText(index.learners, index.last));
        QCOMPARE(Listed(again), learners);
        QCOMPARE(again.last, last);
        QVERIFY(again.problems.isEmpty());
    }

    // What lies in the data directory, and whom the household then holds.
    // A broken index costs its names, never a learner's files.
    void brokenHouseholds_data()
    {
        QTest::addColumn<QByteArray>("index"); // learners/index.txt; null: none
        QTest::addColumn<QStringList>("setup"); // "path/" a directory, "path=text" a file, "path->target" a link
        QTest::addColumn<QString>("learners");
        QTest::addColumn<int>("problems");
        QTest::newRow("a broken index: the directories come back under their numbers")
            << QByteArray("2=\x82\xbd\r\n") << QStringList {"learners/2/", "learners/5/", "learners/3.removed-2026-01-01/"}
            << "1=はじめの人 2=2ばんの 人 5=5ばんの 人" << 3;
        QTest::newRow("a directory the index does not name")
            << QByteArray("2=たろう\r\n") << QStringList {"learners/2/", "learners/4/"} << "2=たろう 4=4ばんの 人" << 1;
        QTest::newRow("a number's name taken")
            << QByteArray("2=4ばんの 人\r\n") << QStringList {"learners/4/"} << "2=4ばんの 人 4=4ばんの 人2" << 1;
        QTest::newRow("learner 1's line lost") << QByteArray("1=a\x01\r\n2=b\r\n") << QStringList {}
                                               << "1=はじめの人 2=b" << 1;
        QTest::newRow("learners/ is a file") << QByteArray() << QStringList {"learners=x"} << "1=はじめの人" << 1;
        QTest::newRow("learners/ is a link")
            << QByteArray() << QStringList {"elsewhere/", "elsewhere/index.txt=2=a", "learners->elsewhere"}
            << "1=はじめの人" << 1;
        QTest::newRow("a learner's directory is a link out")
            << QByteArray("1=a\r\n2=b\r\n") << QStringList {"learners/2->/tmp"} << "1=a" << 1;
        QTest::newRow("a learner's directory is a file")
            << QByteArray("1=a\r\n2=b\r\n") << QStringList {"learners/2=x"} << "1=a" << 1;
        QTest::newRow("the index is a directory") << QByteArray() << QStringList {"learners/index.txt/"}
                                                  << "1=はじめの人" << 1;
        QTest::newRow("an index naming nobody") << QByteArray("; all gone\r\n") << QStringList {} << "1=はじめの人" << 0;
        QTest::newRow("an index without learner 1") << QByteArray("3=c\r\n") << QStringList {} << "3=c" << 0;
    }
    void brokenHouseholds()
    {
        QFETCH(QByteArray, index);
        QFETCH(QStringList, setup);
        QFETCH(QString, learners);
        QFETCH(int, problems);
        ScratchDir dir;
        if (!index.isNull()) {
            QVERIFY(CreateDirectories(dir.file("learners")) == 0);
            dir.write("learners/index.txt", index.toStdString());
        }
        for (const QString& item : setup) {
            if (item.contains("->")) {
                const std::string path = dir.file(item.section("->", 0, 0).toStdString());
                QVERIFY(::symlink(item.section("->", 1).toStdString().c_str(), path.c_str()) == 0);
            } else if (item.endsWith(u'/')) {
                QVERIFY(CreateDirectories(dir.file(item.toStdString())) == 0);
            } else {
                dir.write(item.section(u'=', 0, 0).toStdString(), item.section(u'=', 1).toStdString());
            }
        }
        const Tree before = Snapshot(dir.path());
        Household household(dir.path());
        household.load();
        QCOMPARE(Listed(household), learners);
        QCOMPARE(household.problems().size(), problems);
        QVERIFY(Snapshot(dir.path()) == before);

        // A new learner gets a directory of its own, never one that is
        // there, and never through a link.
        const Household::Change added = household.add("あたらしい");
        if (added.done) {
            const QFileInfo made(QString::fromStdString(LearnerDirectory(dir.path(), added.number)));
            QVERIFY(made.isDir() && !made.isSymLink());
            QVERIFY(!before.contains(QStringLiteral("learners/%1").arg(added.number)));
            QVERIFY(made.canonicalFilePath().startsWith(QDir(QString::fromStdString(dir.path())).canonicalPath()));
        }
        const Tree after = Snapshot(dir.path());
        for (const auto& [path, bytes] : before)
            if (!path.startsWith("learners/index.txt"))
                QCOMPARE(after.at(path), bytes);
    }

    // A faulty index is kept aside, dated, before it is written over.
    void faultyIndexIsKeptBeforeItIsReplaced()
    {
        ScratchDir dir;
        dir.write("learners/index.txt", "2=たろう\r\n2=じろう\r\nbad\r\n");
        QVERIFY(CreateDirectories(dir.file("learners/2")) == 0);
        dir.write("learners/index.txt", "2=たろう\r\n2=じろう\r\nbad\r\n");
        Household household(dir.path());
        household.load();
        QCOMPARE(household.problems().size(), 2);
        QVERIFY(household.add("さぶろう").done);
        const QString aside = "learners/index.txt.broken-" + QDate::currentDate().toString(Qt::ISODate);
        QCOMPARE(dir.read(aside.toStdString()), std::string("2=たろう\r\n2=じろう\r\nbad\r\n"));
        Household again(dir.path());
        again.load();
        // A faulty index may have lost learner 1's line: they stay.
        QCOMPARE(Listed(again), QString("1=はじめの人 2=たろう 3=さぶろう"));
        QVERIFY(again.problems().isEmpty());
    }

    // Removing sets a learner's files aside in learners/, dated, and
    // deletes nothing.
    void removingSetsFilesAside_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("aside"); // empty: nothing to set aside
        QTest::addColumn<QString>("learners");
        QTest::newRow("learner 2") << 2 << "learners/2.removed-2026-12-09/" << "1=はじめの人 3=じろう";
        QTest::newRow("learner 1, whose files lie in the data directory")
            << 1 << "learners/1.removed-2026-12-09/" << "2=たろう 3=じろう";
        QTest::newRow("a learner who never practised") << 3 << "" << "1=はじめの人 2=たろう";
    }
    void removingSetsFilesAside()
    {
        QFETCH(int, number);
        QFETCH(QString, aside);
        QFETCH(QString, learners);
        ScratchDir dir;
        WriteOldInstall(dir);
        Household household(dir.path());
        household.load();
        QVERIFY(household.add("たろう").done);
        QVERIFY(household.add("じろう").done);
        QVERIFY(::rmdir(dir.file("learners/3").c_str()) == 0);
        dir.write("learners/2/kidrill.ini", "[Level1]\r\nMode1=9\r\n");
        dir.write("learners/2/records.sqlite", "two");
        // A removal of the same day before.
        QVERIFY(CreateDirectories(dir.file("learners/2.removed-2026-12-09")) == 0);
        QVERIFY(CreateDirectories(dir.file("learners/1.removed-2026-12-09")) == 0);
        household.choose(number);
        const Tree before = Snapshot(dir.path());
        const Household::Change removed = household.remove(number, QDate(2026, 12, 9));
        QVERIFY2(removed.done, qPrintable(removed.message));
        const QString expected = aside.isEmpty() ? QString() : QString::fromStdString(dir.path()) + aside.chopped(1) + "-2/";
        QCOMPARE(QString::fromStdString(removed.setAside), expected);
        QCOMPARE(Listed(household), learners);
        QCOMPARE(household.last(), household.learners().front().number);
        // Every file is still there, byte for byte, under its new place.
        const Tree after = Snapshot(dir.path());
        const QString from = number == 1 ? QString() : QStringLiteral("learners/%1/").arg(number);
        const QString to = expected.mid(int(dir.path().size()));
        for (const auto& [path, bytes] : before) {
            if (bytes == "<dir>" || path.startsWith("learners/index.txt"))
                continue;
            const bool moved = number == 1 ? !path.contains(u'/') && (path == "kidrill.ini" || path.startsWith("records.sqlite"))
                                           : path.startsWith(from);
            const QString now = moved ? to + path.mid(from.size()) : path;
            QVERIFY2(after.contains(now), qPrintable(now));
            QCOMPARE(after.at(now), bytes);
        }
        Household again(dir.path());
        again.load();
        QCOMPARE(Listed(again), learners);
        QVERIFY(again.problems().isEmpty());
        // The last learner stays.
        QVERIFY(household.remove(household.learners().front().number).done);
        const Household::Change lastOne = household.remove(household.learners().front().number);
        QVERIFY(!lastOne.done);
        QCOMPARE(lastOne.message, QString("さいごの 一人は けせません"));
    }

    // A learner's own files follow the learner; the household's stay.
    void learnersFilesFollowTheLearner_data()
    {
        QTest::addColumn<int>("learner");
        QTest::addColumn<QString>("own");
        QTest::newRow("learner 1") << 1 << "/data/";
        QTest::newRow("learner 7") << 7 << "/data/learners/7/";
    }
    void learnersFilesFollowTheLearner()
    {
        QFETCH(int, learner);
        QFETCH(QString, own);
        AppDir = "/app/";
        UserDir = "/data/";
        LearnerNumber = learner;
        QCOMPARE(QString::fromStdString(LearnerDir()), own);
        QCOMPARE(QString::fromStdString(SettingsPath()), own + "kidrill.ini");
        QCOMPARE(QString::fromStdString(RecordsPath()), own + "records.sqlite");
        QCOMPARE(UserListPath(), std::string("/data/wordu.txt"));
        QCOMPARE(CourseFilePath("course.txt"), std::string("/app/course.txt")); // none of the teacher's
        QCOMPARE(LearnerIndexPath(UserDir), std::string("/data/learners/index.txt"));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action"); // CommandLine::Action
        QTest::addColumn<QString>("learner");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("folder");
        using A = CommandLine::Action;
        QTest::newRow("nothing") << QStringList {} << int(A::Run) << "" << "" << "";
        QTest::newRow("--help") << QStringList {"--help"} << int(A::Help) << "" << "" << "";
        QTest::newRow("-h") << QStringList {"-h"} << int(A::Help) << "" << "" << "";
        QTest::newRow("--version") << QStringList {"--version"} << int(A::Version) << "" << "" << "";
        QTest::newRow("-v") << QStringList {"-v"} << int(A::Version) << "" << "" << "";
        QTest::newRow("--learners") << QStringList {"--learners"} << int(A::ListLearners) << "" << "" << "";
        QTest::newRow("--learner NAME") << QStringList {"--learner", " たろう "} << int(A::Run) << "たろう" << "" << "";
        QTest::newRow("--learner=NAME") << QStringList {"--learner=Hanako"} << int(A::Run) << "Hanako" << "" << "";
        QTest::newRow("the toolkit's own options")
            << QStringList {"-platform", "offscreen", "-session", "1234_5", "--learner", "a", "-reverse", "-style=fusion"}
            << int(A::Run) << "a" << "" << "";
        QTest::newRow("no name") << QStringList {"--learner"} << int(A::Fault) << ""
                                 << "Missing value after '--learner'." << "";
        QTest::newRow("an empty name") << QStringList {"--learner", ""} << int(A::Fault) << ""
                                       << "Not a learner's name: ''. A name holds 1 to 16 letters or digits, Japanese or "
                                          "Latin, and no control characters." << "";
        QTest::newRow("a name with an escape sequence")
            << QStringList {"--learner", "a\x1b[2Jb"} << int(A::Fault) << ""
            << "Not a learner's name: 'a\\u{1b}[2Jb'. A name holds 1 to 16 letters or digits, Japanese or Latin, and no "
               "control characters." << "";
        QTest::newRow("two names") << QStringList {"--learner", "a", "--learner", "b"} << int(A::Fault) << ""
                                   << "--learner names one learner." << "";
        QTest::newRow("an unknown option") << QStringList {"--teacher", "x"} << int(A::Fault) << ""
                                           << "Unknown option 'teacher'." << "";
        QTest::newRow("--class DIR") << QStringList {"--class", "5-1"} << int(A::ClassWindow) << "" << "" << "5-1";
        QTest::newRow("--class-report=DIR") << QStringList {"--class-report=/media/usb"} << int(A::ClassReport) << ""
                                            << "" << "/media/usb";
        QTest::newRow("a report prints, the window does not open")
            << QStringList {"--class", "x", "--class-report", "x"} << int(A::ClassReport) << "" << "" << "x";
        QTest::newRow("help before the report") << QStringList {"--class-report", "x", "-h"} << int(A::Help) << ""
                                                << "" << "x";
        QTest::newRow("no folder") << QStringList {"--class-report"} << int(A::Fault) << ""
                                   << "Missing value after '--class-report'." << "";
        QTest::newRow("two folders") << QStringList {"--class", "a", "--class-report", "b"} << int(A::Fault) << ""
                                     << "--class and --class-report name one folder." << "";
        QTest::newRow("the class is no learner's drill")
            << QStringList {"--class", "a", "--learner", "b"} << int(A::Fault) << ""
            << "--class shows the class, not a learner's drill: give no --learner." << "";
        QTest::newRow("an argument") << QStringList {"たろう"} << int(A::Fault) << ""
                                     << "Unexpected argument 'たろう'." << "";
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, learner);
        QFETCH(QString, fault);
        QFETCH(QString, folder);
        const CommandLine command = ParseCommandLine(QStringList {"kidrill"} + arguments);
        QCOMPARE(int(command.action), action);
        QCOMPARE(command.learner, learner);
        QCOMPARE(command.fault, fault);
        QCOMPARE(command.folder, folder);
    }

    void commandLineAnswers()
    {
        ScratchDir dir;
        Household household(dir.path());
        household.load();
        QVERIFY(household.add("はなこ").done);
        using A = CommandLine::Action;
        const CommandLineAnswer help = AnswerCommandLine({A::Help, {}, {}, {}}, dir.path(), "1.2.3");
        QVERIFY(help.out.starts_with("Usage: kidrill [options]\n"));
        QVERIFY(help.out.find("\n  --learner NAME      Start as the learner NAME") != std::string::npos);
        QVERIFY(help.out.find("\n  --class-report DIR  Write the class") != std::string::npos);
        QVERIFY(help.out.find("platform") == std::string::npos);
        QCOMPARE(help.status, 0);
        const CommandLineAnswer version = AnswerCommandLine({A::Version, {}, {}, {}}, dir.path(), "1.2.3");
        QCOMPARE(version.out, std::string("kidrill 1.2.3\n"));
        const CommandLineAnswer list = AnswerCommandLine({A::ListLearners, {}, {}, {}}, dir.path(), "");
        QCOMPARE(list.out, std::string("はじめの人\nはなこ\n"));
        QCOMPARE(list.err, std::string());
        const CommandLineAnswer fault = AnswerCommandLine({A::Fault, {}, "Unknown option 'x'.", {}}, dir.path(), "");
        QCOMPARE(fault.err, std::string("kidrill: Unknown option 'x'.\nTry 'kidrill --help'.\n"));
        QCOMPARE(fault.out, std::string());
        QCOMPARE(fault.status, UsageFault);
    }
};

QTEST_APPLESS_MAIN(TestLearners)
#include "test_learners.moc"

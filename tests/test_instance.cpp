#include "instanceguard.h"
#include "qttranslation.h"
#include "testsupport.h"
#include "textfile.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>
#include <memory>

// One program of a kind per data directory.

namespace {

// The shipped application directory, copied so that the programs run on
// files of their own.
void CopyApplication(const QString& to)
{
    const QString from = QString::fromStdString(AppDataDir());
    for (const char* name : {"kidrill", "kidlist", "roma.txt", "code.dat", "word1.txt", "word2.txt", "word3.txt"})
        QVERIFY(QFile::copy(from + name, to + name));
}

std::unique_ptr<QProcess> Start(const QString& program)
{
    auto process = std::make_unique<QProcess>();
    process->setProgram(program);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->start();
    return process;
}

bool Running(const QProcess& p) { return p.state() != QProcess::NotRunning; }

} // namespace

class TestInstance : public QObject {
    Q_OBJECT

    QTemporaryDir runtime;

private slots:
    // Qt's own buttons and dialogs in Japanese, whatever the language of
    // the desktop the tests run on.
    void qtTextsAreJapanese_data()
    {
        QTest::addColumn<QString>("context");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("japanese");
        QTest::newRow("a message box's Cancel") << "QPlatformTheme" << "Cancel" << "キャンセル";
        QTest::newRow("the colour dialog") << "QColorDialog" << "&Basic colors" << "基本カラー(&B)";
        QTest::newRow("the file dialog") << "QFileDialog" << "Look in:" << "アドレス:";
    }
    void qtTextsAreJapanese()
    {
        QFETCH(QString, context);
        QFETCH(QString, english);
        QFETCH(QString, japanese);
        static const bool loaded = LoadQtJapanese(*QCoreApplication::instance());
        QVERIFY(loaded);
        QCOMPARE(QCoreApplication::translate(context.toLatin1().constData(), english.toLatin1().constData()), japanese);
    }

    void initTestCase()
    {
        // The guards' locks and sockets, apart from the user's.
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }

    void secondStartAsksTheFirst()
    {
        ScratchDir data;
        auto first = std::make_unique<InstanceGuard>("kidrill", data.path());
        QVERIFY(first->first());
        QSignalSpy shown(first.get(), &InstanceGuard::showRequested);
        {
            // Another spelling of the same directory is the same directory.
            InstanceGuard second("kidrill", data.path() + "./../" + QDir(QString::fromStdString(data.path())).dirName().toStdString());
            QVERIFY(!second.first());
            QVERIFY(second.askFirstToShow());
            QTRY_COMPARE(shown.count(), 1);
            InstanceGuard editor("kidlist", data.path());
            QVERIFY(editor.first());
            ScratchDir other;
            QVERIFY(InstanceGuard("kidrill", other.path()).first());
        }
        const QString lock = first->lockPath();
        first.reset();
        QVERIFY(!QFile::exists(lock));
        QVERIFY(InstanceGuard("kidrill", data.path()).first());
    }

    // The real programs, started twice at the same moment, then after the
    // survivor was killed, then ended by the desktop session.
    void programsStartOnce_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("writtenAtTheEnd");
        QTest::newRow("kidrill") << "kidrill" << "kidrill.ini";
        QTest::newRow("kidlist") << "kidlist" << "";
    }
    void programsStartOnce()
    {
        QFETCH(QString, program);
        QFETCH(QString, writtenAtTheEnd);
        QTemporaryDir app;
        const QString dir = app.path() + '/';
        CopyApplication(dir);
        const QStringList shipped = QDir(dir).entryList(QDir::Files | QDir::Hidden);
        QStringList running = shipped + QStringList {'.' + program + ".lock"};
        running.sort();

        // Exactly one of two starts stays; the other ends at once, having
        // reached the first, and writes nothing.
        const auto startTwice = [&]() -> std::unique_ptr<QProcess> {
            auto a = Start(dir + program);
            auto b = Start(dir + program);
            [&] { QTRY_VERIFY_WITH_TIMEOUT(!Running(*a) || !Running(*b), 20000); }();
            QProcess& ended = Running(*a) ? *b : *a;
            auto survivor = Running(*a) ? std::move(a) : std::move(b);
            [&] {
                QCOMPARE(ended.exitStatus(), QProcess::NormalExit);
                QCOMPARE(ended.exitCode(), 0);
                QVERIFY(Running(*survivor));
                QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), running);
            }();
            return survivor;
        };
        auto survivor = startTwice();
        QVERIFY(!QTest::currentTestFailed());

        // A crash leaves its lock and socket behind; they block nothing.
        ::kill(pid_t(survivor->processId()), SIGKILL);
        QVERIFY(survivor->waitForFinished(10000));
        survivor = startTwice();
        QVERIFY(!QTest::currentTestFailed());

        // The end of the session: the drill saves as "おわり" does, the
        // editor saves nothing.
        ::kill(pid_t(survivor->processId()), SIGTERM);
        QVERIFY(survivor->waitForFinished(20000));
        QCOMPARE(survivor->exitStatus(), QProcess::NormalExit);
        QCOMPARE(survivor->exitCode(), 0);
        QStringList expected = shipped;
        if (!writtenAtTheEnd.isEmpty()) {
            expected << writtenAtTheEnd;
            expected.sort();
            QVERIFY(ReadFileBytes((dir + writtenAtTheEnd).toStdString()).bytes.starts_with("[Position]\r\nMainX="));
        }
        QCOMPARE(QDir(dir).entryList(QDir::Files | QDir::Hidden), expected);
    }

    // What only prints needs no display: answered before the toolkit
    // starts, with the exit status of a command-line program.
    void commandLineWithoutADisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out"); // how stdout begins
        QTest::addColumn<QString>("err"); // how stderr begins
        QTest::newRow("--help") << QStringList {"--help"} << 0 << "Usage: kidrill [options]\n" << "";
        QTest::newRow("-h") << QStringList {"-h"} << 0 << "Usage: kidrill [options]\n" << "";
        QTest::newRow("--version") << QStringList {"--version"} << 0 << "kidrill 1." << "";
        QTest::newRow("--learners") << QStringList {"--learners"} << 0 << "はじめの人\n" << "";
        QTest::newRow("a bad name") << QStringList {"--learner", "a\x1b]0;b"} << 2 << ""
                                    << "kidrill: Not a learner's name: 'a\\u{1b}]0;b'.";
        QTest::newRow("an unknown option") << QStringList {"--bogus"} << 2 << "" << "kidrill: Unknown option 'bogus'.";
    }
    void commandLineWithoutADisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QTemporaryDir app;
        const QString dir = app.path() + '/';
        CopyApplication(dir);
        const QStringList shipped = QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        p.setProcessEnvironment(env);
        p.start(dir + "kidrill", arguments);
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), status);
        const QString printed = QString::fromUtf8(p.readAllStandardOutput());
        const QString complained = QString::fromUtf8(p.readAllStandardError());
        QVERIFY2(out.isEmpty() ? printed.isEmpty() : printed.startsWith(out), qPrintable(printed));
        QVERIFY2(err.isEmpty() ? complained.isEmpty() : complained.startsWith(err), qPrintable(complained));
        // Nothing written, not even the guard's lock.
        QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), shipped);
    }

    // A shortcut per child: `--learner NAME` starts as that learner, made
    // when new; in a fresh data directory the first name is learner 1's.
    void learnersFromTheCommandLine()
    {
        QTemporaryDir app;
        const QString dir = app.path() + '/';
        CopyApplication(dir);
        const auto run = [&](const QString& name) {
            auto p = std::make_unique<QProcess>();
            p->setProcessChannelMode(QProcess::ForwardedChannels);
            p->start(dir + "kidrill", {"--learner", name});
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(dir + ".kidrill.lock"), 20000);
            QTest::qWait(500);
            ::kill(pid_t(p->processId()), SIGTERM);
            QVERIFY(p->waitForFinished(20000));
            QCOMPARE(p->exitCode(), 0);
        };
        run("たろう");
        QVERIFY(QFile::exists(dir + "kidrill.ini"));
        const std::string index = ReadFileBytes((dir + "learners/index.txt").toStdString()).bytes;
        QVERIFY2(index.ends_with("\r\n1=たろう\r\n") && index.find("2=") == std::string::npos, index.c_str());
        run("はなこ");
        QVERIFY(QFile::exists(dir + "learners/2/kidrill.ini"));
        run("たろう");
        QProcess list;
        list.start(dir + "kidrill", {"--learners"});
        QVERIFY(list.waitForFinished(20000));
        QCOMPARE(QString::fromUtf8(list.readAllStandardOutput()), QString("たろう\nはなこ\n"));
        QVERIFY(ReadFileBytes((dir + "learners/index.txt").toStdString()).bytes.find("last=1\r\n") != std::string::npos);
    }

    // The first start as one user who is not root, and a second one of the
    // same kind over the same files, by the same user in another
    // environment or by another user: the second never runs beside the
    // first. It brings the first to the front and ends, or, when the first
    // is another user's, says in a message box that it is already running.
    void startsOverTheSameFilesExcludeEachOther_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("second"); // "no runtime dir" or "other user"
        QTest::newRow("kidrill without XDG_RUNTIME_DIR") << "kidrill" << "no runtime dir";
        QTest::newRow("kidrill of another user") << "kidrill" << "other user";
        QTest::newRow("kidlist of another user") << "kidlist" << "other user";
    }
    void startsOverTheSameFilesExcludeEachOther()
    {
        QFETCH(QString, program);
        QFETCH(QString, second);
        if (::geteuid() != 0)
            QSKIP("needs root, to start the programs as two users who are not root with setpriv");
        // A classroom's shared copy.
        QTemporaryDir app;
        const QString dir = app.path() + '/';
        CopyApplication(dir);
        QVERIFY(::chmod(QFile::encodeName(app.path()).constData(), 01777) == 0);
        QTemporaryDir runtime; // the first user's
        QVERIFY(::chown(QFile::encodeName(runtime.path()).constData(), 65534, 65534) == 0);
        const auto startAs = [&](int user, bool runtimeDir) {
            auto p = std::make_unique<QProcess>();
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("HOME", "/nonexistent");
            env.remove("XDG_RUNTIME_DIR");
            if (runtimeDir)
                env.insert("XDG_RUNTIME_DIR", runtime.path());
            p->setProcessEnvironment(env);
            p->setProcessChannelMode(QProcess::ForwardedChannels);
            const QString id = QString::number(user);
            p->start("setpriv", {"--reuid=" + id, "--regid=" + id, "--clear-groups", dir + program});
            return p;
        };
        auto first = startAs(65534, true);
        QTest::qWait(3000); // up and running
        QVERIFY(Running(*first));
        auto later = startAs(second == "other user" ? 65533 : 65534, false);
        if (second == "no runtime dir") {
            QVERIFY(later->waitForFinished(20000));
            QCOMPARE(later->exitStatus(), QProcess::NormalExit);
            QCOMPARE(later->exitCode(), 0);
        } else {
            // Held by its message box, before it would handle the end of a
            // session: the signal's default death shows where it waits.
            QTest::qWait(3000);
            QVERIFY(Running(*later));
            ::kill(pid_t(later->processId()), SIGTERM);
            QVERIFY(later->waitForFinished(10000));
            QCOMPARE(later->exitStatus(), QProcess::CrashExit);
        }
        QVERIFY(Running(*first));
        ::kill(pid_t(first->processId()), SIGTERM);
        QVERIFY(first->waitForFinished(20000));
        QCOMPARE(first->exitStatus(), QProcess::NormalExit);
        QCOMPARE(first->exitCode(), 0);
    }
};

QTEST_MAIN(TestInstance)
#include "test_instance.moc"

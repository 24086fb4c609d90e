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

// Key sounds as a learner hears them: keys typed into the drill window with
// KeySound on play through the real sound module into a private PulseAudio
// server, whose null sink is recorded. Every key must be heard, soon after
// it, and a new sound must cut off the one still playing.

#include "fingerguide.h"
#include "keystroke.h"
#include "main.h"
#include "problems.h"
#include "qtplatform.h"
#include "romajitable.h"
#include "settings/options.h"
#include "settings/settings.h"
#include "settings/settingsfile.h"
#include "testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <signal.h>
#include <sys/prctl.h>

namespace {

constexpr int RecordRate = 44100;
constexpr int QuietLevel = 800; // peaks below about -32 dBFS are silence
constexpr double SoundGapMs = 100; // silence that separates two sounds
constexpr double LongSoundMs = 200; // the miss sound lasts longer than this, the hit sound less
constexpr double HeardWithinMs = 250; // a sound later than this after its key belongs to no key
constexpr double DatingSlackMs = 10; // how early a sound may seem to start, as it is dated from arrivals

// A helper process that dies with the test, even when the test crashes, and
// is ended when its owner goes.
class ChildProcess {
public:
    ChildProcess()
    {
        process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
    }
    ~ChildProcess()
    {
        if (process.state() == QProcess::NotRunning)
            return;
        process.terminate();
        if (!process.waitForFinished(3000)) {
            process.kill();
            process.waitForFinished(3000);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    QProcess process;
};

// The null sink's monitor as it arrived. The sink mixes each sample up to
// its latency ahead of playing it and hands it to the monitor at once, so
// the arrivals date the samples.
struct Recording {
    struct Arrival {
        double atMs;
        qint64 samplesSoFar;
    };
    QByteArray bytes; // mono 16-bit samples
    std::vector<Arrival> arrivals;
    double sinkLatencyMs = 0;

    qint64 size() const { return bytes.size() / 2; }
    int sample(qint64 n) const { return qFromLittleEndian<qint16>(bytes.constData() + 2 * n); }

    // When sample n played: an arrival at T of the samples up to N says
    // about T - (N - n) / rate + the sink's latency. Delivery only delays,
    // so the earliest of the arrivals soon after n is the closest.
    double playedAtMs(qint64 n) const
    {
        auto it = std::find_if(arrivals.begin(), arrivals.end(), [n](const Arrival& a) { return a.samplesSoFar > n; });
        if (it == arrivals.end())
            return 1e18;
        const double ownMs = it->atMs;
        double best = ownMs;
        for (; it != arrivals.end() && it->atMs < ownMs + 100; ++it)
            best = std::min(best, it->atMs - 1000.0 * double(it->samplesSoFar - n) / RecordRate);
        return best + sinkLatencyMs;
    }
};

// One sound in a recording: when it started and how long it lasted.
struct Heard {
    double onsetMs;
    double lengthMs;
};

// The sounds in a recording. A sound is a run of loud samples; silence of
// SoundGapMs ends it.
std::vector<Heard> SoundsIn(const Recording& recording)
{
    std::vector<Heard> sounds;
    qint64 onset = 0;
    qint64 lastLoud = -RecordRate;
    auto close = [&] {
        if (lastLoud >= 0)
            sounds.push_back({recording.playedAtMs(onset), 1000.0 * double(lastLoud - onset) / RecordRate});
    };
    for (qint64 n = 0; n < recording.size(); ++n) {
        if (std::abs(recording.sample(n)) <= QuietLevel)
            continue;
        if (1000.0 * double(n - lastLoud) / RecordRate > SoundGapMs) {
            close();
            onset = n;
        }
        lastLoud = n;
    }
    close();
    return sounds;
}

// The first sound that starts after a key and soon enough to be its sound.
const Heard* SoundOf(const std::vector<Heard>& sounds, double keyMs)
{
    for (const Heard& s : sounds)
        if (s.onsetMs >= keyMs - DatingSlackMs && s.onsetMs < keyMs + HeardWithinMs)
            return &s;
    return nullptr;
}

} // namespace

class TestKeySounds : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<ChildProcess> server;
    QElapsedTimer clock;

    std::unique_ptr<ChildProcess> recorder;
    Recording recording;

    double nowMs() const { return double(clock.nsecsElapsed()) / 1e6; }
    QString path(const QString& name) const { return dir.filePath(name); }

    void takeRecorded()
    {
        if (!recorder)
            return; // ending
        recording.bytes += recorder->process.readAllStandardOutput();
        recording.arrivals.push_back({nowMs(), recording.size()});
    }

    // Starts a sound server of its own; false when it did not come up.
    bool startServer()
    {
        QProcessEnvironment env;
        env.insert("PATH", qEnvironmentVariable("PATH"));
        env.insert("HOME", dir.path());
        env.insert("XDG_RUNTIME_DIR", path("run"));
        env.insert("XDG_CONFIG_HOME", path("config"));
        env.insert("PULSE_RUNTIME_PATH", path("run"));
        env.insert("PULSE_STATE_PATH", path("state"));
        env.insert("PULSE_CONFIG", path("daemon.conf"));
        env.insert("PULSE_CLIENTCONFIG", path("client.conf"));
        env.insert("PULSE_COOKIE", path("cookie"));
        const QString socket = path("native");
        QFile::remove(socket); // a killed server's
        server = std::make_unique<ChildProcess>();
        server->process.setProcessEnvironment(env);
        server->process.setProcessChannelMode(QProcess::MergedChannels);
        // The sink first, so that a client that finds the socket finds it.
        // A sink that rewinds mixes some samples again, and its monitor
        // would record both takes.
        server->process.start(QStandardPaths::findExecutable("pulseaudio"),
            {"-n", "--daemonize=no", "--use-pid-file=no", "--exit-idle-time=-1", "--log-target=stderr",
                "--load=module-null-sink sink_name=keys norewinds=1",
                "--load=module-native-protocol-unix socket=" + socket + " auth-anonymous=1"});
        QElapsedTimer waited;
        waited.start();
        while (server->process.state() != QProcess::NotRunning && !QFile::exists(socket) && waited.elapsed() < 5000)
            server->process.waitForFinished(20);
        return QFile::exists(socket);
    }

    // The streams open on the server.
    static int streams()
    {
        QProcess pactl;
        pactl.start("pactl", {"list", "short", "sink-inputs"});
        pactl.waitForFinished(5000);
        return int(pactl.readAllStandardOutput().count('\n'));
    }

    // How far ahead of playing the sink mixes, as the server set it for
    // the streams now open.
    static double configuredSinkLatencyMs()
    {
        QProcess pactl;
        pactl.start("pactl", {"list", "sinks"});
        pactl.waitForFinished(5000);
        const auto match =
            QRegularExpression("configured (\\d+) usec").match(QString::fromUtf8(pactl.readAllStandardOutput()));
        return match.hasMatch() ? match.captured(1).toDouble() / 1000 : 0;
    }

    // Types one key into the drill window as a person does: a hit is the
    // expected character, a miss any other.
    void typeKey(bool hit)
    {
        const char expected = ExpectedChar(Problems.problem(main1->ProblemIndex).Romaji, main1->CursorPos);
        const char key = hit ? expected : expected == 'q' ? 'x' : 'q';
        QTest::keyClick(main1->windowHandle(), key);
    }

private slots:
    void initTestCase()
    {
        const QString pulseaudio = QStandardPaths::findExecutable("pulseaudio");
        if (pulseaudio.isEmpty() || QStandardPaths::findExecutable("parec").isEmpty())
            QSKIP("PulseAudio cannot start: pulseaudio or parec is not installed (scripts/install-deps leaves "
                  "pulseaudio out beside PipeWire)");
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkpath("run"));
        QFile::setPermissions(path("run"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        // Nothing of the machine's PulseAudio set-up takes part: no system
        // configuration, no D-Bus, no autospawn, no files outside `dir`.
        for (const char* name : {"daemon.conf", "client.conf"}) {
            QFile conf(path(name));
            QVERIFY(conf.open(QIODevice::WriteOnly));
            if (QByteArray(name) == "client.conf")
                conf.write("autospawn = no\n");
        }
        const QString socket = path("native");
        qputenv("PULSE_SERVER", ("unix:" + socket).toUtf8());
        qputenv("PULSE_CLIENTCONFIG", path("client.conf").toUtf8());
        qputenv("PULSE_COOKIE", path("cookie").toUtf8());

        if (!startServer()) {
            const QByteArray log = server->process.readAll();
            server.reset();
            QSKIP(qPrintable("PulseAudio cannot start:\n" + QString::fromLocal8Bit(log)));
        }
        clock.start();
    }

    void cleanupTestCase()
    {
        recorder.reset();
        if (server && server->process.state() == QProcess::NotRunning)
            qWarning("PulseAudio ended early:\n%s", server->process.readAll().constData());
        server.reset();
    }

    // First, before anything of this process has reached a sound server: a
    // server that does not answer holds up neither the start nor a key, and
    // once a new server has come in its place, a later key is heard again.
    void serverThatDoesNotAnswerHoldsUpNothing()
    {
        AppDir = AppDataDir();
        ::kill(pid_t(server->process.processId()), SIGSTOP);
        QtPlatform platform;
        QElapsedTimer took;
        took.start();
        platform.loadSounds();
        platform.playSound(Platform::Sound::Miss);
        QVERIFY2(took.elapsed() < 500, qPrintable(QString("%1 ms").arg(took.elapsed())));
        QVERIFY(platform.soundsLoaded());

        // Qt's sound system tries again after a server that went away while
        // it waited, not after one that was never there.
        QTest::qWait(500);
        server->process.kill();
        QVERIFY(server->process.waitForFinished(5000));
        QVERIFY(startServer());
        qint64 slowestKey = 0;
        QElapsedTimer waited;
        waited.start();
        while (streams() == 0 && waited.elapsed() < 10000) {
            took.start();
            platform.playSound(Platform::Sound::Hit);
            slowestKey = std::max(slowestKey, took.elapsed());
            QTest::qWait(300);
        }
        qInfo("the stream opened again %lld ms after the new server came; the slowest key took %lld ms",
              waited.elapsed(), slowestKey);
        QCOMPARE(streams(), 1);
        QVERIFY(slowestKey < 50);
        QVERIFY(platform.finishSounds());
    }

    void everyKeyIsHeardAtOnce()
    {
        QtPlatform platform;
        AppDir = AppDataDir();
        QVERIFY(LoadRomajiTable());
        QCOMPARE(LoadFingerTable(), FingerTableLoad::Ok);
        ReadSettings(IniFile(), 1024, 768);
        KeySound = true;
        ShowKeyboard = false;
        Counters = DrillCounters {};
        Counters.Mode = 1;
        Counters.Level = 1;
        Counters.TimeLimit = 60;
        // As the program does at start-up when sounds are on.
        platform.loadSounds();
        QVERIFY(platform.soundsLoaded());
        Tmain1 drill;
        main1 = &drill;
        const auto forget = qScopeGuard([] { main1 = nullptr; });
        drill.show();
        QVERIFY(QTest::qWaitForWindowExposed(&drill));

        recorder = std::make_unique<ChildProcess>();
        connect(&recorder->process, &QProcess::readyReadStandardOutput, this, &TestKeySounds::takeRecorded);
        recorder->process.start("parec",
            {"--device=keys.monitor", "--raw", "--format=s16le", "--channels=1",
                "--rate=" + QString::number(RecordRate), "--latency-msec=10"});
        QVERIFY(recorder->process.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(recording.size() > RecordRate / 5, 5000);

        // A learner's pace: one key every half second, hits and misses mixed.
        const QByteArray keys = "HHMHHHMMHMHHHMHHMHHM";
        std::vector<double> keyMs;
        const double firstKeyMs = nowMs() + 200;
        for (int i = 0; i < keys.size(); ++i) {
            QTest::qWait(int(std::max(0.0, firstKeyMs + 500.0 * i - nowMs())));
            keyMs.push_back(nowMs());
            typeKey(keys[i] == 'H');
        }
        QCOMPARE(int(Counters.Hits), int(keys.count('H')));
        QCOMPARE(int(Counters.Misses), int(keys.count('M')));
        // Then a miss cut off by a hit a tenth of a second later.
        QTest::qWait(600);
        const double cutMissMs = nowMs();
        typeKey(false);
        QTest::qWait(100);
        typeKey(true);
        QTest::qWait(600);
        recording.sinkLatencyMs = configuredSinkLatencyMs();
        takeRecorded();
        recorder.reset();

        const std::vector<Heard> sounds = SoundsIn(recording);
        std::vector<double> latencies;
        bool firstHeard = false;
        QStringList faults;
        for (int i = 0; i < keys.size(); ++i) {
            const bool miss = keys[i] == 'M';
            const Heard* heard = SoundOf(sounds, keyMs[i]);
            if (!heard) {
                faults << QString("key %1 (%2) not heard").arg(i + 1).arg(miss ? "miss" : "hit");
                continue;
            }
            latencies.push_back(heard->onsetMs - keyMs[i]);
            firstHeard = firstHeard || i == 0;
            if ((heard->lengthMs > LongSoundMs) != miss)
                faults << QString("key %1 (%2) sounded %3 ms")
                              .arg(i + 1)
                              .arg(miss ? "miss" : "hit")
                              .arg(heard->lengthMs, 0, 'f', 0);
        }
        const auto beforeCut = std::count_if(
            sounds.begin(), sounds.end(), [&](const Heard& s) { return s.onsetMs < cutMissMs - DatingSlackMs; });
        qInfo("heard %d of %d keys; %d sounds recorded", int(latencies.size()), int(keys.size()), int(beforeCut));
        if (!latencies.empty()) {
            std::vector<double> sorted = latencies;
            std::sort(sorted.begin(), sorted.end());
            qInfo("key-to-sound latency: first key %s, min %.0f, median %.0f, max %.0f ms",
                qPrintable(firstHeard ? QString("%1 ms").arg(latencies.front(), 0, 'f', 0) : QString("not heard")),
                sorted.front(), sorted[sorted.size() / 2], sorted.back());
        }
        if (!faults.isEmpty()) {
            QStringList heard;
            for (const Heard& s : sounds)
                heard << QString("%1+%2").arg(s.onsetMs - keyMs.front(), 0, 'f', 0).arg(s.lengthMs, 0, 'f', 0);
            faults << "sounds (ms after the first key + length): " + heard.join(' ');
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(", ")));
        QCOMPARE(int(beforeCut), int(keys.size()));

        // Cut off after 100 ms, the miss sound with the hit sound after it
        // lasts far less than the miss sound alone.
        const Heard* cut = SoundOf(sounds, cutMissMs);
        QVERIFY2(cut, "the miss before the cut was not heard");
        qInfo("a miss cut off by a hit 100 ms later sounded %.0f ms", cut->lengthMs);
        QVERIFY2(cut->lengthMs > 130 && cut->lengthMs < 280, qPrintable(QString::number(cut->lengthMs)));
    }

    // The end comes while a miss is being written into the stream, at any
    // moment of it: the writing stops before the stream goes.
    void endWhileASoundPlays()
    {
        AppDir = AppDataDir();
        for (int round = 0; round < 30; ++round) {
            QtPlatform platform;
            platform.loadSounds();
            QTest::qWait(100); // the stream opens
            platform.playSound(Platform::Sound::Miss);
            QTest::qWait(round * 7 % 120);
            QVERIFY(platform.finishSounds());
        }
    }
};

QTEST_MAIN(TestKeySounds)
#include "test_keysounds.moc"

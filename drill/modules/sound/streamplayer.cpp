#include "soundplayer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QElapsedTimer>
#include <QFile>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <chrono>
#include <memory>

namespace {

// The two sounds are 8-bit unsigned mono PCM at this rate.
constexpr int SoundRate = 11025;
// How much of a sound is written ahead: a new sound starts after what is
// queued of the one before, so it is kept short, yet long enough that the
// writer's thread may wait its turn for the processor.
constexpr int SinkBufferMilliseconds = 40;
// How often the writer tops the queue up while a sound plays.
constexpr int FeedMilliseconds = 10;
// How often a lost stream may be opened again.
constexpr qint64 ReopenMilliseconds = 1000;
// How long the end of the sounds waits for the stream to close.
constexpr int FinishWaitMilliseconds = 1000;
using SoundClock = std::chrono::steady_clock;
// A sound later than this after its key would seem to belong to another.
constexpr auto StaleAfter = std::chrono::milliseconds(250);

std::size_t SoundIndex(Platform::Sound sound)
{
    return sound == Platform::Sound::Hit ? 0 : 1;
}

QAudioFormat SoundFormat()
{
    QAudioFormat format;
    format.setSampleFormat(QAudioFormat::UInt8);
    format.setChannelCount(1);
    format.setSampleRate(SoundRate);
    return format;
}

// The samples of a WAVE file's data chunk; empty when it has none.
QByteArray WaveSamples(const QByteArray& wave)
{
    qsizetype at = 12; // past "RIFF", the size and "WAVE"
    while (at + 8 <= wave.size()) {
        const quint32 size = qFromLittleEndian<quint32>(wave.constData() + at + 4);
        const qsizetype body = at + 8;
        const qsizetype available = std::min<qsizetype>(size, wave.size() - body);
        if (wave.mid(at, 4) == "data")
            return wave.mid(body, available);
        at = body + available + (size & 1); // chunks are padded to an even size
    }
    return {};
}

// Appends one frame of `format` that carries an 8-bit unsigned sample on
// every channel.
void AppendFrame(QByteArray& out, quint8 sample, const QAudioFormat& format)
{
    const int centred = int(sample) - 128;
    for (int channel = 0; channel < format.channelCount(); ++channel) {
        switch (format.sampleFormat()) {
        case QAudioFormat::UInt8:
            out.append(char(sample));
            break;
        case QAudioFormat::Int16: {
            const qint16 value = qint16(centred * 256);
            out.append(reinterpret_cast<const char*>(&value), sizeof value);
            break;
        }
        case QAudioFormat::Int32: {
            const qint32 value = centred * (1 << 24);
            out.append(reinterpret_cast<const char*>(&value), sizeof value);
            break;
        }
        case QAudioFormat::Float: {
            const float value = float(centred) / 128;
            out.append(reinterpret_cast<const char*>(&value), sizeof value);
            break;
        }
        default:
            break;
        }
    }
}

// The 8-bit mono samples as frames of `format`; at another rate each frame
// takes the nearest earlier sample.
QByteArray ToFormat(const QByteArray& samples, const QAudioFormat& format)
{
    const qint64 frames = qint64(samples.size()) * format.sampleRate() / SoundRate;
    QByteArray out;
    out.reserve(frames * format.bytesPerFrame());
    for (qint64 frame = 0; frame < frames; ++frame)
        AppendFrame(out, quint8(samples[frame * SoundRate / format.sampleRate()]), format);
    return out;
}

// Writes the sound playing into the sink, a little ahead of the speaker.
// Everything about sound happens in the writer's own thread: a busy moment
// of the windows does not break a sound, and a sound server that does not
// answer holds up nothing but the sounds.
//
// Only sounds are written, never silence: between sounds the stream runs
// dry and the server waits, so a new sound starts at once instead of
// queueing behind silence. Only a little of a sound is written ahead, so
// that a new one cuts it off after what is already queued.
class SoundWriter final : public QObject {
public:
    SoundWriter()
    {
        feeder_.setTimerType(Qt::PreciseTimer);
        feeder_.setInterval(FeedMilliseconds);
        connect(&feeder_, &QTimer::timeout, this, &SoundWriter::feed);
    }

    ~SoundWriter() override { close(); }

    SoundWriter(const SoundWriter&) = delete;
    SoundWriter& operator=(const SoundWriter&) = delete;

    // Opens the stream on the default output; without one, the sounds stay
    // silent until a later start opens it.
    void open()
    {
        // First: a sound asked for while the old sink goes must not open
        // another one meanwhile.
        lastOpen_.start();
        close();
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (!device.isNull()) {
            const QAudioFormat format = device.isFormatSupported(SoundFormat()) ? SoundFormat() : device.preferredFormat();
            if (format.bytesPerFrame() > 0) {
                for (const Platform::Sound sound : {Platform::Sound::Hit, Platform::Sound::Miss}) {
                    QFile wave(QStringLiteral(":/sounds/%1.wav").arg(int(sound)));
                    if (wave.open(QIODevice::ReadOnly))
                        sounds_[SoundIndex(sound)] = ToFormat(WaveSamples(wave.readAll()), format);
                }
                frameBytes_ = format.bytesPerFrame();
                sink_ = std::make_unique<QAudioSink>(device, format);
                sink_->setBufferSize(format.bytesForDuration(SinkBufferMilliseconds * 1000));
                output_ = sink_->start();
                // A stopped sink has dropped its output: the server went away.
                connect(sink_.get(), &QAudioSink::stateChanged, this, [this](QAudio::State state) {
                    if (state == QAudio::StoppedState)
                        stopFeeding();
                });
            }
        }
        // Counted from the end too: an attempt that waited on a server that
        // does not answer is not made again at once.
        lastOpen_.start();
    }

    // Plays `sound`, asked for at `askedAt`. A stream lost on the way (the
    // sound server restarted) is opened again, at most once a second. A
    // sound asked for long ago, while the stream could not be had, belongs
    // to no key the learner hears any more.
    void start(Platform::Sound sound, SoundClock::time_point askedAt)
    {
        if (!output_ && lastOpen_.hasExpired(ReopenMilliseconds))
            open();
        if (!output_ || SoundClock::now() - askedAt > StaleAfter)
            return;
        playing_ = &sounds_[SoundIndex(sound)];
        writtenBytes_ = 0;
        feeder_.start();
        feed();
    }

private:
    // The feeding stops before the sink goes: a sink may run this thread's
    // events while it is destroyed, and the feeder must not write into it.
    void close()
    {
        stopFeeding();
        if (!sink_)
            return;
        sink_->disconnect(this);
        sink_.reset();
    }

    void stopFeeding()
    {
        feeder_.stop();
        output_ = nullptr;
        playing_ = nullptr;
    }

    // Writes as much of the playing sound as the sink takes now.
    void feed()
    {
        if (!output_ || !playing_)
            return;
        qint64 room = sink_->bytesFree();
        room -= room % frameBytes_;
        const qint64 count = std::min(room, playing_->size() - writtenBytes_);
        if (count > 0)
            writtenBytes_ += std::max<qint64>(0, output_->write(playing_->constData() + writtenBytes_, count));
        if (writtenBytes_ >= playing_->size())
            feeder_.stop();
    }

    std::array<QByteArray, 2> sounds_; // in the stream's format
    int frameBytes_ = 1;
    QTimer feeder_ {this}; // a child, to move with the writer
    std::unique_ptr<QAudioSink> sink_;
    QIODevice* output_ = nullptr; // the sink's; null while no stream plays
    const QByteArray* playing_ = nullptr;
    qint64 writtenBytes_ = 0;
    QElapsedTimer lastOpen_;
};

// Plays the program's own WAVE resources "#100" and "#101" through one
// output stream, open for the player's life. Restarting a sound effect on
// every key opened a stream each time, and most of those sounds were lost.
class StreamPlayer final : public SoundPlayer {
public:
    StreamPlayer()
    {
        writer_->moveToThread(thread_.get());
        thread_->start();
        QMetaObject::invokeMethod(writer_, &SoundWriter::open);
    }

    ~StreamPlayer() override
    {
        // A thread still held by the sound system must outlive the player:
        // it ends with the process.
        if (!finish())
            (void)thread_.release();
    }

    StreamPlayer(const StreamPlayer&) = delete;
    StreamPlayer& operator=(const StreamPlayer&) = delete;

    void play(Platform::Sound sound) override
    {
        if (!finishing_)
            QMetaObject::invokeMethod(writer_, [writer = writer_, sound, at = SoundClock::now()] {
                writer->start(sound, at);
            });
    }

    bool finish() override
    {
        if (!finishing_) {
            finishing_ = true;
            QMetaObject::invokeMethod(writer_, [writer = writer_, thread = thread_.get()] {
                delete writer;
                thread->quit();
            });
        }
        return thread_->wait(QDeadlineTimer(FinishWaitMilliseconds));
    }

private:
    std::unique_ptr<QThread> thread_ = std::make_unique<QThread>();
    SoundWriter* writer_ = new SoundWriter; // lives in thread_, deleted there
    bool finishing_ = false;
};

} // namespace

extern "C" Q_DECL_EXPORT SoundPlayer* CreateSoundPlayer()
{
    return new StreamPlayer;
}

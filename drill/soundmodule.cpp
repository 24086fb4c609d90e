#include "soundplayer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QFile>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <array>
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
// It works in a thread of its own, so that a busy moment of the windows
// does not break a sound.
//
// Only sounds are written, never silence: between sounds the stream runs
// dry and the server waits, so a new sound starts at once instead of
// queueing behind silence. Only a little of a sound is written ahead, so
// that a new one cuts it off after what is already queued.
class SoundWriter final : public QObject {
public:
    SoundWriter(const QAudioDevice& device, const QAudioFormat& format, const std::array<QByteArray, 2>& sounds)
        : device_(device), format_(format), sounds_(sounds)
    {
        feeder_.setTimerType(Qt::PreciseTimer);
        feeder_.setInterval(FeedMilliseconds);
        connect(&feeder_, &QTimer::timeout, this, &SoundWriter::feed);
    }

    // In the writer's thread, before the first sound.
    void open()
    {
        sink_ = std::make_unique<QAudioSink>(device_, format_);
        sink_->setBufferSize(format_.bytesForDuration(SinkBufferMilliseconds * 1000));
        output_ = sink_->start();
        // A stopped sink has dropped its output: the server went away.
        connect(sink_.get(), &QAudioSink::stateChanged, this, [this](QAudio::State state) {
            if (state == QAudio::StoppedState) {
                output_ = nullptr;
                feeder_.stop();
            }
        });
    }

    void start(std::size_t sound)
    {
        if (!output_)
            return;
        playing_ = &sounds_[sound];
        writtenBytes_ = 0;
        feeder_.start();
        feed();
    }

private:
    // Writes as much of the playing sound as the sink takes now.
    void feed()
    {
        qint64 room = sink_->bytesFree();
        room -= room % format_.bytesPerFrame();
        const qint64 count = std::min(room, playing_->size() - writtenBytes_);
        if (count > 0)
            writtenBytes_ += std::max<qint64>(0, output_->write(playing_->constData() + writtenBytes_, count));
        if (writtenBytes_ >= playing_->size())
            feeder_.stop();
    }

    const QAudioDevice device_;
    const QAudioFormat format_;
    const std::array<QByteArray, 2> sounds_;
    QTimer feeder_ {this}; // a child, to move with the writer; outlives the sink, whose signals stop it
    std::unique_ptr<QAudioSink> sink_;
    QIODevice* output_ = nullptr; // the sink's
    const QByteArray* playing_ = nullptr;
    qint64 writtenBytes_ = 0;
};

// Plays the program's own WAVE resources "#100" and "#101" through one
// output stream, open for the player's life. Restarting a sound effect on
// every key opened a stream each time, and most of those sounds were lost.
class StreamPlayer final : public SoundPlayer {
public:
    StreamPlayer()
    {
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull())
            return; // no audio device: silent
        const QAudioFormat format = device.isFormatSupported(SoundFormat()) ? SoundFormat() : device.preferredFormat();
        if (format.bytesPerFrame() <= 0)
            return;
        std::array<QByteArray, 2> sounds;
        for (const Platform::Sound sound : {Platform::Sound::Hit, Platform::Sound::Miss}) {
            QFile wave(QStringLiteral(":/sounds/%1.wav").arg(int(sound)));
            if (wave.open(QIODevice::ReadOnly))
                sounds[index(sound)] = ToFormat(WaveSamples(wave.readAll()), format);
        }
        writer_ = new SoundWriter(device, format, sounds);
        writer_->moveToThread(&thread_);
        thread_.start();
        QMetaObject::invokeMethod(writer_, &SoundWriter::open);
    }

    ~StreamPlayer() override
    {
        if (!writer_)
            return;
        QMetaObject::invokeMethod(writer_, [writer = writer_] { delete writer; }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }

    StreamPlayer(const StreamPlayer&) = delete;
    StreamPlayer& operator=(const StreamPlayer&) = delete;

    void play(Platform::Sound sound) override
    {
        if (writer_)
            QMetaObject::invokeMethod(writer_, [writer = writer_, i = index(sound)] { writer->start(i); });
    }

private:
    static std::size_t index(Platform::Sound sound) { return sound == Platform::Sound::Hit ? 0 : 1; }

    QThread thread_;
    SoundWriter* writer_ = nullptr; // lives in thread_, deleted there
};

} // namespace

extern "C" Q_DECL_EXPORT SoundPlayer* CreateSoundPlayer()
{
    return new StreamPlayer;
}

#include "soundplayer.h"

#include <QSoundEffect>
#include <QUrl>

namespace {

// Plays the program's own WAVE resources "#100" and "#101".
class EffectPlayer final : public SoundPlayer {
public:
    EffectPlayer()
    {
        hit_.setSource(QUrl(QStringLiteral("qrc:/sounds/100.wav")));
        miss_.setSource(QUrl(QStringLiteral("qrc:/sounds/101.wav")));
    }

    void play(Platform::Sound sound) override
    {
        hit_.stop();
        miss_.stop();
        (sound == Platform::Sound::Hit ? hit_ : miss_).play();
    }

private:
    QSoundEffect hit_;
    QSoundEffect miss_;
};

} // namespace

extern "C" Q_DECL_EXPORT SoundPlayer* CreateSoundPlayer()
{
    return new EffectPlayer;
}

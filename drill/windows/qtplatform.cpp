#include "qtplatform.h"

#include "loadablemodule.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QScreen>

QtPlatform::QtPlatform() : previous_(InstallPlatform(this))
{
    clock_.start();
}

void QtPlatform::loadSounds()
{
    if (soundsTried_)
        return;
    soundsTried_ = true;
    // Without the module the drill is silent.
    std::string error;
    sounds_ = LoadFromModule<SoundPlayer>(SoundModuleName, SoundModuleEntry, error);
    if (!sounds_)
        qWarning("no sounds: %s", error.c_str());
}

bool QtPlatform::finishSounds()
{
    return !sounds_ || sounds_->finish();
}

QtPlatform::~QtPlatform()
{
    InstallPlatform(previous_);
}

std::uint32_t QtPlatform::milliseconds()
{
    // Truncated to 32 bits: callers take differences modulo 2^32.
    return static_cast<std::uint32_t>(clock_.elapsed());
}

void QtPlatform::playSound(Sound sound)
{
    loadSounds();
    if (sounds_)
        sounds_->play(sound);
}

void QtPlatform::showError(const std::string& text, const std::string& caption)
{
    QMessageBox::critical(nullptr, QString::fromStdString(caption), QString::fromStdString(text));
}

void QtPlatform::requestTerminate()
{
    // Queued, so that the program ends as soon as an event loop runs, and
    // every nested loop (a modal window's) ends with it. Not quit(): that
    // first asks every window to close, and the time-up banner refuses.
    QMetaObject::invokeMethod(QCoreApplication::instance(), [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

Platform::Screens QtPlatform::screens()
{
    Screens all;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        all.primary = {primary->geometry().x(), primary->geometry().y()};
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        all.available.push_back({area.x(), area.y(), area.width(), area.height()});
    }
    return all;
}

Platform::ScreenSize QtPlatform::screenSize()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen ? screen->size() : QSize(1024, 768);
    return {size.width(), size.height()};
}

std::string QtPlatform::executableDirectory()
{
    return QCoreApplication::applicationDirPath().toStdString() + '/';
}

std::uint32_t QtPlatform::timeOfDayUtc()
{
    return static_cast<std::uint32_t>(QDateTime::currentDateTimeUtc().time().msecsSinceStartOfDay());
}

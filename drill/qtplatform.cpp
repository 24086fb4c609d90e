#include "qtplatform.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QGuiApplication>
#include <QScreen>
#include <QMessageBox>
#include <QMetaObject>
#include <QUrl>

QtPlatform::QtPlatform() : previous_(InstallPlatform(this))
{
    clock_.start();
}

void QtPlatform::loadSounds()
{
    if (hit_)
        return;
    hit_ = std::make_unique<QSoundEffect>();
    hit_->setSource(QUrl(QStringLiteral("qrc:/sounds/100.wav")));
    miss_ = std::make_unique<QSoundEffect>();
    miss_->setSource(QUrl(QStringLiteral("qrc:/sounds/101.wav")));
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
    QSoundEffect& effect = sound == Sound::Hit ? *hit_ : *miss_;
    // A new sound cuts off the one still playing, itself included.
    hit_->stop();
    miss_->stop();
    effect.play();
}

void QtPlatform::showError(const std::string& text, const std::string& caption)
{
    QMessageBox::critical(nullptr, QString::fromStdString(caption), QString::fromStdString(text));
}

void QtPlatform::requestTerminate()
{
    // Queued, so that the program ends as soon as an event loop runs, and
    // every nested loop (a modal window's) ends with it.
    QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
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

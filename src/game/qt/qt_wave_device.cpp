#include "game/qt/qt_wave_device.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QHash>
#include <QTimer>
#include <QUrl>

#include <utility>

#include "game/qt/wav_info.h"

namespace mf::qt {

namespace {

int waitingDevices = 0;

// QSoundEffect stops its output as soon as it has handed over the last
// sample, which drops what the sound server still holds (up to 120 ms with
// PulseAudio). Each sound therefore gets this much silence at its end, and
// the silence is what is dropped.
constexpr std::chrono::milliseconds kTail{250};

// A bare name is looked for in the current directory, then beside the program.
QString resolve(const QString& name) {
    const QString here = QDir::current().absoluteFilePath(name);
    if (QFileInfo::exists(here))
        return here;
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(name);
}

} // namespace

QtWaveDevice::~QtWaveDevice() {
    if (playing_)
        playing_->stop();
}

bool QtWaveDevice::anyWaiting() { return waitingDevices > 0; }

void QtWaveDevice::setCommand(const std::string& command) {
    const bool wait = std::exchange(wait_, false);
    const QString c = QString::fromStdString(command);
    if (c.compare("Close", Qt::CaseInsensitive) == 0) {
        if (playing_)
            playing_->stop();
        playing_ = nullptr;
        opened_ = {};
    } else if (c.compare("Open", Qt::CaseInsensitive) == 0) {
        opened_ = load(QString::fromStdString(fileName_));
    } else if (c.compare("Play", Qt::CaseInsensitive) == 0) {
        play(wait);
    }
}

void QtWaveDevice::preload(const QStringList& names) {
    for (const QString& name : names)
        load(name);
}

// Every file is read once and its effect kept for the rest of the run; a file
// changed on disk is read afresh. Unplayable files never reach Qt. The sound
// goes to Qt as a data URL, so neither the extension nor the padding matter.
QtWaveDevice::Sound QtWaveDevice::load(const QString& name) {
    struct Entry {
        Sound sound;
        qint64 size;
        QDateTime modified;
    };
    static QHash<QString, Entry> cache;

    if (name.isEmpty())
        return {};
    const QString path = resolve(name);
    const QFileInfo file(path);
    auto found = cache.constFind(path);
    if (found != cache.constEnd() && found->sound.effect && found->size == file.size()
        && found->modified == file.lastModified())
        return found->sound;

    const WavInfo wav = readWav(path);
    if (!wav.playable)
        return {};
    auto* effect = new QSoundEffect(QCoreApplication::instance());
    effect->setSource(QUrl("data:audio/wav;base64," + QString::fromLatin1(wavFile(wav, kTail).toBase64())));
    const Sound sound{effect, wav.duration};
    cache.insert(path, {sound, file.size(), file.lastModified()});
    return sound;
}

void QtWaveDevice::play(bool wait) {
    QElapsedTimer since;
    since.start();
    const Sound sound = opened_;
    if (!sound.effect)
        return;
    if (wait) {
        waiting_ = true;
        ++waitingDevices;
        if (beforeWait)
            beforeWait(); // the window is drawn before the sound holds it
    }
    playing_ = sound.effect;
    sound.effect->play();
    if (!wait)
        return;

    waitForEnd(sound.effect, sound.duration + kWaitMargin - std::chrono::milliseconds(since.elapsed()));
    --waitingDevices;
    waiting_ = false;
}

// Runs the event loop, which feeds the sound server, but leaves user input
// queued until the sound is over. QSoundEffect cannot tell when the last
// sample is heard (and with no server it plays forever), so the file's length
// decides; a sound stopped sooner (closed, or failed) ends the wait at once.
void QtWaveDevice::waitForEnd(QSoundEffect* effect, std::chrono::milliseconds limit) {
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(effect, &QSoundEffect::playingChanged, &loop, [&] {
        if (!effect->isPlaying())
            loop.quit();
    });
    if (limit.count() <= 0 || !effect->isPlaying())
        return;
    deadline.start(limit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace mf::qt

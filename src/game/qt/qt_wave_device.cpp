// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/qt/qt_wave_device.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <utility>

#include "game/qt/sndfile_library.h"
#include "game/qt/sound_store.h"

namespace mf::qt {

namespace {

int waitingDevices = 0;

// How often a waiting play looks whether its sound has ended.
constexpr std::chrono::milliseconds kPoll{2};

} // namespace

QtWaveDevice::QtWaveDevice() : line_(PulseOutput::newLine()) {
    static bool warmUpAsked = false;
    if (std::exchange(warmUpAsked, true) || !QCoreApplication::instance())
        return;
    QTimer::singleShot(kWarmUpDelay, QCoreApplication::instance(),
                       [] { PulseOutput::instance().warmUp([] { SndfileLibrary::get(); }); });
}

QtWaveDevice::~QtWaveDevice() = default;

bool QtWaveDevice::anyWaiting() { return waitingDevices > 0; }

void QtWaveDevice::setCommand(const std::string& command) {
    const bool wait = std::exchange(wait_, false);
    const QString c = QString::fromStdString(command);
    if (c.compare("Close", Qt::CaseInsensitive) == 0)
        close();
    else if (c.compare("Open", Qt::CaseInsensitive) == 0)
        opened_ = SoundStore::find(QString::fromStdString(fileName_));
    else if (c.compare("Play", Qt::CaseInsensitive) == 0)
        play(wait);
}

void QtWaveDevice::close() {
    if (std::exchange(playing_, nullptr))
        PulseOutput::instance().stop(*line_);
    opened_ = nullptr;
}

void QtWaveDevice::play(bool wait) {
    QElapsedTimer since;
    since.start();
    if (!opened_)
        return;
    if (wait) {
        waiting_ = true;
        ++waitingDevices;
        if (beforeWait)
            beforeWait(); // the window is drawn before the sound holds it
    }
    playing_ = PulseOutput::instance().play(*line_, opened_);
    if (!wait)
        return;

    waitForEnd(waitLimit(opened_->duration()) - std::chrono::milliseconds(since.elapsed()));
    --waitingDevices;
    waiting_ = false;
}

// Runs the event loop, so the window is still drawn, but leaves user input
// queued until the server reports the sound played or it has failed; the
// limit ends the wait all the same.
void QtWaveDevice::waitForEnd(std::chrono::milliseconds limit) {
    const std::shared_ptr<Playback> playback = playing_;
    if (limit.count() <= 0 || playback->ended)
        return;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.setTimerType(Qt::PreciseTimer);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QTimer poll;
    poll.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (playback->ended)
            loop.quit();
    });
    deadline.start(limit);
    poll.start(kPoll);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

} // namespace mf::qt

// The wave-audio player of the Qt front end: QSoundEffect on the desktop's
// sound server, driven through the properties of the game's WaveDevice.
#pragma once

#include <QPointer>
#include <QSoundEffect>
#include <QStringList>

#include <chrono>
#include <functional>
#include <string>

#include "game/platform.h"

namespace mf::qt {

class QtWaveDevice : public WaveDevice {
public:
    // A waiting play returns this long after the file's own length: a sound
    // starts well within it, so it has been heard to its end by then. The
    // same bound holds where no sound comes out at all (no server).
    static constexpr std::chrono::milliseconds kWaitMargin{150};

    QtWaveDevice() = default;
    ~QtWaveDevice() override;

    // Only wave audio is played, whatever the type says.
    void setDeviceType(const std::string& type) override { deviceType_ = type; }
    void setFileName(const std::string& name) override { fileName_ = name; }
    void setWait(bool wait) override { wait_ = wait; }
    // "Close", "Open" or "Play", in any case; anything else is ignored.
    void setCommand(const std::string& command) override;

    // Loads these sounds now so that their first play starts at once. Cheap:
    // the decoding happens in the background. Sounds are shared by all devices.
    void preload(const QStringList& names);

    // True while a waiting play blocks: on this device, or on any.
    bool waiting() const { return waiting_; }
    static bool anyWaiting();

    // Called just before a waiting play starts its sound, so that the window
    // shows what goes with the sound while it holds the game.
    std::function<void()> beforeWait;

private:
    struct Sound {
        QPointer<QSoundEffect> effect;
        std::chrono::milliseconds duration{0};
    };
    static Sound load(const QString& name);
    void play(bool wait);
    void waitForEnd(QSoundEffect* effect, std::chrono::milliseconds limit);

    std::string deviceType_;
    std::string fileName_;
    bool wait_ = false;
    bool waiting_ = false;
    Sound opened_;
    QPointer<QSoundEffect> playing_;
};

} // namespace mf::qt

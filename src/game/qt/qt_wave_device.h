// SPDX-License-Identifier: GPL-3.0-or-later
// The wave-audio player of the Qt front end, driven through the properties
// of the game's WaveDevice. Files are decoded by libsndfile (SoundStore) and
// played on the desktop's sound server (PulseOutput), both loaded only once
// the program is up.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "game/platform.h"
#include "game/qt/pulse_output.h"

namespace mf::qt {

struct DecodedSound;
struct Playback;

class QtWaveDevice : public WaveDevice {
public:
    // A waiting play ends when the server reports the sound played, and at
    // the latest after waitLimit(): any sound the decoder takes is heard to
    // its end. A busy server falls behind on a long sound (PipeWire played
    // 10.5 s in 11.06 s, and in 12.1 s, beside two other servers), so the
    // limit grows with the sound.
    static constexpr std::chrono::milliseconds kWaitMargin{250};
    static constexpr std::chrono::milliseconds waitLimit(std::chrono::milliseconds length) {
        return length + length / 4 + kWaitMargin;
    }
    // The sound libraries are loaded and the server connected on a worker
    // thread this long after the first device is made, when the first window
    // is up; a sound asked for before then does it itself.
    static constexpr std::chrono::milliseconds kWarmUpDelay{500};

    QtWaveDevice();
    ~QtWaveDevice() override;
    QtWaveDevice(const QtWaveDevice&) = delete;
    QtWaveDevice& operator=(const QtWaveDevice&) = delete;

    // Only wave audio is played, whatever the type says.
    void setDeviceType(const std::string& type) override { deviceType_ = type; }
    void setFileName(const std::string& name) override { fileName_ = name; }
    void setWait(bool wait) override { wait_ = wait; }
    // "Close", "Open" or "Play", in any case; anything else is ignored.
    void setCommand(const std::string& command) override;

    // True while a waiting play blocks: on this device, or on any.
    bool waiting() const { return waiting_; }
    static bool anyWaiting();

    // Called just before a waiting play starts its sound, so that the window
    // shows what goes with the sound while it holds the game.
    std::function<void()> beforeWait;

private:
    void close();
    void play(bool wait);
    void waitForEnd(std::chrono::milliseconds limit);

    std::string deviceType_;
    std::string fileName_;
    bool wait_ = false;
    bool waiting_ = false;
    std::shared_ptr<const DecodedSound> opened_;
    LineHandle line_;   // this device's stream on the server
    std::shared_ptr<Playback> playing_;
};

} // namespace mf::qt

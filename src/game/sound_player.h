// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's sounds, by number, through its wave-audio device.
#pragma once

#include "game/platform.h"

namespace mf {

enum SoundNumber : Int16 {
    kSoundExplosion = 0,
    kSoundRecord = 1,
    kSoundWin = 2,
    kSoundLaugh = 3,
    kSoundFarewell = 4,
};

// File of each sound number, or nullptr outside 0..4.
const char* soundFile(Int16 n);

class SoundPlayer {
public:
    SoundPlayer(WaveDevice& device, ProgramEnd& end) : MMControl(device), end_(end) {}

    // Plays sound n when soundOn; the explosion and the farewell wait for
    // their end. Sound 4 then ends the program, with or without sound.
    void PlaySound(Int16 n, bool soundOn);

    WaveDevice& MMControl;

private:
    ProgramEnd& end_;
};

} // namespace mf

// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/sound_player.h"

namespace mf {

const char* soundFile(Int16 n) {
    switch (n) {
    case kSoundExplosion: return "Vorask1.fez";
    case kSoundRecord: return "Vorask2.fez";
    case kSoundWin: return "Vorask5.fez";
    case kSoundLaugh: return "Vorask6.fez";
    case kSoundFarewell: return "Vorask4.fez";
    default: return nullptr;
    }
}

void SoundPlayer::PlaySound(Int16 n, bool soundOn) {
    if (soundOn) {
        MMControl.setCommand("Close");
        MMControl.setDeviceType("WaveAudio");
        if (const char* file = soundFile(n))
            MMControl.setFileName(file);
        MMControl.setCommand("Open");
        if (n == kSoundExplosion || n == kSoundFarewell)
            MMControl.setWait(true);
        MMControl.setCommand("Play");
    }
    if (n == kSoundFarewell)
        end_.endProgram();
}

} // namespace mf

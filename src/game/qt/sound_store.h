// SPDX-License-Identifier: GPL-3.0-or-later
// Finds a sound file by its bare name and keeps its decoded samples while the
// file stays unchanged. Shared by every wave device; used on the game's thread.
#pragma once

#include <QString>

#include <memory>

#include "game/qt/sound_decoder.h"

namespace mf::qt {

class SoundStore {
public:
    // Where a bare name is looked for, in this order: the current directory
    // (a player's own file wins), beside the program, then the installed
    // data folder <program's folder>/../share/marrowfen2. Empty when none has it.
    static QString locate(const QString& name);

    // The decoded sound, or null when it cannot be played.
    static std::shared_ptr<const DecodedSound> find(const QString& name);
};

} // namespace mf::qt

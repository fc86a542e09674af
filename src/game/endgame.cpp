// SPDX-License-Identifier: GPL-3.0-or-later
// The end of a round: the whole board uncovered, then the loss staged or the
// win handed to the record entry.
#include "shell/main_window.h"

#include <cmath>

namespace mf {

namespace {

// One of k cases numbered from 1, from a fresh draw.
int choose(RandomSource& random, int k) {
    return static_cast<int>(std::floor(k * random.next())) + 1;
}

} // namespace

void Main::uncoverAll() {
    const int n = field.BoardSize;
    for (int x = 1; x <= n; ++x) {
        for (int y = 1; y <= n; ++y) {
            const Int16 i = Minefield::CellIndex(x, y);
            field.uncover(i);
            Image& picture = field.ButPic[i];
            const Int16 v = field.CellValue[x][y];
            if (picture.Tag == "think" && v != 10)
                picture.picture = Picture::ImgNoBomb;
            else if (v == 0)
                ShowNone(i);
            else
                picture.picture = v == 10 ? Picture::ImgBomb : digitPicture(v);
        }
    }
}

void Main::stageLoss(Int16 column, Int16 row) {
    static constexpr Picture kPointers[] = {Picture::imgBrnM1, Picture::imgBrnM2,
                                            Picture::imgBrnM3, Picture::ImgBrnM4};
    static constexpr Picture kFaces[] = {Picture::ImgVorask, Picture::Ha1, Picture::ImgSkull};

    Blow.Visible = true;
    Blow.rect.Top += static_cast<Int16>(365 * (row - 1));
    Blow.rect.Left += static_cast<Int16>(365 * (column - 1));
    MousePointer = kCustomPointer;
    MouseIcon = kPointers[choose(services_.random, 4) - 1];
    PlaySound(kSoundExplosion);
    strip.showFace(true);
    const int face = choose(services_.random, 3);
    strip.Reset.picture = kFaces[face - 1];
    if (face == 2) {
        PlaySound(kSoundLaugh);
        laugh.arm();
    }
}

void Main::Endgame(Int16 kind, Int16 column, Int16 row) {
    services_.random.reseed();
    uncoverAll();
    if (kind != 1)
        HighScore();
    else
        stageLoss(column, row);
}

} // namespace mf

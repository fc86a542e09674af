// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/help_frm.h"

#include "shell/cell_names.h"

namespace mf {

namespace {

constexpr int kCellTwips = 390;
constexpr std::array<int, 3> kColumns{3600, 4080, 4560};
constexpr std::array<int, 3> kRows{3000, 3480, 3960};

struct ExampleCell {
    int column; // 0..2
    int row;    // 0..2
    Picture picture;
};

// Element by element: two mines, a 2 between them, ones and two empty
// corners, every number true to its neighbours.
constexpr std::array<ExampleCell, 9> kExample{{
    {0, 0, Picture::imgNone1_0},
    {0, 1, Picture::Img1},
    {1, 0, Picture::Img1},
    {2, 0, Picture::ImgBomb},
    {1, 1, Picture::Img2},
    {2, 1, Picture::Img1},
    {0, 2, Picture::ImgBomb},
    {1, 2, Picture::Img1},
    {2, 2, Picture::imgNone1_0},
}};

} // namespace

HelpFrm::HelpFrm(const MenuItem& soundOn, WaveDevice& pig) : PigControl(pig), soundOn_(soundOn) {
    for (std::size_t i = 0; i < kExample.size(); ++i) {
        const ExampleCell& cell = kExample[i];
        Image1[i] = Image{{kColumns[static_cast<std::size_t>(cell.column)],
                           kRows[static_cast<std::size_t>(cell.row)], kCellTwips, kCellTwips},
                          true, cell.picture, ""};
    }
}

std::string HelpFrm::exampleName(std::size_t i) const {
    return cellPictureName(Image1[i].picture);
}

std::string HelpFrm::examplePlace(std::size_t i) {
    return cellPlace(kExample[i].column + 1, kExample[i].row + 1);
}

void HelpFrm::Ok_Click() {
    if (soundOn_.Checked) {
        PigControl.setCommand("close");
        PigControl.setDeviceType("WaveAudio");
        PigControl.setFileName(kSoundFile);
        PigControl.setCommand("open");
        PigControl.setCommand("play");
    }
    Visible = false;
}

void HelpFrm::Form_Unload(Int16& /*Cancel*/) {
    if (soundOn_.Checked) {
        PigControl.setCommand("Close");
        PigControl.setDeviceType("WaveAudio");
        PigControl.setFileName(kSoundFile);
        PigControl.setCommand("Open");
        PigControl.setWait(true);
        PigControl.setCommand("Play");
    }
    Visible = false;
    Loaded = false;
}

} // namespace mf

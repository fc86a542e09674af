// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/cell_names.h"

#include "shell/main_window.h"

namespace mf {

namespace {

bool contains(const Rect& r, int x, int y) {
    return x >= r.Left && x < r.Left + r.Width && y >= r.Top && y < r.Top + r.Height;
}

// The cell the explosion lies over: the one under its middle.
bool underBlow(const Main& main, int column, int row) {
    if (!main.Blow.Visible)
        return false;
    const Rect& blow = main.Blow.rect;
    const Rect& cell = main.field.ButPic[Minefield::CellIndex(column, row)].rect;
    return contains(cell, blow.Left + blow.Width / 2, blow.Top + blow.Height / 2);
}

std::string pictureName(Picture picture) {
    switch (picture) {
    case Picture::imgFlag: return "flag";
    case Picture::ImgBomb: return "mine";
    case Picture::imgHit: return "exploded mine";
    case Picture::ImgNoBomb: return "wrong flag";
    default: break;
    }
    const int p = static_cast<int>(picture);
    if (p >= static_cast<int>(Picture::Img1) && p <= static_cast<int>(Picture::img8))
        return std::to_string(p - static_cast<int>(Picture::Img1) + 1);
    if (p >= static_cast<int>(Picture::imgNone1_0) && p <= static_cast<int>(Picture::imgNone1_4))
        return "empty";
    return {};
}

} // namespace

std::string cellName(const Main& main, int column, int row) {
    const Minefield& field = main.field;
    if (!Minefield::onBoard(column, row, field.BoardSize))
        return {};
    const Int16 i = Minefield::CellIndex(column, row);
    if (field.Command2[i].Visible)
        return "covered";
    const Image& picture = field.ButPic[i];
    if (!picture.Visible)
        return {};
    std::string name = pictureName(picture.picture);
    if (name == "mine" && underBlow(main, column, row))
        return "exploded mine";
    return name;
}

std::string cellPlace(int column, int row) {
    return "column " + std::to_string(column) + ", row " + std::to_string(row);
}

std::string faceName(Picture face) {
    switch (face) {
    case Picture::ImgSkull: return "skull face";
    case Picture::ImgGrowl: return "growling face";
    case Picture::ImgVorask: return "startled face";
    case Picture::Ha1:
    case Picture::Ha2: return "laughing face";
    case Picture::ImgHodrel: return "face with sunglasses";
    default: return {};
    }
}

std::string cellPictureName(Picture picture) {
    return pictureName(picture);
}

} // namespace mf

// SPDX-License-Identifier: GPL-3.0-or-later
// The observable state of window controls. Positions and sizes are in twips
// (15 twips make one pixel), measured from the top left of the client area.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "game/platform.h"

namespace mf {

inline constexpr int kTwipsPerPixel = 15;

// The pictures of the game. A control shows a picture by naming its holder,
// so "the same picture as Ha1" is a plain comparison.
enum class Picture : std::uint8_t {
    None,
    Img1, Img2, img3, img4, img5, img6, img7, img8,
    imgHit, imgFlag,
    imgNone1_0, imgNone1_1, imgNone1_2, imgNone1_3, imgNone1_4,
    ImgBomb, ImgNoBomb,
    ImgSkull, ImgGrowl, ImgVorask, Ha2, Ha1, ImgHodrel,
    imgBrnM1, imgBrnM2, imgBrnM3, ImgBrnM4,
    Blow,
    imgLogo,
    Icon,
};

inline constexpr int kPictureCount = static_cast<int>(Picture::Icon) + 1;

// Empty-cell style k (0..4) of the five-picture array imgNone1.
constexpr Picture imgNone1(int k) {
    return static_cast<Picture>(static_cast<int>(Picture::imgNone1_0) + k);
}

// Img1..img8 for 1..8.
constexpr Picture digitPicture(int v) {
    return static_cast<Picture>(static_cast<int>(Picture::Img1) + v - 1);
}

struct Rect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const Rect&) const = default;
};

struct Image {
    Rect rect;
    bool Visible = true;
    Picture picture = Picture::None;
    std::string Tag;
};

struct Button {
    Rect rect;
    bool Visible = true;
    std::string Caption;
    Picture picture = Picture::None;
};

struct Label {
    Rect rect;
    bool Visible = true;
    std::string Caption;
};

struct Line {
    int X1 = 0;
    int Y1 = 0;
    int X2 = 0;
    int Y2 = 0;
};

struct ScrollBar {
    Rect rect;
    int Min = 0;
    int Max = 0;
    int Value = 0;
};

struct OptionButton {
    Rect rect;
    std::string Caption;
    bool Value = false;
};

struct MenuItem {
    explicit MenuItem(std::string caption, std::string shortcut = {}, bool checked = false)
        : Caption(std::move(caption)), Shortcut(std::move(shortcut)), Checked(checked) {}
    std::string Caption;
    std::string Shortcut;   // "Ctrl+B", or empty
    bool Checked = false;
};

// A number as a label shows it: one leading blank when it is 0 or more,
// a minus sign otherwise (" 24", "-4").
inline std::string numberText(long n) {
    return n < 0 ? std::to_string(n) : " " + std::to_string(n);
}

} // namespace mf

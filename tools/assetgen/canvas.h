// SPDX-License-Identifier: GPL-3.0-or-later
// A tiny pixel-art canvas over QImage: every drawing call sets whole pixels,
// nothing is anti-aliased and no font is used, so the output is the same on
// every machine.
#pragma once

#include <QImage>
#include <QRgb>

#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace assetgen {

// The classic sixteen colours, plus a few shades the cells and faces need.
namespace colour {
constexpr QRgb kClear = 0x00000000;
constexpr QRgb kBlack = 0xff000000;
constexpr QRgb kMaroon = 0xff800000;
constexpr QRgb kGreen = 0xff008000;
constexpr QRgb kOlive = 0xff808000;
constexpr QRgb kNavy = 0xff000080;
constexpr QRgb kPurple = 0xff800080;
constexpr QRgb kTeal = 0xff008080;
constexpr QRgb kGrey = 0xff808080;
constexpr QRgb kSilver = 0xffc0c0c0;
constexpr QRgb kRed = 0xffff0000;
constexpr QRgb kLime = 0xff00ff00;
constexpr QRgb kYellow = 0xffffff00;
constexpr QRgb kBlue = 0xff0000ff;
constexpr QRgb kFuchsia = 0xffff00ff;
constexpr QRgb kAqua = 0xff00ffff;
constexpr QRgb kWhite = 0xffffffff;
} // namespace colour

// Maps the characters of a sprite to colours; '.' and ' ' are left untouched.
class Palette {
public:
    Palette();
    Palette(std::initializer_list<std::pair<char, QRgb>> overrides);
    Palette with(std::initializer_list<std::pair<char, QRgb>> overrides) const;
    bool has(char c) const;
    QRgb operator[](char c) const;

private:
    QRgb colours_[128];
    bool set_[128];
};

class Canvas {
public:
    Canvas(int width, int height, QRgb background = colour::kClear);
    explicit Canvas(const QImage& image);

    int width() const { return image_.width(); }
    int height() const { return image_.height(); }
    const QImage& image() const { return image_; }

    bool inside(int x, int y) const;
    QRgb at(int x, int y) const;
    void set(int x, int y, QRgb c);

    void fill(QRgb c);
    void rect(int x, int y, int w, int h, QRgb c);
    void hline(int x0, int x1, int y, QRgb c);
    void vline(int x, int y0, int y1, QRgb c);
    void line(int x0, int y0, int x1, int y1, QRgb c);
    // A thick line: a square pen of side `pen` swept along the line.
    void line(int x0, int y0, int x1, int y1, int pen, QRgb c);
    // Pixels whose centre lies within the ellipse centred on (cx, cy).
    void ellipse(double cx, double cy, double rx, double ry, QRgb c);
    void disc(double cx, double cy, double r, QRgb c) { ellipse(cx, cy, r, r, c); }

    // Draws an ASCII sprite with its top left corner at (x, y).
    void sprite(int x, int y, std::initializer_list<std::string_view> rows,
                const Palette& palette);

    // Paints every clear pixel that touches (4-way) a drawn one.
    void outline(QRgb c);
    // Replaces every pixel of colour `from` by `to`.
    void recolour(QRgb from, QRgb to);
    // Copies the drawn pixels of `other` with its top left corner at (x, y).
    void blit(const Canvas& other, int x, int y);

private:
    QImage image_;
};

// Deterministic generator (xorshift32) for the few random touches.
class Dice {
public:
    explicit Dice(std::uint32_t seed) : state_(seed ? seed : 1u) {}
    std::uint32_t next();
    // Uniform in [0, 1).
    double unit();

private:
    std::uint32_t state_;
};

} // namespace assetgen

// SPDX-License-Identifier: GPL-3.0-or-later
#include "canvas.h"

#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace assetgen {

Palette::Palette() : colours_{}, set_{} {
    const std::pair<char, QRgb> base[] = {
        {'#', colour::kBlack}, {'w', colour::kWhite},  {'s', colour::kSilver},
        {'g', colour::kGrey},  {'R', colour::kRed},    {'r', colour::kMaroon},
        {'Y', colour::kYellow}, {'y', colour::kOlive}, {'B', colour::kBlue},
        {'b', colour::kNavy},  {'G', colour::kGreen},  {'L', colour::kLime},
        {'T', colour::kTeal},  {'C', colour::kAqua},   {'M', colour::kFuchsia},
        {'p', colour::kPurple}, {'_', colour::kClear},
    };
    for (const auto& [ch, c] : base) {
        colours_[static_cast<unsigned char>(ch)] = c;
        set_[static_cast<unsigned char>(ch)] = true;
    }
}

Palette::Palette(std::initializer_list<std::pair<char, QRgb>> overrides) : Palette() {
    for (const auto& [ch, c] : overrides) {
        colours_[static_cast<unsigned char>(ch)] = c;
        set_[static_cast<unsigned char>(ch)] = true;
    }
}

Palette Palette::with(std::initializer_list<std::pair<char, QRgb>> overrides) const {
    Palette p = *this;
    for (const auto& [ch, c] : overrides) {
        p.colours_[static_cast<unsigned char>(ch)] = c;
        p.set_[static_cast<unsigned char>(ch)] = true;
    }
    return p;
}

bool Palette::has(char c) const {
    const auto i = static_cast<unsigned char>(c);
    return i < 128 && set_[i];
}

QRgb Palette::operator[](char c) const {
    if (!has(c)) throw std::runtime_error(std::string("sprite colour not in palette: ") + c);
    return colours_[static_cast<unsigned char>(c)];
}

Canvas::Canvas(int width, int height, QRgb background)
    : image_(width, height, QImage::Format_ARGB32) {
    image_.fill(background);
}

Canvas::Canvas(const QImage& image) : image_(image.convertToFormat(QImage::Format_ARGB32)) {}

bool Canvas::inside(int x, int y) const {
    return x >= 0 && y >= 0 && x < image_.width() && y < image_.height();
}

QRgb Canvas::at(int x, int y) const {
    return inside(x, y) ? image_.pixel(x, y) : colour::kClear;
}

void Canvas::set(int x, int y, QRgb c) {
    if (inside(x, y)) image_.setPixel(x, y, c);
}

void Canvas::fill(QRgb c) { image_.fill(c); }

void Canvas::rect(int x, int y, int w, int h, QRgb c) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) set(i, j, c);
}

void Canvas::hline(int x0, int x1, int y, QRgb c) {
    if (x0 > x1) std::swap(x0, x1);
    for (int x = x0; x <= x1; ++x) set(x, y, c);
}

void Canvas::vline(int x, int y0, int y1, QRgb c) {
    if (y0 > y1) std::swap(y0, y1);
    for (int y = y0; y <= y1; ++y) set(x, y, c);
}

void Canvas::line(int x0, int y0, int x1, int y1, QRgb c) { line(x0, y0, x1, y1, 1, c); }

void Canvas::line(int x0, int y0, int x1, int y1, int pen, QRgb c) {
    // Bresenham, stamping a pen x pen square at every step.
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        rect(x0, y0, pen, pen, c);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x0 += sx; }
        if (e2 <= dx) { err += dx; y0 += sy; }
    }
}

void Canvas::ellipse(double cx, double cy, double rx, double ry, QRgb c) {
    for (int y = 0; y < height(); ++y)
        for (int x = 0; x < width(); ++x) {
            const double u = (x + 0.5 - cx) / rx, v = (y + 0.5 - cy) / ry;
            if (u * u + v * v <= 1.0) set(x, y, c);
        }
}

void Canvas::sprite(int x, int y, std::initializer_list<std::string_view> rows,
                    const Palette& palette) {
    std::size_t width = 0;
    int j = 0;
    for (std::string_view row : rows) {
        if (width == 0) width = row.size();
        if (row.size() != width)
            throw std::runtime_error("ragged sprite row " + std::to_string(j) + ": " +
                                     std::string(row));
        for (std::size_t i = 0; i < row.size(); ++i) {
            const char ch = row[i];
            if (ch == '.' || ch == ' ') continue;
            set(x + static_cast<int>(i), y + j, palette[ch]);
        }
        ++j;
    }
}

void Canvas::outline(QRgb c) {
    const QImage before = image_;
    auto drawn = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < before.width() && y < before.height() &&
               qAlpha(before.pixel(x, y)) != 0;
    };
    for (int y = 0; y < height(); ++y)
        for (int x = 0; x < width(); ++x)
            if (!drawn(x, y) &&
                (drawn(x - 1, y) || drawn(x + 1, y) || drawn(x, y - 1) || drawn(x, y + 1)))
                image_.setPixel(x, y, c);
}

void Canvas::recolour(QRgb from, QRgb to) {
    for (int y = 0; y < height(); ++y)
        for (int x = 0; x < width(); ++x)
            if (image_.pixel(x, y) == from) image_.setPixel(x, y, to);
}

void Canvas::blit(const Canvas& other, int x, int y) {
    for (int j = 0; j < other.height(); ++j)
        for (int i = 0; i < other.width(); ++i) {
            const QRgb c = other.at(i, j);
            if (qAlpha(c) != 0) set(x + i, y + j, c);
        }
}

std::uint32_t Dice::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

double Dice::unit() { return (next() >> 8) * (1.0 / 16777216.0); }

} // namespace assetgen

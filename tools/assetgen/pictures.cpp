// SPDX-License-Identifier: GPL-3.0-or-later
#include "pictures.h"

#include "canvas.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace assetgen {
namespace {

using namespace colour;

constexpr double kPi = std::numbers::pi;

// Cell pictures are 26 pixels square but the board lays them out every 24
// pixels, so neighbours overlap by two. The grid edge is drawn on row and
// column 0 and again on row and column 24: whichever neighbour ends up on
// top, the board shows one edge line every 24 pixels, and the part of a cell
// that is always seen is 1..23, centred on pixel 12.
constexpr int kCell = 26;
constexpr int kPitch = 24;
constexpr double kMid = 12.5; // centre of pixel 12 as a coordinate

constexpr QRgb kCellFace = kSilver;
constexpr QRgb kCellEdge = kGrey;

const Palette kPalette;

Canvas uncoveredCell(QRgb face = kCellFace) {
    Canvas c(kCell, kCell, face);
    for (int k : {0, kPitch}) {
        c.hline(0, kCell - 1, k, kCellEdge);
        c.vline(k, 0, kCell - 1, kCellEdge);
    }
    return c;
}

// ---------------------------------------------------------------- digits

// Bold 11 x 15 glyphs with 3-pixel strokes.
using Glyph = std::initializer_list<std::string_view>;

const Glyph kDigits[8] = {
    {
        "....###....",
        "...####....",
        "..#####....",
        ".######....",
        "....###....",
        "....###....",
        "....###....",
        "....###....",
        "....###....",
        "....###....",
        "....###....",
        "....###....",
        "....###....",
        ".#########.",
        ".#########.",
    },
    {
        "..#######..",
        ".#########.",
        "###.....###",
        "###.....###",
        "........###",
        ".......####",
        ".....#####.",
        "...#####...",
        "..####.....",
        ".###.......",
        "###........",
        "###........",
        "###........",
        "###########",
        "###########",
    },
    {
        ".#########.",
        "###########",
        "###.....###",
        "........###",
        "........###",
        "........###",
        "....######.",
        "....######.",
        "........###",
        "........###",
        "........###",
        "###.....###",
        "###.....###",
        "###########",
        ".#########.",
    },
    {
        "......####.",
        ".....#####.",
        "....######.",
        "...###.###.",
        "..###..###.",
        ".###...###.",
        "###....###.",
        "###....###.",
        "###########",
        "###########",
        ".......###.",
        ".......###.",
        ".......###.",
        ".......###.",
        ".......###.",
    },
    {
        "###########",
        "###########",
        "###........",
        "###........",
        "###........",
        "#########..",
        "##########.",
        "........###",
        "........###",
        "........###",
        "........###",
        "###.....###",
        "###.....###",
        "##########.",
        ".########..",
    },
    {
        "..########.",
        ".#########.",
        "###........",
        "###........",
        "###........",
        "#########..",
        "##########.",
        "###.....###",
        "###.....###",
        "###.....###",
        "###.....###",
        "###.....###",
        "###.....###",
        ".#########.",
        "..#######..",
    },
    {
        "###########",
        "###########",
        "........###",
        ".......###.",
        ".......###.",
        "......###..",
        "......###..",
        ".....###...",
        ".....###...",
        "....###....",
        "....###....",
        "....###....",
        "....###....",
        "....###....",
        "....###....",
    },
    {
        "..#######..",
        ".#########.",
        ".###...###.",
        ".###...###.",
        ".###...###.",
        "..#######..",
        ".#########.",
        "###.....###",
        "###.....###",
        "###.....###",
        "###.....###",
        "###.....###",
        "###.....###",
        "###########",
        ".#########.",
    },
};

const QRgb kDigitColours[8] = {kBlue, kGreen, kRed, kNavy, kMaroon, kTeal, kBlack, kGrey};

QImage digitCell(int n) {
    Canvas c = uncoveredCell();
    c.sprite(7, 5, kDigits[n - 1], Palette{{'#', kDigitColours[n - 1]}});
    return c.image();
}

// ------------------------------------------------------------------ mines

// A 17 x 17 mine centred on its pixel (8, 8).
void cellMine(Canvas& c, int x, int y) {
    c.sprite(x, y,
             {
                 "........#........",
                 "........#........",
                 "..#.....#.....#..",
                 "...#..#####..#...",
                 "....#########....",
                 "...###########...",
                 "...##ww#######...",
                 "..###ww########..",
                 "#################",
                 "..#############..",
                 "...###########...",
                 "...###########...",
                 "....#########....",
                 "...#..#####..#...",
                 "..#.....#.....#..",
                 "........#........",
                 "........#........",
             },
             kPalette);
}

// A 13 x 13 mine centred on its pixel (6, 6), for the pointers.
void smallMine(Canvas& c, int x, int y) {
    c.sprite(x, y,
             {
                 "......#......",
                 "......#......",
                 "..#.#####.#..",
                 "...#######...",
                 "..###ww####..",
                 "..###ww####..",
                 "#############",
                 "..#########..",
                 "..#########..",
                 "...#######...",
                 "..#.#####.#..",
                 "......#......",
                 "......#......",
             },
             kPalette);
}

QImage bombCell() {
    Canvas c = uncoveredCell();
    cellMine(c, 4, 4);
    return c.image();
}

QImage noBombCell() {
    Canvas c = uncoveredCell();
    cellMine(c, 4, 4);
    c.line(4, 4, 19, 19, 2, kRed);
    c.line(19, 4, 4, 19, 2, kRed);
    return c.image();
}

// One tongue of fire standing on (bx, by), `h` tall and `w` wide at its foot,
// its tip leaning sideways by `lean`. Returns how deep inside the tongue a
// point is: 0 on the rim, 1 on the axis, negative outside.
double tongue(double x, double y, double bx, double by, double h, double w, double lean) {
    if (y > by) { // round foot
        const double d = std::hypot(x - bx, y - by) / w;
        return 1.0 - d;
    }
    const double t = (by - y) / h;
    if (t > 1.0) return -1.0;
    const double half = w * std::pow(1.0 - t, 0.75);
    if (half <= 0.0) return -1.0;
    const double axis = bx + lean * t * t;
    return 1.0 - std::abs(x - axis) / half;
}

QImage hitCell() {
    Canvas c(kCell, kCell, kRed);
    struct T { double bx, by, h, w, lean; };
    const T tongues[] = {
        {5.0, 18.0, 13.0, 4.4, -2.0}, {8.8, 16.0, 14.5, 4.8, -1.0},
        {12.5, 15.0, 13.5, 5.2, 0.5}, {16.2, 16.0, 14.5, 4.8, 2.0},
        {20.0, 18.0, 12.5, 4.4, 2.5},
    };
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            double depth = -1.0;
            for (const T& t : tongues)
                depth = std::max(depth, tongue(x + 0.5, y + 0.5, t.bx, t.by, t.h, t.w, t.lean));
            if (depth >= 0.55) c.set(x, y, kYellow);
            else if (depth >= 0.2) c.set(x, y, 0xffff9000);
            else if (depth >= 0.0) c.set(x, y, kMaroon);
        }
    cellMine(c, 4, 6);
    for (int k : {0, kPitch}) {
        c.hline(0, kCell - 1, k, kMaroon);
        c.vline(k, 0, kCell - 1, kMaroon);
    }
    return c.image();
}

// ------------------------------------------------------------------- flag

QImage flagCell() {
    // A raised, unopened cell: light top and left, shadow bottom and right.
    Canvas c(kCell, kCell, kSilver);
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const bool light = x < 2 || y < 2;
            const bool dark = x >= 22 || y >= 22;
            if (light && dark) c.set(x, y, x + y < kCell - 1 ? kWhite : kGrey);
            else if (light) c.set(x, y, kWhite);
            else if (dark) c.set(x, y, kGrey);
        }
    c.sprite(4, 4,
             {
                 ".......RR##.....",
                 ".....RRRR##.....",
                 "...RRRRRR##.....",
                 ".RRRRRRRR##.....",
                 "RRRRRRRRR##.....",
                 ".RRRRRRRR##.....",
                 "...RRRRRR##.....",
                 ".....RRRR##.....",
                 ".......RR##.....",
                 ".........##.....",
                 ".........##.....",
                 ".........##.....",
                 "......########..",
                 "....############",
                 "....############",
             },
             kPalette);
    return c.image();
}

// ------------------------------------------------------------ empty cells

// Empty uncovered cells are washed-out national flags, pale enough to read
// as opened ground next to the covered buttons.
QRgb pale(QRgb c) {
    auto mix = [](int v) { return static_cast<int>(std::lround(v * 0.38 + 236 * 0.62)); };
    return qRgb(mix(qRed(c)), mix(qGreen(c)), mix(qBlue(c)));
}

// Bands across the visible columns 1..23 (and on to the hidden columns 24, 25).
QImage flagNone(int style) {
    Canvas c(kCell, kCell, kWhite);
    const QRgb frBlue = qRgb(0, 85, 164), frRed = qRgb(239, 65, 53);
    const QRgb itGreen = qRgb(0, 146, 70), itRed = qRgb(206, 43, 55);
    const QRgb seBlue = qRgb(0, 106, 167), seYellow = qRgb(254, 204, 0);
    const QRgb jpRed = qRgb(188, 0, 45);
    const QRgb deGold = qRgb(255, 206, 0), deRed = qRgb(221, 0, 0);
    switch (style) {
    case 0: // France
        c.rect(0, 0, 9, kCell, frBlue);
        c.rect(9, 0, 7, kCell, kWhite);
        c.rect(16, 0, kCell - 16, kCell, frRed);
        break;
    case 1: // Germany
        c.rect(0, 0, kCell, 9, kBlack);
        c.rect(0, 9, kCell, 7, deRed);
        c.rect(0, 16, kCell, kCell - 16, deGold);
        break;
    case 2: // Italy
        c.rect(0, 0, 9, kCell, itGreen);
        c.rect(9, 0, 7, kCell, kWhite);
        c.rect(16, 0, kCell - 16, kCell, itRed);
        break;
    case 3: // Japan
        c.disc(kMid, kMid, 6.6, jpRed);
        break;
    case 4: // Sweden
        c.fill(seBlue);
        c.rect(7, 0, 4, kCell, seYellow);
        c.rect(0, 10, kCell, 4, seYellow);
        break;
    }
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) c.set(x, y, pale(c.at(x, y)));
    for (int k : {0, kPitch}) {
        c.hline(0, kCell - 1, k, kCellEdge);
        c.vline(k, 0, kCell - 1, kCellEdge);
    }
    return c.image();
}

// ------------------------------------------------------------------ faces

constexpr int kFaceW = 40, kFaceH = 32;
constexpr QRgb kSkin = qRgb(255, 220, 40);
constexpr QRgb kSkinShade = qRgb(232, 168, 16);
constexpr QRgb kSkinLight = qRgb(255, 246, 170);

// A round face with a black rim, shaded towards the lower right. `dy` moves
// the whole face up or down.
Canvas faceBase(int dy = 0, QRgb skin = kSkin, QRgb shade = kSkinShade,
                QRgb light = kSkinLight) {
    Canvas c(kFaceW, kFaceH);
    const double cx = 20.0, cy = 16.0 + dy;
    c.disc(cx, cy, 15.5, kBlack);
    c.disc(cx, cy, 14.5, shade);
    c.disc(cx - 1.2, cy - 1.2, 13.2, skin);
    // A gloss along the upper left of the rim.
    for (int y = 0; y < kFaceH; ++y)
        for (int x = 0; x < kFaceW; ++x) {
            const double ox = x + 0.5 - (cx - 1.2), oy = y + 0.5 - (cy - 1.2);
            const double r = std::hypot(ox, oy);
            const double a = std::atan2(oy, ox) * 180.0 / kPi;
            if (r >= 10.6 && r <= 12.2 && a >= -160.0 && a <= -115.0) c.set(x, y, light);
        }
    return c;
}

const Glyph kRoundEye = {
    ".####.",
    "#wwww#",
    "#w##w#",
    "#w##w#",
    "#wwww#",
    ".####.",
};

QImage voraskFace() {
    // Caught out: wide eyes, raised brows, an "oh!" mouth and a drop of sweat.
    Canvas c = faceBase();
    c.sprite(11, 9, kRoundEye, kPalette);
    c.sprite(23, 9, kRoundEye, kPalette);
    c.sprite(10, 5, {".###.", "#...#"}, kPalette);
    c.sprite(24, 5, {".###.", "#...#"}, kPalette);
    c.sprite(16, 19,
             {
                 "..####..",
                 ".#rrrr#.",
                 "#rrrrrr#",
                 "#rrRRrr#",
                 "#rrRRrr#",
                 ".#rrrr#.",
                 "..####..",
             },
             kPalette);
    c.sprite(30, 4,
             {
                 "..#..",
                 ".#C#.",
                 "#CCw#",
                 "#CCC#",
                 ".###.",
             },
             kPalette);
    return c.image();
}

void laughEyes(Canvas& c, int dy, bool tight) {
    if (tight) {
        c.sprite(10, 9 + dy, {"###....", "..###..", "....###", "..###..", "###...."}, kPalette);
        c.sprite(23, 9 + dy, {"....###", "..###..", "###....", "..###..", "....###"}, kPalette);
    } else {
        const Glyph arc = {"..###..", ".##.##.", "##...##"};
        c.sprite(10, 9 + dy, arc, kPalette);
        c.sprite(23, 9 + dy, arc, kPalette);
    }
    // Tears of laughter fly off, higher on the open-mouthed frame.
    const int ty = tight ? 9 : 13;
    c.sprite(1, ty + dy, {"..#.", ".#C#", "#CC#", "#Cw#", ".##."}, kPalette);
    c.sprite(35, ty + dy, {".#..", "#C#.", "#CC#", "#wC#", ".##."}, kPalette);
}

QImage laughOpen() {
    Canvas c = faceBase();
    laughEyes(c, 0, true);
    c.sprite(12, 17,
             {
                 "################",
                 "#wwwwwwwwwwwwww#",
                 "#rrrrrrrrrrrrrr#",
                 ".#rrrrrrrrrrrr#.",
                 ".#rrrrRRRRrrrr#.",
                 "..#rrRRRRRRrr#..",
                 "...##RRRRRR##...",
                 ".....######.....",
             },
             kPalette);
    return c.image();
}

QImage laughClosed() {
    // The second frame: the head bobs up a pixel, the eyes crease the other
    // way and the mouth shuts into a wide grin.
    Canvas c = faceBase(-1);
    laughEyes(c, -1, false);
    c.sprite(11, 17,
             {
                 "##..............##",
                 "###............###",
                 ".####........####.",
                 "..##############..",
                 "....##########....",
             },
             kPalette);
    return c.image();
}

QImage skullFace() {
    Canvas c(kFaceW, kFaceH);
    const QRgb bone = qRgb(250, 248, 236), boneShade = qRgb(196, 190, 170);
    c.ellipse(20.0, 13.0, 13.5, 12.5, boneShade);
    c.ellipse(19.0, 12.2, 12.6, 11.6, bone);
    c.rect(13, 22, 14, 8, boneShade);
    c.rect(13, 22, 13, 7, bone);
    c.outline(kBlack);
    // Eye sockets with a red glint, a nose hole, cheekbone shadows.
    c.ellipse(14.5, 14.0, 4.0, 3.6, kBlack);
    c.ellipse(25.5, 14.0, 4.0, 3.6, kBlack);
    c.rect(14, 13, 2, 2, kRed);
    c.rect(24, 13, 2, 2, kRed);
    c.sprite(18, 18, {".##.", ".##.", "####"}, kPalette);
    c.hline(10, 13, 19, boneShade);
    c.hline(26, 29, 19, boneShade);
    // Teeth.
    c.hline(13, 26, 25, kBlack);
    for (int x = 15; x <= 25; x += 2) {
        c.vline(x, 23, 25, kBlack);
        c.vline(x, 25, 28, kBlack);
    }
    c.hline(13, 26, 29, kBlack);
    return c.image();
}

QImage growlFace() {
    // Not a record: a scowl with clenched teeth.
    Canvas c = faceBase(0, qRgb(255, 150, 40), qRgb(214, 96, 16), qRgb(255, 214, 150));
    c.sprite(9, 5,
             {
                 "###.....",
                 "#####...",
                 "..#####.",
                 "....####",
             },
             kPalette);
    c.sprite(23, 5,
             {
                 ".....###",
                 "...#####",
                 ".#####..",
                 "####....",
             },
             kPalette);
    c.sprite(11, 11, {"######", "#ww##w", ".####."}, kPalette);
    c.sprite(23, 11, {"######", "w##ww#", ".####."}, kPalette);
    c.sprite(10, 19,
             {
                 "...##############...",
                 "..#ww#ww#ww#ww#ww#..",
                 ".##ww#ww#ww#ww#ww##.",
                 "#.################.#",
                 "..#ww#ww#ww#ww#ww#..",
                 "...##############...",
             },
             kPalette);
    // Fuming.
    const Glyph puff = {".####.", "#wwww#", "#wwws#", "#wsss#", ".####."};
    const Glyph wisp = {".##.", "#ww#", "#ws#", ".##."};
    c.sprite(0, 4, puff, kPalette);
    c.sprite(3, 0, wisp, kPalette);
    c.sprite(34, 4, puff, kPalette);
    c.sprite(33, 0, wisp, kPalette);
    return c.image();
}

QImage hodrelFace() {
    // A new record: shades on, a big grin, a sparkle either side.
    Canvas c = faceBase();
    c.sprite(8, 9,
             {
                 "########################",
                 ".##########..##########.",
                 ".#ww#######..#ww#######.",
                 ".##w#######..##w#######.",
                 "..########....########..",
                 "...######......######...",
             },
             kPalette);
    c.sprite(11, 19,
             {
                 "##################",
                 "#wwwwwwwwwwwwwwww#",
                 ".#wwwwwwwwwwwwww#.",
                 "..##rrrrrrrrrr##..",
                 "....##########....",
             },
             kPalette);
    const Glyph sparkle = {
        "...#...",
        "..#Y#..",
        ".#YYY#.",
        "#YYwYY#",
        ".#YYY#.",
        "..#Y#..",
        "...#...",
    };
    c.sprite(0, 0, sparkle, kPalette);
    c.sprite(33, 24, sparkle, kPalette);
    return c.image();
}

// --------------------------------------------------------------- pointers

// A mine on fire streaking towards the lower right; its centre (6, 6) is
// the pointer's hot spot. The four variants flicker.
QImage burningPointer(int variant) {
    Canvas c(32, 32);
    const double bx = 6.5, by = 6.5;
    struct Tongue { double angle, length, width, phase; };
    const std::array<std::array<Tongue, 3>, 4> sets = {{
        {{{45, 25, 6.5, 0.0}, {22, 18, 4.5, 1.0}, {68, 20, 4.5, 2.0}}},
        {{{47, 22, 6.2, 1.6}, {20, 21, 4.5, 2.6}, {70, 16, 4.2, 0.6}}},
        {{{43, 26, 6.5, 3.1}, {25, 15, 4.2, 0.3}, {66, 22, 4.8, 1.3}}},
        {{{46, 23, 6.8, 4.7}, {18, 19, 4.6, 3.7}, {72, 18, 4.4, 2.7}}},
    }};
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            double heat = -1.0;
            for (const Tongue& t : sets[variant]) {
                const double a = t.angle * kPi / 180.0;
                const double dx = x + 0.5 - bx, dy = y + 0.5 - by;
                const double u = dx * std::cos(a) + dy * std::sin(a);
                double v = -dx * std::sin(a) + dy * std::cos(a);
                if (u < 0.0) continue; // the mine hides the root of the fire
                const double s = u / t.length;
                if (s > 1.0) continue;
                v -= 1.4 * s * std::sin(u * 0.45 + t.phase); // the tail waves
                const double half = t.width * std::pow(1.0 - s, 0.8);
                heat = std::max(heat, (1.0 - std::abs(v) / half) * (1.0 - 0.7 * s));
            }
            if (heat >= 0.45) c.set(x, y, kYellow);
            else if (heat >= 0.18) c.set(x, y, kRed);
            else if (heat >= 0.0) c.set(x, y, kMaroon);
        }
    // A few embers flying off.
    Dice dice(0x51f15eedu + static_cast<std::uint32_t>(variant) * 7919u);
    for (int k = 0; k < 4; ++k) {
        const double a = (25.0 + 40.0 * dice.unit()) * kPi / 180.0;
        const double r = 21.0 + 8.0 * dice.unit();
        const int ex = static_cast<int>(bx + r * std::cos(a));
        const int ey = static_cast<int>(by + r * std::sin(a));
        if (ex < 31 && ey < 31 && qAlpha(c.at(ex, ey)) == 0) c.set(ex, ey, k % 2 ? kYellow : kRed);
    }
    c.outline(kBlack);
    // The mine on top, spikes bare so that they stay sharp.
    smallMine(c, 0, 0);
    return c.image();
}

// ------------------------------------------------------------- explosion

QImage blast() {
    constexpr int kSize = 64;
    Canvas c(kSize, kSize);
    Dice dice(0xb1a57u);
    // A star of uneven spikes: peaks and valleys alternate around the
    // circle, and the radius is interpolated between them.
    constexpr int kSpikes = 13;
    std::array<double, 2 * kSpikes> angle{}, radius{};
    for (int k = 0; k < 2 * kSpikes; ++k) {
        angle[k] = (k + 0.35 * (dice.unit() - 0.5)) * kPi / kSpikes;
        radius[k] = k % 2 == 0 ? 25.0 + 6.0 * dice.unit() : 13.0 + 5.0 * dice.unit();
    }
    auto edge = [&](double a) {
        while (a < angle[0]) a += 2 * kPi;
        for (int k = 0; k < 2 * kSpikes; ++k) {
            const double a0 = angle[k];
            const double a1 = k + 1 < 2 * kSpikes ? angle[k + 1] : angle[0] + 2 * kPi;
            if (a >= a0 && a < a1) {
                const double t = (a - a0) / (a1 - a0);
                const double r1 = radius[(k + 1) % (2 * kSpikes)];
                return radius[k] + (r1 - radius[k]) * t;
            }
        }
        return radius[0];
    };
    const QRgb layers[] = {qRgb(255, 255, 232), qRgb(255, 240, 96), qRgb(255, 196, 0),
                           qRgb(255, 128, 0),   qRgb(224, 32, 0)};
    const double bounds[] = {0.22, 0.42, 0.62, 0.82, 1.0};
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const double dx = x + 0.5 - 32.0, dy = y + 0.5 - 32.0;
            const double a = std::atan2(dy, dx);
            // Inner layers turn a little so their spikes fall between the
            // outer ones.
            const double f = std::hypot(dx, dy) / edge(a);
            const double g = std::hypot(dx, dy) / edge(a + 0.12);
            for (int l = 0; l < 5; ++l) {
                const double v = l < 3 ? g : f;
                if (v <= bounds[l]) {
                    c.set(x, y, layers[l]);
                    break;
                }
            }
        }
    // Flying sparks.
    for (int k = 0; k < 9; ++k) {
        const double a = 2 * kPi * dice.unit();
        const double r = 25.0 + 5.0 * dice.unit();
        const int sx = static_cast<int>(32.0 + r * std::cos(a));
        const int sy = static_cast<int>(32.0 + r * std::sin(a));
        if (sx < 2 || sy < 2 || sx > kSize - 4 || sy > kSize - 4) continue;
        if (qAlpha(c.at(sx, sy)) != 0) continue;
        c.rect(sx, sy, 2, 2, k % 2 ? layers[2] : layers[3]);
    }
    c.outline(kMaroon);
    return c.image();
}

// ------------------------------------------------------------------- icon

QImage windowIcon() {
    // A big mine: four long spikes, four short diagonal ones and a glossy
    // body.
    Canvas c(32, 32);
    const double m = 16.0;
    c.rect(15, 1, 2, 30, kBlack);
    c.rect(1, 15, 30, 2, kBlack);
    c.line(6, 6, 25, 25, 2, kBlack);
    c.line(24, 6, 5, 25, 2, kBlack);
    c.disc(m, m, 10.0, kBlack);
    c.disc(m - 1.0, m - 1.0, 8.0, qRgb(72, 72, 84));
    c.disc(m + 0.6, m + 0.6, 7.6, kBlack);
    c.disc(m - 4.2, m - 4.2, 2.4, kWhite);
    c.set(17, 10, kGrey);
    c.set(18, 10, kGrey);
    return c.image();
}


// ------------------------------------------------------------------- logo

// The title window's logo, in greys only: a mine sinking into the fen, its
// spikes above the water, two reeds beside it and ripples around it.
QImage titleLogo() {
    Canvas c(32, 32, qRgb(200, 200, 200));
    const QRgb water = qRgb(112, 112, 112), ripple = qRgb(160, 160, 160);
    const QRgb reed = qRgb(56, 56, 56), body = qRgb(24, 24, 24);
    c.rect(0, 20, 32, 12, water);
    c.line(16, 4, 16, 21, 2, body);
    c.line(8, 13, 24, 13, 2, body);
    c.line(10, 7, 22, 19, 1, body);
    c.line(22, 7, 10, 19, 1, body);
    c.disc(16.0, 14.0, 6.5, body);
    c.disc(14.0, 12.0, 1.2, kWhite);
    c.rect(0, 20, 32, 1, qRgb(88, 88, 88));
    c.rect(9, 22, 14, 1, ripple);
    c.rect(5, 25, 22, 1, ripple);
    c.rect(11, 28, 10, 1, ripple);
    c.vline(3, 9, 24, reed);
    c.vline(5, 12, 24, reed);
    c.rect(2, 6, 3, 4, reed);
    c.vline(28, 8, 24, reed);
    c.rect(27, 5, 3, 4, reed);
    return c.image().convertToFormat(QImage::Format_Grayscale8);
}

} // namespace

std::vector<Picture> drawPictures() {
    std::vector<Picture> out;
    const char* digitFiles[8] = {"Img1", "Img2", "img3", "img4", "img5", "img6", "img7", "img8"};
    for (int n = 1; n <= 8; ++n) out.push_back({QString(digitFiles[n - 1]) + ".png", digitCell(n)});
    out.push_back({"imgHit.png", hitCell()});
    out.push_back({"imgFlag.png", flagCell()});
    for (int s = 0; s < 5; ++s) out.push_back({QString("imgNone1_%1.png").arg(s), flagNone(s)});
    out.push_back({"ImgBomb.png", bombCell()});
    out.push_back({"ImgNoBomb.png", noBombCell()});
    out.push_back({"ImgSkull.png", skullFace()});
    out.push_back({"ImgGrowl.png", growlFace()});
    out.push_back({"ImgVorask.png", voraskFace()});
    out.push_back({"Ha1.png", laughOpen()});
    out.push_back({"Ha2.png", laughClosed()});
    out.push_back({"ImgHodrel.png", hodrelFace()});
    const char* pointerFiles[4] = {"imgBrnM1", "imgBrnM2", "imgBrnM3", "ImgBrnM4"};
    for (int v = 0; v < 4; ++v) out.push_back({QString(pointerFiles[v]) + ".png", burningPointer(v)});
    out.push_back({"Blow.png", blast()});
    out.push_back({"imgLogo.png", titleLogo()});
    out.push_back({"Icon.png", windowIcon()});
    return out;
}

QImage contactSheet(const std::vector<Picture>& pictures, int scale) {
    // Everything in one row-wrapped strip on a checkerboard (so transparency
    // shows), then a 9 x 6 mock board laid out like the game's.
    constexpr int kGap = 4, kRowWidth = 296;
    int x = kGap, y = kGap, rowHeight = 0;
    struct Spot { int x, y; const QImage* image; };
    std::vector<Spot> spots;
    for (const Picture& p : pictures) {
        if (x + p.image.width() + kGap > kRowWidth) {
            x = kGap;
            y += rowHeight + kGap;
            rowHeight = 0;
        }
        spots.push_back({x, y, &p.image});
        x += p.image.width() + kGap;
        rowHeight = std::max(rowHeight, p.image.height());
    }
    const int boardTop = y + rowHeight + 3 * kGap;
    const int boardCols = 9, boardRows = 6;
    const int height = boardTop + (boardRows - 1) * kPitch + kCell + kGap;

    Canvas sheet(kRowWidth, height);
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < kRowWidth; ++i)
            sheet.set(i, j, ((i / 4 + j / 4) % 2) ? qRgb(150, 150, 160) : qRgb(120, 120, 130));
    for (const Spot& s : spots) sheet.blit(Canvas(*s.image), s.x, s.y);
    auto find = [&](const QString& name) -> const QImage& {
        for (const Picture& p : pictures)
            if (p.file == name) return p.image;
        return pictures.front().image;
    };
    // Board: numbers around a few mines, an empty region in one flag style,
    // some flags and covered cells, a lost mine with the explosion over it.
    const char* layout[boardRows] = {
        "..1F1....",
        "..1x1..11",
        "..111..1B",
        "1211...1F",
        "FH21..123",
        "12x1..1FF",
    };
    for (int r = 0; r < boardRows; ++r)
        for (int col = 0; col < boardCols; ++col) {
            const char ch = layout[r][col];
            QString name = "imgFlag.png";
            if (ch >= '1' && ch <= '2') name = QString("Img%1.png").arg(ch);
            else if (ch >= '3' && ch <= '8') name = QString("img%1.png").arg(ch);
            else if (ch == '.') name = "imgNone1_3.png";
            else if (ch == 'B') name = "ImgBomb.png";
            else if (ch == 'x') name = "ImgNoBomb.png";
            else if (ch == 'H') name = "imgHit.png";
            sheet.blit(Canvas(find(name)), kGap + col * kPitch, boardTop + r * kPitch);
        }
    sheet.blit(Canvas(find("Blow.png")), kGap + 6 * kPitch + 2, boardTop - 8);
    return sheet.image().scaled(sheet.width() * scale, sheet.height() * scale,
                                Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

} // namespace assetgen

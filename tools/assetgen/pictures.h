// SPDX-License-Identifier: GPL-3.0-or-later
// The game's pictures: cells, faces, pointers, the explosion and the icon.
#pragma once

#include <QImage>
#include <QString>

#include <vector>

namespace assetgen {

struct Picture {
    QString file; // file name within the images folder, e.g. "Img1.png"
    QImage image;
};

std::vector<Picture> drawPictures();

// A sheet of all pictures scaled up, and a small mock board built from the
// cell pictures at the board's 24-pixel pitch, for looking at the artwork.
QImage contactSheet(const std::vector<Picture>& pictures, int scale);

} // namespace assetgen

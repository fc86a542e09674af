// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop's application icons: the window icon at the sizes of the
// hicolor theme, and as a scalable picture.
#pragma once

#include <QDir>
#include <QImage>

namespace assetgen {

// Writes <root>/icons/<N>x<N>.png for N = 16, 24, 32, 48, 64, 128 and 256,
// and <root>/icons/scalable.svg. 16 and 24 are drawn afresh at their size;
// the others are the 32 x 32 window icon (or the 24 x 24 one, for 48)
// enlarged by a whole factor, pixel for pixel. False when a file cannot be
// written.
bool writeAppIcons(const QDir& root, const QImage& windowIcon);

} // namespace assetgen

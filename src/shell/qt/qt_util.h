// Small helpers shared by the Qt windows: twips to pixels, fonts with
// Debian's free stand-ins, and the game's pictures.
#pragma once

#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QString>

#include "game/controls.h"

namespace mf::qt {

inline int px(int twips) { return twips / kTwipsPerPixel; }

inline QRect px(const Rect& r) {
    return QRect(px(r.Left), px(r.Top), px(r.Width), px(r.Height));
}

inline QString qs(const std::string& s) { return QString::fromStdString(s); }

// The named family first, then a free look-alike that Debian ships.
QFont gameFont(const QString& family, double points, bool bold = false);

// The picture a holder carries, loaded once from the compiled-in resources.
const QPixmap& pixmap(Picture picture);

// Resource name of a picture, e.g. ":/assets/images/Img1.png".
QString picturePath(Picture picture);

} // namespace mf::qt

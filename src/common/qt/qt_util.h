// SPDX-License-Identifier: GPL-3.0-or-later
// Small helpers shared by the Qt windows: twips to pixels, fonts with
// Debian's free stand-ins, the game's pictures, labels and button captions.
#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QString>

#include "game/controls.h"

class QAbstractButton;
class QFontMetrics;
class QLabel;
class QWidget;

namespace mf::qt {

inline int px(int twips) { return twips / kTwipsPerPixel; }

inline QRect px(const Rect& r) {
    return QRect(px(r.Left), px(r.Top), px(r.Width), px(r.Height));
}

inline QString qs(const std::string& s) { return QString::fromStdString(s); }

// A dialog window with a fixed single border, a title and a close box only.
inline constexpr Qt::WindowFlags kFixedDialog = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint |
                                                Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                                                Qt::CustomizeWindowHint;

// Room a push button keeps between its frame and its caption, in pixels.
inline constexpr int kButtonMargin = 4;

// The named family first, then a free look-alike that Debian ships.
QFont gameFont(const QString& family, double points, bool bold = false);

// The picture a holder carries, loaded once from the compiled-in resources.
const QPixmap& pixmap(Picture picture);

// Resource name of a picture, e.g. ":/assets/images/Img1.png".
QString picturePath(Picture picture);

// A plain-text label at its model's place, sized to its text from its top
// left corner, in the given font and colour on a transparent background.
QLabel* placedLabel(QWidget* parent, const Label& model, const QFont& font, const QColor& colour);

// Breaks a caption into lines that fit the width, between words, the way a
// push button wraps its caption; blanks at a break go.
QString wrapCaption(const QString& caption, const QFontMetrics& metrics, int width);

// What a screen reader calls a button with this caption: the caption with
// its & access markers gone, line breaks as blanks, runs of blanks as one
// and none at either end ("   Clear High\nScores" is "Clear High Scores").
QString spokenCaption(const QString& caption);

// Names the button for a screen reader after its caption (spokenCaption),
// and lets Enter press it while it has the keyboard focus, as Space does.
// A dialog's default button is left as it is.
void makeSpeakingButton(QAbstractButton* button);

} // namespace mf::qt

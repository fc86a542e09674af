// SPDX-License-Identifier: GPL-3.0-or-later
#include "app_icons.h"

#include "canvas.h"

#include <QFile>
#include <QString>

#include <cstdio>

namespace assetgen {
namespace {

using namespace colour;

// The window icon's mine redrawn for a smaller square: the same spikes and
// glossy body, with every measure chosen for the size rather than scaled, so
// no pixel is lost or smeared.
struct MineShape {
    int size;
    int spike;        // first pixel of the 2-pixel cross spikes
    int diagonal[2];  // first and last corner of the 2-pixel diagonal spikes
    double body, shade, core; // radii of the black body, its shade and core
    double shine;     // radius of the highlight
};

QImage smallMine(const MineShape& s) {
    Canvas c(s.size, s.size);
    const double m = s.size / 2.0;
    const int a = s.diagonal[0], b = s.diagonal[1];
    c.rect(s.spike, 1, 2, s.size - 2, kBlack);
    c.rect(1, s.spike, s.size - 2, 2, kBlack);
    c.line(a, a, b, b, 2, kBlack);
    c.line(b, a, a, b, 2, kBlack);
    c.disc(m, m, s.body, kBlack);
    c.disc(m - s.size / 32.0, m - s.size / 32.0, s.shade, qRgb(72, 72, 84));
    c.disc(m + 0.6, m + 0.6, s.core, kBlack);
    c.disc(m - s.body * 0.42, m - s.body * 0.42, s.shine, kWhite);
    return c.image();
}

QImage enlarged(const QImage& image, int factor) {
    return image.scaled(image.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

// One <rect> per run of equal pixels in a row; clear pixels are left out.
QByteArray svgOf(const QImage& image) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    QByteArray svg = QString("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%2\" "
                             "viewBox=\"0 0 %1 %2\" shape-rendering=\"crispEdges\">\n")
                         .arg(argb.width())
                         .arg(argb.height())
                         .toUtf8();
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width();) {
            const QRgb p = argb.pixel(x, y);
            int run = 1;
            while (x + run < argb.width() && argb.pixel(x + run, y) == p) ++run;
            if (qAlpha(p) != 0) {
                svg += QString("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"1\" fill=\"#%4\"")
                           .arg(x)
                           .arg(y)
                           .arg(run)
                           .arg(p & 0xffffff, 6, 16, QChar('0'))
                           .toUtf8();
                if (qAlpha(p) != 255) svg += QString(" fill-opacity=\"%1\"").arg(qAlpha(p) / 255.0, 0, 'f', 3).toUtf8();
                svg += "/>\n";
            }
            x += run;
        }
    return svg + "</svg>\n";
}

bool save(const QDir& folder, const QString& file, const QImage& image) {
    const QString path = folder.filePath(file);
    if (!image.save(path, "PNG")) return false;
    std::printf("%-28s %dx%d\n", qPrintable("icons/" + file), image.width(), image.height());
    return true;
}

} // namespace

bool writeAppIcons(const QDir& root, const QImage& windowIcon) {
    if (!root.mkpath("icons")) return false;
    const QDir folder(root.filePath("icons"));
    const QImage icon16 = smallMine({16, 7, {3, 11}, 5.0, 4.0, 3.8, 1.2});
    const QImage icon24 = smallMine({24, 11, {5, 18}, 7.5, 6.0, 5.7, 1.8});
    const struct {
        int size;
        QImage image;
    } icons[] = {
        {16, icon16},
        {24, icon24},
        {32, windowIcon},
        {48, enlarged(icon24, 2)},
        {64, enlarged(windowIcon, 2)},
        {128, enlarged(windowIcon, 4)},
        {256, enlarged(windowIcon, 8)},
    };
    for (const auto& i : icons)
        if (!save(folder, QString("%1x%1.png").arg(i.size), i.image)) return false;

    QFile svg(folder.filePath("scalable.svg"));
    if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate) || svg.write(svgOf(windowIcon)) < 0)
        return false;
    std::printf("%-28s %s\n", "icons/scalable.svg", "32x32 pixels as squares");
    return true;
}

} // namespace assetgen

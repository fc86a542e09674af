// SPDX-License-Identifier: GPL-3.0-or-later
// assetgen: draws the pictures and synthesises the sounds of Marrowfen 2.
//
//   assetgen <assets-folder> [--sheet <file.png>]
//
// Writes <assets-folder>/images/*.png, <assets-folder>/icons/* (the desktop's
// application icons) and <assets-folder>/sounds/*.fez. With
// --sheet it also writes a 4x enlarged contact sheet of every picture.
// Only QImage is used, so no display or application object is needed.

#include "app_icons.h"
#include "pictures.h"
#include "sounds.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>
#include <string>

namespace {

bool writeBytes(const QString& path, const std::vector<unsigned char>& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const auto size = static_cast<qint64>(bytes.size());
    return f.write(reinterpret_cast<const char*>(bytes.data()), size) == size;
}

int usage() {
    std::fprintf(stderr, "usage: assetgen <assets-folder> [--sheet <file.png>]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QString assets, sheet;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sheet" && i + 1 < argc) sheet = QString::fromLocal8Bit(argv[++i]);
        else if (!arg.empty() && arg[0] != '-' && assets.isEmpty()) assets = QString::fromLocal8Bit(argv[i]);
        else return usage();
    }
    if (assets.isEmpty()) return usage();

    const QDir root(assets);
    if (!root.mkpath("images") || !root.mkpath("sounds")) {
        std::fprintf(stderr, "assetgen: cannot create folders under %s\n", qPrintable(assets));
        return 1;
    }

    const auto pictures = assetgen::drawPictures();
    for (const auto& p : pictures) {
        const QString path = root.filePath("images/" + p.file);
        if (!p.image.save(path, "PNG")) {
            std::fprintf(stderr, "assetgen: cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%-28s %dx%d\n", qPrintable("images/" + p.file), p.image.width(),
                    p.image.height());
    }

    for (const auto& p : pictures)
        if (p.file == "Icon.png" && !assetgen::writeAppIcons(root, p.image)) {
            std::fprintf(stderr, "assetgen: cannot write the icons under %s\n", qPrintable(assets));
            return 1;
        }

    for (const auto& s : assetgen::synthesiseSounds()) {
        const QString path = root.filePath(QString::fromStdString("sounds/" + s.file));
        if (!writeBytes(path, assetgen::waveFile(s.samples))) {
            std::fprintf(stderr, "assetgen: cannot write %s\n", qPrintable(path));
            return 1;
        }
        std::printf("%-28s %.3f s\n", qPrintable("sounds/" + QString::fromStdString(s.file)),
                    static_cast<double>(s.samples.size()) / assetgen::kSampleRate);
    }

    if (!sheet.isEmpty() && !assetgen::contactSheet(pictures, 4).save(sheet, "PNG")) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", qPrintable(sheet));
        return 1;
    }
    return 0;
}

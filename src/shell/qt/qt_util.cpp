#include "shell/qt/qt_util.h"

#include <array>

namespace mf::qt {

QFont gameFont(const QString& family, double points, bool bold) {
    QStringList families{family};
    if (family == QLatin1String("Comic Sans MS"))
        families << QStringLiteral("Comic Neue");
    else if (family == QLatin1String("Times New Roman"))
        families << QStringLiteral("Liberation Serif");
    else
        families << QStringLiteral("Liberation Sans");
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QString picturePath(Picture picture) {
    static const std::array<const char*, kPictureCount> names = {
        "", "Img1", "Img2", "img3", "img4", "img5", "img6", "img7", "img8",
        "imgHit", "imgFlag",
        "imgNone1_0", "imgNone1_1", "imgNone1_2", "imgNone1_3", "imgNone1_4",
        "ImgBomb", "ImgNoBomb",
        "ImgSkull", "ImgGrowl", "ImgVorask", "Ha2", "Ha1", "ImgHodrel",
        "imgBrnM1", "imgBrnM2", "imgBrnM3", "ImgBrnM4",
        "Blow", "imgLogo", "Icon",
    };
    const char* name = names[static_cast<std::size_t>(picture)];
    if (*name == '\0')
        return {};
    return QStringLiteral(":/assets/images/%1.png").arg(QLatin1String(name));
}

const QPixmap& pixmap(Picture picture) {
    static std::array<QPixmap, kPictureCount> cache;
    QPixmap& slot = cache[static_cast<std::size_t>(picture)];
    if (slot.isNull() && picture != Picture::None)
        slot.load(picturePath(picture));
    return slot;
}

} // namespace mf::qt

// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/qt/qt_util.h"

#include <array>

#include <QAbstractButton>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QStringList>

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

QLabel* placedLabel(QWidget* parent, const Label& model, const QFont& font, const QColor& colour) {
    auto* label = new QLabel(qs(model.Caption), parent);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    label->setTextFormat(Qt::PlainText);
    label->move(px(model.rect.Left), px(model.rect.Top));
    label->adjustSize();
    label->setVisible(model.Visible);
    return label;
}

QString wrapCaption(const QString& caption, const QFontMetrics& metrics, int width) {
    static const QRegularExpression word(QStringLiteral("\\s*\\S+"));
    QStringList lines;
    QString line;
    for (auto it = word.globalMatch(caption); it.hasNext();) {
        const QString piece = it.next().captured();
        if (!line.isEmpty() && metrics.horizontalAdvance(line + piece) > width) {
            lines << line;
            line = piece.trimmed();
        } else {
            line += piece;
        }
    }
    lines << line;
    return lines.join(QLatin1Char('\n'));
}

QString spokenCaption(const QString& caption) {
    static const QRegularExpression marker(QStringLiteral("&(.)"));
    QString text = caption;
    text.replace(marker, QStringLiteral("\\1")); // "&&" stands for one &
    return text.simplified();
}

namespace {

// Presses a focused button on Enter or Return, with no modifier but the
// keypad's.
class EnterPresses : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!enter || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (!button || !button->hasFocus() || !button->isEnabled())
            return false;
        button->click();
        return true;
    }
};

} // namespace

void makeSpeakingButton(QAbstractButton* button) {
    button->setAccessibleName(spokenCaption(button->text()));
    button->installEventFilter(new EnterPresses(button));
}

} // namespace mf::qt

// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/qt/help_view.h"

#include <algorithm>
#include <vector>

#include <QCloseEvent>
#include <QFontMetrics>
#include <QRegularExpression>
#include <QLabel>
#include <QPushButton>

#include "common/qt/command_gate.h"
#include "common/qt/qt_util.h"

namespace mf::qt {

namespace {

// The texts were laid out for the named font's screen glyphs, which are a
// little narrower than the free stand-in's. A text fits as laid out when a
// box one line high holds it on one line, and in a taller box each part that
// a run of blanks pushes onto a line of its own fits that line.
bool fitsAsLaidOut(const QFont& font, const QString& text, QSize box) {
    const QFontMetrics metrics(font);
    static const QRegularExpression lineBreak(QStringLiteral(" {6,}"));
    const QStringList lines = box.height() < 2 * metrics.height() ? QStringList{text} : text.split(lineBreak);
    return std::all_of(lines.begin(), lines.end(),
                       [&](const QString& line) { return metrics.horizontalAdvance(line) <= box.width(); });
}

// One size for all the texts: the named size, or a quarter point less at a
// time (down to 3/4 of it) until every text fits as laid out.
QFont fitted(QFont font, const std::vector<const Label*>& texts) {
    const double smallest = font.pointSizeF() * 0.75;
    const auto fitsAll = [&] {
        return std::all_of(texts.begin(), texts.end(), [&](const Label* text) {
            return fitsAsLaidOut(font, qs(text->Caption), px(text->rect).size());
        });
    };
    while (!fitsAll() && font.pointSizeF() - 0.25 >= smallest)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    return font;
}

QLabel* makeLabel(QWidget* parent, const Label& model, const QFont& font) {
    auto* label = new QLabel(qs(model.Caption), parent);
    label->setTextFormat(Qt::PlainText); // the blanks are part of the text
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    QRect place = px(model.rect);
    place.setHeight(std::max(place.height(), QFontMetrics(font).lineSpacing())); // descenders too
    label->setGeometry(place);
    return label;
}

} // namespace

HelpView::HelpView(HelpFrm& model, QWidget* parent)
    : QDialog(parent, kFixedDialog),
      model_(model) {
    setWindowTitle(qs(model_.Caption));
    setWindowModality(Qt::ApplicationModal); // set once: a change would remake the window
    setFixedSize(px(HelpFrm::kClientWidth), px(HelpFrm::kClientHeight));
    build();
    connect(ok_, &QPushButton::clicked, this, [this] {
        CommandGate::submit(this, [this] {
            model_.Ok_Click();
            if (!model_.Visible)
                done(Accepted); // hidden: the modal showing ends, the window is kept
        });
    });
}

void HelpView::build() {
    const QFont title = gameFont(QStringLiteral("Times New Roman"), 18);
    placedLabel(this, model_.Label1[0], title, Qt::black);
    placedLabel(this, model_.Label1[1], title, Qt::red); // above the black edge

    ok_ = new QPushButton(this);
    ok_->setFont(gameFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    ok_->setGeometry(px(model_.Ok.rect));
    ok_->setDefault(true);
    ok_->setFocus();
    ok_->setText(wrapCaption(qs(model_.Ok.Caption), ok_->fontMetrics(), ok_->width() - 2 * kButtonMargin));
    makeSpeakingButton(ok_); // read without the line break
    // The keys, read with the button that has the focus as the window opens:
    // a reader reads a window's labels then, not its description.
    ok_->setAccessibleDescription(QString::fromLatin1(HelpFrm::kKeysWords));

    makeLabel(this, model_.Label7, gameFont(QStringLiteral("MS Sans Serif"), 8.25));
    const std::vector<const Label*> texts{&model_.Label4, &model_.Label5, &model_.Label6, &model_.Label2};
    const QFont arial = fitted(gameFont(QStringLiteral("Arial"), 12), texts);
    for (const Label* text : texts)
        makeLabel(this, *text, arial);
    for (std::size_t i = 0; i < model_.Image1.size(); ++i) {
        const Image& cell = model_.Image1[i];
        auto* picture = new QLabel(this);
        picture->setPixmap(pixmap(cell.picture));
        picture->setGeometry(px(cell.rect));
        picture->setAccessibleName(qs(model_.exampleName(i))); // named as the board's cells are
        picture->setAccessibleDescription(qs(HelpFrm::examplePlace(i)));
    }
}

void HelpView::closeEvent(QCloseEvent* event) {
    Int16 cancel = 0;
    model_.Form_Unload(cancel); // plays the help sound to its end first
    if (cancel != 0) {
        event->ignore();
        return;
    }
    QDialog::done(Rejected);
    event->accept();
}

} // namespace mf::qt

// SPDX-License-Identifier: GPL-3.0-or-later
#include "scores/qt/scores_dialog.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "common/qt/qt_util.h"
#include "scores/score_words.h"

namespace mf::qt {

namespace {

const QColor kRed(255, 0, 0);
const QColor kBlack(0, 0, 0);
const QColor kBlue(0, 0, 255);

} // namespace

ScoresDialog::ScoresDialog(Scores& model, QWidget* parent)
    : QDialog(parent, kFixedDialog),
      model_(model) {
    setWindowTitle(qs(model_.Caption));
    setFixedSize(px(model_.ClientWidth), px(model_.ClientHeight));

    // OK is made first so that it comes first in the tab order.
    ok_ = addButton(model_.cmdExit, gameFont(QStringLiteral("Arial"), 14.25));
    ok_->setDefault(true);
    clear_ = addButton(model_.CmdClrScore, gameFont(QStringLiteral("Arial"), 9.75));
    setTabOrder(ok_, clear_);
    connect(ok_, &QPushButton::clicked, this, &ScoresDialog::okClicked);
    connect(clear_, &QPushButton::clicked, this, &ScoresDialog::clearClicked);

    // The black heading is the shadow, 10 twips down and to the right; the
    // red one is made later and so lies on top of it.
    heading_[1] = addHeading(model_.Label1[1], kBlack);
    heading_[0] = addHeading(model_.Label1[0], kRed);

    const QFont rowHeader = gameFont(QStringLiteral("Arial"), 12, true);
    addLabel(model_.Label2, rowHeader, kBlue);
    addLabel(model_.Label3, rowHeader, kBlue);
    addLabel(model_.Label4, rowHeader, kBlue);
    const QFont value = gameFont(QStringLiteral("Arial"), 12);
    for (std::size_t i = 0; i < names_.size(); ++i) {
        addLabel(model_.lab2[i], value, kBlue);
        addLabel(model_.lab[i], value, kBlue);
        names_[i] = addLabel(model_.LblName[i], value, kBlue);
        times_[i] = addLabel(model_.LblTime[i], value, kBlue);
    }
    ok_->setFocus();
    ok_->installEventFilter(this);
    refresh();
}

bool ScoresDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ok_ && event->type() == QEvent::FocusOut)
        ok_->setAccessibleDescription(QString()); // the records have been read
    return QDialog::eventFilter(watched, event);
}

// A screen reader reads the rows as words with OK, which has the focus when
// the window opens (a reader reads a window's labels as it opens, not its
// description). OK keeps them until the focus first leaves it: Tab back to
// it does not read them again. New records after a clear are read once more.
void ScoresDialog::refresh() {
    for (std::size_t i = 0; i < names_.size(); ++i) {
        names_[i]->setText(qs(model_.LblName[i].Caption));
        times_[i]->setText(qs(model_.LblTime[i].Caption));
        names_[i]->adjustSize();
        times_[i]->adjustSize();
    }
    ok_->setAccessibleDescription(qs(recordsWords(model_)));
}

// A long name runs over its neighbours rather than being cut.
QLabel* ScoresDialog::addLabel(const Label& label, const QFont& font, const QColor& colour) {
    return placedLabel(this, label, font, colour);
}

// The heading keeps its size and centres its text in it.
QLabel* ScoresDialog::addHeading(const Label& label, const QColor& colour) {
    QLabel* widget = addLabel(label, gameFont(QStringLiteral("Times New Roman"), 20.25), colour);
    widget->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    widget->setGeometry(px(label.rect));
    return widget;
}

QPushButton* ScoresDialog::addButton(const Button& button, const QFont& font) {
    auto* widget = new QPushButton(this);
    widget->setFont(font);
    widget->setGeometry(px(button.rect));
    const int room = widget->width() - 2 * kButtonMargin;
    widget->setText(wrapCaption(qs(button.Caption), QFontMetrics(font), room));
    widget->setVisible(button.Visible);
    makeSpeakingButton(widget);
    return widget;
}

void ScoresDialog::clearClicked() {
    model_.CmdClrScore_Click();
    refresh();
}

void ScoresDialog::okClicked() {
    model_.cmdExit_Click();
    if (!model_.Visible)
        accept();
}

// Escape closes the window as OK does; Enter presses the default button.
void ScoresDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        okClicked();
        return;
    }
    QDialog::keyPressEvent(event);
}

// However the window goes (OK or the frame's close control), it is unloaded.
void ScoresDialog::done(int result) {
    model_.Visible = false;
    QDialog::done(result);
}

} // namespace mf::qt

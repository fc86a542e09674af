// SPDX-License-Identifier: GPL-3.0-or-later
#include "options/qt/custom_dialog.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "common/qt/notice_bar.h"
#include "common/qt/qt_util.h"
#include "options/qt/level_scroll_bar.h"

namespace mf::qt {

namespace {

QLabel* makeLabel(QWidget* parent, const Label& model) {
    auto* label = new QLabel(qs(model.Caption), parent);
    label->move(px(model.rect.Left), px(model.rect.Top));
    label->adjustSize(); // sized to its text
    return label;
}

// Named for its label, without the colon: "Size", "Mine Density".
LevelScrollBar* makeBar(QWidget* parent, const ScrollBar& model, const Label& label) {
    QString name = spokenCaption(qs(label.Caption));
    if (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    auto* bar = new LevelScrollBar(name, parent);
    bar->setGeometry(px(model.rect));
    bar->setRange(model.Min, model.Max);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    bar->setValue(model.Value);
    return bar;
}

} // namespace

CustomDialog::CustomDialog(FrmCustom& model, QWidget* parent)
    : QDialog(parent, kFixedDialog),
      model_(model) {
    setWindowTitle(qs(model_.Caption));
    setFont(gameFont(QStringLiteral("Comic Sans MS"), 12));
    build();
    connectEvents();
    refresh();
}

void CustomDialog::build() {
    const auto models = model_.options();
    for (std::size_t k = 0; k < models.size(); ++k) {
        options_[k] = new QRadioButton(qs(models[k]->Caption), this);
        options_[k]->setGeometry(px(models[k]->rect));
    }
    display_ = new QLabel(this);
    display_->setGeometry(px(model_.Display.rect));
    display_->setFrameStyle(QFrame::Box | QFrame::Plain);
    display_->setAlignment(Qt::AlignCenter);

    ok_ = new QPushButton(qs(model_.Ok.Caption), this);
    ok_->setGeometry(px(model_.Ok.rect));
    ok_->setAutoDefault(false); // no default button: Enter presses OK only when it has the focus
    makeSpeakingButton(ok_);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setGeometry(px(model_.Line1.X1), px(model_.Line1.Y1) - 1,
                      px(model_.Line1.X2 - model_.Line1.X1), 3);

    makeLabel(this, model_.lblCustom);
    makeLabel(this, model_.lblSize);
    makeLabel(this, model_.lblDensity);
    size_ = makeBar(this, model_.scrSize, model_.lblSize);
    density_ = makeBar(this, model_.scrDensity, model_.lblDensity);
    // The dialog's own: a reader does not hear the game window's while the
    // dialog is up. It reads the dialog's title and summary before it.
    notices_ = new NoticeBar(this); // nothing to see: sized to nothing
    notices_->setGeometry(0, 0, 0, 0);
    size_->setNotices(notices_);
    density_->setNotices(notices_);

    setTabOrder(size_, options_[0]);
    setTabOrder(options_[0], options_[1]);
    setTabOrder(options_[1], options_[2]);
    setTabOrder(options_[2], options_[3]);
    setTabOrder(options_[3], density_);
    setTabOrder(density_, ok_);
    size_->setFocus(); // first in the tab order, even where the compact height hides it
}

void CustomDialog::connectEvents() {
    const auto models = model_.options();
    for (std::size_t k = 0; k < models.size(); ++k) {
        OptionButton* option = models[k];
        connect(options_[k], &QRadioButton::clicked, this, [this, option] {
            if (option->Value)
                model_.UpdateLabel(); // a click on the selected option refreshes too
            else
                model_.select(*option);
            refresh();
        });
    }
    const auto hook = [this](QScrollBar* bar, ScrollBar& model) {
        connect(bar, &QScrollBar::valueChanged, this, [this, bar, &model](int value) {
            scrolled(model, value, bar->isSliderDown());
        });
    };
    hook(size_, model_.scrSize);
    hook(density_, model_.scrDensity);
    connect(ok_, &QPushButton::clicked, this, [this] {
        model_.Ok_Click();
        accept();
    });
}

void CustomDialog::scrolled(ScrollBar& bar, int value, bool dragging) {
    if (syncing_)
        return;
    if (dragging) {
        bar.Value = value;
        if (&bar == &model_.scrSize)
            model_.scrSize_Scroll();
        else
            model_.scrDensity_Scroll();
    } else {
        model_.setScroll(bar, value);
    }
    refresh();
}

void CustomDialog::refresh() {
    syncing_ = true;
    const auto models = model_.options();
    for (std::size_t k = 0; k < models.size(); ++k) {
        options_[k]->setChecked(models[k]->Value);
        // Read with the option as it takes the focus: the board it sets.
        const QString words = qs(model_.optionWords(*models[k]));
        if (options_[k]->accessibleDescription() != words)
            options_[k]->setAccessibleDescription(words);
    }
    size_->setValue(model_.scrSize.Value);
    density_->setValue(model_.scrDensity.Value);
    size_->setValueWords(qs(model_.sizeWords()));
    density_->setValueWords(qs(model_.densityWords()));
    // A standard level holds the bars, which the compact height hides.
    const QString lock = qs(model_.barLockWords());
    for (LevelScrollBar* bar : {size_, density_}) {
        bar->setLocked(!lock.isEmpty());
        if (bar->accessibleDescription() != lock)
            bar->setAccessibleDescription(lock);
    }
    QString text = qs(model_.Display.Caption);
    display_->setText(text.replace(QLatin1String("\r\n"), QLatin1String("\n")));
    setFixedSize(px(FrmCustom::kClientWidth), model_.Height / kTwipsPerPixel - kFrameAllowance);
    syncing_ = false;
}

void CustomDialog::reject() {
    model_.closedByFrame();
    QDialog::reject();
}

} // namespace mf::qt

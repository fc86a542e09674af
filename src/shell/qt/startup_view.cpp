// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/qt/startup_view.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

#include "common/qt/qt_util.h"

namespace mf::qt {

StartupView::StartupView(StartupFrm& model, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), model_(model) {
    setWindowTitle(qs(model_.Caption));
    setAccessibleDescription(QString::fromLatin1(StartupFrm::kSpokenHint));
    setFixedSize(px(StartupFrm::Width), px(StartupFrm::Height));
    build();
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void StartupView::build() {
    auto* frame = new QFrame(this);
    frame->setFrameStyle(QFrame::Box | QFrame::Sunken); // an etched outline, no caption
    frame->setGeometry(px(model_.Frame1));
    const QFont font = gameFont(QStringLiteral("Times New Roman"), 32.25, true);
    shadow_ = placedLabel(this, model_.lblProductName[0], font, Qt::black);
    title_ = placedLabel(this, model_.lblProductName[1], font, Qt::red); // above the shadow

    logo_ = new QLabel(this);
    logo_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    logo_->setLineWidth(1);
    logo_->setAlignment(Qt::AlignCenter);
    logo_->setPixmap(pixmap(model_.imgLogo.picture)); // unscaled
    logo_->setGeometry(px(model_.imgLogo.rect));

    // The window takes every click itself and tells the model which control
    // was under the pointer.
    for (QWidget* child : {static_cast<QWidget*>(frame), static_cast<QWidget*>(shadow_),
                           static_cast<QWidget*>(title_), static_cast<QWidget*>(logo_)})
        child->setAttribute(Qt::WA_TransparentForMouseEvents);
}

// A frameless window is not always given the keyboard by the window manager:
// ask for it once the window is mapped.
void StartupView::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    QTimer::singleShot(0, this, [this] {
        raise();
        activateWindow();
    });
}

void StartupView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !rect().contains(event->position().toPoint()))
        return;
    const QPoint at = event->position().toPoint();
    if (title_->geometry().contains(at))
        model_.lblProductName_Click(1);
    else if (shadow_->geometry().contains(at))
        model_.lblProductName_Click(0);
    else if (logo_->geometry().contains(at))
        model_.imgLogo_Click();
    else
        model_.Frame1_Click(); // the frame, and the thin margin around it
    closeIfUnloaded();
}

void StartupView::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (text.isEmpty())
        return; // Shift, Ctrl, the arrows and the like give no character
    model_.Form_KeyPress(static_cast<Int16>(text.at(0).unicode()));
    closeIfUnloaded();
}

void StartupView::closeIfUnloaded() {
    if (!model_.Loaded)
        done(Accepted);
}

} // namespace mf::qt

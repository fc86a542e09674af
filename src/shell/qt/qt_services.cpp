// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/qt/qt_services.h"

#include <cstdio>
#include <unistd.h>

#include <QFontMetrics>
#include <QInputDialog>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>

#include "options/qt/custom_dialog.h"
#include "scores/qt/scores_dialog.h"
#include "shell/qt/help_view.h"
#include "shell/qt/startup_view.h"
#include "common/qt/qt_util.h"

namespace mf::qt {

namespace {

QMessageBox::Icon iconFor(int style) {
    switch (style & 0x70) {
    case vbCritical: return QMessageBox::Critical;
    case vbQuestion: return QMessageBox::Question;
    case vbExclamation: return QMessageBox::Warning;
    case vbInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

struct ButtonSet {
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton escape; // what closing the box answers
};

ButtonSet buttonsFor(int style) {
    using B = QMessageBox;
    switch (style & 0x7) {
    case vbOKCancel: return {B::Ok | B::Cancel, B::Cancel};
    case vbAbortRetryIgnore: return {B::Abort | B::Retry | B::Ignore, B::Ignore};
    case vbYesNoCancel: return {B::Yes | B::No | B::Cancel, B::Cancel};
    case vbYesNo: return {B::Yes | B::No, B::No};
    case vbRetryCancel: return {B::Retry | B::Cancel, B::Cancel};
    default: return {B::Ok, B::Ok};
    }
}

int resultOf(int button) {
    switch (button) {
    case QMessageBox::Cancel: return vbCancel;
    case QMessageBox::Abort: return vbAbort;
    case QMessageBox::Retry: return vbRetry;
    case QMessageBox::Ignore: return vbIgnore;
    case QMessageBox::Yes: return vbYes;
    case QMessageBox::No: return vbNo;
    default: return vbOK;
    }
}

} // namespace

int QtMessageBox::show(const std::string& text, const std::string& title, int style) {
    prepare();
    const ButtonSet set = buttonsFor(style);
    // A box over a minimised window (the boss key's message) stands on its
    // own, and the window stays minimised under it. A box transient for the
    // window would be hidden with it by most window managers. A parentless
    // dialog is made transient for the program's whole window group
    // instead, and KWin then restores the group's minimised windows as the
    // box maps. So the box is a plain top-level window, transient for none,
    // modal to the program.
    QWidget* owner = parent_ && !parent_->isMinimized() ? parent_.data() : nullptr;
    QMessageBox box(iconFor(style), qs(title), qs(text), set.buttons, owner);
    if (!owner) {
        box.setWindowModality(Qt::ApplicationModal);
        box.setWindowFlags((box.windowFlags() & ~Qt::WindowType_Mask) | Qt::Window);
    }
    box.setEscapeButton(set.escape);
    return resultOf(box.exec());
}

// The desktop's own single-line prompt. The description is for a screen
// reader only: it reads it with the box, as the box opens.
std::string QtInputBox::ask(const std::string& prompt, const std::string& title,
                            const std::string& description) {
    prepare();
    QInputDialog box(parent_);
    box.setWindowTitle(qs(title));
    box.setLabelText(qs(prompt));
    box.setInputMode(QInputDialog::TextInput);
    box.setTextEchoMode(QLineEdit::Normal);
    box.setTextValue(QString());
    box.setAccessibleDescription(qs(description));
    // Wide enough that the window manager shows the whole title: room for
    // it in a large bold face, and for three title buttons and an icon on
    // either side of it.
    QFont titleFace = box.font();
    titleFace.setBold(true);
    titleFace.setPointSizeF(kTitleRoomPoints);
    const int room = QFontMetrics(titleFace).horizontalAdvance(qs(title)) + 8 * kTitleButtonRoom;
    // The box sizes itself to its layout: the entry field takes the room.
    if (auto* entry = box.findChild<QLineEdit*>()) {
        const QMargins margins = box.layout() ? box.layout()->contentsMargins() : QMargins();
        entry->setMinimumWidth(room - margins.left() - margins.right());
    }
    return box.exec() == QDialog::Accepted ? box.textValue().toStdString() : std::string();
}

QtModalHost::QtModalHost() = default;
QtModalHost::~QtModalHost() = default;

void QtModalHost::showModal(FrmCustom& dialog) {
    prepare();
    CustomDialog window(dialog, parent_);
    window.exec();
}

void QtModalHost::showModal(Scores& scores) {
    prepare();
    ScoresDialog window(scores, parent_);
    window.exec();
}

void QtModalHost::showModal(StartupFrm& window) {
    prepare();
    StartupView about(window, parent_);
    about.setWindowModality(Qt::ApplicationModal);
    about.exec();
    if (parent_) { // the game window comes forward again
        parent_->raise();
        parent_->activateWindow();
    }
}

// The help window is hidden, not destroyed, by its button: the same window
// shows again until its model is unloaded.
void QtModalHost::showModal(HelpFrm& window) {
    prepare();
    if (!helpView_ || helpModel_ != &window) {
        helpView_ = std::make_unique<HelpView>(window, parent_);
        helpModel_ = &window;
    }
    helpView_->exec();
    if (!window.Loaded) {
        helpView_.reset();
        helpModel_ = nullptr;
    }
}

Int16 QtWindowState::windowState() const {
    return window_ && window_->isMinimized() ? 1 : 0;
}

// Minimising asks the window manager to iconify the window (WM_CHANGE_STATE);
// it does so before it maps a box shown next, whose request comes later.
// Restoring maps the window again, which brings it back under openbox and
// KWin: they unmap an iconic window. KWin then gives the focus to no window,
// and mutter (on X and XWayland) keeps an iconic window mapped, so the map
// does nothing there. Both restore and focus it on a _NET_ACTIVE_WINDOW
// request: activateWindow sends one, as an application, stamped with the
// time of the last event the program received (the answer to the box),
// which their focus-stealing prevention lets through.
void QtWindowState::setWindowState(Int16 state) {
    if (!window_)
        return;
    if (state == 1) {
        window_->showMinimized();
        return;
    }
    window_->showNormal();
    window_->raise();
    window_->activateWindow();
}

void QtProgramEnd::endProgram() {
    std::fflush(nullptr);
    _exit(0);
}

} // namespace mf::qt

// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/qt/main_view.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>

#include "shell/cell_names.h"
#include "shell/qt/board_widget.h"
#include "shell/qt/strip_widget.h"
#include "common/qt/command_gate.h"
#include "common/qt/qt_util.h"

namespace mf::qt {

namespace {

QLabel* makeStatusLabel(QWidget* parent, Qt::Alignment alignment) {
    auto* label = new QLabel(parent);
    label->setFont(gameFont(QStringLiteral("Comic Sans MS"), 12));
    label->setAlignment(alignment);
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    label->setAutoFillBackground(true);
    QPalette colours = label->palette();
    colours.setColor(QPalette::Window, Qt::black);
    colours.setColor(QPalette::WindowText, QColor(0, 255, 0));
    label->setPalette(colours);
    return label;
}

// The burning mine's centre, where the pointer points.
constexpr int kPointerHotSpot = 6;

// Pixel art scaled up for a high-density screen without blurring.
QPixmap crisp(const QPixmap& picture, qreal ratio) {
    if (ratio == 1.0 || picture.isNull())
        return picture;
    QPixmap scaled = picture.scaled(picture.size() * ratio, Qt::IgnoreAspectRatio,
                                    Qt::FastTransformation);
    scaled.setDevicePixelRatio(ratio);
    return scaled;
}

} // namespace

MainView::MainView(Main& model)
    : QMainWindow(nullptr, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                               Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                               Qt::CustomizeWindowHint),
      model_(model) {
    board_ = new BoardWidget(model_, this);
    board_->dispatch = [this](const std::function<void()>& handler) { command(handler); };
    setCentralWidget(board_);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    buildMenu();
    buildStrip();

    secTimer_.setInterval(GameClock::kInterval);
    connect(&secTimer_, &QTimer::timeout, this, [this] {
        tick(secTimer_, [this] { model_.SecTimer_Timer(); });
    });
    ha_.setInterval(Laugh::kInterval);
    connect(&ha_, &QTimer::timeout, this, [this] { tick(ha_, [this] { model_.Ha_Timer(); }); });
    heldTick_.setInterval(50);
    connect(&heldTick_, &QTimer::timeout, this, [this] {
        if (CommandGate::held())
            return;
        heldTick_.stop();
        if (std::exchange(secHeld_, false))
            run([this] { model_.SecTimer_Timer(); });
        if (std::exchange(haHeld_, false))
            run([this] { model_.Ha_Timer(); });
    });
    secTimer_.start();
    refresh();
    resetWord_->setFocus(); // the keyboard's first stop once the window shows
}

void MainView::tick(QTimer& timer, const std::function<void()>& handler) {
    if (CommandGate::held()) {
        (&timer == &secTimer_ ? secHeld_ : haHeld_) = true;
        heldTick_.start();
        return;
    }
    run(handler);
}

void MainView::buildMenu() {
    const std::function<void(QWidget*, const MainMenu::Node&)> add =
        [&](QWidget* parent, const MainMenu::Node& node) {
            if (node.isSeparator()) {
                static_cast<QMenu*>(parent)->addSeparator();
                return;
            }
            if (!node.children.empty()) {
                QMenu* menu = parent == menuBar() ? menuBar()->addMenu(qs(node.item->Caption))
                                                  : static_cast<QMenu*>(parent)->addMenu(qs(node.item->Caption));
                menu->setObjectName(qs(node.name));
                // A popup menu is named by its window title, which Qt leaves
                // empty: a screen reader would not say which menu opened.
                menu->setAccessibleName(spokenCaption(qs(node.item->Caption)));
                for (const MainMenu::Node& child : node.children)
                    add(menu, child);
                return;
            }
            QAction* action = static_cast<QMenu*>(parent)->addAction(qs(node.item->Caption));
            action->setObjectName(qs(node.name));
            if (!node.item->Shortcut.empty())
                action->setShortcut(QKeySequence(qs(node.item->Shortcut)));
            action->setShortcutContext(Qt::ApplicationShortcut);
            const std::string name = node.name;
            connect(action, &QAction::triggered, this, [this, name] {
                command([this, name] { model_.menuClick(name); });
            });
            actions_[name] = action;
            items_[action] = node.item;
        };
    for (const MainMenu::Node& top : model_.menu.tree())
        add(menuBar(), top);
}

void MainView::buildStrip() {
    // In the order a screen reader reads them, the strip's own left to right.
    QWidget* strip = board_->strip();
    time_ = makeStatusLabel(strip, Qt::AlignCenter);
    resetWord_ = new QPushButton(strip);
    resetWord_->setFont(gameFont(QStringLiteral("Comic Sans MS"), 12));
    resetFace_ = new QPushButton(strip);
    mines_ = makeStatusLabel(strip, Qt::AlignLeft | Qt::AlignVCenter);
    resetFace_->setIconSize(QSize(40, 32));
    connect(resetWord_, &QPushButton::clicked, this, [this] { command([this] { model_.ResetWrd_Click(); }); });
    connect(resetFace_, &QPushButton::clicked, this, [this] { command([this] { model_.Reset_Click(); }); });
}

QAction* MainView::action(const std::string& name) const {
    const auto found = actions_.find(name);
    return found == actions_.end() ? nullptr : found->second;
}

// Through the gate, so that no command starts inside one that holds the
// game: a screen reader's press arrives during a waited sound as well.
void MainView::command(const std::function<void()>& handler) {
    CommandGate::submit(this, [this, handler] { run(handler); });
}

void MainView::run(const std::function<void()>& handler) {
    ++running_;
    handler();
    --running_;
    refresh();
    if (running_ == 0 && std::exchange(closeHeld_, false))
        unload();
}

void MainView::syncMenu() {
    for (const auto& [action, item] : items_) {
        // Like the classic menus: a tick when checked, nothing otherwise.
        action->setCheckable(item->Checked);
        action->setChecked(item->Checked);
    }
}

void MainView::syncStrip() {
    const StatusStrip& s = model_.strip;
    // The holder spans the strip down to its lowest line, in board coordinates.
    board_->strip()->setGeometry(0, 0, board_->width(), px(s.Line1.Y1));
    time_->setGeometry(px(s.TimeLbl.rect));
    time_->setText(qs(s.TimeLbl.Caption));
    mines_->setGeometry(px(s.MinesLbl.rect));
    mines_->setText(qs(s.MinesLbl.Caption));
    resetWord_->setGeometry(px(s.ResetWrd.rect));
    resetWord_->setText(qs(s.ResetWrd.Caption));
    resetFace_->setGeometry(px(s.Reset.rect));
    resetFace_->setIcon(QIcon(crisp(pixmap(s.Reset.picture), devicePixelRatioF())));
    if (const QString face = qs(faceName(s.Reset.picture)); resetFace_->accessibleName() != face)
        resetFace_->setAccessibleName(face); // read aloud: which face shows
    swapResetButtons(s.ResetWrd.Visible ? resetWord_ : resetFace_);
}

// The two buttons take turns in one place, and the keyboard focus (the
// window's, even while another window is up) stays there: the new one shows
// and takes it before the old one hides, which would hand it on to the board.
void MainView::swapResetButtons(QPushButton* shown) {
    QPushButton* hidden = shown == resetWord_ ? resetFace_ : resetWord_;
    shown->setVisible(true);
    if (hidden->isHidden())
        return;
    if (focusWidget() == hidden)
        shown->setFocus(Qt::OtherFocusReason);
    hidden->setVisible(false);
}

void MainView::refresh() {
    // A minimised window is named by its icon text, for a screen reader and a
    // task bar alike: the caption too, so that the boss key's holds there.
    setWindowTitle(qs(model_.Caption));
    setWindowIconText(qs(model_.Caption));
    board_->setFixedSize(model_.Width / kTwipsPerPixel - kFrameWidth,
                         model_.Height / kTwipsPerPixel - kFrameHeight);
    syncMenu();
    syncStrip();
    if (model_.MousePointer == Main::kCustomPointer)
        setCursor(QCursor(pixmap(model_.MouseIcon), kPointerHotSpot, kPointerHotSpot));
    else
        unsetCursor();
    // The laugh ticks only while it has switching to do.
    if (model_.laugh.running() != ha_.isActive())
        model_.laugh.running() ? ha_.start() : ha_.stop();
    board_->repaint();
}

StatusStrip::Focus MainView::focusForEnter() const {
    const QWidget* focused = focusWidget();
    if (focused == resetWord_)
        return StatusStrip::Focus::ResetWrd;
    if (focused == resetFace_)
        return StatusStrip::Focus::Reset;
    if (focused == board_)
        return StatusStrip::Focus::Cell;
    return StatusStrip::Focus::Elsewhere;
}

// Enter reaches the window from whichever of its widgets has the focus, as
// none of them takes it for itself.
void MainView::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    event->accept();
    switch (model_.strip.enterPresses(focusForEnter())) {
    case StatusStrip::Press::ResetWrd: command([this] { model_.ResetWrd_Click(); }); break;
    case StatusStrip::Press::Reset: command([this] { model_.Reset_Click(); }); break;
    case StatusStrip::Press::Nothing: break;
    }
}

// The question is never put over another modal window of the game (the
// request is refused), nor in the middle of a handler such as a loss held by
// its explosion sound (it is asked once the handler is over).
void MainView::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (QApplication::activeModalWidget())
        return;
    if (running_ > 0) {
        closeHeld_ = true;
        return;
    }
    unload();
}

// Yes ends the program inside the handler; No keeps the window.
void MainView::unload() {
    Int16 cancel = 0;
    run([this, &cancel] { model_.Form_Unload(cancel); });
}

} // namespace mf::qt

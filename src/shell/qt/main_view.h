// SPDX-License-Identifier: GPL-3.0-or-later
// The main window on screen. It draws the Main model, turns menu commands,
// presses and timer ticks into the model's handlers, and brings itself up to
// date (repainted at once) after each of them.
#pragma once

#include <functional>
#include <map>

#include <QMainWindow>
#include <QTimer>

#include "shell/main_window.h"

class QAction;
class QLabel;
class QPushButton;

namespace mf::qt {

class BoardWidget;

class MainView : public QMainWindow {
public:
    // The client area below the menu bar is the model's outer size less this
    // allowance for the frame, title bar and menu bar, in pixels.
    static constexpr int kFrameWidth = 8;
    static constexpr int kFrameHeight = 50;

    // While the game is held (CommandGate::held: a sound that is waited
    // for), ticks that fall due are handled once after, and commands wait.
    explicit MainView(Main& model);

    void run(const std::function<void()>& handler);
    void refresh();

    BoardWidget* board() const { return board_; }
    QAction* action(const std::string& name) const;
    QLabel* timeLabel() const { return time_; }
    QLabel* minesLabel() const { return mines_; }
    QPushButton* resetWord() const { return resetWord_; }
    QPushButton* resetFace() const { return resetFace_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The close box, the window menu's Close and Alt+F4 ask before ending.
    void closeEvent(QCloseEvent* event) override;

private:
    // A command of the player's: menu items, the reset buttons, the board.
    void command(const std::function<void()>& handler);
    void buildMenu();
    void buildStrip();
    void tick(QTimer& timer, const std::function<void()>& handler);
    void syncMenu();
    void syncStrip();
    void swapResetButtons(QPushButton* shown);
    void unload();
    StatusStrip::Focus focusForEnter() const;

    Main& model_;
    BoardWidget* board_ = nullptr;
    QLabel* time_ = nullptr;
    QLabel* mines_ = nullptr;
    QPushButton* resetWord_ = nullptr;
    QPushButton* resetFace_ = nullptr;
    std::map<std::string, QAction*> actions_;
    std::map<QAction*, MenuItem*> items_;
    QTimer secTimer_;
    QTimer ha_;
    QTimer heldTick_;
    bool secHeld_ = false;
    bool haHeld_ = false;
    int running_ = 0;          // handlers under way (a waited-for sound runs inside one)
    bool closeHeld_ = false;   // a close request waits for them to finish
};

} // namespace mf::qt

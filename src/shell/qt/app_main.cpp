// SPDX-License-Identifier: GPL-3.0-or-later
// Marrowfen 2: starts the game on the desktop with its title window; the
// game window is made when the title window is closed.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

#include <QApplication>
#include <QIcon>

#include "game/clock_random.h"
#include "game/qt/qt_wave_device.h"
#include "shell/main_window.h"
#include "shell/qt/main_view.h"
#include "shell/qt/qt_services.h"
#include "common/qt/command_gate.h"
#include "common/qt/qt_util.h"
#include "shell/qt/startup_view.h"
#include "shell/startup_frm.h"

namespace {

// The desktop services and the game window, made once the title window goes.
struct Desktop {
    mf::SystemClock clock;
    mf::ClockSeededRandom random{clock};
    mf::qt::QtMessageBox messages;
    mf::qt::QtInputBox input;
    mf::qt::QtModalHost modal;
    mf::qt::QtWindowState windowState;
    mf::qt::QtWaveDevice wave;     // MMControl
    mf::qt::QtWaveDevice helpWave; // PigControl
    mf::qt::QtProgramEnd end;
    std::unique_ptr<mf::Main> game;
    std::unique_ptr<mf::qt::MainView> view;

    void showMain();
};

void Desktop::showMain() {
    if (!game) {
        game = std::make_unique<mf::Main>(
            mf::Services{messages, input, modal, windowState, wave, helpWave, end, random});
        game->Form_Load();
        view = std::make_unique<mf::qt::MainView>(*game);
        messages.setParent(view.get());
        input.setParent(view.get());
        modal.setParent(view.get());
        windowState.setWindow(view.get());
        // The window is up to date while a message or a waited-for sound
        // holds the game: the explosion is on screen while it sounds.
        const auto refresh = [this] { view->refresh(); };
        messages.beforeShow = refresh;
        input.beforeShow = refresh;
        modal.beforeShow = refresh;
        wave.beforeWait = refresh;
    }
    view->show();
    view->raise();
    view->activateWindow();
}

bool variableSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

// Whether Qt can show a window. Without a display it would abort, leaving a
// core dump: started over ssh or on a text console, the game says so in one
// line instead. A platform the player names in QT_QPA_PLATFORM (a list split
// by ';', each with ':' options) is left to Qt, unless it is X alone without
// an X display.
bool graphicalSessionFound() {
    if (!variableSet("QT_QPA_PLATFORM"))
        return variableSet("DISPLAY") || variableSet("WAYLAND_DISPLAY");
    std::string_view platforms = std::getenv("QT_QPA_PLATFORM");
    while (!platforms.empty()) {
        const std::string_view entry = platforms.substr(0, platforms.find(';'));
        if (entry.substr(0, entry.find(':')) != "xcb")
            return true;
        platforms.remove_prefix(std::min(platforms.size(), entry.size() + 1));
    }
    return variableSet("DISPLAY");
}

} // namespace

int main(int argc, char* argv[]) {
    if (!graphicalSessionFound()) {
        std::fputs("marrowfen2: no graphical session was found (no display in DISPLAY or WAYLAND_DISPLAY); "
                   "log in to a desktop and start Marrowfen 2 from its menu or from a terminal there\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(mf::qt::picturePath(mf::Picture::Icon)));

    // A waited sound holds the game: its timers, and commands a screen reader
    // gives, wait for the end of it as keyboard and mouse input does.
    mf::qt::CommandGate::setHeld([] { return mf::qt::QtWaveDevice::anyWaiting(); });
    Desktop desktop;
    mf::StartupFrm startup([&desktop] { desktop.showMain(); });
    auto* title = new mf::qt::StartupView(startup);
    title->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(title, &QDialog::finished, title, &QWidget::close);
    title->show();
    return QApplication::exec();
}

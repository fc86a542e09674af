// SPDX-License-Identifier: GPL-3.0-or-later
// Marrowfen 2: starts the game on the desktop with its title window; the
// game window is made when the title window is closed.
#include <memory>
#include <optional>

#include <QApplication>
#include <QIcon>

#include "game/clock_random.h"
#include "game/qt/qt_wave_device.h"
#include "shell/main_window.h"
#include "shell/qt/main_view.h"
#include "shell/qt/qt_services.h"
#include "common/qt/command_gate.h"
#include "common/qt/qt_util.h"
#include "shell/qt/start_guard.h"
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

} // namespace

int main(int argc, char* argv[]) {
    std::optional<mf::qt::StartGuard> guard(std::in_place);
    QApplication app(argc, argv);
    guard.reset();
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

// Marrowfen 2: starts the game on the desktop.
#include <QApplication>
#include <QIcon>

#include "game/clock_random.h"
#include "game/qt/qt_wave_device.h"
#include "shell/main_window.h"
#include "shell/qt/main_view.h"
#include "shell/qt/qt_services.h"
#include "shell/qt/qt_util.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(QIcon(mf::qt::picturePath(mf::Picture::Icon)));

    mf::SystemClock clock;
    mf::ClockSeededRandom random(clock);
    mf::qt::QtMessageBox messages;
    mf::qt::QtInputBox input;
    mf::qt::QtModalHost modal;
    mf::qt::QtWindowState windowState;
    mf::qt::QtWaveDevice wave;
    mf::qt::QtProgramEnd end;

    mf::Main game({messages, input, modal, windowState, wave, end, random});
    game.Form_Load();

    mf::qt::MainView view(game, [] { return mf::qt::QtWaveDevice::anyWaiting(); });
    messages.setParent(&view);
    input.setParent(&view);
    modal.setParent(&view);
    windowState.setWindow(&view);
    // The window is up to date while a message or a waited-for sound holds
    // the game: the explosion is on screen while it sounds.
    const auto refresh = [&view] { view.refresh(); };
    messages.beforeShow = refresh;
    input.beforeShow = refresh;
    modal.beforeShow = refresh;
    wave.beforeWait = refresh;
    // Each sound is loaded when it is first played and kept: setting up the
    // audio output at start would cost the first window time and memory.
    view.show();
    return QApplication::exec();
}

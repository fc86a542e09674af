// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands that open its other windows or leave the game:
// About, How To Play, Quit and the close box.
#include "shell/main_window.h"
#include "shell/startup_frm.h"

namespace mf {

void Main::About_Click() {
    // The game window exists already: closing the title window only brings
    // it forward, which the desktop does when the modal window goes.
    StartupFrm about([] {});
    services_.modal.showModal(about);
}

void Main::How_Click() {
    if (!help_)
        help_ = std::make_unique<HelpFrm>(menu.MnuSndOn, services_.helpWave);
    help_->Visible = true;
    services_.modal.showModal(*help_);
    if (!help_->Loaded)
        help_.reset();
}

int Main::askToQuit() {
    return services_.messages.show(kQuitQuestion, kTitle, vbYesNo + vbQuestion);
}

void Main::Quit_Click() {
    if (askToQuit() == vbYes)
        PlaySound(4); // ends the program
}

void Main::Form_Unload(Int16& Cancel) {
    const int answer = askToQuit();
    Cancel = static_cast<Int16>(answer - vbYes);
    if (answer == vbYes)
        PlaySound(4); // ends the program before the unload completes
}

} // namespace mf

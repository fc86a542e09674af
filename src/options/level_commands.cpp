// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's level commands and the safe-corners switch.
#include "shell/main_window.h"

namespace mf {

void Main::levelCommand(OptionButton FrmCustom::*option) {
    FrmCustom& dialog = custom();
    dialog.select(dialog.*option);
    dialog.UpdateLabel();
    ResetBoard();
}

void Main::Beginner_Click() { levelCommand(&FrmCustom::Beginner); }
void Main::Intermediate_Click() { levelCommand(&FrmCustom::Intermediate); }
void Main::Expert_Click() { levelCommand(&FrmCustom::Expert); }

void Main::Custom_Click() {
    FrmCustom& dialog = custom();
    dialog.opened();
    services_.modal.showModal(dialog);
}

void Main::Safe_Click() {
    if (menu.Safe.Checked) {
        services_.messages.show("The Corners Will Become Unsafe Next Time You Reset The Minefield",
                                kTitle, vbOKCancel + vbExclamation);
        menu.Safe.Checked = false;
    } else {
        services_.messages.show("The Corners Will Become Safe Next Time You Reset The Minefield",
                                kTitle, vbOKCancel + vbInformation);
        menu.Safe.Checked = true;
    }
}

} // namespace mf

// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/startup_frm.h"

#include <cstdint>
#include <utility>

namespace mf {

StartupFrm::StartupFrm(std::function<void()> showMain) : showMain_(std::move(showMain)) {}

namespace {

// Letters, digits, punctuation and space, and of the control characters
// only those of Enter, Escape and Backspace; not Tab nor Delete.
bool givesCharacter(Int16 KeyAscii) {
    const auto code = static_cast<std::uint16_t>(KeyAscii);
    return code == 8 || code == 13 || code == 27 || (code >= 32 && code != 127 && (code < 128 || code >= 160));
}

} // namespace

void StartupFrm::Form_KeyPress(Int16 KeyAscii) {
    if (givesCharacter(KeyAscii))
        Frame1_Click();
}

void StartupFrm::lblProductName_Click(Int16 /*Index*/) {
    Frame1_Click();
}

void StartupFrm::Frame1_Click() {
    if (!Loaded)
        return; // a second click queued behind the first
    Loaded = false;
    if (showMain_)
        showMain_();
}

} // namespace mf

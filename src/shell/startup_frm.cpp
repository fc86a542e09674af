#include "shell/startup_frm.h"

#include <utility>

namespace mf {

StartupFrm::StartupFrm(std::function<void()> showMain) : showMain_(std::move(showMain)) {}

void StartupFrm::Form_KeyPress(Int16 KeyAscii) {
    if (KeyAscii != 0)
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

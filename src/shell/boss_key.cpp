// SPDX-License-Identifier: GPL-3.0-or-later
// The boss key: the game hides behind a spreadsheet's crash message until
// the player answers it.
#include <algorithm>
#include <array>

#include "shell/main_window.h"

namespace mf {

namespace {

constexpr std::array<char, 16> kDigits{'0', '1', '2', '3', '4', '5', '6', '7',
                                       '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};
constexpr int kCodeLength = 8;

} // namespace

std::string Main::bossCode() {
    std::string code;
    for (int k = 0; k < kCodeLength; ++k) {
        const int digit = std::clamp(static_cast<int>(16 * services_.random.next()), 0, 15);
        code += kDigits[static_cast<std::size_t>(digit)];
    }
    return code;
}

void Main::MnuBoss_Click() {
    services_.window.setWindowState(1);
    Caption = kBossCaption;
    int answer = vbRetry;
    while (answer == vbRetry)
        answer = services_.messages.show(kBossText + bossCode(), kBossCaption,
                                         vbAbortRetryIgnore + vbCritical);
    if (answer == vbAbort)
        services_.end.endProgram(); // no question, no sound
    services_.window.setWindowState(0);
    Caption = kMainCaption;
}

} // namespace mf

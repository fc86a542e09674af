// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/main_window.h"

#include <functional>
#include <unordered_map>

namespace mf {

Main::Main(Services services)
    : sound(services.wave, services.end), services_(std::move(services)) {}

Main::~Main() = default;

FrmCustom& Main::custom() {
    if (!custom_) {
        custom_ = std::make_unique<FrmCustom>(menu, [this] { Reset_Click(); });
        custom_->Form_Load();
    }
    return *custom_;
}

void Main::Form_Load() {
    Intermediate_Click();
}

void Main::ResetBoard() {
    services_.random.reseed();

    Blow.Visible = false;
    Blow.rect.Top = 720;
    Blow.rect.Left = -120;
    strip.showFace(false);
    MousePointer = kDefaultPointer;

    FrmCustom& levels = custom();
    field.BoardSize = static_cast<Int16>(levels.scrSize.Value);
    field.MineCount = Minefield::mineCountFor(levels.scrSize.Value, levels.scrDensity.Value);
    field.coverBoard();
    fitWindow();
    field.placeMines(services_.random, menu.Safe.Checked);
    field.computeValues();

    field.ClockStarted = 0;
    field.GameActive = 1;
    strip.TimeLbl.Caption = "TIME: 0";
    field.ElapsedSeconds = 0;
    clock.VScrolltime.Value = 0; // a win before the first tick is timed 0
    field.MinesLeft = field.MineCount;
    strip.MinesLbl.Caption = "MINES: " + numberText(field.MinesLeft);
    field.BlankStyle = static_cast<Int16>(services_.random.next() * 5);
    ++boardsBuilt;
}

void Main::fitWindow() {
    const int n = field.BoardSize;
    Height = 365 * n + 1750;
    Width = n > 11 ? 365 * n + 300 : 4315;
    strip.fit(n);
}

void Main::SecTimer_Timer() {
    if (!clock.tick(field, strip.TimeLbl, services_.window.windowState()))
        return;
    clock.limitMessageOpen = true;
    services_.messages.show(kTimeLimitText, kTitle, vbOKOnly + vbCritical);
    clock.limitMessageOpen = false;
    Reset_Click();
}

bool Main::menuClick(std::string_view name) {
    static const std::unordered_map<std::string_view, void (Main::*)()> handlers = {
        {"Beginner", &Main::Beginner_Click},
        {"Intermediate", &Main::Intermediate_Click},
        {"Expert", &Main::Expert_Click},
        {"Custom", &Main::Custom_Click},
        {"MnuReset", &Main::MnuReset_Click},
        {"ShwScore", &Main::ShwScore_Click},
        {"MnuSndOn", &Main::MnuSndOn_Click},
        {"Safe", &Main::Safe_Click},
        {"About", &Main::About_Click},
        {"How", &Main::How_Click},
        {"Quit", &Main::Quit_Click},
        {"min", &Main::min_Click},
        {"MnuBoss", &Main::MnuBoss_Click},
    };
    const auto found = handlers.find(name);
    if (found == handlers.end())
        return false;
    std::invoke(found->second, this);
    return true;
}

} // namespace mf

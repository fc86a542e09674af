// SPDX-License-Identifier: GPL-3.0-or-later
#include "options/frm_custom.h"

#include <algorithm>
#include <array>

#include "game/minefield.h"
#include "game/words.h"

namespace mf {

namespace {

struct Level {
    int size;
    int density;
};

// Beginner, Intermediate, Expert (levels 1 to 3); Custom keeps the scroll
// values.
constexpr std::array<Level, 3> kLevels = {{{6, 18}, {11, 20}, {14, 25}}};

std::string densityBoardWords(int side, int density) {
    return boardWords(side, Minefield::mineCountFor(side, density));
}

} // namespace

FrmCustom::FrmCustom(MainMenu& menu, std::function<void()> resetClick)
    : menu_(menu), resetClick_(std::move(resetClick)) {}

void FrmCustom::UpdateLabel() {
    // The values are set without raising their change notification: the
    // refresh would only put the same values back.
    std::string name;
    const std::array<OptionButton*, 3> standard = {&Beginner, &Intermediate, &Expert};
    for (std::size_t k = 0; k < standard.size(); ++k) {
        if (!standard[k]->Value)
            continue;
        name = levelWords(int(k) + 1);
        scrSize.Value = kLevels[k].size;
        scrDensity.Value = kLevels[k].density;
        Custonoff(1);
        ChangeMenu(static_cast<Int16>(k + 1));
    }
    if (optCustom.Value) {
        name = levelWords(0);
        Custonoff(0);
        ChangeMenu(4);
    }
    const std::string side = numberText(scrSize.Value);
    Display.Caption = name + "\r\n" + side + " by " + side + "\r\n" +
                      numberText(scrDensity.Value) + "%";
}

void FrmCustom::Custonoff(Int16 flag) {
    Height = flag == 1 ? kCompactHeight : kTallHeight;
}

void FrmCustom::ChangeMenu(Int16 level) {
    for (int k = 1; k <= 4; ++k)
        menu_.levelItem(k)->Checked = false;
    if (MenuItem* item = menu_.levelItem(level))
        item->Checked = true;
}

void FrmCustom::Ok_Click() {
    Visible = false;
    resetClick_();
}

void FrmCustom::runClick(OptionButton& option) {
    if (&option == &Beginner)
        Beginner_Click();
    else if (&option == &Intermediate)
        Intermediate_Click();
    else if (&option == &Expert)
        Expert_Click();
    else
        optCustom_Click();
}

void FrmCustom::select(OptionButton& option) {
    if (option.Value)
        return;
    for (OptionButton* each : options())
        each->Value = false;
    option.Value = true;
    runClick(option);
}

void FrmCustom::setScroll(ScrollBar& bar, int value) {
    const int clamped = std::clamp(value, bar.Min, bar.Max);
    if (clamped == bar.Value)
        return;
    bar.Value = clamped;
    if (&bar == &scrSize)
        scrSize_Change();
    else
        scrDensity_Change();
}

std::string FrmCustom::sizeWords() const { return sideWords(scrSize.Value); }

std::string FrmCustom::densityWords() const {
    return std::to_string(scrDensity.Value) + "%";
}

std::string FrmCustom::optionWords(const OptionButton& option) const {
    const std::array<const OptionButton*, 3> standard = {&Beginner, &Intermediate, &Expert};
    for (std::size_t k = 0; k < standard.size(); ++k)
        if (standard[k] == &option)
            return densityBoardWords(kLevels[k].size, kLevels[k].density);
    return densityBoardWords(scrSize.Value, scrDensity.Value);
}

std::string FrmCustom::chosenName() const {
    const std::array<const OptionButton*, 3> standard = {&Beginner, &Intermediate, &Expert};
    for (std::size_t k = 0; k < standard.size(); ++k)
        if (standard[k]->Value)
            return levelWords(int(k) + 1);
    return levelWords(0);
}

std::string FrmCustom::barLockWords() const {
    if (optCustom.Value)
        return {};
    return "set by " + chosenName() + "; choose Custom to change it";
}

void FrmCustom::opened() {
    Visible = true;
    const auto group = options();
    for (std::size_t k = 0; k < group.size(); ++k)
        if (group[k]->Value)
            openedWith_.option = static_cast<int>(k);
    openedWith_.size = scrSize.Value;
    openedWith_.density = scrDensity.Value;
}

void FrmCustom::closedByFrame() {
    Visible = false;
    const auto group = options();
    for (OptionButton* each : group)
        each->Value = false;
    group[static_cast<std::size_t>(openedWith_.option)]->Value = true;
    scrSize.Value = openedWith_.size;
    scrDensity.Value = openedWith_.density;
    UpdateLabel();
}

} // namespace mf

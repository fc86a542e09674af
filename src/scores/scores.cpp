// SPDX-License-Identifier: GPL-3.0-or-later
#include "scores/scores.h"

#include <utility>

namespace mf {

namespace {

constexpr std::array<int, 3> kRowTops = {840, 1320, 1800};

Label label(Rect rect, std::string caption = {}) {
    Label l;
    l.rect = rect;
    l.Caption = std::move(caption);
    return l;
}

Button button(Rect rect, std::string caption) {
    Button b;
    b.rect = rect;
    b.Caption = std::move(caption);
    return b;
}

} // namespace

Scores::Scores(MessageBox& box, std::string path)
    : box_(box), file_(std::move(path), box) {
    const std::string heading = "All Time High Speed Mine Sweepers";
    Label1[0] = label({230, 110, 6135, 495}, heading);
    Label1[1] = label({240, 120, 6135, 495}, heading);
    Label2 = label({960, 840, 1140, 285}, "Beginner:");
    Label3 = label({600, 1320, 1500, 285}, "Intermediate:");
    Label4 = label({1320, 1800, 840, 285}, "Expert:");
    for (std::size_t i = 0; i < kRowTops.size(); ++i) {
        const int top = kRowTops[i];
        LblName[i] = label({2280, top, 1215, 270});
        lab2[i] = label({3720, top, 165, 270}, "In");
        LblTime[i] = label({4080, top, 405, 270});
        lab[i] = label({4680, top, 930, 270}, "Seconds");
    }
    CmdClrScore = button({240, 2280, 1455, 615}, "   Clear High          Scores");
    cmdExit = button({4920, 2280, 1455, 615}, "OK");
}

void Scores::Form_Load() {
    file_.Open();
    ShowScores();
}

void Scores::Form_Unload() {
    file_.Close();
}

void Scores::ShowScores() {
    for (std::size_t i = 0; i < LblName.size(); ++i) {
        work_ = file_.Read(static_cast<Int16>(i + 1));
        LblName[i].Caption = work_.displayName();
        LblTime[i].Caption = work_.displayTime();
    }
}

void Scores::CmdClrScore_Click() {
    const int answer = box_.show("Are you sure you want to PERMANTLY clear the high scores?",
                                 kTitle, vbYesNo + vbExclamation);
    if (answer != vbYes)
        return;
    for (Int16 n = 1; n <= 3; ++n) {
        work_.Name = "Anonymous";
        work_.Time = "999";
        file_.Write(n, work_);
    }
    ShowScores();
}

// Unloads the window; the file is closed by Form_Unload.
void Scores::cmdExit_Click() {
    Visible = false;
}

} // namespace mf

// SPDX-License-Identifier: GPL-3.0-or-later
// The Hall of Fame window: the best time of each standard level with its
// holder, and a command that resets all three.
#pragma once

#include <array>
#include <string>

#include "game/controls.h"
#include "game/platform.h"
#include "scores/score_file.h"
#include "scores/score_record.h"

namespace mf {

class Scores {
public:
    explicit Scores(MessageBox& box, std::string path = kScoreFileName);

    std::string Caption = "-=:Hall Of Fame:=-";
    int ClientWidth = 6465;
    int ClientHeight = 3015;
    bool Visible = true;

    // The heading twice, 10 twips apart, for a shadow.
    std::array<Label, 2> Label1;
    Label Label2;
    Label Label3;
    Label Label4;
    // Rows 0, 1, 2: Beginner, Intermediate, Expert.
    std::array<Label, 3> LblName;
    std::array<Label, 3> lab2;
    std::array<Label, 3> LblTime;
    std::array<Label, 3> lab;
    Button CmdClrScore;
    Button cmdExit;

    void Form_Load();
    void Form_Unload();
    void ShowScores();
    void CmdClrScore_Click();
    void cmdExit_Click();

private:
    MessageBox& box_;
    ScoreFile file_;
    ScoreRecord work_;
};

} // namespace mf

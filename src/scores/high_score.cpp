// SPDX-License-Identifier: GPL-3.0-or-later
// After a win: the level's record, the name of a new holder, the Hall of Fame.
#include "shell/main_window.h"

#include "scores/score_file.h"
#include "scores/score_words.h"
#include "scores/scores.h"

namespace mf {

void Main::HighScore() {
    strip.showFace(true);
    const auto record = static_cast<Int16>(menu.checkedLevel());
    if (menu.Custom.Checked || record == 0) {
        strip.Reset.picture = Picture::ImgGrowl;
        PlaySound(kSoundWin);
        return;
    }
    ScoreFile file(services_.scoreFile, services_.messages);
    file.Open();
    const int t = clock.VScrolltime.Value;
    const int s = file.Read(record).timeValue();
    if (t >= s) {
        strip.Reset.picture = Picture::ImgGrowl;
        file.Close();
        PlaySound(kSoundWin);
        return;
    }
    strip.Reset.picture = Picture::ImgHodrel;
    ScoreRecord entry;
    entry.Name = services_.input.ask("Enter Your Name", "Congratulations!", newRecordWords(record, t));
    entry.setTime(t);
    // Another copy of the game may have stored a better time meanwhile.
    file.WriteIfBetter(record, entry);
    file.Close();
    PlaySound(kSoundRecord);
    ShwScore_Click();
}

void Main::ShwScore_Click() {
    Scores window(services_.messages, services_.scoreFile);
    window.Form_Load();
    services_.modal.showModal(window);
    window.Form_Unload();
}

} // namespace mf

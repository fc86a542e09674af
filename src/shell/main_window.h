// SPDX-License-Identifier: GPL-3.0-or-later
// The game window: its controls, its round and its handlers. The parts it is
// made of each keep their own rules; Main wires them to the menu and timers.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "game/controls.h"
#include "game/game_clock.h"
#include "game/laugh.h"
#include "game/minefield.h"
#include "game/platform.h"
#include "game/sound_player.h"
#include "options/frm_custom.h"
#include "shell/help_frm.h"
#include "shell/main_menu.h"
#include "shell/status_strip.h"

namespace mf {

// What the game needs from the desktop.
struct Services {
    MessageBox& messages;
    InputBox& input;
    ModalHost& modal;
    WindowState& window;
    WaveDevice& wave;     // MMControl, the main window's
    WaveDevice& helpWave; // PigControl, the help window's
    ProgramEnd& end;
    RandomSource& random;
    std::string scoreFile = "Vorask7.fez";
};

inline constexpr const char* kMainCaption = " -=:Marrowfen 2:=-";
inline constexpr const char* kQuitQuestion = "Are you sure you want to quit?";
inline constexpr const char* kBossCaption = "Microsoft Excel";
inline constexpr const char* kBossText = "Sorry Microsoft Excel Has Caused A Memory Sharing Voliation: ";

class Main {
public:
    static constexpr Int16 kDefaultPointer = 0;
    static constexpr Int16 kCustomPointer = 99;

    explicit Main(Services services);
    ~Main();

    std::string Caption = kMainCaption;
    int Width = 0;  // outer size in twips, fitted to the board by ResetBoard
    int Height = 0;
    Int16 MousePointer = kDefaultPointer;
    int boardsBuilt = 0; // new boards built so far, the first included
    Picture MouseIcon = Picture::imgBrnM1;

    MainMenu menu;
    StatusStrip strip;
    Minefield field;
    Image Blow{{-120, 720, 960, 960}, false, Picture::Blow, ""};
    GameClock clock;
    Laugh laugh;
    SoundPlayer sound;

    // The difficulty dialog, created hidden on first use.
    FrmCustom& custom();

    void Form_Load();
    void ResetBoard();
    void MnuReset_Click() { ResetBoard(); }
    void ResetWrd_Click() { ResetBoard(); }
    void Reset_Click() { ResetBoard(); }

    void Command2_MouseDown(Int16 Index, Int16 Button);
    void ButPic_Click(Int16 Index);
    void ShowButton(Int16 Index);
    void ShowNone(Int16 Index) { field.ShowNone(Index); }
    void ShowAround(Int16 Index) { field.ShowAround(Index); }
    void Endgame(Int16 kind, Int16 column, Int16 row);
    void HighScore();
    void PlaySound(Int16 n) { sound.PlaySound(n, menu.MnuSndOn.Checked); }

    void SecTimer_Timer();
    void Ha_Timer() { laugh.Ha_Timer(strip.Reset); }

    void Beginner_Click();
    void Intermediate_Click();
    void Expert_Click();
    void Custom_Click();
    void Safe_Click();
    void MnuSndOn_Click() { menu.MnuSndOn.Checked = !menu.MnuSndOn.Checked; }
    void ShwScore_Click();
    void About_Click();
    void How_Click();
    void Quit_Click();
    void Form_Unload(Int16& Cancel);
    void min_Click() { services_.window.setWindowState(1); }
    void MnuBoss_Click();

    // The help window while it exists (created by How_Click, gone once
    // unloaded), or nullptr.
    HelpFrm* help() const { return help_.get(); }

    // Runs the handler of a menu item by its name; false if it has none.
    bool menuClick(std::string_view name);

private:
    void levelCommand(OptionButton FrmCustom::*option);
    void fitWindow();
    void uncoverAll();
    void stageLoss(Int16 column, Int16 row);
    int askToQuit();
    std::string bossCode();

    Services services_;
    std::unique_ptr<FrmCustom> custom_;
    std::unique_ptr<HelpFrm> help_;
};

} // namespace mf

// SPDX-License-Identifier: GPL-3.0-or-later
// Fakes of the desktop services for the game's unit tests and benchmarks, and
// a Harness that builds a main window on them. Nothing here needs a display,
// and nothing here depends on the test framework, so the benchmarks use it too.
#pragma once

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>
#include <random>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "game/minefield.h"
#include "game/platform.h"
#include "options/frm_custom.h"
#include "shell/main_window.h"

namespace mf::fakes {

// A private directory made with mkdtemp, removed with everything in it.
class TempDir {
public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "marrowfen-unit-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        unlockAll(path_);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

private:
    // A test may leave a folder read-only; give it back before removing.
    static void unlockAll(const std::filesystem::path& dir) {
        using std::filesystem::perms;
        std::error_code ignored;
        std::filesystem::permissions(dir, perms::owner_all, std::filesystem::perm_options::add, ignored);
        for (const auto& entry : std::filesystem::directory_iterator(dir, ignored))
            if (entry.is_directory(ignored) && !entry.is_symlink(ignored))
                unlockAll(entry.path());
    }

    std::filesystem::path path_;
};

struct MessageCall {
    std::string text;
    std::string title;
    int style = 0;
};

// Answers with the scripted buttons in turn, vbOK once they run out. onShow
// runs while the box is "open", before it answers.
class FakeMessageBox : public MessageBox {
public:
    int show(const std::string& text, const std::string& title, int style) override {
        calls.push_back({text, title, style});
        if (onShow)
            onShow(MessageCall{text, title, style});
        if (answers.empty())
            return vbOK;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<MessageCall> calls;
    std::deque<int> answers;
    std::function<void(const MessageCall&)> onShow;
};

// Answers with the scripted texts in turn, the empty text (Cancel) after.
class FakeInputBox : public InputBox {
public:
    std::string ask(const std::string& prompt, const std::string& title,
                    const std::string& description = {}) override {
        prompts.push_back(prompt);
        titles.push_back(title);
        descriptions.push_back(description);
        if (answers.empty())
            return {};
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<std::string> prompts;
    std::vector<std::string> titles;
    std::vector<std::string> descriptions;
    std::deque<std::string> answers;
};

// Records which window was shown; the callbacks act on the window while it
// is "shown" (click its options, press OK, close it by the frame...).
class FakeModal : public ModalHost {
public:
    void showModal(FrmCustom& dialog) override {
        shown.push_back("FrmCustom");
        if (onCustom)
            onCustom(dialog);
    }
    void showModal(Scores& window) override {
        shown.push_back("Scores");
        if (onScores)
            onScores(window);
    }
    void showModal(StartupFrm& window) override {
        shown.push_back("StartupFrm");
        if (onStartup)
            onStartup(window);
    }
    void showModal(HelpFrm& window) override {
        shown.push_back("HelpFrm");
        if (onHelp)
            onHelp(window);
    }

    std::vector<std::string> shown;
    std::function<void(FrmCustom&)> onCustom;
    std::function<void(Scores&)> onScores;
    std::function<void(StartupFrm&)> onStartup;
    std::function<void(HelpFrm&)> onHelp;
};

class FakeWindowState : public WindowState {
public:
    Int16 windowState() const override { return state; }
    void setWindowState(Int16 s) override { state = s; }
    Int16 state = 0;
};

// Keeps every property set and command given, in order, as text:
// "Close", "DeviceType=WaveAudio", "FileName=Vorask1.fez", "Open", "Wait=1", "Play".
class RecordingWaveDevice : public WaveDevice {
public:
    void setDeviceType(const std::string& type) override { record("DeviceType=" + type); }
    void setFileName(const std::string& name) override { record("FileName=" + name); }
    void setWait(bool wait) override { record(wait ? "Wait=1" : "Wait=0"); }
    void setCommand(const std::string& command) override { record(command); }

    // The files opened so far, in order.
    std::vector<std::string> files() const {
        std::vector<std::string> names;
        for (const std::string& entry : log)
            if (entry.rfind("FileName=", 0) == 0)
                names.push_back(entry.substr(9));
        return names;
    }

    std::vector<std::string> log;
    std::function<void(const std::string&)> onRecord; // runs after each entry

private:
    void record(std::string entry) {
        log.push_back(entry);
        if (onRecord)
            onRecord(entry);
    }
};

class FakeProgramEnd : public ProgramEnd {
public:
    [[noreturn]] void endProgram() override {
        ++count;
        throw ProgramEnded{};
    }
    int count = 0;
};

// Hands out the queued values first, then a seeded Mersenne Twister. A reseed
// is counted but changes nothing, so that runs are repeatable.
class ScriptedRandom : public RandomSource {
public:
    explicit ScriptedRandom(unsigned seed = 20240611u) : engine_(seed) {}

    void reseed() override {
        ++reseeds;
        if (onReseed)
            onReseed();
    }
    double next() override {
        ++draws;
        if (!queued.empty()) {
            const double value = queued.front();
            queued.pop_front();
            return value;
        }
        // 53 random bits: uniform in [0, 1), never 1.
        const std::uint64_t a = engine_() >> 5;
        const std::uint64_t b = engine_() >> 6;
        return static_cast<double>(a * 67108864u + b) * 0x1.0p-53;
    }

    // Starts the fallback sequence afresh from `seed`.
    void seedFallback(unsigned seed) { engine_.seed(seed); }

    // A draw that makes floor(k * u) come out as `choice` (0-based).
    static double pick(int choice, int k) { return (choice + 0.5) / k; }

    std::deque<double> queued;
    int reseeds = 0;
    long draws = 0;
    std::function<void()> onReseed;

private:
    std::mt19937 engine_;
};

struct Cell {
    int column;
    int row;
};

// How a test failure names a cell.
inline void PrintTo(const Cell& cell, std::ostream* os) {
    *os << "(" << cell.column << ", " << cell.row << ")";
}

// 43-byte record of the best-times file as it lies on the disk.
inline std::string recordBytes(const std::string& name, const std::string& time) {
    std::string bytes = name.substr(0, 40);
    bytes.resize(40, ' ');
    std::string t = time.substr(0, 3);
    t.resize(3, ' ');
    return bytes + t;
}

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A main window on fakes, loaded (Intermediate, first board built) unless
// asked not to. Its record file lies in a private temporary directory.
struct Harness {
    explicit Harness(bool load = true)
        : main(Services{messages, input, modal, window, wave, helpWave, end, random, scoreFile()}) {
        if (load)
            main.Form_Load();
    }

    std::string scoreFile() const { return dir.file("Vorask7.fez"); }

    Minefield& field() { return main.field; }
    Button& button(int column, int row) { return main.field.Command2[Minefield::CellIndex(column, row)]; }
    Image& picture(int column, int row) { return main.field.ButPic[Minefield::CellIndex(column, row)]; }
    Int16 value(int column, int row) const { return main.field.CellValue[column][row]; }

    void press(int column, int row, Int16 mouseButton = 1) {
        main.Command2_MouseDown(Minefield::CellIndex(column, row), mouseButton);
    }
    void clickPicture(int column, int row) { main.ButPic_Click(Minefield::CellIndex(column, row)); }
    void ticks(int n) {
        for (int k = 0; k < n; ++k)
            main.SecTimer_Timer();
    }

    // Sets the safe-corners mark through its menu command (the notice is
    // answered OK).
    void setSafe(bool on) {
        if (main.menu.Safe.Checked != on)
            main.Safe_Click();
    }

    // Starts a custom game of the given size and density through the dialog.
    void custom(int size, int density) {
        auto previous = std::move(modal.onCustom);
        modal.onCustom = [&](FrmCustom& d) {
            d.select(d.optCustom);
            d.setScroll(d.scrSize, size);
            d.setScroll(d.scrDensity, density);
            d.Ok_Click();
        };
        main.Custom_Click();
        modal.onCustom = std::move(previous);
    }

    // The lowest density that gives `mines` mines on a board of `size`.
    static int densityFor(int size, int mines) {
        for (int d = 5; d <= 50; ++d)
            if (Minefield::mineCountFor(size, d) == mines)
                return d;
        throw std::logic_error("no density gives that many mines");
    }

    // Builds a new board of the level in force with the mines exactly where
    // asked, by scripting the generator's draws, and the empty-cell style.
    void layMines(const std::vector<Cell>& mines, int blankStyle = 0) {
        const FrmCustom& levels = main.custom();
        const int size = levels.scrSize.Value;
        if (Minefield::mineCountFor(size, levels.scrDensity.Value) != static_cast<int>(mines.size()))
            throw std::logic_error("mine count does not match the level");
        random.queued.clear();
        for (const Cell& m : mines) {
            random.queued.push_back((m.column - 0.5) / size);
            random.queued.push_back((m.row - 0.5) / size);
        }
        random.queued.push_back(ScriptedRandom::pick(blankStyle, 5));
        main.ResetBoard();
        if (!random.queued.empty())
            throw std::logic_error("mines not laid as scripted (safe corners?)");
        for (const Cell& m : mines)
            if (main.field.CellState[m.column][m.row] != -1)
                throw std::logic_error("a scripted mine is missing");
    }

    // A custom board of `size` whose mines lie exactly at `mines`.
    void customBoard(int size, const std::vector<Cell>& mines, int blankStyle = 0) {
        custom(size, densityFor(size, static_cast<int>(mines.size())));
        layMines(mines, blankStyle);
    }

    // Presses every covered safe cell with the primary button until the
    // round is over.
    void uncoverAllSafe() {
        const int n = main.field.BoardSize;
        for (int c = 1; c <= n; ++c)
            for (int r = 1; r <= n; ++r)
                if (main.field.GameActive == 1 && value(c, r) != 10 && button(c, r).Visible)
                    press(c, r);
    }

    // The first mine of the board that can still be pressed, column by column.
    Cell firstMine() const {
        const int n = main.field.BoardSize;
        for (int c = 1; c <= n; ++c)
            for (int r = 1; r <= n; ++r)
                if (value(c, r) == 10 && main.field.Command2[Minefield::CellIndex(c, r)].Visible)
                    return {c, r};
        throw std::logic_error("the board has no mine");
    }

    // Declared before `main`, which refers to them.
    TempDir dir;
    FakeMessageBox messages;
    FakeInputBox input;
    FakeModal modal;
    FakeWindowState window;
    RecordingWaveDevice wave;
    RecordingWaveDevice helpWave;
    FakeProgramEnd end;
    ScriptedRandom random;
    Main main;
};

// `count` mines filling the board from the last row upwards, each row from
// the left.
inline std::vector<Cell> minesFromBottom(int size, int count) {
    std::vector<Cell> mines;
    for (int r = size; r >= 1 && static_cast<int>(mines.size()) < count; --r)
        for (int c = 1; c <= size && static_cast<int>(mines.size()) < count; ++c)
            mines.push_back({c, r});
    return mines;
}

} // namespace mf::fakes

// SPDX-License-Identifier: GPL-3.0-or-later
// Services the game asks of the desktop it runs on. The game owns these
// interfaces; the Qt front end implements them and the tests pass fakes.
#pragma once

#include <cstdint>
#include <string>

namespace mf {

using Int16 = std::int16_t;

// Message box styles: a button set plus an icon, added together.
enum MsgStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
};

// The code of the button that closed a message box.
enum MsgResult : int {
    vbOK = 1,
    vbCancel = 2,
    vbAbort = 3,
    vbRetry = 4,
    vbIgnore = 5,
    vbYes = 6,
    vbNo = 7,
};

inline constexpr const char* kTitle = "Marrowfen 2";

class MessageBox {
public:
    virtual ~MessageBox() = default;
    // Modal; returns the MsgResult of the button pressed.
    virtual int show(const std::string& text, const std::string& title, int style) = 0;
};

class InputBox {
public:
    virtual ~InputBox() = default;
    // Modal single-line prompt; Cancel gives the empty text. A screen reader
    // reads the box with the description, which is not shown.
    virtual std::string ask(const std::string& prompt, const std::string& title,
                            const std::string& description = {}) = 0;
};

class FrmCustom;
class Scores;
class StartupFrm;
class HelpFrm;

// Shows a window modally: returns once the window has been hidden or closed.
class ModalHost {
public:
    virtual ~ModalHost() = default;
    virtual void showModal(FrmCustom& dialog) = 0;
    virtual void showModal(Scores& window) = 0;
    virtual void showModal(StartupFrm& window) = 0;
    virtual void showModal(HelpFrm& window) = 0;
};

// The main window's window state: 0 normal, 1 minimised.
class WindowState {
public:
    virtual ~WindowState() = default;
    virtual Int16 windowState() const = 0;
    virtual void setWindowState(Int16 state) = 0;
};

// A wave-audio player driven by setting properties, one open sound at a time.
// Commands are "Close", "Open" and "Play" (not case-sensitive). With Wait set,
// the next command returns only once it has finished; Wait then clears itself.
class WaveDevice {
public:
    virtual ~WaveDevice() = default;
    virtual void setDeviceType(const std::string& type) = 0;
    virtual void setFileName(const std::string& name) = 0;
    virtual void setWait(bool wait) = 0;
    virtual void setCommand(const std::string& command) = 0;
};

// Ends the program at once, without unload events. Never returns to the
// caller (fakes throw ProgramEnded).
class ProgramEnd {
public:
    virtual ~ProgramEnd() = default;
    [[noreturn]] virtual void endProgram() = 0;
};

struct ProgramEnded {};

// Monotonic wall time used to reseed the random generator.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::uint64_t nowNanoseconds() const = 0;
};

// The one uniform generator of the game.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void reseed() = 0;      // from the clock
    virtual double next() = 0;      // uniform in [0, 1)
};

} // namespace mf

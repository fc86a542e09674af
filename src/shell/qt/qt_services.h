// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop services the game asks for, done with Qt.
#pragma once

#include <functional>
#include <memory>

#include <QPointer>
#include <QWidget>

#include "game/platform.h"

namespace mf::qt {

// What a modal window shows over should be up to date first: a handler may
// have changed the game just before it asks (the clock at 998, the face
// before the name prompt).
struct BeforeShow {
    std::function<void()> beforeShow;
    void prepare() const {
        if (beforeShow)
            beforeShow();
    }
};

class QtMessageBox : public MessageBox, public BeforeShow {
public:
    void setParent(QWidget* parent) { parent_ = parent; }
    int show(const std::string& text, const std::string& title, int style) override;

private:
    QPointer<QWidget> parent_;
};

class QtInputBox : public InputBox, public BeforeShow {
public:
    // The room its title is given: a bold face of this size, and this many
    // pixels for each of the buttons and icons of a title bar.
    static constexpr double kTitleRoomPoints = 14;
    static constexpr int kTitleButtonRoom = 32;

    void setParent(QWidget* parent) { parent_ = parent; }
    std::string ask(const std::string& prompt, const std::string& title,
                    const std::string& description = {}) override;

private:
    QPointer<QWidget> parent_;
};

class HelpView;

class QtModalHost : public ModalHost, public BeforeShow {
public:
    QtModalHost();
    ~QtModalHost() override;
    void setParent(QWidget* parent) { parent_ = parent; }
    void showModal(FrmCustom& dialog) override;
    void showModal(Scores& window) override;
    void showModal(StartupFrm& window) override;
    void showModal(HelpFrm& window) override;

    // The help window on screen while its model is loaded, or nullptr.
    HelpView* helpView() const { return helpView_.get(); }

private:
    QPointer<QWidget> parent_;
    std::unique_ptr<HelpView> helpView_; // kept while only hidden
    const HelpFrm* helpModel_ = nullptr;
};

class QtWindowState : public WindowState {
public:
    void setWindow(QWidget* window) { window_ = window; }
    Int16 windowState() const override;
    void setWindowState(Int16 state) override;

private:
    QPointer<QWidget> window_;
};

class QtProgramEnd : public ProgramEnd {
public:
    [[noreturn]] void endProgram() override;
};

} // namespace mf::qt

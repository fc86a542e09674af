// SPDX-License-Identifier: GPL-3.0-or-later
// The difficulty dialog on screen, drawn from its model.
#pragma once

#include <array>

#include <QDialog>

#include "options/frm_custom.h"

class QLabel;
class QPushButton;
class QRadioButton;

namespace mf::qt {

class LevelScrollBar;
class NoticeBar;

class CustomDialog : public QDialog {
public:
    // Outer height less the frame and title bar, in pixels.
    static constexpr int kFrameAllowance = 32;

    CustomDialog(FrmCustom& model, QWidget* parent = nullptr);

    QRadioButton* option(std::size_t k) const { return options_[k]; }
    LevelScrollBar* sizeBar() const { return size_; }
    LevelScrollBar* densityBar() const { return density_; }
    // Where a screen reader is told why a held bar does not move.
    NoticeBar* notices() const { return notices_; }
    QLabel* display() const { return display_; }
    QPushButton* okButton() const { return ok_; }

    void reject() override; // the frame's close control and Escape

private:
    void build();
    void connectEvents();
    void refresh();
    void scrolled(ScrollBar& bar, int value, bool dragging);

    FrmCustom& model_;
    std::array<QRadioButton*, 4> options_{};
    QLabel* display_ = nullptr;
    QPushButton* ok_ = nullptr;
    LevelScrollBar* size_ = nullptr;
    LevelScrollBar* density_ = nullptr;
    NoticeBar* notices_ = nullptr;
    bool syncing_ = false;
};

} // namespace mf::qt

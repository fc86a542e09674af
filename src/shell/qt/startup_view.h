// SPDX-License-Identifier: GPL-3.0-or-later
// The title window on screen: borderless, centred on the screen, drawn from
// its model. A click anywhere on it, or a key that gives a character, goes to
// the model, which unloads it; the window then closes.
#pragma once

#include <QDialog>

#include "shell/startup_frm.h"

class QLabel;

namespace mf::qt {

class StartupView : public QDialog {
public:
    explicit StartupView(StartupFrm& model, QWidget* parent = nullptr);

    QLabel* title() const { return title_; }
    QLabel* shadow() const { return shadow_; }
    QLabel* logo() const { return logo_; }

protected:
    void showEvent(QShowEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build();
    void closeIfUnloaded();

    StartupFrm& model_;
    QLabel* shadow_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* logo_ = nullptr;
};

} // namespace mf::qt

// SPDX-License-Identifier: GPL-3.0-or-later
// The help window on screen, drawn from its model. Its button and its close
// box go to the model's handlers; Escape closes it as the close box does.
#pragma once

#include <QDialog>

#include "shell/help_frm.h"

class QPushButton;

namespace mf::qt {

class HelpView : public QDialog {
public:
    explicit HelpView(HelpFrm& model, QWidget* parent = nullptr);

    QPushButton* okButton() const { return ok_; }

    void reject() override { close(); } // Escape: the close box's way

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build();

    HelpFrm& model_;
    QPushButton* ok_ = nullptr;
};

} // namespace mf::qt

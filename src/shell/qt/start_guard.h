// SPDX-License-Identifier: GPL-3.0-or-later
// Qt ends the program with an abort and a core dump when it finds nothing to
// show windows on: no display that answers, or no plugin for the session.
// Only Qt knows which platform it will take (from -platform,
// QT_QPA_PLATFORM, WAYLAND_DISPLAY, WAYLAND_SOCKET or DISPLAY), so the game
// lets it choose, and while a guard lives Qt's fatal message becomes one line
// and status 1 instead. Qt's other messages meanwhile are held back and
// passed on when the guard goes: a start that fails says one line only.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <vector>

namespace mf::qt {

class StartGuard {
public:
    // The line said when Qt gives up.
    static constexpr const char* kNoSession =
        "marrowfen2: no graphical session was found (no display in DISPLAY or WAYLAND_DISPLAY answers); "
        "log in to a desktop and start Marrowfen 2 from its menu or from a terminal there\n";

    StartGuard();
    ~StartGuard();
    StartGuard(const StartGuard&) = delete;
    StartGuard& operator=(const StartGuard&) = delete;

private:
    struct Held {
        QtMsgType type;
        QByteArray category;
        QString message;
    };
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message);

    QtMessageHandler previous_;
    std::vector<Held> held_;
};

} // namespace mf::qt

// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/qt/command_gate.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <deque>
#include <utility>

namespace mf::qt {

namespace {

// How often held commands look whether the game is free again.
constexpr int kPollMs = 20;

struct HeldCommand {
    QPointer<const QWidget> from;
    std::function<void()> command;
};

struct Gate {
    std::function<bool()> held;
    std::deque<HeldCommand> queue;
    int running = 0;                 // commands under way, nested ones included
    QPointer<QTimer> poll;
};

Gate& gate() {
    static Gate instance;
    return instance;
}

// Whether input could reach the widget: no modal window other than its own
// (or one of its parents) is open.
bool unblocked(const QWidget* from) {
    const QWidget* modal = QApplication::activeModalWidget();
    for (const QWidget* w = from; modal && w; w = w->parentWidget())
        if (w == modal)
            return true;
    return !modal;
}

void run(const std::function<void()>& command) {
    struct Count {
        Count() { ++gate().running; }
        ~Count() { --gate().running; }   // also when the program ends inside
    } count;
    command();
}

void flush() {
    Gate& g = gate();
    while (!g.queue.empty() && g.running == 0 && !CommandGate::held()) {
        const HeldCommand next = std::move(g.queue.front());
        g.queue.pop_front();
        if (next.from && next.from->isVisible() && unblocked(next.from))
            run(next.command); // its window may have closed meanwhile
    }
    if (g.queue.empty() && g.poll)
        g.poll->stop();
}

void startPolling() {
    Gate& g = gate();
    if (!g.poll) {
        g.poll = new QTimer(QCoreApplication::instance());
        g.poll->setInterval(kPollMs);
        QObject::connect(g.poll, &QTimer::timeout, flush);
    }
    g.poll->start();
}

} // namespace

void CommandGate::setHeld(std::function<bool()> held) { gate().held = std::move(held); }

bool CommandGate::held() {
    const Gate& g = gate();
    return g.held && g.held();
}

void CommandGate::submit(const QWidget* from, std::function<void()> command) {
    if (!from || !unblocked(from))
        return;
    Gate& g = gate();
    if (held() || !g.queue.empty()) { // behind a hold, and behind those held before
        g.queue.push_back({from, std::move(command)});
        startPolling();
        return;
    }
    run(command);
}

} // namespace mf::qt

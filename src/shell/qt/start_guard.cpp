// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/qt/start_guard.h"

#include <cstdio>
#include <cstdlib>

namespace mf::qt {

namespace {

StartGuard* current = nullptr;

} // namespace

StartGuard::StartGuard() : previous_(qInstallMessageHandler(handle)) { current = this; }

StartGuard::~StartGuard() {
    current = nullptr;
    qInstallMessageHandler(previous_);
    for (const Held& held : held_) {
        const QMessageLogContext context(nullptr, 0, nullptr, held.category.constData());
        if (previous_)
            previous_(held.type, context, held.message);
        else
            std::fprintf(stderr, "%s: %s\n", held.category.constData(), qPrintable(held.message));
    }
}

void StartGuard::handle(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        std::fputs(kNoSession, stderr);
        std::fflush(stderr);
        std::_Exit(1);   // nothing half made is torn down
    }
    if (current)
        current->held_.push_back({type, QByteArray(context.category ? context.category : "default"), message});
}

} // namespace mf::qt

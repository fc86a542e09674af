// SPDX-License-Identifier: GPL-3.0-or-later
// From a press on an empty cell of a mine-free 14 x 14 board to the end of
// the repaint that shows the whole board uncovered, through the real main
// window: a mouse press, and Space on the focus cell. Offscreen unless
// QT_QPA_PLATFORM names another platform; bench/press_a11y.sh runs it on X
// with the accessibility bridge active and a screen reader listening, and
// the counter "a11y" says whether the bridge was active (1) or not (0).
#include <benchmark/benchmark.h>

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "fakes.h"
#include "shell/qt/board_widget.h"
#include "shell/qt/main_view.h"

namespace {

void clearMines(mf::Main& main) {
    mf::Minefield& field = main.field;
    for (int c = 1; c <= field.BoardSize; ++c)
        for (int r = 1; r <= field.BoardSize; ++r)
            field.CellState[c][r] = 1;
    field.MineCount = 0;
    field.computeValues();
}

// Times `press` on a fresh mine-free board, again and again. Between
// presses the window answers what is waiting (a screen reader's questions).
template <typename Press>
void pressToRepaint(benchmark::State& state, Press press) {
    mf::fakes::Harness h;
    h.main.menu.MnuSndOn.Checked = false;
    h.custom(14, 5);
    mf::qt::MainView view(h.main);
    view.show();
    view.activateWindow();
    QApplication::processEvents();
    mf::qt::BoardWidget* board = view.board();
    board->setFocus();
    for (auto _ : state) {
        state.PauseTiming();
        h.main.ResetBoard();
        clearMines(h.main);
        view.refresh();
        QApplication::processEvents();
        state.ResumeTiming();
        press(*board);
    }
    if (h.main.field.GameActive != 0)
        state.SkipWithError("the press did not uncover the board");
    state.counters["a11y"] = QAccessible::isActive() ? 1 : 0;
}

void BM_PressToRepaint(benchmark::State& state) {
    pressToRepaint(state, [](mf::qt::BoardWidget& board) {
        const QPointF at = board.cellCentre(mf::Minefield::CellIndex(7, 7));
        QMouseEvent press(QEvent::MouseButtonPress, at, board.mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&board, &press);
    });
}
BENCHMARK(BM_PressToRepaint)->Unit(benchmark::kMillisecond);

void BM_SpaceToRepaint(benchmark::State& state) {
    pressToRepaint(state, [](mf::qt::BoardWidget& board) {
        QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
        QApplication::sendEvent(&board, &space);
    });
}
BENCHMARK(BM_SpaceToRepaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// From a mouse press on an empty cell of a mine-free 14 x 14 board to the end
// of the repaint that shows the whole board uncovered, through the real
// main window (offscreen unless QT_QPA_PLATFORM names another platform).
#include <benchmark/benchmark.h>

#include <QApplication>
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

void BM_PressToRepaint(benchmark::State& state) {
    mf::fakes::Harness h;
    h.main.menu.MnuSndOn.Checked = false;
    h.custom(14, 5);
    mf::qt::MainView view(h.main);
    view.show();
    QApplication::processEvents();
    mf::qt::BoardWidget* board = view.board();
    const QPointF at = board->cellCentre(mf::Minefield::CellIndex(7, 7));
    for (auto _ : state) {
        state.PauseTiming();
        h.main.ResetBoard();
        clearMines(h.main);
        view.refresh();
        state.ResumeTiming();
        QMouseEvent press(QEvent::MouseButtonPress, at, board->mapToGlobal(at), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(board, &press);
    }
    if (h.main.field.GameActive != 0)
        state.SkipWithError("the press did not uncover the board");
}
BENCHMARK(BM_PressToRepaint)->Unit(benchmark::kMillisecond);

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

// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the work done inside one event: building the largest, fullest
// board, and opening the largest empty regions.
#include <benchmark/benchmark.h>

#include <cstring>
#include <initializer_list>
#include <utility>

#include "../tests/fakes.h"

namespace {

using mf::Int16;
using mf::Minefield;

// A new 14 x 14 board with 98 mines, safe corners on, through the whole
// ResetBoard of the main window.
void ResetBoardLargestFullest(benchmark::State& state) {
    mf::fakes::Harness h;
    h.custom(14, 50);
    for (auto _ : state) {
        h.main.ResetBoard();
        benchmark::DoNotOptimize(h.main.field.CellValue);
    }
    state.counters["mines"] = h.main.field.MineCount;
}
BENCHMARK(ResetBoardLargestFullest);

// A 14 x 14 minefield whose covered state is saved once, so that each
// iteration only copies it back (450 bytes) before opening the region.
class Flood {
public:
    explicit Flood(std::initializer_list<std::pair<int, int>> mines) {
        field_.BoardSize = 14;
        for (int c = 1; c <= 14; ++c)
            for (int r = 1; r <= 14; ++r)
                field_.CellState[c][r] = 1;
        for (const auto& [c, r] : mines)
            field_.CellState[c][r] = -1;
        field_.computeValues();
        std::memcpy(covered_, field_.CellState, sizeof covered_);
    }

    void run(benchmark::State& state, int column, int row) {
        const Int16 start = Minefield::CellIndex(column, row);
        for (auto _ : state) {
            std::memcpy(field_.CellState, covered_, sizeof covered_);
            field_.CellState[column][row] = 0; // as the press leaves it
            field_.ShowAround(start);
            benchmark::DoNotOptimize(field_.CellState);
        }
        state.counters["uncovered"] = 196 - coveredCount();
    }

private:
    int coveredCount() const {
        int n = 0;
        for (int c = 1; c <= 14; ++c)
            for (int r = 1; r <= 14; ++r)
                n += field_.CellState[c][r] != 0;
        return n;
    }

    Minefield field_;
    Int16 covered_[15][15] = {};
};

void ShowAroundMineFree(benchmark::State& state) {
    Flood flood({});
    flood.run(state, 1, 1);
}
BENCHMARK(ShowAroundMineFree);

// Nine mines in a 3 x 3 block in the far corner: the longest pending stack.
void ShowAroundWorstCase(benchmark::State& state) {
    Flood flood({{12, 12}, {13, 12}, {14, 12}, {12, 13}, {13, 13}, {14, 13}, {12, 14}, {13, 14}, {14, 14}});
    flood.run(state, 1, 1);
}
BENCHMARK(ShowAroundWorstCase);

} // namespace

BENCHMARK_MAIN();

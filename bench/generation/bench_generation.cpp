// Times buildProgram over a full field (30 rows of two cards) in each dialect.
#include <benchmark/benchmark.h>

#include <optional>
#include <vector>

#include "catalogue/DeviceManager.h"
#include "generation/ProgramBuilder.h"

namespace {

using Rows = std::vector<std::vector<std::optional<CardId>>>;

// Sixty cards drawn in turn from the three sets, the way a busy field mixes them.
Rows fullField() {
    const DeviceManager* catalogue = DeviceManager::getInstance();
    Rows rows(kFieldRowCount, std::vector<std::optional<CardId>>(kFieldSlotCount));
    int position = 0;
    for (auto& row : rows) {
        for (auto& slot : row) {
            const int set = position % 3;
            slot = CardId{set, (position * 7) % catalogue->getCardCount(set)};
            ++position;
        }
    }
    return rows;
}

void BM_BuildProgramFullField(benchmark::State& state) {
    DeviceManager* catalogue = DeviceManager::getInstance();
    catalogue->dialect = static_cast<Dialect>(state.range(0));
    const Rows rows = fullField();
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::vector<ProgramChunk> program = buildProgram(rows, TargetKind::SerialPort).chunks;
        benchmark::DoNotOptimize(program.data());
        bytes = 0;
        for (const ProgramChunk& chunk : program) {
            bytes += chunk.text.size();
        }
    }
    state.SetLabel(catalogue->dialect == Dialect::Kib ? "kib" : "vemmo");
    state.counters["programBytes"] = static_cast<double>(bytes);
    catalogue->dialect = Dialect::Kib;
}

BENCHMARK(BM_BuildProgramFullField)->Arg(0)->Arg(1);

}  // namespace

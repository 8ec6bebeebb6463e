// Pacing accuracy of the serial path: a 60-line kib program (3 lines in the suites' short
// run) written to a pseudo-terminal whose board side is drained by a reader. Reports the
// transfer time over the sum of the pauses, and how far single pauses overran, measured on
// the sending side (from the moment a chunk was reported sent to the moment the next one
// was, less its pause; that includes the next chunk's write) and, for comparison, as arrival
// gaps on the board side.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "Entries.h"
#include "PseudoTerminal.h"
#include "catalogue/DeviceManager.h"
#include "devicelink/ZundleCardSerialData.h"
#include "generation/ProgramBuilder.h"

namespace {

using Clock = std::chrono::steady_clock;

double toMs(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Rows of one card each, drawn in turn from the basic set.
std::vector<ProgramChunk> programOfLines(std::size_t lines) {
    DeviceManager* catalogue = DeviceManager::getInstance();
    catalogue->dialect = Dialect::Kib;
    const int cards = catalogue->getCardCount(0);
    std::vector<std::vector<std::optional<CardId>>> rows(lines);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = {CardId{0, static_cast<int>(i) % cards}, std::nullopt};
    }
    return buildProgram(rows, TargetKind::SerialPort).chunks;
}

void BM_SerialPacingKib(benchmark::State& state) {
    const std::vector<ProgramChunk> program = programOfLines(static_cast<std::size_t>(state.range(0)));
    std::string bytes;
    double pausesMs = 0;
    for (const ProgramChunk& piece : program) {
        bytes += piece.text;
        pausesMs += std::max(0, piece.waitMs);
    }
    auto* entry = new ZundleCardSerialData();
    entry->init();
    entry->kind = TargetKind::SerialPort;

    double ratio = 0, worstSender = 0, meanSender = 0, worstReaderLate = 0, worstReaderEarly = 0;
    for (auto _ : state) {
        PseudoTerminal terminal;
        if (!terminal.valid()) {
            state.SkipWithError("no pseudo-terminal");
            break;
        }
        entry->name = terminal.portName();
        BoardReader reader(terminal, bytes.size(), std::chrono::seconds(600));
        std::vector<Clock::time_point> sent;
        sent.reserve(program.size());
        const auto started = Clock::now();
        const bool ok =
            entry->sendToSerialPort(program, [&sent](int) { sent.push_back(Clock::now()); });
        const auto finished = Clock::now();
        reader.join();
        if (!ok || sent.size() != program.size() || reader.received() != bytes) {
            state.SkipWithError("transfer incomplete");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(finished - started).count());

        ratio = toMs(finished - started) / pausesMs;
        double overshootSum = 0;
        int paused = 0;
        std::size_t end = 0;
        for (std::size_t i = 0; i < program.size(); ++i) {
            end += program[i].text.size();
            const int wait = program[i].waitMs;
            if (wait <= 0)
                continue;
            const auto next = i + 1 < program.size() ? sent[i + 1] : finished;
            const double over = toMs(next - sent[i]) - wait;
            worstSender = std::max(worstSender, over);
            overshootSum += over;
            ++paused;
            if (i + 1 < program.size()) {
                const double gap = toMs(reader.arrivalOf(end) - reader.arrivalOf(end - 1)) - wait;
                worstReaderLate = std::max(worstReaderLate, gap);
                worstReaderEarly = std::min(worstReaderEarly, gap);
            }
        }
        meanSender = paused > 0 ? overshootSum / paused : 0;
    }
    entry->release();

    state.counters["chunks"] = static_cast<double>(program.size());
    state.counters["pausesMs"] = pausesMs;
    state.counters["ratio"] = ratio;
    state.counters["senderWorstOvershootMs"] = worstSender;
    state.counters["senderMeanOvershootMs"] = meanSender;
    state.counters["boardGapWorstLateMs"] = worstReaderLate;
    state.counters["boardGapWorstEarlyMs"] = worstReaderEarly;
}

BENCHMARK(BM_SerialPacingKib)->Arg(60)->Arg(3)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

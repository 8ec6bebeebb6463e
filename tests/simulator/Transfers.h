// The bytes a transfer tool receives for cards laid on the field, made by the program's
// own generation and catalogue, so the simulator is tested against what play really sends.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "generation/ProgramBuilder.h"
#include "simulator/Board.h"

using Row = std::vector<std::optional<CardId>>;

namespace cards {
constexpr CardId kLedOn{0, 0};
constexpr CardId kLedOff{0, 1};
constexpr CardId kWait1{0, 2};
constexpr CardId kWait3{0, 3};
constexpr CardId kLoopStart{0, 4};
constexpr CardId kLoopEnd{0, 5};
constexpr CardId kForward{1, 0};
constexpr CardId kCarStop{1, 1};
constexpr CardId kBeep{2, 2};
constexpr CardId kIfPressed{2, 3};
constexpr CardId kIfReleased{2, 4};
constexpr CardId kLoop3Start{2, 5};
constexpr CardId kLoop3End{2, 6};
constexpr CardId kLoop5Start{2, 7};
constexpr CardId kLoop5End{2, 8};
}  // namespace cards

// Everything play sends for the rows, in the dialect.
std::string programTransfer(Dialect dialect, const std::vector<Row>& rows);
// Everything stop sends, in the dialect.
std::string stopTransfer(Dialect dialect);
// The dialect's name, for the names of tests run in each dialect.
std::string dialectTestName(const testing::TestParamInfo<Dialect>& dialect);

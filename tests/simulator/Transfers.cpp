#include "Transfers.h"

#include "catalogue/DeviceManager.h"
#include "tests/support/FreshSelection.h"

namespace {

void select(Dialect dialect) {
    DeviceManager::getInstance()->dialect = dialect;
}

}  // namespace

std::string programTransfer(Dialect dialect, const std::vector<Row>& rows) {
    FreshSelection fresh;
    select(dialect);
    std::string bytes;
    for (const ProgramChunk& chunk : buildProgram(rows, TargetKind::Tool).chunks)
        bytes += chunk.text;
    return bytes;
}

std::string stopTransfer(Dialect dialect) {
    FreshSelection fresh;
    select(dialect);
    DeviceManager* manager = DeviceManager::getInstance();
    return manager->getStopKey() + manager->getResetText();
}

std::string dialectTestName(const testing::TestParamInfo<Dialect>& dialect) {
    return dialect.param == Dialect::Kib ? "kib" : "vemmo";
}

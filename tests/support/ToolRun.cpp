#include "tests/support/ToolRun.h"

#include <sstream>

#include "link/Communication.h"
#include "sim/BoardHex.h"
#include "sim/BoardStore.h"
#include "sim/SimulatedCable.h"
#include "tests/support/Files.h"

namespace fs = std::filesystem;

void ChangeKeptBoard(const fs::path& folder, const std::function<void(SimBoard&)>& change) {
  std::ostringstream report;
  SimulatedCable cable(base, folder, report);
  change(cable.Board());
}

BoardMemories KeptBoard(const fs::path& folder) {
  return ParseBoardHex(ReadText(folder / kBoardFileName)).memories;
}

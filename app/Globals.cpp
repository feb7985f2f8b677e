#include "app/Globals.h"

#include "app/ConnectionSettings.h"
#include "sim/SimFaults.h"

namespace {

constexpr int32_t kStartSimulate = 0;

}  // namespace

int32_t bSimulate = kStartSimulate;
SimFaultPlan simFaults;

std::string lpPathBuffer;

void ResetGlobals() {
  ResetPortLineGlobals();
  ResetSettingsArray();
  ResetFirmwareImage();
  ResetBoardSession();
  bSimulate = kStartSimulate;
  simFaults = SimFaultPlan{};
  lpPathBuffer.clear();
  unsavedPortChoice.reset();
}

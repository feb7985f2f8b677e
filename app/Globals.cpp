#include "app/Globals.h"

#include "app/ConnectionSettings.h"
#include "sim/SimFaults.h"

namespace {

constexpr int32_t kStartSwitch = 0;

}  // namespace

int32_t bSimulate = kStartSwitch;
SimFaultPlan simFaults;
int32_t bDataFolder = kStartSwitch;

std::string lpPathBuffer;

void ResetGlobals() {
  ResetPortLineGlobals();
  ResetSettingsArray();
  ResetFirmwareImage();
  ResetBoardSession();
  bSimulate = kStartSwitch;
  bDataFolder = kStartSwitch;
  simFaults = SimFaultPlan{};
  lpPathBuffer.clear();
  unsavedPortChoice.reset();
  ResetStopRequest();
}

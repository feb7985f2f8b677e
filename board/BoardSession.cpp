#include "board/BoardSession.h"

namespace {

// Each start value once: the definitions and the reset both take it from here.
constexpr int32_t kStartResult = 0;
constexpr int32_t kStartSwitch = 0;

}  // namespace

int32_t nCommResult = kStartResult;
int32_t bProgramInit = kStartSwitch;
int32_t bTestInit = kStartSwitch;
int32_t bFWLoadedOnce = kStartSwitch;
std::string m_FirmwareRevision;
std::string m_BoardType;

void ResetBoardSession() {
  nCommResult = kStartResult;
  bProgramInit = kStartSwitch;
  bTestInit = kStartSwitch;
  bFWLoadedOnce = kStartSwitch;
  m_FirmwareRevision.clear();
  m_BoardType.clear();
}

#include "app/Globals.h"

#include "sim/SimFaults.h"

int32_t bProgramInit = 0;
int32_t bTestInit = 0;
int32_t bSimulate = 0;
SimFaultPlan simFaults;
float fDelayOffSet = 1.0f;
int32_t bFastProgramming = 0;
int32_t bDataFolder = 0;

std::string lpPathBuffer;

std::string m_FirmwareRevision;
std::string m_BoardType;
std::string m_FWArray;

int32_t nCommResult = 0;
uint8_t SettingsArray[kSettingsArraySize] = {};
int32_t bFWLoadedOnce = 0;

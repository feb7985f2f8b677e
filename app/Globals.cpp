#include "app/Globals.h"

int32_t bProgramInit = 0;
int32_t bTestInit = 0;
int32_t bSimulate = 0;
float fDelayOffSet = 1.0f;

std::string lpPathBuffer;

std::string m_FirmwareRevision;
std::string m_BoardType;
std::string m_FWArray;

int32_t nCommResult = 0;
uint8_t SettingsArray[kSettingsArraySize] = {};
int32_t bFWLoadedOnce = 0;

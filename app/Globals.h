// The process-wide globals that live with the application object. Their meanings belong to the
// parts of the tool that use them; the port-line globals are in link/Communication.h.
#pragma once

#include <cstdint>
#include <string>

struct SimFaultPlan;

// Command-line switches, fixed before the main dialog exists.
extern int32_t bProgramInit;  // "initprogramming": start empty, firmware command loads bare boards
extern int32_t bTestInit;     // "pintest": the download request runs the pin test instead
extern int32_t bSimulate;     // "simulate": the board link talks to the simulated board
extern SimFaultPlan simFaults;  // "simfault:...": faults the simulated board is given
extern float fDelayOffSet;      // "delaymultX": scales every calibrated wait; always > 0
// "fastprogramming": verified byte writes poll the chip instead of waiting the fixed time.
extern int32_t bFastProgramming;
// "datafolder" (the desktop entry's start): the user's data folder for the tool becomes the
// working directory, so its files do not land in the home folder.
extern int32_t bDataFolder;

// The application directory: the working directory when the main dialog starts, as long as the
// system allows. Empty until then, and for good when the working directory cannot be read.
extern std::string lpPathBuffer;

// Texts of the board-information labels, and the unscrambled firmware image.
extern std::string m_FirmwareRevision;
extern std::string m_BoardType;
extern std::string m_FWArray;

// 1 after a successful board operation, 0 after a failed one; written only by the status window.
extern int32_t nCommResult;

// The settings block: element n holds board data byte n - 1; element 31 stays 0.
constexpr int kSettingsArraySize = 32;
extern uint8_t SettingsArray[kSettingsArraySize];

// Set once the first firmware file of programming mode has been chosen.
extern int32_t bFWLoadedOnce;

// The application's name, the title of its own message boxes.
inline constexpr const char* kAppName = "Orvanta Interface Application";

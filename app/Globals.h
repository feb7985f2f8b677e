// The process-wide globals, gathered for the application and the tests. Each is declared and
// defined beside what it means; only the application's own switches live here.
#pragma once

#include <cstdint>
#include <string>

#include "board/BoardSession.h"
#include "firmware/FileDecryption.h"
#include "link/Communication.h"
#include "platform/Interrupt.h"
#include "platform/MessageBox.h"
#include "settings/SettingsBlock.h"

struct SimFaultPlan;

// Command-line switches for the platform choice, fixed before the main dialog exists.
extern int32_t bSimulate;       // "simulate": the board link talks to the simulated board
extern SimFaultPlan simFaults;  // "simfault:...": faults the simulated board is given
// "datafolder" (the desktop entry's start): the user's data folder for the tool becomes the
// working directory, so its files do not land in the home folder.
extern int32_t bDataFolder;

// The application directory: the working directory when the main dialog starts, as long as the
// system allows. Empty until then, and for good when the working directory cannot be read.
extern std::string lpPathBuffer;

// Puts every process-wide global, in every folder, back to its value at process start.
void ResetGlobals();

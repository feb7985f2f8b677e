// What the board commands keep from one command to the next: how the last board run ended, the
// modes the command line chose for them, and what the last download told about the board.
#pragma once

#include <cstdint>
#include <string>

// 1 after a successful board operation, 0 after a failed one; written only by the status window.
extern int32_t nCommResult;
// "initprogramming": start empty, the firmware command loads bare boards one after another.
extern int32_t bProgramInit;
// "pintest": the download request runs the pin test instead.
extern int32_t bTestInit;
// Set once the first firmware file of programming mode has been chosen.
extern int32_t bFWLoadedOnce;
// Texts of the board-information labels.
extern std::string m_FirmwareRevision;
extern std::string m_BoardType;

// Puts all of the above back to their values at process start.
void ResetBoardSession();

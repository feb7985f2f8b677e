// A plain snapshot of what the main dialog holds for the board: its radio choices, list
// selections, number-box texts and LCD menu mask. The completeness check judges it and the
// settings file is written from it and read into it; the dialog builds it and applies it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "settings/SettingsBlock.h"

// The four LCD section boxes, in the order of the block, the check and the file.
enum LCDSection : int { kSection1, kSection1B, kSection2, kSection2B, kLCDSectionCount };

// The after-eye choice as the "Delay" button and the presets set it; read back from the radio
// buttons, "Delay" is 1.
constexpr int kAEDelayModeBypass = 0;
constexpr int kAEDelayModeDelay = 2;

struct DialogSettings {
  // Radio choices: the number of the checked button of the group, -1 for none.
  int operationMode = -1;
  int aeDelayMode = -1;
  int kovalMode = -1;
  int eyeTimingMode = -1;
  int timerMode = -1;

  // List selections: the index in the combo box, -1 for none.
  int firingModeSel = -1;
  int rofSel = -1;
  int aeBypassROFSel = -1;
  int timerInitSel = -1;
  std::array<int, kLCDSectionCount> sectionSel = {-1, -1, -1, -1};

  std::string debounceText;
  std::string dwellText;
  std::string aeDelayText;
  std::string timerMinutesText;
  std::string timerSecondsText;

  int lcdMenuMask = 0;

  // The "Bypass Eye" button itself, which a file's after-eye line follows rather than the choice.
  bool bypassEyeChecked = false;

  // The board the shown block came from, and whether the user can change each section box: a
  // Kalix board's section boxes are disabled.
  uint8_t boardType = kBoardOrvanta;
  std::array<bool, kLCDSectionCount> sectionEnabled = {true, true, true, true};
};

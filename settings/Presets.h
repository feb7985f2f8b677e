// The four presets of the firing settings and the blank settings. A preset sets only the firing
// settings below; the timer, LCD and KOVAL settings keep what the dialog shows.
#pragma once

#include <string_view>

enum class Preset { Conservative, Normal, Fast, Extreme };
constexpr int kPresetCount = 4;

struct PresetValues {
  int rateOfFireSel;  // index in the rate-of-fire list
  std::string_view debounceText;
  std::string_view dwellText;    // milliseconds
  std::string_view aeDelayText;  // milliseconds, with "Delay" chosen
};

// Every preset shares these: "Standard", "Semi Auto", "12 bps" without the eye, "Delay" and
// "Timeout Drop".
constexpr int kPresetOperationMode = 0;
constexpr int kPresetFiringModeSel = 0;
constexpr int kPresetAEBypassROFSel = 5;
constexpr int kPresetEyeTimingMode = 0;

const PresetValues& PresetFor(Preset preset);

// The blank settings' timer texts: two blanks, present for the check but no number, so that an
// upload falls back to 5 minutes and 0 seconds.
inline constexpr std::string_view kBlankTimerText = "  ";

// The completeness check that guards every upload and every save: eighteen items the dialog must
// hold, tried in a fixed order so that the user is sent to the first one missing.
#pragma once

#include <cstdint>
#include <optional>

#include "settings/DialogSettings.h"

// The items of the check, in the order they are tried.
enum class SettingsItem {
  OperationMode,
  AfterEyeChoice,
  KOVALMode,
  EyeTimingMode,
  TimerMode,
  FiringMode,
  RateOfFire,
  AEBypassROF,
  TimerInit,
  TimerMinutes,
  TimerSeconds,
  Section1,
  Section1B,
  Section2,
  Section2B,
  Debounce,
  Dwell,
  AfterEyeDelay,
};
constexpr int kSettingsItemCount = 18;

inline constexpr const char* kIncompleteSettingsTitle = "Incomplete Settings";
inline constexpr const char* kIncompleteSettingsText =
    "Invalid Settings Found. Please make sure your selections are valid and complete.";

// The item as the window labels it ("Rate of Fire (ROF)"), for a refusal that cannot point at it.
const char* SettingsItemLabel(SettingsItem item);

// The first item that is missing, or nothing when the settings are complete. Choices must be a
// button of their group (the after-eye choice may also be 2, "Delay" as a preset sets it), lists
// must have a selection and texts must not be empty; no value is range-checked.
std::optional<SettingsItem> FirstIncompleteItem(const DialogSettings& settings);

// A Kalix board's section boxes are disabled, so a section byte outside the list (an erased 0xFF,
// say) leaves a box without selection that the user cannot change. Such a section is not asked
// for, and an upload writes the board's own byte back.
bool IsLockedKalixSection(uint8_t boardType, bool boxEnabled, int selection);

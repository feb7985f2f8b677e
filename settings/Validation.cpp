#include "settings/Validation.h"

namespace {

bool IsChoice(int member, int lastChoice) {
  return member >= 0 && member <= lastChoice;
}

bool HasSection(const DialogSettings& settings, LCDSection section) {
  const int selection = settings.sectionSel[section];
  return selection >= 0 ||
         IsLockedKalixSection(settings.boardType, settings.sectionEnabled[section], selection);
}

}  // namespace

std::optional<SettingsItem> FirstIncompleteItem(const DialogSettings& s) {
  const struct {
    bool complete;
    SettingsItem item;
  } rules[kSettingsItemCount] = {
      {IsChoice(s.operationMode, 1), SettingsItem::OperationMode},
      {IsChoice(s.aeDelayMode, kAEDelayModeDelay), SettingsItem::AfterEyeChoice},
      {IsChoice(s.kovalMode, 1), SettingsItem::KOVALMode},
      {IsChoice(s.eyeTimingMode, 1), SettingsItem::EyeTimingMode},
      {IsChoice(s.timerMode, 1), SettingsItem::TimerMode},
      {s.firingModeSel >= 0, SettingsItem::FiringMode},
      {s.rofSel >= 0, SettingsItem::RateOfFire},
      {s.aeBypassROFSel >= 0, SettingsItem::AEBypassROF},
      {s.timerInitSel >= 0, SettingsItem::TimerInit},
      {!s.timerMinutesText.empty(), SettingsItem::TimerMinutes},
      {!s.timerSecondsText.empty(), SettingsItem::TimerSeconds},
      {HasSection(s, kSection1), SettingsItem::Section1},
      {HasSection(s, kSection1B), SettingsItem::Section1B},
      {HasSection(s, kSection2), SettingsItem::Section2},
      {HasSection(s, kSection2B), SettingsItem::Section2B},
      // A text of blanks is present: the blank timer texts pass.
      {!s.debounceText.empty(), SettingsItem::Debounce},
      {!s.dwellText.empty(), SettingsItem::Dwell},
      // Required even with the eye bypassed, when the box shows "0".
      {!s.aeDelayText.empty(), SettingsItem::AfterEyeDelay},
  };
  for (const auto& rule : rules) {
    if (!rule.complete) return rule.item;
  }
  return std::nullopt;
}

const char* SettingsItemLabel(SettingsItem item) {
  static constexpr const char* kLabels[kSettingsItemCount] = {
      "Operation Mode",      "Bypass Eye / Delay",   "KOVAL Mode",           "Eye Timing Mode",
      "Timer Mode",          "Firing Mode",          "Rate of Fire (ROF)",   "AE Bypass ROF",
      "Timer Init",          "Timer Time (minutes)", "Timer Time (seconds)", "Section 1 Display",
      "Section 1-B Display", "Section 2 Display",    "Section 2-B Display",  "Trigger Debounce",
      "Solenoid Dwell",      "After Eye Delay",
  };
  return kLabels[static_cast<int>(item)];
}

bool IsLockedKalixSection(uint8_t boardType, bool boxEnabled, int selection) {
  return boardType == kBoardKalix && !boxEnabled && selection < 0;
}

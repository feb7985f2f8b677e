// The completeness check on a plain snapshot, without a window: every item is asked for, in order,
// and a Kalix board's locked section boxes are not.
#include <gtest/gtest.h>

#include <functional>

#include "settings/Validation.h"

namespace {

DialogSettings Complete() {
  DialogSettings s;
  s.operationMode = s.kovalMode = s.eyeTimingMode = s.timerMode = 0;
  s.aeDelayMode = kAEDelayModeDelay;
  s.firingModeSel = s.rofSel = s.aeBypassROFSel = s.timerInitSel = 0;
  s.sectionSel = {0, 0, 0, 0};
  s.debounceText = s.dwellText = s.aeDelayText = "1";
  s.timerMinutesText = s.timerSecondsText = "  ";  // blanks are present
  return s;
}

// Each row takes one item away; every item after it in the check's order is taken away too, so the
// check must name this one first.
TEST(CompletenessCheck, NamesTheFirstMissingItemInOrder) {
  using Break = std::function<void(DialogSettings&)>;
  const std::pair<SettingsItem, Break> rows[kSettingsItemCount] = {
      {SettingsItem::OperationMode, [](auto& s) { s.operationMode = 2; }},
      {SettingsItem::AfterEyeChoice, [](auto& s) { s.aeDelayMode = 3; }},
      {SettingsItem::KOVALMode, [](auto& s) { s.kovalMode = -1; }},
      {SettingsItem::EyeTimingMode, [](auto& s) { s.eyeTimingMode = -1; }},
      {SettingsItem::TimerMode, [](auto& s) { s.timerMode = -1; }},
      {SettingsItem::FiringMode, [](auto& s) { s.firingModeSel = -1; }},
      {SettingsItem::RateOfFire, [](auto& s) { s.rofSel = -1; }},
      {SettingsItem::AEBypassROF, [](auto& s) { s.aeBypassROFSel = -1; }},
      {SettingsItem::TimerInit, [](auto& s) { s.timerInitSel = -1; }},
      {SettingsItem::TimerMinutes, [](auto& s) { s.timerMinutesText.clear(); }},
      {SettingsItem::TimerSeconds, [](auto& s) { s.timerSecondsText.clear(); }},
      {SettingsItem::Section1, [](auto& s) { s.sectionSel[kSection1] = -1; }},
      {SettingsItem::Section1B, [](auto& s) { s.sectionSel[kSection1B] = -1; }},
      {SettingsItem::Section2, [](auto& s) { s.sectionSel[kSection2] = -1; }},
      {SettingsItem::Section2B, [](auto& s) { s.sectionSel[kSection2B] = -1; }},
      {SettingsItem::Debounce, [](auto& s) { s.debounceText.clear(); }},
      {SettingsItem::Dwell, [](auto& s) { s.dwellText.clear(); }},
      {SettingsItem::AfterEyeDelay, [](auto& s) { s.aeDelayText.clear(); }},
  };
  EXPECT_EQ(FirstIncompleteItem(Complete()), std::nullopt);
  for (int first = 0; first < kSettingsItemCount; ++first) {
    DialogSettings s = Complete();
    for (int i = first; i < kSettingsItemCount; ++i) rows[i].second(s);
    EXPECT_EQ(FirstIncompleteItem(s), rows[first].first) << "row " << first;
  }
}

TEST(CompletenessCheck, OnlyAKalixBoardsLockedSectionsMayBeEmpty) {
  const struct {
    uint8_t boardType;
    bool enabled;
    std::optional<SettingsItem> missing;
  } cases[] = {
      {kBoardKalix, false, std::nullopt},
      {kBoardKalix, true, SettingsItem::Section2},
      {kBoardOrvanta, false, SettingsItem::Section2},
      {7, false, SettingsItem::Section2},
  };
  for (const auto& c : cases) {
    DialogSettings s = Complete();
    s.boardType = c.boardType;
    s.sectionSel[kSection2] = -1;
    s.sectionEnabled[kSection2] = c.enabled;
    EXPECT_EQ(FirstIncompleteItem(s), c.missing) << int(c.boardType) << " " << c.enabled;
  }
}

// The names orvanta-ofw gives a missing item, in the check's order, as the window labels them.
TEST(CompletenessCheck, ItemLabelsAreTheWindowsWords) {
  std::string labels;
  for (int item = 0; item < kSettingsItemCount; ++item) {
    labels += std::string(SettingsItemLabel(static_cast<SettingsItem>(item))) + "|";
  }
  EXPECT_EQ(labels,
            "Operation Mode|Bypass Eye / Delay|KOVAL Mode|Eye Timing Mode|Timer Mode|Firing Mode|"
            "Rate of Fire (ROF)|AE Bypass ROF|Timer Init|Timer Time (minutes)|"
            "Timer Time (seconds)|Section 1 Display|Section 1-B Display|Section 2 Display|"
            "Section 2-B Display|Trigger Debounce|Solenoid Dwell|After Eye Delay|");
}

}  // namespace

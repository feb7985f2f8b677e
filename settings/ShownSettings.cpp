#include "settings/ShownSettings.h"

#include "settings/LCDMenus.h"
#include "settings/Validation.h"

namespace {

// The buttons of a choice stored as 0 or not 0 in the block.
int ChoiceForElement(uint8_t element) {
  return element == 0 ? 0 : 1;
}

int SectionElement(std::size_t section) {
  return kElemSection1 + static_cast<int>(section);
}

// The button a choice checks: the number of a button of its group, else -1 (none checked).
int CheckedChoice(int choice) {
  return choice >= 0 && choice < kChoiceButtons ? choice : -1;
}

// A list shows a selection only for an index within it.
int ShownSelection(int index, std::size_t listSize) {
  return index >= 0 && static_cast<std::size_t>(index) < listSize ? index : -1;
}

// The "LCD Menus:" tree keeps only the sixteen menus' bits.
int ShownLCDMenuMask(int mask) {
  int shown = 0;
  for (int bit = 0; bit < kLCDMenuCount; ++bit) {
    shown = AddLCDMenu(shown, bit, IsLCDMenuShown(mask, bit));
  }
  return shown;
}

}  // namespace

bool SectionsEditable(uint8_t boardType) {
  return boardType != kBoardKalix;
}

DialogSettings ShownAfterDownload(const uint8_t (&block)[kSettingsArraySize]) {
  DialogSettings s;
  s.firingModeSel = ShownSelection(block[kElemFiringMode], kFiringModeItems.size());
  s.rofSel = ShownSelection(block[kElemRateOfFire], kRateOfFireItems.size());
  s.dwellText = DecimalText(block[kElemSolenoidDwell]);
  s.debounceText = DecimalText(block[kElemTriggerDebounce]);

  const uint8_t afterEye = block[kElemAfterEyeDelay];
  s.bypassEyeChecked = afterEye == kAfterEyeBypass;
  s.aeDelayMode = s.bypassEyeChecked ? kAEDelayModeBypass : kAEDelayButtonDelay;
  s.aeDelayText = AfterEyeDelayText(afterEye);

  s.timerMode = block[kElemTimerMode] == 0 ? kTimerCountsUp : kTimerCountsDown;
  // A trigger value the board should not hold shows no selection, like every other list.
  s.timerInitSel = TimerInitIndex(block[kElemTimerStart]).value_or(-1);
  s.timerMinutesText = TimerMinutesText(block[kElemTimerMinutes]);
  s.timerSecondsText = TimerSecondsText(block[kElemTimerSeconds]);

  s.boardType = block[kElemBoardType];
  for (std::size_t i = 0; i < kLCDSectionCount; ++i) {
    s.sectionSel[i] = ShownSelection(block[SectionElement(i)], kLCDContentItems.size());
    s.sectionEnabled[i] = SectionsEditable(s.boardType);
  }

  s.eyeTimingMode = ChoiceForElement(block[kElemEyeTimingMode]);
  s.operationMode = ChoiceForElement(block[kElemOperationMode]);
  s.kovalMode = ChoiceForElement(block[kElemKOVALMode]);
  s.aeBypassROFSel = ShownSelection(block[kElemAEBypassROF], kAEBypassROFItems.size());
  s.lcdMenuMask = ShownLCDMenuMask(
      LCDMenuMaskFromBlock(s.boardType, block[kElemLCDMaskLow], block[kElemLCDMaskHigh]));
  return s;
}

void ApplySettingsFileTo(DialogSettings& shown, const SettingsFileContents& contents) {
  const DialogSettings& file = contents.settings;
  shown.operationMode = CheckedChoice(file.operationMode);
  shown.firingModeSel = ShownSelection(file.firingModeSel, kFiringModeItems.size());
  shown.rofSel = ShownSelection(file.rofSel, kRateOfFireItems.size());
  shown.debounceText = file.debounceText;
  shown.dwellText = file.dwellText;
  // A choice outside the group clears both buttons: the file's "Delay" preset value 2 included.
  shown.aeDelayMode = CheckedChoice(file.aeDelayMode);
  shown.bypassEyeChecked = shown.aeDelayMode == kAEDelayModeBypass;
  if (!contents.keepsAEDelayText) shown.aeDelayText = file.aeDelayText;
  shown.kovalMode = CheckedChoice(file.kovalMode);
  shown.eyeTimingMode = CheckedChoice(file.eyeTimingMode);
  shown.timerInitSel = ShownSelection(file.timerInitSel, kTimerInitItems.size());
  shown.timerMinutesText = file.timerMinutesText;
  shown.timerSecondsText = file.timerSecondsText;
  shown.timerMode = CheckedChoice(file.timerMode);
  for (std::size_t i = 0; i < kLCDSectionCount; ++i) {
    shown.sectionSel[i] = ShownSelection(file.sectionSel[i], kLCDContentItems.size());
  }
  shown.aeBypassROFSel = ShownSelection(file.aeBypassROFSel, kAEBypassROFItems.size());
  shown.lcdMenuMask = ShownLCDMenuMask(file.lcdMenuMask);
}

void BlockFromShown(const DialogSettings& s, uint8_t (&block)[kSettingsArraySize]) {
  block[kElemFiringMode] = SelectionElement(s.firingModeSel);
  block[kElemRateOfFire] = SelectionElement(s.rofSel);
  block[kElemSolenoidDwell] = LowByte(ReadDecimal(s.dwellText));
  block[kElemTriggerDebounce] = LowByte(ReadDecimal(s.debounceText));

  if (s.aeDelayMode == kAEDelayModeBypass) block[kElemAfterEyeDelay] = kAfterEyeBypass;
  if (s.aeDelayMode > kAEDelayModeBypass && s.aeDelayMode <= kAEDelayModeDelay) {
    block[kElemAfterEyeDelay] = AfterEyeDelayElement(ReadDecimal(s.aeDelayText));
  }

  block[kElemTimerMode] = s.timerMode == kTimerCountsDown ? 1 : 0;
  if (const std::optional<uint8_t> trigger = TimerInitElement(s.timerInitSel)) {
    block[kElemTimerStart] = *trigger;
  }
  block[kElemTimerMinutes] = TimerMinutesElement(ReadDecimal(s.timerMinutesText));
  block[kElemTimerSeconds] = TimerSecondsElement(ReadDecimal(s.timerSecondsText));

  for (std::size_t i = 0; i < kLCDSectionCount; ++i) {
    if (IsLockedKalixSection(s.boardType, s.sectionEnabled[i], s.sectionSel[i])) continue;
    block[SectionElement(i)] = SelectionElement(s.sectionSel[i]);
  }

  block[kElemEyeTimingMode] = s.eyeTimingMode == 0 ? 0 : 1;
  block[kElemOperationMode] = s.operationMode == 0 ? 0 : 1;
  block[kElemKOVALMode] = s.kovalMode == 0 ? 0 : 1;
  block[kElemAEBypassROF] = SelectionElement(s.aeBypassROFSel);
  block[kElemLCDMaskLow] = LCDMenuMaskLow(s.lcdMenuMask);
  block[kElemLCDMaskHigh] = LCDMenuMaskHigh(s.lcdMenuMask);
  block[kElemFixedB] = kFixedElementValue;
  block[kElemFixedA] = kFixedElementValue;
}

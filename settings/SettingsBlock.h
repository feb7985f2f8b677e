// The settings block: what each element of SettingsArray means, the item lists its indices refer
// to, and the arithmetic between element values and what the main dialog shows. No Qt here.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The settings block: element n holds board data byte n - 1; element 31 stays 0.
constexpr int kSettingsArraySize = 32;
extern uint8_t SettingsArray[kSettingsArraySize];
// Puts every element back to 0, its value at process start.
void ResetSettingsArray();

// Elements of SettingsArray (element n holds board data byte n - 1).
enum SettingsElement : int {
  kElemFiringMode = 1,
  kElemRateOfFire = 2,
  kElemSolenoidDwell = 3,
  kElemTriggerDebounce = 4,
  kElemAfterEyeDelay = 5,
  kElemTimerMode = 6,
  kElemTimerStart = 7,
  kElemTimerMinutes = 8,
  kElemTimerSeconds = 9,
  kElemSection1 = 10,
  kElemSection1B = 11,
  kElemSection2 = 12,
  kElemSection2B = 13,
  kElemEyeTimingMode = 14,
  kElemOperationMode = 15,
  kElemKOVALMode = 16,
  kElemFirmwareMajor = 20,
  kElemFirmwareMinor = 21,
  kElemBoardType = 22,
  kElemAEBypassROF = 23,
  kElemLCDMaskLow = 24,
  kElemLCDMaskHigh = 25,
  kElemFixedA = 29,
  kElemFixedB = 30,
};

// Who writes an element when the block is built from the dialog.
enum class ElementOwner {
  Dialog,   // converted from a control
  Board,    // read-only for the user: firmware revision and board type
  Carried,  // not interpreted, travels back to the board unchanged
  Fixed,    // always kFixedElementValue
};

struct SettingsElementInfo {
  int element;
  ElementOwner owner;
  std::string_view setting;
  int controlId;  // the dialog control that shows it; 0 for none
};

constexpr int kBlockFirstElement = 1;
constexpr int kBlockLastElement = 30;
constexpr uint8_t kFixedElementValue = 0xFF;
// Board type byte (element 22).
constexpr uint8_t kBoardKalix = 0;
constexpr uint8_t kBoardOrvanta = 1;

// Elements 1 to 30, in order.
extern const std::array<SettingsElementInfo, 30> kSettingsElements;

// Combo-box item lists, index 0 first.
extern const std::array<std::string_view, 4> kFiringModeItems;
extern const std::array<std::string_view, 8> kRateOfFireItems;
extern const std::array<std::string_view, 8> kAEBypassROFItems;
extern const std::array<std::string_view, 3> kTimerInitItems;
extern const std::array<std::string_view, 9> kLCDContentItems;

// The timer minutes the board offers; element 8 is an index into this list.
extern const std::array<int, 8> kTimerMinuteValues;

// The sixteen LCD menus; the position in the list is the menu's bit in the mask.
constexpr int kLCDMenuCount = 16;
extern const std::array<std::string_view, kLCDMenuCount> kLCDMenuItems;

// Reads a decimal integer as the dialog's conversions do: leading blanks skipped, an optional
// sign, digits up to the first other character; no digits give 0. Saturates instead of
// overflowing on absurdly long digit runs.
int ReadDecimal(std::string_view text);
// The low 8 bits, as a block element stores any number.
uint8_t LowByte(int value);

// "%d" and "%02d".
std::string DecimalText(int value);
std::string TwoDigitText(int value);

// Timer minutes (element 8): the text shown for an index, "07" for one beyond the list.
std::string TimerMinutesText(uint8_t element);
// The index for a number of minutes; 3 (5 minutes) for a number that is not in the list.
uint8_t TimerMinutesElement(int minutes);

// Timer seconds (element 9): stored divided by 5.
std::string TimerSecondsText(uint8_t element);
uint8_t TimerSecondsElement(int seconds);

// After-eye delay (element 5): 0 bypasses the eye, otherwise milliseconds + 1.
constexpr uint8_t kAfterEyeBypass = 0;
std::string AfterEyeDelayText(uint8_t element);
uint8_t AfterEyeDelayElement(int milliseconds);

// Timer start trigger (element 7) runs in the reverse of the combo box's order. Values outside the
// list have no counterpart.
std::optional<int> TimerInitIndex(uint8_t element);
std::optional<uint8_t> TimerInitElement(int comboIndex);

// A combo box's selection as an element: no selection (-1) gives 0xFF.
uint8_t SelectionElement(int selection);

// The LCD menu mask (elements 24 low, 25 high); a Kalix board has none.
int LCDMenuMaskFromBlock(uint8_t boardType, uint8_t low, uint8_t high);
uint8_t LCDMenuMaskLow(int mask);
uint8_t LCDMenuMaskHigh(int mask);

// The minutes spin button can only count 1, 2, 3, ... 15; positions between two minute values are
// replaced by a neighbour, the direction of travel guessed from the last replacement `lastJump`
// (0 = none), which is updated when a replacement happens.
int SubstituteTimerMinute(int position, int& lastJump);

// The seconds spin button steps by 5 from 0 to 59: the wrap below 0 lands on 59, which shows
// "55"; single digits get a leading zero. `spinText` is what the spin button wrote.
std::string TimerSecondsSpinText(int position, std::string_view spinText);

#include "settings/SettingsBlock.h"
#include "platform/Text.h"

#include <climits>
#include <cstdio>

namespace {

constexpr int kDefaultMinutesIndex = 3;        // 5 minutes
constexpr uint8_t kOutOfListMinutesIndex = 4;  // an index beyond the list shows "07"
constexpr int kSecondsPerStep = 5;
constexpr int kSecondsSpinMax = 59;

}  // namespace

uint8_t SettingsArray[kSettingsArraySize] = {};

void ResetSettingsArray() {
  for (uint8_t& element : SettingsArray) element = 0;
}

const std::array<SettingsElementInfo, 30> kSettingsElements = {{
    {1, ElementOwner::Dialog, "Firing mode", 1029},
    {2, ElementOwner::Dialog, "Rate of fire", 1030},
    {3, ElementOwner::Dialog, "Solenoid dwell", 1001},
    {4, ElementOwner::Dialog, "Trigger debounce", 1002},
    {5, ElementOwner::Dialog, "After-eye delay", 1003},
    {6, ElementOwner::Dialog, "Timer mode", 1048},
    {7, ElementOwner::Dialog, "Timer start trigger", 1031},
    {8, ElementOwner::Dialog, "Timer minutes", 1004},
    {9, ElementOwner::Dialog, "Timer seconds", 1012},
    {10, ElementOwner::Dialog, "LCD section 1 content", 1021},
    {11, ElementOwner::Dialog, "LCD section 1-B content", 1022},
    {12, ElementOwner::Dialog, "LCD section 2 content", 1023},
    {13, ElementOwner::Dialog, "LCD section 2-B content", 1024},
    {14, ElementOwner::Dialog, "Eye timing mode", 1050},
    {15, ElementOwner::Dialog, "Operation mode", 1042},
    {16, ElementOwner::Dialog, "KOVAL mode", 1046},
    {17, ElementOwner::Carried, "not interpreted", 0},
    {18, ElementOwner::Carried, "not interpreted", 0},
    {19, ElementOwner::Carried, "not interpreted", 0},
    {20, ElementOwner::Board, "Firmware major version", 1006},
    {21, ElementOwner::Board, "Firmware minor version", 1006},
    {22, ElementOwner::Board, "Board type", 1005},
    {23, ElementOwner::Dialog, "AE bypass rate of fire", 1032},
    {24, ElementOwner::Dialog, "LCD menu mask, low byte", 1063},
    {25, ElementOwner::Dialog, "LCD menu mask, high byte", 1063},
    {26, ElementOwner::Carried, "not interpreted", 0},
    {27, ElementOwner::Carried, "not interpreted", 0},
    {28, ElementOwner::Carried, "not interpreted", 0},
    {29, ElementOwner::Fixed, "fixed byte", 0},
    {30, ElementOwner::Fixed, "fixed byte", 0},
}};

const std::array<std::string_view, 4> kFiringModeItems = {"Semi Auto", "Turbo", "Autoresponse",
                                                          "Full Auto"};
const std::array<std::string_view, 8> kRateOfFireItems = {
    "20/Unlimited", "18 bps", "16 bps", "14 bps", "13 bps", "12 bps", "10 bps", "09 bps"};
const std::array<std::string_view, 8> kAEBypassROFItems = {"20 bps", "18 bps", "16 bps", "14 bps",
                                                           "13 bps", "12 bps", "10 bps", "09 bps"};
const std::array<std::string_view, 3> kTimerInitItems = {"Button 1 Only", "Button 1 or Fire Only",
                                                         "Turnon, B1, or Fire"};
const std::array<std::string_view, 9> kLCDContentItems = {
    "Timer", "Shot Count", "ROF Setting", "ROF Achieved", "Firing Mode",
    "Dwell", "Eye Status", "Version",     "Blank (Empty)"};
const std::array<int, 8> kTimerMinuteValues = {1, 2, 3, 5, 7, 10, 12, 15};
const std::array<std::string_view, kLCDMenuCount> kLCDMenuItems = {
    "Firing Mode",     "Rate Of Fire",    "Solenoid Dwell", "Debounce Mult",
    "After-Eye Delay", "Timer Mode",      "Timer Start",    "Timer Minutes",
    "Timer Seconds",   "LCD Section 1",   "LCD Section 1B", "LCD Section 2",
    "LCD Section 2B",  "Eye Timing Mode", "Operation Mode", "K.O.V.A.L. Mode"};

int ReadDecimal(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) return negative ? INT_MIN : INT_MAX;
  }
  return static_cast<int>(negative ? -value : value);
}

uint8_t LowByte(int value) {
  return static_cast<uint8_t>(static_cast<unsigned>(value) & 0xFFu);
}

std::string DecimalText(int value) {
  return std::to_string(value);
}

std::string TwoDigitText(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

std::string TimerMinutesText(uint8_t element) {
  const uint8_t index = element < kTimerMinuteValues.size() ? element : kOutOfListMinutesIndex;
  return TwoDigitText(kTimerMinuteValues[index]);
}

uint8_t TimerMinutesElement(int minutes) {
  for (std::size_t i = 0; i < kTimerMinuteValues.size(); ++i) {
    if (kTimerMinuteValues[i] == minutes) return static_cast<uint8_t>(i);
  }
  return kDefaultMinutesIndex;
}

std::string TimerSecondsText(uint8_t element) {
  return TwoDigitText(element * kSecondsPerStep);
}

uint8_t TimerSecondsElement(int seconds) {
  return LowByte(seconds / kSecondsPerStep);
}

std::string AfterEyeDelayText(uint8_t element) {
  return DecimalText(element == kAfterEyeBypass ? 0 : element - 1);
}

uint8_t AfterEyeDelayElement(int milliseconds) {
  // Unsigned arithmetic: a text of INT_MAX must not overflow.
  return static_cast<uint8_t>((static_cast<unsigned>(milliseconds) + 1u) & 0xFFu);
}

std::optional<int> TimerInitIndex(uint8_t element) {
  if (element >= kTimerInitItems.size()) return std::nullopt;
  return static_cast<int>(kTimerInitItems.size()) - 1 - element;
}

std::optional<uint8_t> TimerInitElement(int comboIndex) {
  if (comboIndex < 0 || comboIndex >= static_cast<int>(kTimerInitItems.size())) return std::nullopt;
  return static_cast<uint8_t>(kTimerInitItems.size() - 1 - comboIndex);
}

uint8_t SelectionElement(int selection) {
  return LowByte(selection);
}

int LCDMenuMaskFromBlock(uint8_t boardType, uint8_t low, uint8_t high) {
  if (boardType == kBoardKalix) return 0;
  return low + 256 * high;
}

uint8_t LCDMenuMaskLow(int mask) {
  return LowByte(mask);
}
uint8_t LCDMenuMaskHigh(int mask) {
  return LowByte(mask >> 8);
}

int SubstituteTimerMinute(int position, int& lastJump) {
  int shown = position;
  switch (position) {
    case 4:
      shown = lastJump == 3 ? 5 : 3;
      break;
    case 6:
      shown = lastJump == 5 ? 7 : 5;
      break;
    case 8:
    case 9:
      shown = lastJump == 10 ? 7 : 10;
      break;
    case 11:
      shown = lastJump == 12 ? 10 : 12;
      break;
    case 13:
      shown = lastJump == 12 ? 15 : 12;
      break;
    case 14:
      shown = 12;
      break;
    default:
      return position;
  }
  lastJump = shown;
  return shown;
}

std::string TimerSecondsSpinText(int position, std::string_view spinText) {
  std::string text = position == kSecondsSpinMax ? "55" : std::string(spinText);
  if (text.size() == 1) text.insert(text.begin(), '0');
  return text;
}

#include "settings/SettingsFile.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <span>

#include "platform/Text.h"

namespace {

// Earlier files were written with CR LF; the tool keeps writing them so.
constexpr std::string_view kLineBreak = "\r\n";

std::string Key(int line) {
  return std::to_string(line) + ":";
}

void AddLine(std::string& text, int line, std::string_view value) {
  text += Key(line);
  text += value;
  text += kLineBreak;
}

void AddLine(std::string& text, int line, int value) {
  AddLine(text, line, DecimalText(value));
}

// A CR LF pair counts as one line break, so that a line reads the same whichever was written.
std::string WithLineFeeds(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    text += bytes[i];
  }
  return text;
}

std::string_view TextOfRead(std::string_view read) {
  read = read.substr(0, read.find('\0'));
  const std::size_t end = read.find_last_not_of(" \t\r\n");
  return read.substr(0, end == std::string_view::npos ? 0 : end + 1);
}

// One line as the reader sees it: its text, and its value where it holds its key.
class FileLine {
 public:
  FileLine(const std::string& text, int line) : text_(text), key_(Key(line)) {}

  std::optional<std::string> Value() const {
    if (text_.find(key_) == std::string::npos) return std::nullopt;
    return text_.substr(key_.size());
  }
  int Number(int fallback) const {
    const std::optional<std::string> value = Value();
    return value ? ReadDecimal(*value) : fallback;
  }
  std::string Text(std::string_view fallback) const {
    return Value().value_or(std::string(fallback));
  }
  const std::string& WholeText() const { return text_; }

 private:
  const std::string& text_;
  std::string key_;
};

// The board's timer boxes show two characters; a one-character value gets a blank in front.
std::string TimerText(const FileLine& line) {
  std::string text = line.Text("00");
  if (text.size() == 1) text.insert(text.begin(), ' ');
  return text;
}

void ReadAfterEye(const FileLine& line, SettingsFileContents& contents) {
  DialogSettings& s = contents.settings;
  if (!line.Value()) {
    s.aeDelayMode = kAEDelayModeBypass;
    contents.keepsAEDelayText = true;
    return;
  }
  s.aeDelayMode = line.Number(kAEDelayModeBypass);
  // Everything after the first "-": a delay of 10 to 13 ms comes back whole.
  const std::size_t dash = line.WholeText().find('-');
  s.aeDelayText = dash == std::string::npos ? std::string() : line.WholeText().substr(dash + 1);
}

}  // namespace

std::string WriteSettingsFile(const DialogSettings& s) {
  std::string text;
  AddLine(text, 0, s.operationMode);
  AddLine(text, 1, s.firingModeSel);
  AddLine(text, 2, s.rofSel);
  AddLine(text, 3, s.debounceText);
  AddLine(text, 4, s.dwellText);
  AddLine(text, 5, (s.bypassEyeChecked ? "0-" : "1-") + s.aeDelayText);
  AddLine(text, 6, s.kovalMode);
  AddLine(text, 7, s.eyeTimingMode);
  AddLine(text, 8, s.timerInitSel);  // the combo box's order, not the block's
  AddLine(text, 9, s.timerMinutesText);
  AddLine(text, 10, s.timerSecondsText);
  AddLine(text, 11, s.timerMode);
  AddLine(text, 12, 0);  // reserved
  for (int section = 0; section < kLCDSectionCount; ++section) {
    AddLine(text, 13 + section, s.sectionSel[static_cast<std::size_t>(section)]);
  }
  AddLine(text, 17, s.aeBypassROFSel);
  AddLine(text, 18, s.lcdMenuMask);
  return text;
}

std::array<std::string, kSettingsFileLineCount> ReadSettingsFileLines(std::string_view bytes) {
  const std::string text = WithLineFeeds(bytes);
  std::array<std::string, kSettingsFileLineCount> lines;
  std::string last;
  std::size_t pos = 0;
  for (std::string& line : lines) {
    if (pos < text.size()) {
      std::size_t length = std::min(kSettingsFileLineMax, text.size() - pos);
      const std::size_t lineFeed = text.find('\n', pos);
      if (lineFeed != std::string::npos && lineFeed - pos < length) length = lineFeed - pos + 1;
      last = TextOfRead(std::string_view(text).substr(pos, length));
      pos += length;
    }
    line = last;
  }
  return lines;
}

SettingsFileContents ReadSettingsFile(std::string_view bytes) {
  const std::array<std::string, kSettingsFileLineCount> lines = ReadSettingsFileLines(bytes);
  const auto line = [&lines](int n) { return FileLine(lines[static_cast<std::size_t>(n)], n); };

  SettingsFileContents contents;
  DialogSettings& s = contents.settings;
  s.operationMode = line(0).Number(0);
  s.firingModeSel = line(1).Number(0);
  s.rofSel = line(2).Number(0);
  s.debounceText = line(3).Text("");
  s.dwellText = line(4).Text("");
  ReadAfterEye(line(5), contents);
  s.kovalMode = line(6).Number(0);
  s.eyeTimingMode = line(7).Number(0);
  s.timerInitSel = line(8).Number(0);
  s.timerMinutesText = TimerText(line(9));
  s.timerSecondsText = TimerText(line(10));
  s.timerMode = line(11).Number(0);
  // Line 13 ("12:") is reserved and read for its place only.
  for (int section = 0; section < kLCDSectionCount; ++section) {
    s.sectionSel[static_cast<std::size_t>(section)] = line(13 + section).Number(0);
  }
  s.aeBypassROFSel = line(17).Number(0);
  s.lcdMenuMask = line(18).Number(kDefaultFileLCDMenuMask);
  return contents;
}

namespace {

// What a line's value may be: a number from `low` to `high`, and one of `only` where it is given.
struct ValueRule {
  int low;
  int high;
  std::span<const int> only = {};
};

// Line by line, the range of what the tool writes there. Line 5 holds the after-eye choice and,
// after a "-", the delay; line 12 is reserved and holds any number.
const std::array<ValueRule, kSettingsFileLineCount> kValueRules = {{
    {0, 1},                                              // operation mode
    {0, static_cast<int>(kFiringModeItems.size()) - 1},  // firing mode
    {0, static_cast<int>(kRateOfFireItems.size()) - 1},  // rate of fire
    {0, 255},                                            // debounce
    {0, 255},                                            // dwell
    {0, 1},                                              // after-eye choice
    {0, 1},                                              // KOVAL mode
    {0, 1},                                              // eye timing mode
    {0, static_cast<int>(kTimerInitItems.size()) - 1},   // timer start
    {1, 15, kTimerMinuteValues},                         // timer minutes
    {0, 255 * 5},                                        // timer seconds, stored in fives
    {0, 1},                                              // timer mode
    {0, INT_MAX},                                        // reserved
    // LCD sections; -1 is a Kalix board's locked section that holds no item of the list.
    {-1, static_cast<int>(kLCDContentItems.size()) - 1},
    {-1, static_cast<int>(kLCDContentItems.size()) - 1},
    {-1, static_cast<int>(kLCDContentItems.size()) - 1},
    {-1, static_cast<int>(kLCDContentItems.size()) - 1},
    {0, static_cast<int>(kAEBypassROFItems.size()) - 1},  // AE bypass rate of fire
    {0, 0xFFFF},                                          // LCD menu mask
}};
// Delay milliseconds + 1 is stored in a byte whose 0 means "bypass".
constexpr ValueRule kAfterEyeDelayRule{0, 254};
constexpr int kAfterEyeLine = 5;

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

// Empty when `value` (blanks in front allowed, as the window writes its timer boxes) is a number
// the rule allows; otherwise why not.
std::string ValueFault(std::string_view value, const ValueRule& rule) {
  std::size_t digits = value.find_first_not_of(' ');
  if (digits != std::string_view::npos && value[digits] == '-') ++digits;
  if (digits >= value.size() ||
      !std::all_of(value.begin() + static_cast<std::ptrdiff_t>(digits), value.end(), IsDigit)) {
    return Quoted(value) + " is not a number";
  }
  const int number = ReadDecimal(value);
  if (!rule.only.empty() &&
      std::find(rule.only.begin(), rule.only.end(), number) == rule.only.end()) {
    std::string list;
    for (const int allowed : rule.only) list += (list.empty() ? "" : ", ") + DecimalText(allowed);
    return DecimalText(number) + " is not one of " + list;
  }
  if (number < rule.low || number > rule.high) {
    return DecimalText(number) + " is not from " + DecimalText(rule.low) + " to " +
           DecimalText(rule.high);
  }
  return {};
}

std::string AfterEyeFault(std::string_view value) {
  const std::size_t dash = value.find('-');
  if (dash == std::string_view::npos) {
    return Quoted(value) + " is not a choice and a delay joined by \"-\"";
  }
  std::string fault = ValueFault(value.substr(0, dash), kValueRules[kAfterEyeLine]);
  if (fault.empty()) fault = ValueFault(value.substr(dash + 1), kAfterEyeDelayRule);
  return fault;
}

std::string LineFault(std::string_view line, int n) {
  const std::string key = Key(n);
  if (!line.starts_with(key)) return "does not start with " + Quoted(key);
  const std::string_view value = line.substr(key.size());
  if (n == kAfterEyeLine) return AfterEyeFault(value);
  return ValueFault(value, kValueRules[static_cast<std::size_t>(n)]);
}

}  // namespace

std::string SettingsFileFault(std::string_view bytes) {
  const std::string text = WithLineFeeds(bytes);
  const std::string shape = " (a settings file has 19 lines, 0: to 18:)";
  std::string_view rest = text;
  for (int n = 0;; ++n) {
    const std::string where = "line " + DecimalText(n + 1) + ": ";
    if (rest.empty()) return n == kSettingsFileLineCount ? "" : where + "missing" + shape;
    if (n == kSettingsFileLineCount) return where + "one too many" + shape;
    const std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    // The upload reads a longer line in pieces, and every line after it one too late.
    if (line.size() >= kSettingsFileLineMax) {
      return where + "longer than " + DecimalText(kSettingsFileLineMax - 1) + " characters";
    }
    // Trailing blanks go, as the window's reading drops them.
    line = line.substr(0, line.find_last_not_of(" \t\r") + 1);
    if (const std::string fault = LineFault(line, n); !fault.empty()) return where + fault;
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  }
}

#include "settings/SettingsFile.h"

#include <algorithm>
#include <optional>

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

std::string SettingsFileFault(std::string_view) {
  return {};
}

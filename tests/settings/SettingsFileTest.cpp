#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// A file with `line` at 0-based `position` and every other line empty.
std::string At(int position, const std::string& line) {
  std::string file;
  for (int n = 0; n < kSettingsFileLineCount; ++n) file += (n == position ? line : "") + "\n";
  return file;
}

TEST(SettingsFile, LinesAreReadByPositionWithTheirLimits) {
  const std::string longLine(300, '7');
  const std::string full(254, 'x');
  const struct {
    const char* name;
    std::string bytes;
    std::vector<std::pair<int, std::string>> lines;  // 0-based read, its text
  } cases[] = {
      {"LF and CR LF alike", "0:1\n1:2\r\n2:3", {{0, "0:1"}, {1, "1:2"}, {2, "2:3"}}},
      {"exhausted file repeats its last line", "0:1\n1:2\n", {{2, "1:2"}, {18, "1:2"}}},
      {"nothing read at all", "", {{0, ""}, {18, ""}}},
      {"trailing white space goes, leading stays", " 0:1 \t\r\r\n", {{0, " 0:1"}}},
      {"a NUL ends the line's text", std::string("0:1\0junk\n1:2", 12), {{0, "0:1"}, {1, "1:2"}}},
      {"CR alone ends no line", "0:1\r1:2\r", {{0, "0:1\r1:2"}, {1, "0:1\r1:2"}}},
      {"longer than 255: the rest is the next read",
       longLine + "\n1:2",
       {{0, longLine.substr(0, 255)}, {1, longLine.substr(255)}, {2, "1:2"}}},
      {"254 characters and the line break fit", full + "\n1:2", {{0, full}, {1, "1:2"}}},
      {"255 characters leave the line break for the next read",
       full + "y\r\n1:2",
       {{0, full + "y"}, {1, ""}, {2, "1:2"}}},
  };
  for (const auto& c : cases) {
    const auto lines = ReadSettingsFileLines(c.bytes);
    for (const auto& [index, text] : c.lines) {
      EXPECT_EQ(lines[static_cast<std::size_t>(index)], text) << c.name << ", read " << index;
    }
  }
}

TEST(SettingsFile, ValuesFollowTheKeyAndLineRules) {
  using Check = std::function<void(const SettingsFileContents&)>;
  const struct {
    std::string file;
    Check check;
  } cases[] = {
      {At(9, "9:5"), [](auto& c) { EXPECT_EQ(c.settings.timerMinutesText, " 5"); }},
      {At(9, "9:05"), [](auto& c) { EXPECT_EQ(c.settings.timerMinutesText, "05"); }},
      {At(10, "10:"), [](auto& c) { EXPECT_EQ(c.settings.timerSecondsText, ""); }},
      {At(0, "x0:1"), [](auto& c) { EXPECT_EQ(c.settings.operationMode, 0) << "value at 2"; }},
      {At(3, "x3:45"),
       [](auto& c) { EXPECT_EQ(c.settings.debounceText, ":45") << "key anywhere"; }},
      {At(3, "3: 4"), [](auto& c) { EXPECT_EQ(c.settings.debounceText, " 4"); }},
      {At(18, "18:-5"), [](auto& c) { EXPECT_EQ(c.settings.lcdMenuMask, -5); }},
      {"1:1\n2:3\n",  // keys one line off: tested by position only
       [](auto& c) {
         EXPECT_EQ(c.settings.operationMode, 0);
         EXPECT_EQ(c.settings.firingModeSel, 0);
         EXPECT_EQ(c.settings.rofSel, 3) << "the repeated last line holds key 2:";
       }},
      {At(5, "5:1-13"),
       [](auto& c) {
         EXPECT_EQ(c.settings.aeDelayMode, 1);
         EXPECT_EQ(c.settings.aeDelayText, "13");
         EXPECT_TRUE(AEDelayControlsEnabled(c));
       }},
      {At(5, "5:0-4"),
       [](auto& c) {
         EXPECT_EQ(c.settings.aeDelayMode, 0);
         EXPECT_EQ(c.settings.aeDelayText, "4");
         EXPECT_FALSE(AEDelayControlsEnabled(c));
       }},
      {At(5, "5:1"), [](auto& c) { EXPECT_EQ(c.settings.aeDelayText, ""); }},
      {At(5, "5:1-1-3"), [](auto& c) { EXPECT_EQ(c.settings.aeDelayText, "1-3"); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file.substr(0, 40));
    c.check(ReadSettingsFile(c.file));
  }
}

TEST(SettingsFile, AfterEyePrefixFollowsTheButtonAndTextsAreWrittenAsTheyAre) {
  DialogSettings s;
  s.aeDelayMode = kAEDelayModeDelay;  // the choice member, which the prefix ignores
  s.bypassEyeChecked = true;
  s.aeDelayText = "13";
  s.timerMinutesText = "  ";  // as the blank settings leave it
  const std::string text = WriteSettingsFile(s);
  EXPECT_NE(text.find("\r\n5:0-13\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n9:  \r\n"), std::string::npos);
  const SettingsFileContents back = ReadSettingsFile(text);
  EXPECT_EQ(back.settings.aeDelayMode, 0);
  EXPECT_EQ(back.settings.aeDelayText, "13");
  EXPECT_EQ(back.settings.timerMinutesText, "") << "trailing blanks are removed on reading";
}

}  // namespace

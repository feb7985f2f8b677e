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

// What orvanta-ofw upload takes: the file as the tool writes it, or refused with the line and why.
TEST(SettingsFile, AFileToUploadIsCompleteAndWellFormed) {
  const std::string good =
      "0:0\r\n1:3\r\n2:7\r\n3: 4\r\n4:255\r\n5:1-254\r\n6:1\r\n7:0\r\n8:2\r\n9:15\r\n"
      "10:1275\r\n11:0\r\n12:0\r\n13:0\r\n14:8\r\n15:2\r\n16:3\r\n17:7\r\n18:65535\r\n";
  const auto with = [&good](int n, const std::string& line) {
    std::string text = good;
    const std::size_t start = n == 0 ? 0 : text.find("\n" + std::to_string(n) + ":") + 1;
    return text.replace(start, text.find('\r', start) - start, line);
  };
  const struct {
    std::string file;
    std::string fault;
  } cases[] = {
      {good, ""},
      {"0:0\n1:3\n2:7\n3:4\n4:255\n5:0-0\n6:1\n7:0\n8:2\n9:1\n10:0\n11:1\n12:0\n13:0\n14:8\n"
       "15:2\n16:3\n17:0\n18:0 \t",
       ""},
      {good.substr(0, good.find("5:")),
       "line 6: missing (a settings file has 19 lines, 0: to 18:)"},
      {good + "\r\n", "line 20: one too many (a settings file has 19 lines, 0: to 18:)"},
      {with(2, "2:abc"), "line 3: \"abc\" is not a number"},
      {with(2, "2:-1"), "line 3: -1 is not from 0 to 7"},
      {with(13, "13:-1"), ""},
      {with(2, "5:2"), "line 3: does not start with \"2:\""},
      {with(0, "0:2"), "line 1: 2 is not from 0 to 1"},
      {with(2, "2:8"), "line 3: 8 is not from 0 to 7"},
      {with(3, "3:256"), "line 4: 256 is not from 0 to 255"},
      {with(5, "5:1"), "line 6: \"1\" is not a choice and a delay joined by \"-\""},
      {with(5, "5:2-3"), "line 6: 2 is not from 0 to 1"},
      {with(5, "5:1-255"), "line 6: 255 is not from 0 to 254"},
      {with(9, "9:4"), "line 10: 4 is not one of 1, 2, 3, 5, 7, 10, 12, 15"},
      {with(10, "10:1280"), "line 11: 1280 is not from 0 to 1275"},
      {with(16, "16:9"), "line 17: 9 is not from -1 to 8"},
      {with(18, "18:65536"), "line 19: 65536 is not from 0 to 65535"},
      {with(3, "3:4" + std::string(251, ' ')), ""},
      {with(3, "3:4" + std::string(300, ' ')), "line 4: longer than 254 characters"},
  };
  for (const auto& c : cases) EXPECT_EQ(SettingsFileFault(c.file), c.fault) << c.file;
}

}  // namespace

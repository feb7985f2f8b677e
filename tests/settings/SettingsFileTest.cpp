#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

#include <string>

#include "settings/Validation.h"

namespace {

const std::string kExampleFile =
    "0:0\r\n1:0\r\n2:4\r\n3:4\r\n4:10\r\n5:1-6\r\n6:0\r\n7:0\r\n8:0\r\n9:05\r\n10:00\r\n11:0\r\n"
    "12:0\r\n13:0\r\n14:1\r\n15:2\r\n16:3\r\n17:5\r\n18:65535\r\n";

DialogSettings ExampleSettings() {
  DialogSettings s;
  s.operationMode = s.kovalMode = s.eyeTimingMode = s.timerMode = 0;
  s.aeDelayMode = 1;
  s.firingModeSel = 0;
  s.rofSel = 4;
  s.timerInitSel = 0;
  s.sectionSel = {0, 1, 2, 3};
  s.aeBypassROFSel = 5;
  s.debounceText = "4";
  s.dwellText = "10";
  s.aeDelayText = "6";
  s.timerMinutesText = "05";
  s.timerSecondsText = "00";
  s.lcdMenuMask = 65535;
  return s;
}

// The fields a file carries, for comparing what was written with what is read.
auto FileFields(const DialogSettings& s) {
  return std::tie(s.operationMode, s.firingModeSel, s.rofSel, s.debounceText, s.dwellText,
                  s.aeDelayMode, s.aeDelayText, s.kovalMode, s.eyeTimingMode, s.timerInitSel,
                  s.timerMinutesText, s.timerSecondsText, s.timerMode, s.sectionSel,
                  s.aeBypassROFSel, s.lcdMenuMask);
}

TEST(SettingsFile, ExampleFileIsWrittenByteForByteAndReadBack) {
  EXPECT_EQ(WriteSettingsFile(ExampleSettings()), kExampleFile);
  const SettingsFileContents read = ReadSettingsFile(kExampleFile);
  EXPECT_TRUE(FileFields(read.settings) == FileFields(ExampleSettings()));
  EXPECT_FALSE(read.keepsAEDelayText);
  EXPECT_EQ(FirstIncompleteItem(read.settings), std::nullopt);

  DialogSettings bypassed = ExampleSettings();
  bypassed.bypassEyeChecked = true;
  bypassed.aeDelayMode = kAEDelayModeDelay;  // the button decides the prefix, not the choice
  bypassed.aeDelayText = "13";
  bypassed.timerMinutesText = "  ";  // blank timer texts are written as they are
  const std::string text = WriteSettingsFile(bypassed);
  EXPECT_NE(text.find("\r\n5:0-13\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n9:  \r\n"), std::string::npos);
  const SettingsFileContents back = ReadSettingsFile(text);
  EXPECT_EQ(back.settings.aeDelayMode, 0);
  EXPECT_EQ(back.settings.aeDelayText, "13");
  EXPECT_EQ(back.settings.timerMinutesText, "") << "trailing blanks are removed on reading";
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

TEST(SettingsFile, EachPositionFallsBackToItsDefault) {
  const SettingsFileContents empty = ReadSettingsFile("");
  DialogSettings expected;
  expected.operationMode = expected.aeDelayMode = expected.kovalMode = 0;
  expected.eyeTimingMode = expected.timerMode = 0;
  expected.firingModeSel = expected.rofSel = expected.timerInitSel = expected.aeBypassROFSel = 0;
  expected.sectionSel = {0, 0, 0, 0};
  expected.timerMinutesText = expected.timerSecondsText = "00";
  expected.lcdMenuMask = kDefaultFileLCDMenuMask;
  EXPECT_TRUE(FileFields(empty.settings) == FileFields(expected));
  EXPECT_TRUE(empty.keepsAEDelayText);
  EXPECT_FALSE(AEDelayControlsEnabled(empty));

  // The keys in another order: "1:" on the first line is tested against "0:" only.
  const SettingsFileContents shifted = ReadSettingsFile("1:1\n2:3\n");
  EXPECT_EQ(shifted.settings.operationMode, 0);
  EXPECT_EQ(shifted.settings.firingModeSel, 0);
  EXPECT_EQ(shifted.settings.rofSel, 3) << "the repeated last line holds key 2:";
}

TEST(SettingsFile, ValuesFollowTheKeyAndLineRules) {
  const struct {
    std::string line;  // placed at its position, the other lines empty
    int position;
    std::function<void(const SettingsFileContents&)> check;
  } cases[] = {
      {"9:5", 9, [](auto& c) { EXPECT_EQ(c.settings.timerMinutesText, " 5"); }},
      {"9:05", 9, [](auto& c) { EXPECT_EQ(c.settings.timerMinutesText, "05"); }},
      {"10:", 10, [](auto& c) { EXPECT_EQ(c.settings.timerSecondsText, ""); }},
      {"1:7", 1, [](auto& c) { EXPECT_EQ(c.settings.firingModeSel, 7); }},
      {"x0:1", 0,
       [](auto& c) { EXPECT_EQ(c.settings.operationMode, 0) << "value from position 2"; }},
      {"3: 4", 3, [](auto& c) { EXPECT_EQ(c.settings.debounceText, " 4"); }},
      {"18:-5", 18, [](auto& c) { EXPECT_EQ(c.settings.lcdMenuMask, -5); }},
      {"5:1-13", 5,
       [](auto& c) {
         EXPECT_EQ(c.settings.aeDelayMode, 1);
         EXPECT_EQ(c.settings.aeDelayText, "13");
         EXPECT_TRUE(AEDelayControlsEnabled(c));
       }},
      {"5:0-4", 5,
       [](auto& c) {
         EXPECT_EQ(c.settings.aeDelayMode, 0);
         EXPECT_EQ(c.settings.aeDelayText, "4");
         EXPECT_FALSE(AEDelayControlsEnabled(c));
       }},
      {"5:1", 5,
       [](auto& c) {
         EXPECT_EQ(c.settings.aeDelayText, "");
         EXPECT_FALSE(c.keepsAEDelayText);
       }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    std::string file;
    for (int n = 0; n < kSettingsFileLineCount; ++n) file += (n == c.position ? c.line : "") + "\n";
    c.check(ReadSettingsFile(file));
  }
}

TEST(SettingsCheck, ItemsAreTriedInOrderAndKalixSectionsLockedByTheBoardPass) {
  DialogSettings complete = ExampleSettings();
  ASSERT_EQ(FirstIncompleteItem(complete), std::nullopt);
  // Each item alone, emptied; then all from this one on, so the first in order must win.
  const std::function<void(DialogSettings&)> empty[kSettingsItemCount] = {
      [](auto& s) { s.operationMode = 2; },
      [](auto& s) { s.aeDelayMode = 3; },
      [](auto& s) { s.kovalMode = -1; },
      [](auto& s) { s.eyeTimingMode = 2; },
      [](auto& s) { s.timerMode = -1; },
      [](auto& s) { s.firingModeSel = -1; },
      [](auto& s) { s.rofSel = -1; },
      [](auto& s) { s.aeBypassROFSel = -1; },
      [](auto& s) { s.timerInitSel = -1; },
      [](auto& s) { s.timerMinutesText.clear(); },
      [](auto& s) { s.timerSecondsText.clear(); },
      [](auto& s) { s.sectionSel[0] = -1; },
      [](auto& s) { s.sectionSel[1] = -1; },
      [](auto& s) { s.sectionSel[2] = -1; },
      [](auto& s) { s.sectionSel[3] = -1; },
      [](auto& s) { s.debounceText.clear(); },
      [](auto& s) { s.dwellText.clear(); },
      [](auto& s) { s.aeDelayText.clear(); },
  };
  DialogSettings all = complete;
  for (int i = kSettingsItemCount - 1; i >= 0; --i) {
    DialogSettings one = complete;
    empty[i](one);
    EXPECT_EQ(FirstIncompleteItem(one), SettingsItem(i)) << "item " << i;
    empty[i](all);
    EXPECT_EQ(FirstIncompleteItem(all), SettingsItem(i)) << "items " << i << " on";
  }

  const struct {
    uint8_t board;
    bool enabled;
    int selection;
    bool passes;
  } sections[] = {
      {kBoardKalix, false, -1, true},    {kBoardKalix, true, -1, false},
      {kBoardOrvanta, false, -1, false}, {7, false, -1, false},
      {kBoardKalix, false, 3, true},
  };
  for (const auto& c : sections) {
    DialogSettings s = complete;
    s.boardType = c.board;
    s.sectionEnabled[kSection2B] = c.enabled;
    s.sectionSel[kSection2B] = c.selection;
    EXPECT_EQ(FirstIncompleteItem(s) == std::nullopt, c.passes)
        << int(c.board) << " " << c.enabled << " " << c.selection;
  }
}

}  // namespace

// Pop-up topics: the topic-file format, and the committed help file read with chmlib.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/HelpFile.h"
#include "tests/support/Files.h"

namespace {

const std::string kHelpDir = std::string(ORVANTA_SOURCE_DIR) + "/res/help/";

std::string Source(const std::string& name) {
  return ReadText(kHelpDir + name);
}

TEST(PopupTopics, FindsATopicByItsNumber) {
  const std::string file =
      ".topic 3\nThree.\n\n.topic 34\r\nThirty-four,\r\nsecond line.\r\n\r\n.topic 5\n\n"
      ".topics 6\nnot a topic line\n.topic 7\n  \n.topic 8x\nEight?\n.topic 9\nNine.";
  const struct {
    int topic;
    std::optional<std::string> text;
  } cases[] = {
      {3, "Three."},
      {34, "Thirty-four,\nsecond line."},  // not topic 3's neighbour by prefix
      {5, ".topics 6\nnot a topic line"},  // ".topics" does not start a topic
      {7, std::nullopt},                   // only blanks
      {8, std::nullopt},                   // "8x" is a name, not a number
      {9, "Nine."},                        // the last topic, with no line end
      {4, std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(FindPopupTopic(file, c.topic), c.text) << c.topic;
}

TEST(PopupTopics, CommittedHelpFileHoldsTheTopicFilesAsWritten) {
  // A help file not rebuilt after a topic or page change would show old texts.
  const std::string chm = kHelpDir + "Orvanta_Help.chm";
  for (const char* name :
       {"OrvantaDialog.txt", "SettingsDialog.txt", "index.html", "connecting.html", "settings.html",
        "files.html", "firmware.html", "switches.html", "problems.html"}) {
    EXPECT_EQ(ReadHelpObject(chm, std::string("/") + name), Source(name)) << name;
  }
  EXPECT_EQ(ReadPopupTopic(chm, "/OrvantaDialog.txt", 34),
            "Update Firmware: writes a new firmware file (.ofw) into the board and then writes "
            "the settings shown back to it. Do not switch the board off or unplug the cable while "
            "it runs.");
  EXPECT_EQ(ReadPopupTopic(chm, "/Missing.txt", 1), std::nullopt);
  EXPECT_EQ(ReadPopupTopic(kHelpDir + "missing.chm", "/OrvantaDialog.txt", 1), std::nullopt);
  EXPECT_EQ(ReadPopupTopic(kHelpDir + "OrvantaDialog.txt", "/OrvantaDialog.txt", 1), std::nullopt);
  // A pipe in the help file's place would hold the window until something writes to it.
  const std::string pipe = ::testing::TempDir() + "help-pipe-" + std::to_string(getpid()) + ".chm";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(ReadPopupTopic(pipe, "/OrvantaDialog.txt", 1), std::nullopt);
  std::remove(pipe.c_str());
}

}  // namespace

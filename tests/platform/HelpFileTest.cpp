// Pop-up topics: the topic-file format, and the committed help file read with chmlib: its topic
// files, its contents and pages, and that it is not older than its sources.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/HelpContents.h"
#include "platform/HelpFile.h"
#include "platform/Sha256.h"
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
  for (const char* name : {"OrvantaDialog.txt", "SettingsDialog.txt"}) {
    EXPECT_EQ(ReadHelpObject(chm, std::string("/") + name), Source(name)) << name;
  }
  EXPECT_EQ(ReadPopupTopic(chm, "/OrvantaDialog.txt", 34),
            "Update Firmware: writes a new firmware file (.ofw) into the board and then writes "
            "the settings shown back to it. Do not switch the board off or unplug the cable while "
            "it runs.");
  EXPECT_EQ(ReadPopupTopic(chm, "/Missing.txt", 1), std::nullopt);
  EXPECT_EQ(ReadPopupTopic(kHelpDir + "missing.chm", "/OrvantaDialog.txt", 1), std::nullopt);
  EXPECT_EQ(ReadPopupTopic(kHelpDir + "OrvantaDialog.txt", "/OrvantaDialog.txt", 1), std::nullopt);
  // A pipe in the help file's place would hold the window until something writes to it. Windows
  // keeps no named pipes among its files.
#ifndef _WIN32
  const std::string pipe = ::testing::TempDir() + "help-pipe-" + std::to_string(getpid()) + ".chm";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_EQ(ReadPopupTopic(pipe, "/OrvantaDialog.txt", 1), std::nullopt);
  std::remove(pipe.c_str());
#endif
}

// The committed help file holds sources.sha256: each of its sources (the guides, the images they
// show, the pop-up topic files, the program that makes the pages) with its SHA-256 as it was
// built. A source changed or added since then means the help file is old.
TEST(CommittedHelpFile, IsBuiltFromTheSourcesAsTheyAreNow) {
  const std::filesystem::path root(ORVANTA_SOURCE_DIR);
  const std::string rebuild = ": run ./scripts/build-help and commit res/help/Orvanta_Help.chm";
  const std::optional<std::string> list =
      ReadHelpObject(kHelpDir + "Orvanta_Help.chm", "/sources.sha256");
  ASSERT_TRUE(list) << "the help file names no sources" << rebuild;
  std::set<std::string> listed;
  std::istringstream lines(*list);
  for (std::string line; std::getline(lines, line);) {
    const std::size_t gap = line.find("  ");
    ASSERT_EQ(gap, 64u) << line;
    const std::string path = line.substr(gap + 2);
    listed.insert(path);
    EXPECT_TRUE(std::filesystem::is_regular_file(root / path)) << path << " is gone" << rebuild;
    EXPECT_EQ(Sha256Hex(ReadText(root / path)), line.substr(0, gap))
        << path << " changed since the help file was built" << rebuild;
  }
  const std::pair<const char*, const char*> folders[] = {{"docs/guide", ".md"},
                                                         {"res/help", ".txt"}};
  for (const auto& [folder, extension] : folders) {
    for (const auto& file : std::filesystem::directory_iterator(root / folder)) {
      if (file.path().extension() != extension) continue;
      const std::string path = std::string(folder) + "/" + file.path().filename().string();
      EXPECT_TRUE(listed.contains(path)) << path << " is not in the help file" << rebuild
                                         << " (a guide must be linked from docs/guide/index.md)";
    }
  }
  EXPECT_TRUE(listed.contains("app/MakeDocs.cpp"));
}

}  // namespace

namespace {

using Entry = HelpContentsEntry;

TEST(HelpContents, ReadsNestedSitemapListsTolerantly) {
  const auto item = [](const char* name, const char* local) {
    return std::string("<LI><OBJECT type=\"text/sitemap\"><param name=\"Name\" value=\"") + name +
           "\"><param name=\"Local\" value=\"" + local + "\"></OBJECT>";
  };
  const struct {
    const char* name;
    std::string hhc;
    std::vector<Entry> expected;
  } cases[] = {
      {"flat",
       "<ul>" + item("A", "a.html") + item("B", "b.html") + "</ul>",
       {{"A", "a.html", {}}, {"B", "b.html", {}}}},
      {"a list after an entry is its children",
       "<ul>" + item("A", "a.html") + "<ul>" + item("A1", "a1.html") + item("A2", "a2.html") +
           "</ul>" + item("B", "b.html") + "</ul>",
       {{"A", "a.html", {{"A1", "a1.html", {}}, {"A2", "a2.html", {}}}}, {"B", "b.html", {}}}},
      {"entities, single quotes and unquoted values, any case",
       "<ul><li><object TYPE='text/sitemap'><PARAM NAME=name VALUE='Fish &amp; chips &#233;'>"
       "<param name=\"local\" value=a&lt;b.htm#x></object></ul>",
       {{"Fish & chips \xC3\xA9", "a<b.htm#x", {}}}},
      {"unknown entities and a lone ampersand stay as written",
       "<ul>" + item("R&D &bogus; &#xZZ;", "r.html") + "</ul>",
       {{"R&D &bogus; &#xZZ;", "r.html", {}}}},
      {"a heading without a page, and a page without a name",
       "<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"Heading\"></object>"
       "<ul>" +
           item("", "p.html") + "</ul></ul>",
       {{"Heading", "", {{"", "p.html", {}}}}}},
      {"other objects, comments, empty entries and stray end tags are skipped",
       "</ul><!-- <ul>" + item("Hidden", "h.html") + " --><ul>" +
           "<li><object type=\"text/site properties\"><param name=\"Name\" value=\"X\"></object>" +
           "<li><object type=\"text/sitemap\"></object>" + item("A", "a.html") + "</ul></ul>",
       {{"A", "a.html", {}}}},
      {"of two names, the first",
       "<ul><li><object type=\"text/sitemap\"><param name=\"Name\" value=\"First\">"
       "<param name=\"Name\" value=\"Second\"><param name=\"Local\" value=\"a.html\"></object>"
       "</ul>",
       {{"First", "a.html", {}}}},
      {"a list first in a list belongs to no entry",
       "<ul><ul>" + item("A", "a.html") + "</ul></ul>",
       {{"A", "a.html", {}}}},
      {"cut short",
       "<ul>" + item("A", "a.html") + "<li><object type=\"text/sitemap\"><param name",
       {{"A", "a.html", {}}}},
      {"nothing", "", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseHelpContents(c.hhc), c.expected) << c.name;
}

TEST(HelpContents, NestingBeyondTheLimitIsFlattened) {
  std::string hhc;
  for (int i = 0; i < 1000; ++i) {
    hhc += "<ul><li><object type=\"text/sitemap\"><param name=\"Local\" value=\"p.html\"></object>";
  }
  int depth = 0;
  std::size_t entries = 0;
  std::vector<Entry> level = ParseHelpContents(hhc);
  while (!level.empty()) {
    ++depth;
    entries += level.size();
    std::vector<Entry> next = std::move(level.back().children);
    level = std::move(next);
  }
  EXPECT_EQ(depth, kMaxHelpContentsDepth);
  EXPECT_EQ(entries, 1000u) << "no entry lost";
}

// The committed help file, as the help window reads it: its contents and the first page.
TEST(HelpContents, CommittedHelpFileHasItsContentsAndPages) {
  const std::optional<HelpArchive> archive = HelpArchive::Open(kHelpDir + "Orvanta_Help.chm");
  ASSERT_TRUE(archive);
  const std::optional<std::string> name = archive->ContentsName();
  ASSERT_TRUE(name);
  const std::optional<std::string> hhc = archive->Read(*name);
  ASSERT_TRUE(hhc);
  // One entry a guide, in the order of the first guide's links, each with its sections.
  const std::vector<Entry> contents = ParseHelpContents(*hhc);
  const std::pair<const char*, const char*> guides[] = {
      {"Orvanta Interface Application", "index.html"},
      {"Using the window", "window.html"},
      {"The cables", "cables.html"},
      {"The command line for board makers", "command-line.html"},
      {"Installing", "installing.html"},
      {"When something goes wrong", "problems.html"},
      {"Deliberate behaviour choices", "behaviour.html"},
  };
  ASSERT_EQ(contents.size(), std::size(guides));
  for (std::size_t i = 0; i < contents.size(); ++i) {
    EXPECT_EQ(contents[i].name, guides[i].first);
    EXPECT_EQ(contents[i].local, guides[i].second);
    EXPECT_FALSE(contents[i].children.empty()) << guides[i].second;
    const std::optional<std::string> page = archive->Read(std::string("/") + guides[i].second);
    ASSERT_TRUE(page) << guides[i].second;
    EXPECT_NE(page->find(std::string("<title>") + guides[i].first + "</title>"), std::string::npos);
  }
  EXPECT_EQ(archive->Read("/INDEX.HTML"), archive->Read("/index.html")) << "names in any case";
  EXPECT_EQ(archive->Read("/missing.html"), std::nullopt);
  EXPECT_FALSE(HelpArchive::Open(kHelpDir + "OrvantaDialog.txt")) << "not a help file";
  EXPECT_FALSE(HelpArchive::Open(kHelpDir)) << "a folder";
}

}  // namespace

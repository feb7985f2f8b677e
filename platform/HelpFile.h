// Pop-up help topics from the compiled help file. A topic file inside it (OrvantaDialog.txt,
// SettingsDialog.txt) is plain text: ".topic N" on a line, the topic's text on the lines after it.
// The file is read every time a topic is wanted, so a help file the user replaces is honoured.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

struct chmFile;

// The object `name` (for example "/OrvantaDialog.txt") inside the help file `chmPath`; nothing
// when the file cannot be opened or does not hold it.
std::optional<std::string> ReadHelpObject(const std::string& chmPath, const std::string& name);

// The text of topic `topic` in a topic file: its lines up to the next ".topic" line, with line
// ends as "\n" and the blank lines around it dropped; nothing when the topic is absent or empty.
std::optional<std::string> FindPopupTopic(std::string_view topicFile, int topic);

// Both: topic `topic` of the topic file `name` inside `chmPath`.
std::optional<std::string> ReadPopupTopic(const std::string& chmPath, const std::string& name,
                                          int topic);

// A help file kept open for reading its pages, images and table of contents one after another
// (the help window reads dozens of objects from it).
class HelpArchive {
 public:
  // Nothing when `chmPath` is not a plain file or not a help file.
  static std::optional<HelpArchive> Open(const std::string& chmPath);

  // The object `name` ("/index.html"); nothing when it is absent, unreadable or implausibly large.
  std::optional<std::string> Read(const std::string& name) const;
  // The name of its table of contents (the first "*.hhc" it holds), or nothing.
  std::optional<std::string> ContentsName() const;

 private:
  struct Closer {
    void operator()(chmFile* file) const;
  };
  explicit HelpArchive(std::shared_ptr<chmFile> file) : file_(std::move(file)) {}
  std::shared_ptr<chmFile> file_;
};

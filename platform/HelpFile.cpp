#include "platform/HelpFile.h"

#include <chm_lib.h>

#include <charconv>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

// A topic file is a few kilobytes; anything far bigger is not one.
constexpr LONGUINT64 kMaxObjectBytes = 1u << 20;

struct ChmCloser {
  void operator()(chmFile* file) const { chm_close(file); }
};

std::string_view TrimLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
    line.remove_suffix(1);
  return line;
}

constexpr std::string_view kTopic = ".topic";

// Whether `line` starts a topic: ".topic" and a blank, then the topic's number or name.
bool IsTopicLine(std::string_view line) {
  return line.substr(0, kTopic.size()) == kTopic && line.size() > kTopic.size() &&
         (line[kTopic.size()] == ' ' || line[kTopic.size()] == '\t');
}

// The number of a topic line; nothing for a topic with a name instead.
std::optional<int> TopicNumber(std::string_view line) {
  const std::size_t from = line.find_first_not_of(" \t", kTopic.size());
  if (from == std::string_view::npos) return std::nullopt;
  line.remove_prefix(from);
  int number = 0;
  const auto [end, error] = std::from_chars(line.data(), line.data() + line.size(), number);
  if (error != std::errc() || end != line.data() + line.size()) return std::nullopt;
  return number;
}

}  // namespace

std::optional<std::string> ReadHelpObject(const std::string& chmPath, const std::string& name) {
  // Anything but a plain file (a pipe, say) could hold the window forever.
  std::error_code error;
  if (!std::filesystem::is_regular_file(chmPath, error)) return std::nullopt;
  const std::unique_ptr<chmFile, ChmCloser> file(chm_open(chmPath.c_str()));
  if (!file) return std::nullopt;
  chmUnitInfo info{};
  if (chm_resolve_object(file.get(), name.c_str(), &info) != CHM_RESOLVE_SUCCESS)
    return std::nullopt;
  if (info.length > kMaxObjectBytes) return std::nullopt;
  std::string text(static_cast<std::size_t>(info.length), '\0');
  if (info.length == 0) return text;
  const LONGINT64 read =
      chm_retrieve_object(file.get(), &info, reinterpret_cast<unsigned char*>(text.data()), 0,
                          static_cast<LONGINT64>(info.length));
  if (read != static_cast<LONGINT64>(info.length)) return std::nullopt;
  return text;
}

std::optional<std::string> FindPopupTopic(std::string_view topicFile, int topic) {
  std::vector<std::string_view> lines;
  bool inTopic = false;
  while (!topicFile.empty()) {
    const std::size_t end = topicFile.find('\n');
    const std::string_view line = TrimLineEnd(topicFile.substr(0, end));
    topicFile.remove_prefix(end == std::string_view::npos ? topicFile.size() : end + 1);
    if (IsTopicLine(line)) {
      if (inTopic) break;
      inTopic = TopicNumber(line) == topic;
      continue;
    }
    if (inTopic && !(lines.empty() && line.empty())) lines.push_back(line);
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  if (lines.empty()) return std::nullopt;
  std::string text;
  for (const std::string_view line : lines) {
    if (!text.empty()) text += '\n';
    text += line;
  }
  return text;
}

std::optional<std::string> ReadPopupTopic(const std::string& chmPath, const std::string& name,
                                          int topic) {
  const std::optional<std::string> file = ReadHelpObject(chmPath, name);
  return file ? FindPopupTopic(*file, topic) : std::nullopt;
}

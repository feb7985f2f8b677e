#include "platform/HelpFile.h"

#include <chm_lib.h>

#include <cctype>
#include <charconv>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

// A topic file or page is a few kilobytes, an image a few hundred; anything far bigger is not one.
constexpr LONGUINT64 kMaxObjectBytes = 16u << 20;

std::optional<std::string> RetrieveObject(chmFile* file, const std::string& name) {
  chmUnitInfo info{};
  if (chm_resolve_object(file, name.c_str(), &info) != CHM_RESOLVE_SUCCESS) return std::nullopt;
  if (info.length > kMaxObjectBytes) return std::nullopt;
  std::string text(static_cast<std::size_t>(info.length), '\0');
  if (info.length == 0) return text;
  const LONGINT64 read =
      chm_retrieve_object(file, &info, reinterpret_cast<unsigned char*>(text.data()), 0,
                          static_cast<LONGINT64>(info.length));
  if (read != static_cast<LONGINT64>(info.length)) return std::nullopt;
  return text;
}

// Anything but a plain file (a pipe, say) could hold the window forever.
bool IsPlainFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

bool EndsWithHhc(std::string_view name) {
  constexpr std::string_view kSuffix = ".hhc";
  if (name.size() < kSuffix.size()) return false;
  name.remove_prefix(name.size() - kSuffix.size());
  for (std::size_t i = 0; i < kSuffix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(name[i])) != kSuffix[i]) return false;
  }
  return true;
}

int CollectContentsName(chmFile* /*file*/, chmUnitInfo* info, void* context) {
  if (!EndsWithHhc(info->path)) return CHM_ENUMERATOR_CONTINUE;
  *static_cast<std::optional<std::string>*>(context) = info->path;
  return CHM_ENUMERATOR_SUCCESS;
}

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
  const std::optional<HelpArchive> archive = HelpArchive::Open(chmPath);
  return archive ? archive->Read(name) : std::nullopt;
}

void HelpArchive::Closer::operator()(chmFile* file) const {
  chm_close(file);
}

std::optional<HelpArchive> HelpArchive::Open(const std::string& chmPath) {
  if (!IsPlainFile(chmPath)) return std::nullopt;
  chmFile* file = chm_open(chmPath.c_str());
  if (file == nullptr) return std::nullopt;
  return HelpArchive(std::shared_ptr<chmFile>(file, Closer()));
}

std::optional<std::string> HelpArchive::Read(const std::string& name) const {
  return RetrieveObject(file_.get(), name);
}

std::optional<std::string> HelpArchive::ContentsName() const {
  std::optional<std::string> name;
  chm_enumerate(file_.get(), CHM_ENUMERATE_NORMAL | CHM_ENUMERATE_FILES, CollectContentsName,
                &name);
  return name;
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

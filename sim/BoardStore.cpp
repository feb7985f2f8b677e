#include "sim/BoardStore.h"

#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>
#include <string>

#include "sim/BoardFirmware.h"
#include "sim/BoardHex.h"
#include "sim/BoardStoreFiles.h"

namespace fs = std::filesystem;

namespace {

// Far more than a full image takes (about 29 KB); anything bigger is not ours.
constexpr std::uintmax_t kMaxFileBytes = 1u << 20;
constexpr int kMaxDamagedCopies = 1000;

fs::path WithSuffix(const fs::path& file, const std::string& suffix) {
  fs::path result = file;
  result += suffix;
  return result;
}

// The file's text, or an empty optional with `problem` set.
std::optional<std::string> ReadText(const fs::path& file, std::string& problem) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(file, error);
  if (error) {
    problem = "cannot read it: " + error.message();
    return std::nullopt;
  }
  if (size > kMaxFileBytes) {
    problem = "too large to be a board image";
    return std::nullopt;
  }
  std::ifstream in(file, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) {
    problem = "cannot read it";
    return std::nullopt;
  }
  return text;
}

}  // namespace

BoardStore::BoardStore(const fs::path& directory, std::ostream& report)
    : file_(directory / kBoardFileName), report_(report), lock_(directory) {
  board_.SetFirmware(StartFirmware);
  if (lock_.HeldElsewhere()) {
    // Saved by both, one run's board would silently overwrite the other's.
    mayWrite_ = false;
    notKept_ = file_.string() + " is in use by another run of the tool";
    report_ << "Simulated board: " << notKept_ << ", so this run never saves it" << std::endl;
  }
  Load();
  board_.SetOnReleased([this] { SaveIfChanged(); });
}

BoardStore::~BoardStore() {
  board_.SetOnReleased(nullptr);
  board_.Settle();
  SaveIfChanged();
}

bool BoardStore::SaveIfChanged() {
  if (savedChanges_ && *savedChanges_ == board_.Changes()) return true;
  return mayWrite_ && Save();
}

void BoardStore::Load() {
  std::error_code error;
  // A link is looked at, not followed: a dangling one is still something a save would replace.
  const fs::file_type type = fs::symlink_status(file_, error).type();
  if (type == fs::file_type::not_found) {
    // No board yet: the first save creates the file.
    board_.SetMemories(FactoryMemories());
    return;
  }
  if (error) {
    board_.SetMemories(FactoryMemories());
    mayWrite_ = false;
    notKept_ = "cannot look at " + file_.string() + " (" + error.message() + ")";
    report_ << "Simulated board: cannot look at " << file_.string() << " (" << error.message()
            << "), so this run uses a factory-fresh board and never saves it" << std::endl;
    return;
  }
  std::string problem;
  const std::optional<std::string> text = ReadText(file_, problem);
  if (!text) {
    StartFactoryFresh(problem);
    return;
  }
  const BoardHexResult parsed = ParseBoardHex(*text);
  if (!parsed.ok()) {
    StartFactoryFresh(parsed.error);
    return;
  }
  board_.SetMemories(parsed.memories);
  savedChanges_ = board_.Changes();
}

void BoardStore::StartFactoryFresh(const std::string& problem) {
  board_.SetMemories(FactoryMemories());
  report_ << "Simulated board: " << file_.string() << " is damaged (" << problem << "); ";
  if (const std::optional<fs::path> kept = mayWrite_ ? KeepAside() : std::nullopt) {
    report_ << "kept it as " << kept->filename().string() << " and started a factory-fresh board"
            << std::endl;
    return;
  }
  mayWrite_ = false;
  if (notKept_.empty()) notKept_ = file_.string() + " is damaged and could not be moved aside";
  report_ << "could not move it aside, so this run uses a factory-fresh board and never saves it"
          << std::endl;
}

std::optional<fs::path> BoardStore::KeepAside() {
  for (int n = 1; n <= kMaxDamagedCopies; ++n) {
    const fs::path candidate = WithSuffix(file_, ".damaged-" + std::to_string(n));
    if (MoveWithoutReplacing(file_, candidate)) return candidate;
    if (errno != EEXIST) return std::nullopt;
  }
  return std::nullopt;
}

bool BoardStore::Save() {
  // Named after this process, so two copies of the tool never write the same temporary file.
  const fs::path temporary = WithSuffix(file_, ".tmp-" + std::to_string(::getpid()));
  std::error_code error;
  fs::remove(temporary, error);  // left by an earlier run killed mid-save that had this same id
  error.clear();
  if (const int failure = WriteDurably(temporary, FormatBoardHex(board_.Memories()))) {
    error.assign(failure, std::generic_category());
  }
  if (!error) fs::rename(temporary, file_, error);
  if (error) {
    notKept_ = "could not save " + file_.string() + " (" + error.message() + ")";
    // One line per run of failures, not one per released reset.
    if (!saveFailureReported_) report_ << "Simulated board: " << notKept_ << std::endl;
    fs::remove(temporary, error);
    saveFailureReported_ = true;
    return false;
  }
  saveFailureReported_ = false;
  notKept_.clear();
  savedChanges_ = board_.Changes();
  return true;
}

#include "tests/support/Files.h"

#include <unistd.h>

#include <fstream>
#include <sstream>

#include "app/AppDirectory.h"

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
  std::ostringstream text;
  text << std::ifstream(path, std::ios::binary).rdbuf();
  return text.str();
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

ScratchDirectory::ScratchDirectory(const std::string& purpose) {
  static int next = 0;
  path_ = fs::temp_directory_path() /
          ("orvanta-" + purpose + "-" + std::to_string(::getpid()) + "-" + std::to_string(next++));
  fs::remove_all(path_);
  fs::create_directories(path_);
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

ScratchFile::ScratchFile(const std::string& text, const std::string& name) : name_(name) {
  Write(text);
}

void ScratchFile::Write(const std::string& text) const {
  WriteText(PathFromName(path()), text);
}

ScratchAppDirectory::ScratchAppDirectory(const std::string& leaf)
    : previous_(fs::current_path()), dir_(root_.Path() / leaf) {
  fs::create_directories(dir_);
  fs::current_path(dir_);
  DetermineAppDirectory();
}

ScratchAppDirectory::~ScratchAppDirectory() {
  fs::current_path(previous_);
}

void ScratchAppDirectory::Write(const std::string& name, const std::string& text) const {
  WriteText(dir_ / name, text);
}

void ScratchAppDirectory::CopyHelpFile() const {
  fs::copy_file(fs::path(ORVANTA_SOURCE_DIR) / "res/help" / kHelpFile, dir_ / kHelpFile);
}

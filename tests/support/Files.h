// Files for tests: a whole file read or written at once, and scratch folders that go with their
// object, so no test leaves anything behind in the temporary directory.
#pragma once

#include <filesystem>
#include <string>

#include "app/AppDirectory.h"
#include "app/InstalledFiles.h"

std::string ReadText(const std::filesystem::path& path);
void WriteText(const std::filesystem::path& path, const std::string& text);

// A fresh, empty folder in the temporary directory, named after `purpose`, the process and a
// running number; removed with everything in it when the object goes.
class ScratchDirectory {
 public:
  explicit ScratchDirectory(const std::string& purpose);
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// A file in a directory of its own, removed with the object. Its name is the tool's kind of
// narrow string (UTF-8 on Windows too).
class ScratchFile {
 public:
  explicit ScratchFile(const std::string& text, const std::string& name = "firmware.ofw");
  void Write(const std::string& text) const;
  std::string path() const { return Beside(name_); }
  std::string Beside(const std::string& name) const {
    return (directory_.Path() / PathFromName(name)).string();
  }

 private:
  ScratchDirectory directory_{"fw"};
  std::string name_;
};

// A fresh folder `leaf` inside a scratch folder, made the working directory and the application
// directory, with an empty installed data folder beside it; the working directory is put back
// when the object goes.
class ScratchAppDirectory {
 public:
  explicit ScratchAppDirectory(const std::string& leaf = "app");
  ~ScratchAppDirectory();
  const std::filesystem::path& Dir() const { return dir_; }
  const std::filesystem::path& Root() const { return root_.Path(); }
  void Write(const std::string& name, const std::string& text) const;
  std::string Read(const std::string& name) const { return ReadText(dir_ / name); }
  // Puts the committed help file into the application directory.
  void CopyHelpFile() const;

 private:
  std::filesystem::path previous_;
  ScratchDirectory root_{"shell"};
  std::filesystem::path dir_;
  // An installed package must not answer for a file a test has taken away.
  InstalledDataDirOverride installed_{InstalledDataDirSeam(), root_.Path() / "installed"};
};

// One folder held by one run of the tool at a time, across processes: while a lock lives, another
// lock on the same folder, in this process or another, finds it held elsewhere. The system lets go
// of it when the process ends, however it ends.
#pragma once

#include <filesystem>

class FolderLock {
 public:
  explicit FolderLock(const std::filesystem::path& folder);
  ~FolderLock();
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  // True when another lock holds the folder. A folder that cannot be locked at all (it cannot be
  // opened, its file system takes no locks) is not held elsewhere, as far as anyone can tell.
  bool HeldElsewhere() const { return heldElsewhere_; }

 private:
  int handle_ = -1;
  bool heldElsewhere_ = false;
};

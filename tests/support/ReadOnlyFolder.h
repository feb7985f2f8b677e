// A folder this process may not create files in while the object lives, root included: its write
// permission is taken away, and the capability that lets root ignore it is left out of the
// thread's effective set (it stays permitted, so it comes back at the end).
#pragma once

#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(std::filesystem::path folder) : folder_(std::move(folder)) {
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    capsSaved_ = syscall(SYS_capget, &header_, saved_) == 0;
    if (capsSaved_) {
      __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
      lowered[0].effective &= ~(1u << CAP_DAC_OVERRIDE);
      syscall(SYS_capset, &header_, lowered);
    }
  }
  ~ReadOnlyFolder() {
    if (capsSaved_) syscall(SYS_capset, &header_, saved_);
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
  }
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

  // False when a new file can still be made there (a file system that ignores permissions).
  bool Holds() const {
    const std::filesystem::path probe = folder_ / ".probe";
    if (!std::ofstream(probe)) return true;
    std::filesystem::remove(probe);
    return false;
  }

 private:
  std::filesystem::path folder_;
  __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct saved_[2]{};
  bool capsSaved_ = false;
};

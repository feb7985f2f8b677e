// The board store's file steps that each system takes its own way (BoardStoreLinux.cpp,
// BoardStoreWindows.cpp).
#pragma once

#include <filesystem>
#include <string>

// Renames `from` to `to` unless something, even a dangling link, is already called `to`; errno
// says why not (EEXIST when the name is taken).
bool MoveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// Writes `text` to a new file `file` and flushes it to the disk. Returns 0 or the error (an errno
// value).
int WriteDurably(const std::filesystem::path& file, const std::string& text);

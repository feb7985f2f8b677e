// Opening the files the tool reads by itself or is given to read: only regular files. A named pipe
// would wait for a writer forever and a device such as /dev/zero never ends, so both count as
// files that cannot be opened, and so does a folder.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

struct PlainFileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using PlainFile = std::unique_ptr<std::FILE, PlainFileCloser>;

// `path` open for reading when it is a regular file (after symbolic links); otherwise nothing,
// and `why`, when given, says why ("Is a directory", "it is not a regular file", or the
// system's reason).
PlainFile OpenPlainFile(const std::string& path, std::string* why = nullptr);

// At most `limit` bytes from the start of the regular file `path`; nothing when it cannot be
// opened or read, and `why`, when given, says why ("the file cannot be opened: ...").
std::optional<std::string> ReadPlainFile(const std::string& path, std::size_t limit,
                                         std::string* why = nullptr);

// Writes `text` as the file `path` through a new file beside it, flushed to the disk and renamed
// over it, so that a failed write neither leaves half a file behind nor spoils the one already
// there. A symbolic link is written through, and the file keeps its permissions; in a folder that
// takes no new file, an existing file is written in place. Something other than a regular file (a
// pipe, a terminal, a device) is written into and stays what it is; a folder is refused. False,
// with `why` ("the file cannot be written: ..."), when it could not.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string& why);

// Whether `folder` would take a new file, as far as the system tells beforehand (false with
// errno set when it would not).
bool FolderTakesNewFiles(const std::string& folder);

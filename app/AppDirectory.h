// The application directory: where the tool finds its own files (connection settings, help,
// manual, the simulated board). It is the working directory when the main dialog starts, read
// once; a tool whose working directory cannot be read has none and reads none of its own files.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The process's working directory now, of any length; nothing when it cannot be read (it was
// removed, or a directory above it may not be searched).
std::optional<std::filesystem::path> ReadWorkingDirectory();

// Fills `lpPathBuffer` from the working directory (empty when it cannot be read).
void DetermineAppDirectory();

// Whether the application directory is known.
bool HaveAppDirectory();

// A file or folder name as the tool keeps it, in a narrow string, as a path. Narrow strings are
// UTF-8 on Windows too (the programs' manifest says so), where std::filesystem::path would take
// every byte of one for a character of its own; on Linux the bytes are the name.
std::filesystem::path PathFromName(const std::string& name);

// `name` in the application directory, or nothing when there is no application directory.
std::optional<std::filesystem::path> AppFile(std::string_view name);

// The tool's own file names.
inline constexpr const char* kConnSettingsFile = "ConnSettings.dat";
inline constexpr const char* kHelpFile = "Orvanta_Help.chm";
inline constexpr const char* kManualFile = "Orvanta Manual.pdf";

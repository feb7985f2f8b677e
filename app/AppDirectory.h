// The application directory: where the tool finds its own files (connection settings, help,
// manual, the simulated board). It is the working directory when the main dialog starts, read
// once; a tool whose working directory cannot be read has none and reads none of its own files.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

// The process's working directory now, of any length; nothing when it cannot be read (it was
// removed, or a directory above it may not be searched).
std::optional<std::filesystem::path> ReadWorkingDirectory();

// Fills `lpPathBuffer` from the working directory (empty when it cannot be read).
void DetermineAppDirectory();

// Whether the application directory is known.
bool HaveAppDirectory();

// `name` in the application directory, or nothing when there is no application directory.
std::optional<std::filesystem::path> AppFile(std::string_view name);

// The tool's own file names.
inline constexpr const char* kConnSettingsFile = "ConnSettings.dat";
inline constexpr const char* kHelpFile = "Orvanta_Help.chm";
inline constexpr const char* kManualFile = "Orvanta Manual.pdf";

// Where an installed tool finds and keeps its files. Built, it runs from its build folder, which
// holds the help file and the manual. Installed, those live in the data folder the package puts
// them in (on Windows, beside the program), and a start from the desktop menu (switch
// "datafolder") keeps ConnSettings.dat and SimulatedBoard.hex in the user's own data folder for
// the tool instead of the home folder.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/Replaceable.h"

// The folder the package installs the help file, the manual and the demo firmware into (none on
// Windows, where they go beside the program).
std::filesystem::path InstalledDataDir();
// The installed data folder in use; tests put a scratch folder there, so that an installed package
// does not answer for a missing file.
Replaceable<std::filesystem::path>& InstalledDataDirSeam();
using InstalledDataDirOverride = Replaceable<std::filesystem::path>::Override;

// `name` in `appDir` when it holds it as a plain file, else in `programDir` (the program's own
// folder) when that holds it, else in `dataDir` when that holds it, else in `appDir` (where a
// missing document is silently not found); nothing without an `appDir`.
std::optional<std::filesystem::path> FindDocumentIn(
    std::string_view name, const std::optional<std::filesystem::path>& appDir,
    const std::optional<std::filesystem::path>& programDir, const std::filesystem::path& dataDir);

// The same for the application directory, the program's folder and the installed data folder: the
// help file, the manual.
std::optional<std::filesystem::path> FindDocument(std::string_view name);

// The folder the running program was started from; nothing when the system does not say.
std::optional<std::filesystem::path> ProgramFolder();

// Linux: the user's data folder for the tool from the values of XDG_DATA_HOME and HOME (null when
// unset): $XDG_DATA_HOME/orvanta, or $HOME/.local/share/orvanta when XDG_DATA_HOME is unset,
// empty or not an absolute path; nothing without either.
std::optional<std::filesystem::path> UserDataFolder(const char* xdgDataHome, const char* home);

// Makes the user's data folder (made on first use) the working directory, so that it becomes the
// application directory: the folder above on Linux, %APPDATA%\Orvanta on Windows. False, with a
// line on standard error, when it cannot; the working directory then stays as it was.
bool EnterUserDataFolder();

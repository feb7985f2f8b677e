// Settings files (.osf): nineteen text lines "0:" to "18:", one setting of the dialog each, read
// back by position. Writing and reading the lines lives here; the dialog applies the values.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "settings/DialogSettings.h"

constexpr int kSettingsFileLineCount = 19;
// One read takes at most this many characters, its line break included; a longer line is split.
constexpr std::size_t kSettingsFileLineMax = 255;
// Enough of any file for the nineteen reads, even with every line break written as CR LF.
constexpr std::size_t kSettingsFileBytesRead = 2 * kSettingsFileLineCount * kSettingsFileLineMax;

inline constexpr const char* kSaveSettingsFailedTitle = "Save Settings Failed";
inline constexpr const char* kSaveSettingsFailedText =
    "Unable to create settings file. Your settings can not be saved.";

// What a file without its LCD menu line shows: "Rate Of Fire" and "After-Eye Delay".
constexpr int kDefaultFileLCDMenuMask = 18;

// The file's text for `settings`: the nineteen lines in order, each ended by CR LF. Line 6 takes
// its prefix from the "Bypass Eye" button (`bypassEyeChecked`), not from the after-eye choice.
std::string WriteSettingsFile(const DialogSettings& settings);

// The nineteen reads of a file's `bytes`, in order, as the reader sees them: a line break is LF or
// CR LF, a read stops after 255 characters (the rest of a longer line is the next read), a NUL
// ends a line's text, trailing blanks, tabs, CR and LF are removed, and once the file is
// exhausted every read repeats the last line (empty if there was none).
std::array<std::string, kSettingsFileLineCount> ReadSettingsFileLines(std::string_view bytes);

// What a file puts into the dialog. Every line is tested only against its own key, which counts
// as present wherever it occurs in the line; the value starts after the key's length. A line
// without its key gives the default: choice 0, list entry 0, an empty number box, "00" for the
// timer, mask 18.
struct SettingsFileContents {
  // Choices, selections, texts and mask to show; `bypassEyeChecked`, `boardType` and
  // `sectionEnabled` are the dialog's own and keep their defaults here.
  DialogSettings settings;
  // Line 6 lacked its key: the delay box keeps the text it shows.
  bool keepsAEDelayText = false;
};

SettingsFileContents ReadSettingsFile(std::string_view bytes);

// The delay box, its spin button and its "ms" label can be used only for a choice other than
// "Bypass Eye".
inline bool AEDelayControlsEnabled(const SettingsFileContents& contents) {
  return contents.settings.aeDelayMode != kAEDelayModeBypass;
}

// Why `bytes` is not a settings file as the tool writes one, naming the line ("line 3: \"abc\" is
// not a number"); empty when it is. That is nineteen lines (LF or CR LF, trailing blanks allowed)
// "0:" to "18:" in order, each value a number within what its line holds (blanks in front
// allowed), line 5 a choice and a delay joined by "-". ReadSettingsFile takes any file, as
// "Open Configuration" does for a person who sees the result; a script's upload must not send a
// half-read file to a board.
std::string SettingsFileFault(std::string_view bytes);

// What the main dialog shows after a download and after a settings file is opened, and the block
// an upload builds from what it shows, as plain snapshots. The window puts them on its controls;
// the command line uses them as they are, so the two never differ.
#pragma once

#include <cstddef>
#include <cstdint>

#include "settings/DialogSettings.h"
#include "settings/SettingsBlock.h"
#include "settings/SettingsFile.h"

// Every choice of the dialog is a radio group of two buttons, numbered from 0.
constexpr int kChoiceButtons = 2;
// "Delay" as its button reads back (a preset sets the choice to kAEDelayModeDelay).
constexpr int kAEDelayButtonDelay = 1;
// The timer mode group: "Counts Down" comes first.
constexpr int kTimerCountsDown = 0;
constexpr int kTimerCountsUp = 1;

// A Kalix board's LCD section boxes cannot be changed.
bool SectionsEditable(uint8_t boardType);

// What the dialog shows once a download has put `block` (SettingsArray) on screen; radio choices
// as their buttons read back.
DialogSettings ShownAfterDownload(const uint8_t (&block)[kSettingsArraySize]);

// `shown` once the settings file `contents` has been opened over it.
void ApplySettingsFileTo(DialogSettings& shown, const SettingsFileContents& contents);

// Writes what `shown` holds into `block`, as an upload does, its radio choices taken as checked
// buttons. What nothing shown can say keeps its value: the board's identity and the bytes the
// tool does not interpret, a timer start or after-eye delay without a choice, a Kalix board's
// locked section boxes.
void BlockFromShown(const DialogSettings& shown, uint8_t (&block)[kSettingsArraySize]);

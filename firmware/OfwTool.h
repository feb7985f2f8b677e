// orvanta-ofw: makes firmware files from Intel HEX, turns them back, and checks them as an update
// would; says its version and the help of each command. Plain functions, so tests run the whole
// tool without a process.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "firmware/OfwFormat.h"

// Exit statuses; a command stopped by a signal exits with 128 + the signal, as a shell shows it.
constexpr int kToolDone = 0;
constexpr int kToolRefused = 1;
constexpr int kToolUsage = 2;

// Runs the tool on its arguments (without the program name): results on `out`, complaints on
// `err`, one line each. Returns the exit status.
int RunOfwTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The help of `command` ("flash", ...; "" for the whole tool), as --help prints it.
std::string CommandHelp(const std::string& command);

// What one command did, as --json prints it for a production log: one JSON object on one line.
// Empty texts and a negative count are null.
struct ToolRecord {
  std::string command;
  std::string file;
  std::string sha256;  // of the file read, or of what was written
  std::optional<OfwIdentity> firmware;
  std::string cable;   // "0x378", "usb"; none for a command without a board
  std::string result;  // "done", "failed", "interrupted"
  int tries = -1;      // board runs made; none for a command without a board
  double seconds = 0.0;
  std::string title;    // on failure, the title of the window's message
  std::string message;  // on failure, why, on one line
  std::string details;  // what more is known: bytes that did not verify, tries that failed
};
std::string ToolRecordJson(const ToolRecord& record);

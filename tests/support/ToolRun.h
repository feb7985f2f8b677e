// The built orvanta-ofw run as a board maker runs it, in a folder of the test's choosing, and the
// simulated board such a run leaves in a folder.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "sim/SimBoard.h"

struct ToolRun {
  int status = -1;  // the exit status; -1 when the program did not exit by itself
  std::string out;
  std::string err;
};

// Runs orvanta-ofw with `args` in `folder`, standard output and error each caught whole; with
// `stdoutTo`, standard output goes to that file (relative to `folder`) instead and `out` reads it.
ToolRun RunOrvantaOfw(const std::filesystem::path& folder, const std::vector<std::string>& args,
                      const std::filesystem::path& stdoutTo = {});

// The board kept in `folder` (SimulatedBoard.hex), changed by `change` and kept again.
void ChangeKeptBoard(const std::filesystem::path& folder,
                     const std::function<void(SimBoard&)>& change);
// The memories of the board kept in `folder`.
BoardMemories KeptBoard(const std::filesystem::path& folder);

// orvanta-ofw's board commands for board makers: flash a firmware file, download the settings to a
// settings file, upload a settings file. Each does one board through the same board operations,
// settings snapshots and file rules as the window, and says by its exit status whether it worked.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// True for "flash", "download", "upload" and "cables" (the USB cables plugged in).
bool IsBoardCommand(const std::string& command);

// Runs a board command (`args` without the program name, the command first): one summary line on
// `out`, reasons on `err`, and the progress line on `err` when `errIsTerminal`. Returns 0 done,
// 1 the board or the file said no, 2 the arguments were not understood.
int RunBoardTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 bool errIsTerminal);

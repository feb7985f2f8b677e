// The standard streams as a command line sees them: whether one is a terminal and how wide it is,
// and whether a file name given for an output means standard output.
#pragma once

#include <string>

constexpr int kStandardOutput = 1;
constexpr int kStandardError = 2;

// Makes standard output and standard error carry the bytes written as they are, as on Linux:
// Windows' C runtime would turn each LF into CR LF, and a settings file sent to standard output
// would end its lines with CR CR LF.
void KeepStandardStreamsBinary();

// True when `stream` (kStandardOutput, kStandardError) is a terminal.
bool IsTerminal(int stream);
// The columns of the terminal `stream` is; 0 when it is none or will not say.
int TerminalColumns(int stream);

// True when `path` names the very file standard output already writes to (/dev/stdout, or the
// file the shell sent it to): written under its name, that file would be replaced.
bool IsStandardOutputFile(const std::string& path);
// "-" means standard output, as for most command-line tools.
inline bool NamesStandardOutput(const std::string& path) {
  return path == "-" || IsStandardOutputFile(path);
}

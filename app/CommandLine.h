// The command line: each argument after the program name, with one leading '/' or '-' removed,
// is handed to CommandLineInfo::ParseParam, which sets the process-wide switches.
#pragma once

#include <string>
#include <vector>

class CommandLineInfo {
 public:
  CommandLineInfo();
  virtual ~CommandLineInfo() = default;
  // `bFlag` (the argument began with '/' or '-') and `bLast` are not used: only the text counts.
  virtual void ParseParam(const char* pszParam, bool bFlag, bool bLast);
};

// Feeds `arguments` (without the program name) to `info` as the toolkit's parser would.
void ParseCommandLine(CommandLineInfo& info, const std::vector<std::string>& arguments);

// The multiplier a "delaymult" argument sets: the number from character index 9 on, or 1.0 when
// it holds no number greater than zero.
float ParseDelayMultiplier(const std::string& argument);

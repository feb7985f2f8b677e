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

// The largest multiplier taken: beyond it every wait would grow towards an hour, with no way to
// stop the tool short of killing it.
constexpr double kMaxDelayMultiplier = 100.0;

// The multiplier a "delaymult" argument sets: the number from character index 9 on, or 1.0 when
// it holds no number greater than zero or one above kMaxDelayMultiplier (then `tooLarge` is set).
float ParseDelayMultiplier(const std::string& argument, bool* tooLarge = nullptr);

// `text` read as the C library reads a number in its "C" locale, whatever locale Qt has set
// (each system's own call, in CommandLine<System>.cpp).
double ReadCLocaleNumber(const std::string& text);

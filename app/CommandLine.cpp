#include "app/CommandLine.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iostream>

#include "app/Globals.h"
#include "platform/Text.h"
#include "sim/SimFaults.h"

namespace {

// Decimal number at the start of `text` after white space, as the C library reads one but
// independent of the user's locale (Qt sets LC_NUMERIC from the environment); 0 if none.
double LeadingNumber(const char* text, const char* end) {
  while (text < end && IsBlank(*text)) ++text;
  bool negative = false;
  if (text < end && (*text == '+' || *text == '-')) {
    negative = *text == '-';
    ++text;
  }
  // Only digits or a decimal point may start the number: no "inf", "nan" or hexadecimal.
  if (text == end || !((*text >= '0' && *text <= '9') || *text == '.')) return 0.0;
  double value = 0.0;
  const auto result = std::from_chars(text, end, value, std::chars_format::general);
  if (result.ec == std::errc::invalid_argument) return 0.0;
  if (result.ec == std::errc::result_out_of_range) {
    // Beyond a double either way: too large gives infinity, too small gives zero, as the C
    // library reads it in its own locale.
    value = ReadCLocaleNumber(std::string(text, result.ptr));
  }
  return negative ? -value : value;
}

}  // namespace

float ParseDelayMultiplier(const std::string& argument, bool* tooLarge) {
  constexpr std::size_t kKeywordLength = 9;  // strlen("delaymult")
  const std::size_t from = std::min(kKeywordLength, argument.size());
  const double number = LeadingNumber(argument.data() + from, argument.data() + argument.size());
  if (tooLarge != nullptr) *tooLarge = number > kMaxDelayMultiplier;
  if (!(number > 0.0) || number > kMaxDelayMultiplier) return 1.0f;
  const float value = static_cast<float>(number);
  return value > 0.0f ? value : 1.0f;
}

CommandLineInfo::CommandLineInfo() {
  bProgramInit = 0;
}

void CommandLineInfo::ParseParam(const char* pszParam, bool /*bFlag*/, bool /*bLast*/) {
  const std::string argument(pszParam);
  if (argument == "initprogramming") bProgramInit = 1;
  if (argument == "pintest") bTestInit = 1;
  if (argument.find("delaymult") != std::string::npos) {
    bool tooLarge = false;
    fDelayOffSet = ParseDelayMultiplier(argument, &tooLarge);
    if (tooLarge) {
      std::fprintf(stderr,
                   "orvanta: ignoring \"%s\": the multiplier may be at most 100, so the waits keep "
                   "their measured length\n",
                   pszParam);
    }
  }
  if (argument == "simulate") bSimulate = 1;
  if (argument == "fastprogramming") bFastProgramming = 1;
  if (argument == "datafolder") bDataFolder = 1;
  if (argument.starts_with(kSimFaultPrefix) && !ParseSimFault(argument, simFaults)) {
    std::cerr << "Simulated board: ignored \"" << argument
              << "\" (the faults are absent, unpowered, flaky, stuck@K, dies@N and nousb)"
              << std::endl;
  }
}

void ParseCommandLine(CommandLineInfo& info, const std::vector<std::string>& arguments) {
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool flag = !argument.empty() && (argument[0] == '/' || argument[0] == '-');
    const char* text = argument.c_str() + (flag ? 1 : 0);
    info.ParseParam(text, flag, i + 1 == arguments.size());
  }
}

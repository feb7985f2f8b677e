// orvanta-ofw: makes firmware files from Intel HEX, turns them back, and checks them as an update
// would. Plain functions, so tests run the whole tool without a process.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// Exit statuses.
constexpr int kToolDone = 0;
constexpr int kToolRefused = 1;
constexpr int kToolUsage = 2;

// Runs the tool on its arguments (without the program name): results on `out`, complaints on
// `err`, one line each. Returns the exit status.
int RunOfwTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

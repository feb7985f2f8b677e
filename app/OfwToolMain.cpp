#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "app/BoardTool.h"
#include "firmware/OfwTool.h"
#include "platform/Console.h"

namespace {

// What was written to standard output must have got there (a full disk, a closed pipe): a script
// that reads the summary or the file must not take a lost one for done.
int StandardOutputWritten(int status) {
  const bool flushed = std::fflush(stdout) == 0;
  const int error = errno;
  if (flushed && !std::ferror(stdout) && std::cout.good()) return status;
  std::cerr << "orvanta-ofw: standard output cannot be written: "
            << std::strerror(flushed ? EIO : error) << "\n";
  return status == kToolDone ? kToolRefused : status;
}

}  // namespace

int main(int argc, char** argv) {
  KeepStandardStreamsBinary();
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && IsBoardCommand(args[0])) {
    return StandardOutputWritten(
        RunBoardTool(args, std::cout, std::cerr, IsTerminal(kStandardError)));
  }
  return StandardOutputWritten(RunOfwTool(args, std::cout, std::cerr));
}

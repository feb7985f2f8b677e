#include <unistd.h>

#include <iostream>

#include "app/BoardTool.h"
#include "firmware/OfwTool.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (!args.empty() && IsBoardCommand(args[0])) {
    return RunBoardTool(args, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1);
  }
  return RunOfwTool(args, std::cout, std::cerr);
}

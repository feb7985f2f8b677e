#include <iostream>

#include "firmware/OfwTool.h"

int main(int argc, char** argv) {
  return RunOfwTool({argv + 1, argv + argc}, std::cout, std::cerr);
}

// The application object: turns the command line into the process-wide switches, sets up the
// platform layer and runs the main dialog modally; the process ends when it closes.
#pragma once

#include "app/CommandLine.h"
#include "app/Globals.h"

#include <string>
#include <vector>

class COrvantaAppApp {
 public:
  // Parses QCoreApplication's arguments, runs the main dialog and returns false, so that the
  // process ends when the dialog has closed.
  bool InitInstance();
  // The same with the arguments given (without the program name).
  bool Run(const std::vector<std::string>& arguments);
};

extern COrvantaAppApp theApp;

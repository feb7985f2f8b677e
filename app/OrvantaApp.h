// The application object: turns the command line into the process-wide switches, sets up the
// platform layer and runs the main dialog modally; the process ends when it closes.
#pragma once

#include "app/CommandLine.h"
#include "app/Globals.h"

#include <memory>
#include <string>
#include <vector>

class QApplication;

class COrvantaAppApp {
 public:
  // Keeps every argument after the program name, as the process received it.
  void SetCommandLine(int argc, const char* const* argv);
  const std::vector<std::string>& CommandLine() const { return commandLine_; }
  // Parses the kept command line, runs the main dialog and returns false, so that the process
  // ends when the dialog has closed.
  bool InitInstance();
  // The same with the arguments given (without the program name).
  bool Run(const std::vector<std::string>& arguments);

 private:
  std::vector<std::string> commandLine_;
};

extern COrvantaAppApp theApp;

// Keeps the command line in theApp and makes the process's Qt application, which is given the
// program name only. `argv[0]` must outlive the application.
std::unique_ptr<QApplication> StartApplication(int argc, char** argv);

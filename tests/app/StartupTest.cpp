// The start of the process: Qt's application object is made here, once per test program, so this
// suite has a program of its own.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/OrvantaApp.h"
#include "tests/support/Recorders.h"

namespace {

// Qt would take its own options out of the command line and act on them: "-style pintest" would
// lose the pin-test switch and "-reverse" would mirror the window.
TEST(Startup, EveryArgumentReachesTheSwitchesAndNoneActsOnQt) {
  if (std::getenv("DISPLAY") == nullptr) qputenv("QT_QPA_PLATFORM", "offscreen");
  const char* texts[] = {"orvanta",    "-style",    "pintest",        "-reverse",
                         "delaymult2", "-platform", "initprogramming"};
  std::vector<std::string> storage(std::begin(texts), std::end(texts));
  std::vector<char*> argv;
  for (std::string& text : storage) argv.push_back(text.data());
  argv.push_back(nullptr);
  int argc = static_cast<int>(storage.size());

  const std::unique_ptr<QApplication> application = StartApplication(argc, argv.data());
  EXPECT_EQ(QGuiApplication::layoutDirection(), Qt::LeftToRight);
  EXPECT_EQ(theApp.CommandLine(), std::vector<std::string>(storage.begin() + 1, storage.end()));

  ResetGlobals();
  CommandLineInfo info;
  ParseCommandLine(info, theApp.CommandLine());
  EXPECT_EQ(bTestInit, 1);
  EXPECT_EQ(bProgramInit, 1);
  EXPECT_EQ(fDelayOffSet, 2.0f);
  ResetGlobals();
}

}  // namespace

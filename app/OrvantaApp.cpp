#include "app/OrvantaApp.h"

#include <QApplication>

#include "app/InstalledFiles.h"
#include "app/PlatformSetup.h"
#include "ui/OrvantaAppDlg.h"

COrvantaAppApp theApp;

void COrvantaAppApp::SetCommandLine(int argc, const char* const* argv) {
  commandLine_.assign(argv + (argc > 0 ? 1 : 0), argv + argc);
}

bool COrvantaAppApp::InitInstance() {
  return Run(commandLine_);
}

bool COrvantaAppApp::Run(const std::vector<std::string>& arguments) {
  CommandLineInfo cmdInfo;
  ParseCommandLine(cmdInfo, arguments);
  // Before anything takes the working directory as the application directory.
  if (bDataFolder == 1) EnterUserDataFolder();

  PlatformSetup platform;
  COrvantaAppDlg dlg;
  dlg.DoModal();
  return false;
}

std::unique_ptr<QApplication> StartApplication(int argc, char** argv) {
  theApp.SetCommandLine(argc, argv);
  // Qt sees the program name only: it would take its own options (-style, -reverse, -platform,
  // ...) out of the command line and act on them, so a switch could vanish or change the window.
  static int qtArgc = 1;
  static char* qtArgv[2] = {nullptr, nullptr};
  qtArgv[0] = argc > 0 ? argv[0] : nullptr;
  qtArgc = argc > 0 ? 1 : 0;
  auto application = std::make_unique<QApplication>(qtArgc, qtArgv);
  QApplication::setApplicationName(QStringLiteral("orvanta"));
  // Lets the desktop match the window to the menu entry and its icon.
  QApplication::setDesktopFileName(QStringLiteral("com.tarvelcorp.orvanta"));
  return application;
}

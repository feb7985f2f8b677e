#include "app/OrvantaApp.h"

#include <QCoreApplication>
#include <QStringList>

#include "app/PlatformSetup.h"
#include "ui/OrvantaAppDlg.h"

COrvantaAppApp theApp;

bool COrvantaAppApp::InitInstance() {
  std::vector<std::string> arguments;
  const QStringList all = QCoreApplication::arguments();
  for (qsizetype i = 1; i < all.size(); ++i)
    arguments.push_back(all[i].toLocal8Bit().toStdString());
  return Run(arguments);
}

bool COrvantaAppApp::Run(const std::vector<std::string>& arguments) {
  CommandLineInfo cmdInfo;
  ParseCommandLine(cmdInfo, arguments);

  PlatformSetup platform;
  COrvantaAppDlg dlg;
  dlg.DoModal();
  return false;
}

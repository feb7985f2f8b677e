#include <QApplication>

#include "app/OrvantaApp.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("orvanta"));
  theApp.InitInstance();
  return 0;
}

#include <QApplication>

#include "app/OrvantaApp.h"

int main(int argc, char** argv) {
  const std::unique_ptr<QApplication> application = StartApplication(argc, argv);
  theApp.InitInstance();
  return 0;
}

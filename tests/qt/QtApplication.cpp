#include "tests/qt/QtApplication.h"

#include <QApplication>

QApplication& TestApplication() {
  static int argc = 1;
  static char name[] = "zephyra_qt_tests";
  static char* argv[] = {name, nullptr};
  static QApplication* application = new QApplication(argc, argv);
  return *application;
}

// Runs the window's Qt Test suites in one executable.
#include <QApplication>
#include <QTest>

#include "FileCommandsTest.h"
#include "WindowTest.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int failed = 0;
  WindowTest window;
  failed += QTest::qExec(&window, argc, argv);
  FileCommandsTest files;
  failed += QTest::qExec(&files, argc, argv);
  return failed == 0 ? 0 : 1;
}

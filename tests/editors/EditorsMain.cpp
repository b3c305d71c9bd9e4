// Runs the field editors' Qt Test suites in one executable.
#include <QApplication>
#include <QTest>

#include "ComboBoxTest.h"
#include "DateTimePickerTest.h"
#include "MaskEditTest.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  int failed = 0;
  MaskEditTest mask;
  failed += QTest::qExec(&mask, argc, argv);
  DateTimePickerTest date;
  failed += QTest::qExec(&date, argc, argv);
  ComboBoxTest combo;
  failed += QTest::qExec(&combo, argc, argv);
  return failed == 0 ? 0 : 1;
}

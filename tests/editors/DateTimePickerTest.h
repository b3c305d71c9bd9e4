#pragma once

#include <QObject>

class DateTimePickerTest : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void keys_data();
  void keys();
  void programWrites();
  void mouseSelectsPart();
  void calendarWritesThroughAndEscRestores();
  void calendarClickAndPlacement();
  void changeReachesWorkspace();
  void refusedYearDigitKeepsTextAndValue();
  void anotherWindowIsNotANewVisit();
  void nothingDroppedIntoTheDate();
};

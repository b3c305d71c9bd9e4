#pragma once

#include <QObject>

class WindowTest : public QObject {
  Q_OBJECT
 private slots:
  void startupState();
  void typeAndPostFirstRecord();
  void navigationAndEnabling();
  void addRemembers_data();
  void addRemembers();
  void deleteRecords();
  void errorLineAndFlashing();
  void lengthMessages();
  void trackBarPageSize_data();
  void trackBarPageSize();
  void storedCodesAndBadDates();
  void trackBarFollowsTheUser_data();
  void trackBarFollowsTheUser();
  void tabOrderPassesEachToolBarOnce();
  void arrowKeysWithinAToolBar();
};

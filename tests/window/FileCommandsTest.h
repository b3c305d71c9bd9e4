#pragma once

#include <QObject>

class FileCommandsTest : public QObject {
  Q_OBJECT
 private slots:
  void openReportsAndShowsFirstRecord();
  void openDialogOffersDefaultName();
  void manyMessagesCanBeSkipped();
  void unreadableFileIsAnErrorBox();
  void failedOpenChangesNothing_data();
  void failedOpenChangesNothing();
  void newAsksToSave_data();
  void newAsksToSave();
  void saveFile();
  void saveFailingSecondRecord();
  void saveWithoutRecordsSays();
  void saveWriteFailureKeepsOldFile();
  void verifyMessagesAndBlankLineFlag();
  void closeAsks_data();
  void closeAsks();
  void settingsRoundTrip();
  void settingsMalformed();
  void settingsPathRule();
  void settingsWriteFailureStillCloses();
  void fileNamesKeepTheirBytes();
  void outputFileButton();
  void readmeWalkthrough();
  void acceleratorsWithAlt();
};

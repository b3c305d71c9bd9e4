#pragma once

#include <QObject>

class ComboBoxTest : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void keys_data();
  void keys();
  void programIndex();
  void popupGeometry_data();
  void popupGeometry();
  void popupAcceptAndEsc();
  void changeReachesWorkspace();
  void escAfterListRestoresFocusText_data();
  void escAfterListRestoresFocusText();
  void textKeysWhileListOpen();
  void showsStartWhenNotEdited_data();
  void showsStartWhenNotEdited();
  void destroyedWithListOpen();
  void clickOutsideClosesList();
};

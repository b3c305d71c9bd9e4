#pragma once

#include <QObject>

class MaskEditTest : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void typing_data();
  void typing();
  void exitByClickAndMnemonic();
  void pasteFirstLineThroughMask();
  void programTextNoCheck();
  void changeReachesWorkspace();
  void dropGoesThroughMask_data();
  void dropGoesThroughMask();
  void inputMethodCommitGoesThroughMask_data();
  void inputMethodCommitGoesThroughMask();
  void undoRedoNeverRestoreRefusedText();
  void undoTakesBackWhatTheMaskLetIn();
  void altLetterNeverEntersText();
  void showsStartWhenNotEdited_data();
  void showsStartWhenNotEdited();
  void anotherWindowIsNotANewVisit();
};

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
};

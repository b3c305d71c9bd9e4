#pragma once

#include <QObject>

class DialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void skipOnlyByItsButton_data();
  void skipOnlyByItsButton();
  void errorBoxHasIconAndTitle();
};

#pragma once

#include <QObject>

class FileNameTextTest : public QObject {
  Q_OBJECT
 private slots:
  void bytesRoundTrip_data();
  void bytesRoundTrip();
  void validUtf8ReadsAsText_data();
  void validUtf8ReadsAsText();
  void otherBytesAreSurrogates();
};

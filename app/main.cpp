// The certificate editor: one window, running until it closes.
#include <QApplication>

#include "TfrmNewFile.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  TfrmNewFile frmNewFile;
  frmNewFile.show();
  return app.exec();
}

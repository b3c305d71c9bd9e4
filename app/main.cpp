// The certificate editor: one window, running until it closes.
#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstring>

#include "CertVersion.h"
#include "TRecordsLink.h"
#include "TfrmNewFile.h"

int main(int argc, char** argv) {
  // Answered before the application object exists, so it works without a display.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("certeditor %s\n", cert::kVersion);
      return 0;
    }
  }
  QApplication app(argc, argv);
  QApplication::setApplicationVersion(cert::kVersion);
  // Lets the desktop match the window to its installed entry and icon (Wayland asks by this name).
  QGuiApplication::setDesktopFileName(cert::kAppId);
  QApplication::setWindowIcon(QIcon::fromTheme(cert::kAppId));
  TfrmNewFile frmNewFile;
  certrec::TRecordsLink records(frmNewFile);
  frmNewFile.show();
  return app.exec();
}

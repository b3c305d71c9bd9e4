// The main window with a file opened and the records link, on the offscreen platform, for the
// records window's benchmarks.
#pragma once

#include <QApplication>
#include <QString>
#include <memory>
#include <string>

#include "Dialogs.h"
#include "TRecordsLink.h"
#include "TfrmNewFile.h"

namespace certbench {

// Answers the Open dialog with one file and everything else with its default.
class TBenchDialogs : public certwin::TDialogs {
 public:
  explicit TBenchDialogs(QString file) : FFile(std::move(file)) {}
  bool ConfirmOkCancel(const QString&) override { return true; }
  certwin::TAnswer ConfirmYesNoCancel(const QString&) override { return certwin::anNo; }
  bool AskYesNo(const QString&, const QString&) override { return true; }
  void Message(const QString&) override {}
  bool MessageOrSkip(const QString&) override { return true; }
  void Error(const QString&) override {}
  std::optional<QString> OpenFileName(const QString&, const QString&, const char*,
                                      const char*) override {
    return FFile;
  }
  std::optional<QString> SaveFileName(const QString&, const QString&, const char*,
                                      const char*) override {
    return std::nullopt;
  }
  void Beep() override {}

 private:
  QString FFile;
};

// A shown main window whose Open command reads `file`.
struct TBenchWindow {
  std::unique_ptr<TfrmNewFile> Form;

  explicit TBenchWindow(const std::string& file) {
    Form = std::make_unique<TfrmNewFile>(
        std::make_unique<TBenchDialogs>(QString::fromStdString(file)));
    Form->SettingsDirectory = "/tmp";
    Form->show();
    QApplication::processEvents();
  }
  void Open() {
    Form->btnOpenClick();
    QApplication::processEvents();  // the first record painted
  }
  ~TBenchWindow() {
    Form->setAttribute(Qt::WA_DeleteOnClose, false);
    Form->hide();
  }
};

// A main window that has read `file`, with the records window's link.
struct TRecordsSession : TBenchWindow {
  std::unique_ptr<certrec::TRecordsLink> Link;

  explicit TRecordsSession(const std::string& file) : TBenchWindow(file) {
    Open();
    Link = std::make_unique<certrec::TRecordsLink>(*Form);
  }
  ~TRecordsSession() { Link.reset(); }
};

// Uses the offscreen platform unless the caller chose one.
inline void UseOffscreenPlatform() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

}  // namespace certbench

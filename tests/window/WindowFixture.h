// Test support for the window: scripted dialogs, a shown window, and fixture files.
#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QSlider>
#include <QTest>
#include <QToolButton>
#include <deque>
#include <memory>
#include <new>

#include "../support/CertSamples.h"
#include "../support/TempDir.h"
#include "CertDate.h"
#include "Dialogs.h"
#include "TfrmNewFile.h"
#include "TwwDBComboBox.h"
#include "TwwDBDateTimePicker.h"
#include "TwwDBEdit.h"

namespace wintest {

// In the queue of file names: take the name the dialog offers, as a user who just confirms.
inline const QString kOffered = QStringLiteral("<offered>");

// Answers from queues; every question is logged as "kind: text".
class TScriptedDialogs : public certwin::TDialogs {
 public:
  std::deque<bool> OkCancel, YesNo, Skip;
  std::deque<certwin::TAnswer> YesNoCancel;
  std::deque<QString> Files;  // a null string cancels the dialog
  QStringList Log;
  QStringList Filters;  // what each file dialog offered
  int Beeps = 0;
  bool OutOfMemory = false;  // showing a message runs out of memory

  bool ConfirmOkCancel(const QString& text) override {
    Log << "confirm: " + text;
    return Take(OkCancel, true);
  }
  certwin::TAnswer ConfirmYesNoCancel(const QString& text) override {
    Log << "save?: " + text;
    return Take(YesNoCancel, certwin::anCancel);
  }
  bool AskYesNo(const QString& title, const QString& text) override {
    Log << title + ": " + text;
    return Take(YesNo, true);
  }
  void Message(const QString& text) override {
    if (OutOfMemory) throw std::bad_alloc();
    Log << "message: " + text;
  }
  bool MessageOrSkip(const QString& text) override {
    Log << "message+skip: " + text;
    return Take(Skip, false);
  }
  void Error(const QString& text) override { Log << "error: " + text; }
  void About(const QString& title, const QString& text) override {
    Log << "about " + title + ": " + text;
  }
  std::optional<QString> OpenFileName(const QString& title, const QString& initial,
                                      const char* filter, const char*) override {
    Log << "open " + title + ": " + initial;
    Filters << QString::fromLatin1(filter);
    return Chosen(initial);
  }
  std::optional<QString> SaveFileName(const QString& title, const QString& initial,
                                      const char* filter, const char*) override {
    Log << "save as " + title + ": " + initial;
    Filters << QString::fromLatin1(filter);
    return Chosen(initial);
  }
  void Beep() override { ++Beeps; }

 private:
  std::optional<QString> Chosen(const QString& offered) {
    const QString f = Take(Files, QString());
    if (f.isNull()) return std::nullopt;
    return f == kOffered ? offered : f;
  }
  template <typename T>
  static T Take(std::deque<T>& q, T def) {
    if (q.empty()) return def;
    T v(std::move(q.front()));
    q.pop_front();
    return v;
  }
};

// A shown window whose dialogs are scripted and whose settings live in a temporary folder.
struct TWindow {
  certtest::TTempDir Dir;
  TScriptedDialogs* Dialogs;
  std::unique_ptr<TfrmNewFile> Form;

  explicit TWindow(bool show = true) {
    cert::SetTodayProvider([] { return cert::TYmd{2026, 12, 10}; });
    auto d = std::make_unique<TScriptedDialogs>();
    Dialogs = d.get();
    Form = std::make_unique<TfrmNewFile>(std::move(d));
    Form->SettingsDirectory = Dir.Path();
    if (show) Show();
  }
  ~TWindow() {
    Form->setAttribute(Qt::WA_DeleteOnClose, false);
    Form->hide();
  }
  void Show() {
    Form->show();
    Form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Form.get()));
  }
  QWidget* W(const char* name) const { return Form->Component(QString::fromLatin1(name)); }
  template <typename T>
  T* As(const char* name) const {
    return dynamic_cast<T*>(W(name));
  }
  bool On(const char* name) const { return W(name)->isEnabled(); }
  void Click(const char* name) {
    QTest::mouseClick(W(name), Qt::LeftButton);
    QApplication::processEvents();
  }
  // Clicks into a field and types.
  void TypeInto(int field, const QString& text) {
    QWidget* w = Form->FieldEditor(field);
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(3, 5));
    auto* combo = dynamic_cast<TwwDBComboBox*>(w);
    if (combo && combo->ListOpen()) combo->CloseUp(true);
    // The offscreen platform does not always give the window back its activation after a
    // pop-up closes.
    if (!w->hasFocus()) {
      Form->activateWindow();
      w->setFocus(Qt::MouseFocusReason);
    }
    QTest::keyClicks(w, text);
    if (combo && combo->ListOpen()) QTest::keyClick(combo->List(), Qt::Key_Return);
    QApplication::processEvents();
  }
  // A file of the given records (last names), with a passing header.
  QString MakeFile(const QString& name, const std::vector<std::string>& lastNames,
                   const std::string& extra = std::string()) {
    const std::string path = Dir.File(name.toStdString());
    MakeFileAt(path, lastNames, extra);
    return QString::fromStdString(path);
  }
  static void MakeFileAt(const std::string& path, const std::vector<std::string>& lastNames,
                         const std::string& extra = std::string()) {
    std::vector<std::string> lines;
    for (const std::string& n : lastNames) lines.push_back(certtest::PassingDetailLine(n));
    certtest::WriteAll(
        path, certtest::FileOfLines(certtest::PassingHeaderLine("20250101"), lines) + extra);
  }
  void Open(const QString& path) {
    Dialogs->Files.push_back(path);
    Click("btnOpen");
  }
  QString Counter() const { return Form->RecordCounter()->text(); }
};

}  // namespace wintest

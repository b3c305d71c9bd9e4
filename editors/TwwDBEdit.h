// The masked text field: a one-line edit box that filters typing through a picture mask.
#pragma once

#include <QLineEdit>
#include <functional>
#include <string>

#include "CertObject.h"
#include "EditorSupport.h"

using TwwValidateEvent = std::function<void(cert::TObject* Sender, bool PassesPictureTest)>;

struct TwwPictureSettings {
  std::string PictureMask;
  bool AutoFill = true;
  bool AllowInvalidExit = false;
};

class TwwCustomMaskEdit : public QLineEdit {
 public:
  explicit TwwCustomMaskEdit(QWidget* parent = nullptr);

  TwwPictureSettings Picture;
  bool UsePictureMask = true;
  bool WantReturns = false;
  bool WordWrap = false;
  wwed::TwwFrame Frame;
  TwwValidateEvent OnCheckValue;
  std::function<void()> OnEnterField;
  std::function<void()> OnExitField;

  // The text as Windows-1252 bytes.
  std::string Text() const;
  // Written by the program: no mask check, no OnCheckValue; a change only when it differs.
  void SetText(const std::string& value);
  bool Modified() const { return FModified; }
  void SetModified(bool value) { FModified = value; }
  // Whether the last try to leave the field was refused.
  bool ExitRefused() const { return FExitRefused; }

  void PasteFromClipboard();
  void CutToClipboard();

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;
  bool focusNextPrevChild(bool next) override;
  void paintEvent(QPaintEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

  // Called after every change of the text.
  virtual void Change() {}
  // The sender passed with OnCheckValue.
  virtual cert::TObject* CheckSender() { return nullptr; }
  bool MaskApplies() const { return UsePictureMask && !Picture.PictureMask.empty(); }
  // The value check: empty or complete passes; fires OnCheckValue.
  bool ValueCheck(const QString& text);
  void ReportCheck(bool passes);
  // Selects the whole text with the caret at its start, so that the start stays in view.
  void SelectAllFromStart();

 private:
  void HandleChar(QKeyEvent* e, const std::string& typed);
  // Puts the first line of `incoming` at `at` in `base` (the text without what it replaces) and
  // takes the result through the mask as a paste. With refuseError a result the mask refuses is
  // refused with the beep and nothing changes. False when nothing was taken.
  bool TakeText(const QString& base, int at, QString incoming, bool refuseError);
  // The user's edit becomes the text, kept in the undo history as Qt's own edits are.
  void EditText(const QString& result);
  // Undo or redo the last edit unless that would bring back a text the mask refuses.
  void UndoRedo(bool undoing);
  void RevertToSaved();
  bool ExitCheck();

  QString FSavedText;
  bool FInVisit = false;  // between receiving the focus and leaving the field
  bool FModified = false;
  bool FExitRefused = false;
  bool FRefocusing = false;
  bool FExitChecked = false;
};

// The base the masked field and the code-list field share; the workspace sees it as an editor.
class TwwDBCustomEdit : public TwwCustomMaskEdit, public cert::TCertEditor {
 public:
  explicit TwwDBCustomEdit(QWidget* parent = nullptr) : TwwCustomMaskEdit(parent) {}
  std::string EditorText() const override { return Text(); }
  long EditorDate() const override { return 0; }

 protected:
  void Change() override { OnChange(this); }
  cert::TObject* CheckSender() override { return this; }
};

class TwwDBEdit : public TwwDBCustomEdit {
 public:
  explicit TwwDBEdit(QWidget* parent = nullptr) : TwwDBCustomEdit(parent) {}
  cert::TEditorClass EditorClass() const override;
};

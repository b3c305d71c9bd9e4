// The one window: header and detail editors, commands, error display and settings.
#pragma once

#include <QColor>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "CertFormat.h"
#include "Dialogs.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QSlider;
class QTimer;
class QToolButton;
class TwwDBComboBox;
class TwwDBDateTimePicker;
class TwwDBEdit;

namespace certwin {

// A view that follows the window's workspace (the records window).
class TWorkspaceView {
 public:
  virtual ~TWorkspaceView() = default;
  // After every workspace event: the detail list, the current record or the header may have
  // changed.
  virtual void WorkspaceChanged() = 0;
  // After a file was read: everything may have changed.
  virtual void WorkspaceReset() = 0;
  // Ctrl+L and the Records button.
  virtual void ShowRecords() = 0;
  // F8 (step 1) and Shift+F8 (step -1): the next or previous failing record.
  virtual void GotoError(int step) = 0;
};

}  // namespace certwin

class TfrmNewFile : public QWidget {
 public:
  // `dialogs` answers every question; nullptr: the real Qt dialogs.
  explicit TfrmNewFile(std::unique_ptr<certwin::TDialogs> dialogs = nullptr,
                       QWidget* parent = nullptr);
  ~TfrmNewFile() override;

  cert::TCertFormat CertFormat1;
  // Where the settings file lives: the executable's folder, or the user's configuration folder
  // for an installed tool (FindSettingsDirectory); a caller may say otherwise.
  std::string SettingsDirectory;

  // The window's components in creation order.
  const std::vector<QObject*>& Components() const { return FComponents; }
  QWidget* Component(const QString& name) const;
  QWidget* FieldEditor(int number) const { return FEditors[static_cast<std::size_t>(number)]; }
  QLabel* ErrorLine() const { return lblErrorMsg; }
  // A message on the error line, shown as the rules' messages are.
  void ShowErrorLine(const QString& text);
  QLabel* RecordCounter() const { return lblRecordNum; }
  QLabel* LengthLabel() const { return lblLengthError; }
  QSlider* TrackBar() const { return TrackBar1; }
  QLineEdit* OutputFileName() const { return editLoc; }
  int FlashLabelIndex() const { return FFlashLabelIndex; }
  bool FlashTimerActive() const;
  void TmrFlashLabelTimer();

  // Commands.
  void btnFirstClick();
  void btnPreviousClick();
  void btnNextClick();
  void btnLastClick();
  void btnNewClick();
  void btnSaveClick();
  void btnDeleteClick();
  void btnCancelClick();
  void btnRefreshClick();
  void btnOpenClick();
  void btnNewFileClick();
  // True when the file was written.
  bool btnWriteFileClick();
  void btnVerifyClick();
  void btnCloseClick();
  void SpeedButton1Click();
  void TrackBar1Change();

  void ShowHeader(bool TrackChanges);
  void ShowDetail(bool TrackChanges);
  // Save-changes prompt: whether the asking command may go on.
  bool SaveChangesPrompt();
  int FindListItem(const TwwDBComboBox* List, const std::string& Code) const;
  bool IsRemembered(int Tag) const;
  void StartFlashing(const QString& Name);
  void StopFlashing();
  void FindComponentIndex(const QString& Name);
  void LoadSettings();
  void SaveSettings();

  // The view that follows the workspace; nullptr for none. It must detach before it goes.
  void SetWorkspaceView(certwin::TWorkspaceView* view) { FView = view; }
  certwin::TDialogs& Dialogs() const { return *FDialogs; }

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  void BuildPanels();
  void BuildFields();
  void BuildCommands();
  void BuildOptions();
  void BuildRemember();
  void SetTabOrder();
  void AttachWorkspace();
  // The Records button, Ctrl+L, F8 and Shift+F8, and the workspace events passed on to FView.
  void AttachWorkspaceView();
  template <typename T>
  T* Make(const QString& name, QWidget* parent);
  QToolButton* MakeButton(const char* name, const char* caption, const char* hint, int image,
                          QWidget* parent, int x, int w);
  QFrame* MakePanel(const QString& name, QWidget* parent, const QRect& r, int shape);

  // A workspace operation, then the detail editors refilled from its result.
  void RunAndShow(void (cert::TCertFormat::*operation)());
  void FormShow();
  bool FormClose();
  // Reads FileNameOpen; false, after an error box, when the system failed the read.
  bool ReadOpenFile();
  void SetErrorLine(const QString& text, const QColor* background);

  void CertFormat1CertStatusChange(cert::TObject* Sender, cert::TDetailRecStatus PrevState,
                                   cert::TDetailRecStatus CurState);
  void CertFormat1CertDetailChange(cert::TObject* Sender);
  void CertFormat1CertError(cert::TObject* Sender, int Index, const std::string& ErrorMsg);
  void CertFormat1FileError(cert::TObject* Sender, const std::string& ErrorMsg);
  void CertFormat1BeforeFetchDetailRec(cert::TObject* Sender);
  void CertFormat1CertPassErrorCheck(cert::TObject* Sender);
  void CertFormat1CertCheckAllForErrors(cert::TObject* Sender, int Index,
                                        const std::string& ErrorMsg, bool PassErrorCheck);
  void CustomLengthCheckValue(cert::TObject* Sender, bool PassesPictureTest);
  void CustomLengthCheckValue2(cert::TObject* Sender, bool PassesPictureTest);
  void LengthMessage(cert::TObject* Sender, bool passes, char bracket, const char* prefix);
  void ShowDate(TwwDBDateTimePicker* editor, const cert::TFieldText& stored);
  // The label FFlashLabelIndex designates, if it is one.
  QLabel* FlashLabel() const;

  std::unique_ptr<certwin::TDialogs> FDialogs;
  std::vector<QObject*> FComponents;
  std::array<QWidget*, cert::FieldCount> FEditors{};
  std::array<QFrame*, 3> FFieldPanels{};  // Panel1, Panel9, Panel8
  bool FShown = false;
  int FFlashLabelIndex = -1;
  QColor FFlashColor;
  QColor FSavedLabelColor;
  bool FFlashPhase = false;
  bool FOverwriteDeclined = false;
  int FFileMessages = 0;
  bool FSkipFileMessages = false;
  bool FTrackBarUserMove = false;  // the coming value change is the user's

  QLabel* lblLengthError = nullptr;
  QLabel* lblErrorMsg = nullptr;
  QLabel* lblRecordNum = nullptr;
  QSlider* TrackBar1 = nullptr;
  QCheckBox* cbConfirmDel = nullptr;
  QLineEdit* editLoc = nullptr;
  QTimer* TmrFlashLabel = nullptr;
  std::array<QCheckBox*, 13> FRemember{};
  certwin::TWorkspaceView* FView = nullptr;
};

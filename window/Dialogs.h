// Everything the window asks the user, and the beep, behind one interface.
#pragma once

#include <QString>
#include <optional>

class QWidget;

namespace certwin {

// The file dialogs offer these, the first selected: certificate files unless a command asks
// for CSV files.
inline const char* const CertFileFilter = "Text Files (*.dat);;All files (*.*)";
inline const char* const CertDefaultSuffix = "dat";
inline const char* const CsvFileFilter = "CSV Files (*.csv);;All files (*.*)";
inline const char* const CsvDefaultSuffix = "csv";

enum TAnswer { anYes, anNo, anCancel };

class TDialogs {
 public:
  virtual ~TDialogs() = default;
  // A "Confirm" box with a question mark and OK, Cancel; true for OK.
  virtual bool ConfirmOkCancel(const QString& text) = 0;
  // A "Confirm" box with Yes, No, Cancel; closing it is Cancel.
  virtual TAnswer ConfirmYesNoCancel(const QString& text) = 0;
  // A box without icon titled `title`, with Yes (the default) and No; true for Yes.
  virtual bool AskYesNo(const QString& title, const QString& text) = 0;
  // A box with the application's title, no icon and OK.
  virtual void Message(const QString& text) = 0;
  // As Message, with a second button to skip further messages; true when skip was chosen.
  virtual bool MessageOrSkip(const QString& text) = 0;
  // A modal error box.
  virtual void Error(const QString& text) = 0;
  // A box titled `title` telling what the program is, with its icon and OK; by default the
  // plain message box.
  virtual void About(const QString& title, const QString& text) {
    (void)title;
    Message(text);
  }
  // File dialogs offering `filter` ("Name (*.ext);;..."), a name without suffix getting
  // `suffix`; nullopt when cancelled.
  virtual std::optional<QString> OpenFileName(const QString& title, const QString& initial,
                                              const char* filter = CertFileFilter,
                                              const char* suffix = CertDefaultSuffix) = 0;
  virtual std::optional<QString> SaveFileName(const QString& title, const QString& initial,
                                              const char* filter = CertFileFilter,
                                              const char* suffix = CertDefaultSuffix) = 0;
  virtual void Beep() = 0;
};

// The real dialogs, owned by `parent`.
class TQtDialogs : public TDialogs {
 public:
  explicit TQtDialogs(QWidget* parent) : FParent(parent) {}
  bool ConfirmOkCancel(const QString& text) override;
  TAnswer ConfirmYesNoCancel(const QString& text) override;
  bool AskYesNo(const QString& title, const QString& text) override;
  void Message(const QString& text) override;
  bool MessageOrSkip(const QString& text) override;
  void Error(const QString& text) override;
  void About(const QString& title, const QString& text) override;
  std::optional<QString> OpenFileName(const QString& title, const QString& initial,
                                      const char* filter, const char* suffix) override;
  std::optional<QString> SaveFileName(const QString& title, const QString& initial,
                                      const char* filter, const char* suffix) override;
  void Beep() override;

 private:
  QWidget* FParent;
};

}  // namespace certwin

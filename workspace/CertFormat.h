// TCertFormat: the certificate workspace (header, detail list, current record and its state).
#pragma once

#include <array>
#include <functional>
#include <string>

#include "CertDate.h"
#include "CertLayout.h"
#include "CertObject.h"
#include "FileSystem.h"

namespace cert {

enum TDetailRecStatus { drEdit = 0, drNew = 1, drBrowse = 2 };

using TCertStatusChangeEvent =
    std::function<void(TObject* Sender, TDetailRecStatus PrevState, TDetailRecStatus CurState)>;
using TCertErrorEvent =
    std::function<void(TObject* Sender, int Index, const std::string& ErrorMsg)>;
using TCertFileErrorEvent = std::function<void(TObject* Sender, const std::string& ErrorMsg)>;
using TCertCheckAllForErrorsEvent = std::function<void(
    TObject* Sender, int Index, const std::string& ErrorMsg, bool PassErrorCheck)>;
using TCertDuplicateProviderEvent = std::function<void(TObject* Sender, int Index1, int Index2)>;
// Asked before an existing file is replaced; true means OK.
using TConfirmOverwriteEvent = std::function<bool(const std::string& Question)>;

// An OnFileError message as UTF-8: the file's text is Windows-1252, but a message that names
// the file carries the name as the system spells it.
std::string FileErrorToUtf8(const std::string& message);

// The binding of one field number to its editor.
struct TCertObject {
  std::string ErrorMsg;
  std::string PendingValue;
  TCertEditor* Editor = nullptr;
  TChangeHandler SavedHandler;
};

class TCertReader;

class TCertFormat : public TObject {
 public:
  TCertFormat();
  TCertFormat(const TCertFormat&) = delete;
  TCertFormat& operator=(const TCertFormat&) = delete;

  std::string FileNameOpen;
  std::string FileNameSave;
  TDetailRecStatus DetailRecStatus = drEdit;
  bool ChangeStatus = false;
  bool BlankLineEncounter = false;
  int FieldErrorIndex = 0;
  THeaderRec HeaderRec;
  TDetailRec DetailRec;

  const TStringList& DetailStr() const { return FDetailStr; }
  bool FileChanged() const { return FFileChanged; }
  int DetailIndex() const { return FDetailIndex; }
  // Records brought in from outside the editors (an import) are a change as edits are.
  void SetFileChanged() { FFileChanged = true; }
  // Stores the index; outside drBrowse settles on it (dropping pending changes).
  void SetDetailIndex(int value);

  TNotifyEvent OnCertDetailChange;
  TCertStatusChangeEvent OnCertStatusChange;
  TCertErrorEvent OnCertError;
  TCertFileErrorEvent OnFileError;
  TNotifyEvent OnBeforeFetchDetailRec;
  TNotifyEvent OnAfterFetchDetailRec;
  TNotifyEvent OnCertPassErrorCheck;
  TCertCheckAllForErrorsEvent OnCertCheckAllForErrors;
  // Raised only by FindDuplicateProviders.
  TCertDuplicateProviderEvent OnDuplicateProvider;
  // Unset: an existing file is never replaced.
  TConfirmOverwriteEvent OnConfirmOverwrite;

  // Editing.
  void PostDetailRec();
  void NewDetailRec();
  void CancelDetailRec();
  void RefreshDetailRec();
  void DeleteDetailRec();
  // Navigation.
  void FirstDetailRec();
  void PriorDetailRec();
  void NextDetailRec();
  void LastDetailRec();
  void GotoDetailRec(int Index);
  void ClearWorkspace();

  // Files; operating-system failures throw TCertIOError. Reading changes the workspace only
  // when the whole file was read.
  void ReadCertFile();
  void WriteCertFile();
  // Where files are read and written and whose date a written header carries; unset: the
  // system's files and the program's clock. The caller keeps it alive.
  void SetFileSystem(TFileSystem* fs) { FFileSystem = fs; }

  // Checks of the header and the current detail record: the first failing field, or -1.
  int CheckForErrors();
  int CheckProcessingType();
  // True when the list is not empty and every record passes; stops on the first failure.
  bool CheckAllForErrors();
  // For each record whose provider key (CertDuplicates.h) an earlier record has, in list order,
  // raises OnDuplicateProvider with Index1 the first such record and Index2 this one; returns
  // how many. Changes neither the list, the current record nor any error slot.
  int FindDuplicateProviders();

  // Binding.
  void BindEditor(int FieldNumber, TCertEditor* Editor);
  int FieldIndexOf(const TObject* Editor) const;
  void EditorChange(TObject* Sender);
  const TCertObject& Binding(int FieldNumber) const { return FFields[FieldNumber]; }

#define CERT_FIELD_PROPERTY(No, Name, Col, Width, Just, Kind) \
  TCertEditor* Name() const { return FFields[No].Editor; }    \
  void Set##Name(TCertEditor* editor) { BindEditor(No, editor); }
  CERT_HEADER_FIELDS(CERT_FIELD_PROPERTY)
  CERT_DETAIL_FIELDS(CERT_FIELD_PROPERTY)
#undef CERT_FIELD_PROPERTY

 private:
  void StoreDetailRec();
  void FetchDetailRec();
  void Settle();
  void SetStatus(TDetailRecStatus state);
  void UpdateField(int FieldNumber);
  void StoreIfPending();
  void MoveTo(int index);
  int ReportFailure(int field, const std::string& message);
  void ClearSlotsBefore(int rule);
  bool InList(int index) const { return index >= 0 && index < FDetailStr.Count(); }
  // The index Cancel and Refresh return to, kept within the list.
  int ReturnIndex() const;
  void FireDetailChange();
  TChangeHandler OwnChangeHandler();
  TFileSystem& Files() const;
  TYmd DateToday() const;
  void Adopt(const TCertReader& reader, TStringList& list);

  TStringList FDetailStr;
  int FDetailIndex = 0;
  int FRememberedIndex = 0;
  bool FFileChanged = false;
  std::array<TCertObject, FieldCount> FFields;
  TFileSystem* FFileSystem = nullptr;
};

// Field number's record member in one of the two records.
TFieldText& FieldOf(THeaderRec& h, TDetailRec& d, int number);
const TFieldText& FieldOf(const THeaderRec& h, const TDetailRec& d, int number);

}  // namespace cert

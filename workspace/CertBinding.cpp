#include "CertDate.h"
#include "CertFormat.h"

namespace cert {

namespace {
// Identity of the workspace's own change handler, so that a second binding recognises it.
const char kEditorChangeMethod = 0;
}  // namespace

TChangeHandler TCertFormat::OwnChangeHandler() {
  return TChangeHandler([this](TObject* sender) { EditorChange(sender); }, this,
                        &kEditorChangeMethod);
}

void TCertFormat::BindEditor(int FieldNumber, TCertEditor* Editor) {
  TCertObject& b = FFields[static_cast<std::size_t>(FieldNumber)];
  if (!Editor) {
    b.Editor = nullptr;
    b.SavedHandler = TChangeHandler();
    return;
  }
  b.Editor = Editor;
  const TChangeHandler own = OwnChangeHandler();
  // Saving our own handler would make every change call itself again without end.
  if (Editor->EditorClass() != ecOther && !Editor->OnChange.SameAs(own))
    b.SavedHandler = Editor->OnChange;
  Editor->OnChange = own;
}

int TCertFormat::FieldIndexOf(const TObject* Editor) const {
  if (!Editor) return -1;
  for (int n = 0; n < FieldCount; ++n)
    if (FFields[static_cast<std::size_t>(n)].Editor == Editor) return n;
  return -1;
}

void TCertFormat::EditorChange(TObject* Sender) {
  if (!Sender || !ChangeStatus) return;
  if (DetailRecStatus != drNew && !InList(FDetailIndex)) return;
  const int n = FieldIndexOf(Sender);
  if (n < 0) return;
  FFileChanged = true;
  TCertObject& b = FFields[static_cast<std::size_t>(n)];
  TCertEditor* editor = b.Editor;
  switch (editor->EditorClass()) {
    case ecMaskEdit:
      b.PendingValue = editor->EditorText();
      break;
    case ecComboBox:
      b.PendingValue = editor->EditorText().substr(0, FieldTable[n].Width);
      break;
    case ecDateTimePicker: {
      const long days = editor->EditorDate();
      b.PendingValue = days > 0 ? FormatYYYYMMDD(YmdFromDays(days)) : std::string();
      break;
    }
    case ecOther:
      break;
  }
  UpdateField(n);
  if (DetailRecStatus == drNew) return;
  FRememberedIndex = FDetailIndex;
  SetStatus(drEdit);
  if (b.SavedHandler) b.SavedHandler(editor);
}

void TCertFormat::UpdateField(int FieldNumber) {
  FieldOf(HeaderRec, DetailRec, FieldNumber) =
      FFields[static_cast<std::size_t>(FieldNumber)].PendingValue;
  if (CheckForErrors() == -1 && OnCertPassErrorCheck) OnCertPassErrorCheck(this);
}

}  // namespace cert

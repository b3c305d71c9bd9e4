// A plain field editor for binding tests: the test sets its value and fires its change.
#pragma once

#include "CertObject.h"

namespace certtest {

class TFakeEditor : public cert::TCertEditor {
 public:
  explicit TFakeEditor(cert::TEditorClass cls) : FClass(cls) {}
  cert::TEditorClass EditorClass() const override { return FClass; }
  std::string EditorText() const override { return Text; }
  long EditorDate() const override { return Date; }
  void Change() { OnChange(this); }
  void SetText(const std::string& t) {
    Text = t;
    Change();
  }
  void SetDate(long d) {
    Date = d;
    Change();
  }
  std::string Text;
  long Date = 0;

 private:
  cert::TEditorClass FClass;
};

}  // namespace certtest

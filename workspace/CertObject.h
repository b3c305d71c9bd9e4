// The common Sender type of every event, and the field-editor interface the binding needs.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace cert {

// Base of everything that can be an event's Sender: the workspace, its detail list, an editor.
class TObject {
 public:
  virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// A change handler that can be compared: two handlers are equal when they carry the same
// non-null identity (owner and method), as method references compare.
class TChangeHandler {
 public:
  TChangeHandler() = default;
  TChangeHandler(TNotifyEvent fn, const void* owner = nullptr, const void* method = nullptr)
      : FFn(std::move(fn)), FOwner(owner), FMethod(method) {}
  explicit operator bool() const { return static_cast<bool>(FFn); }
  void operator()(TObject* sender) const {
    if (FFn) FFn(sender);
  }
  bool SameAs(const TChangeHandler& o) const {
    return FOwner && FMethod && FOwner == o.FOwner && FMethod == o.FMethod;
  }

 private:
  TNotifyEvent FFn;
  const void* FOwner = nullptr;
  const void* FMethod = nullptr;
};

// Kind of a field editor; a class derived from one of the three field editors reports ecOther.
enum TEditorClass { ecMaskEdit, ecComboBox, ecDateTimePicker, ecOther };

// What the workspace needs of a field editor.
class TCertEditor : public TObject {
 public:
  virtual TEditorClass EditorClass() const = 0;
  // Current text as single bytes (Windows-1252).
  virtual std::string EditorText() const = 0;
  // Whole days since 30 December 1899; zero or less means no date.
  virtual long EditorDate() const = 0;
  // Called by the editor after every change of its value.
  TChangeHandler OnChange;
};

// The detail lines in file order.
class TStringList : public TObject {
 public:
  int Count() const { return static_cast<int>(FItems.size()); }
  const std::string& operator[](int i) const { return FItems[static_cast<std::size_t>(i)]; }
  std::string& operator[](int i) { return FItems[static_cast<std::size_t>(i)]; }
  void Add(std::string s) { FItems.push_back(std::move(s)); }
  void Delete(int i) { FItems.erase(FItems.begin() + i); }
  void Clear() { FItems.clear(); }
  void Reserve(std::size_t n) { FItems.reserve(n); }
  const std::vector<std::string>& Items() const { return FItems; }

 private:
  std::vector<std::string> FItems;
};

}  // namespace cert

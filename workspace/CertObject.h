// The common Sender type of every event, and the field-editor interface the binding needs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
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

// The detail lines in file order, every one LineLength (335) characters. The lines lie in
// blocks of slots and the list is an index of slot numbers: a line costs its characters and
// four bytes, no allocation of its own, and deleting or adding moves index entries, never lines
// (deleting near either end moves next to nothing).
class TStringList : public TObject {
 public:
  static constexpr std::size_t LineLength = 335;

  TStringList() = default;
  TStringList(const TStringList& other);
  TStringList& operator=(const TStringList& other);
  TStringList(TStringList&& other) noexcept = default;
  TStringList& operator=(TStringList&& other) noexcept = default;

  int Count() const { return static_cast<int>(FIndex.size() - FStart); }
  std::string_view operator[](int i) const { return {Line(i), LineLength}; }
  // Replaces line i. Every line must be LineLength characters (std::length_error otherwise).
  void Set(int i, std::string_view line);
  void Add(std::string_view line);
  // Adds a line and returns its LineLength characters for the caller to write.
  char* AddUnwritten();
  void Delete(int i);
  void Clear();
  void Reserve(std::size_t n);
  // The lines as strings, a copy.
  std::vector<std::string> Items() const;

 private:
  static constexpr int kBlockBits = 12;  // slots a block: 4096 lines, 1.4 MB
  static constexpr std::uint32_t kBlockSlots = std::uint32_t{1} << kBlockBits;
  const char* Line(int i) const { return Slot(FIndex[FStart + static_cast<std::size_t>(i)]); }
  char* Slot(std::uint32_t s) const {
    return FBlocks[s >> kBlockBits].get() + (s & (kBlockSlots - 1)) * LineLength;
  }
  std::uint32_t NewSlot();
  static void CheckLength(std::string_view line);

  std::vector<std::unique_ptr<char[]>> FBlocks;
  std::vector<std::uint32_t> FIndex;  // slot numbers; the list begins at FStart
  std::size_t FStart = 0;
  std::uint32_t FFresh = 0;          // slots handed out so far
  std::vector<std::uint32_t> FFree;  // slots of deleted lines
};

}  // namespace cert

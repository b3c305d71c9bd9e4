#include <cstring>
#include <stdexcept>

#include "CertLayout.h"
#include "CertObject.h"

namespace cert {

static_assert(TStringList::LineLength == DetailLineLength);

TStringList::TStringList(const TStringList& other) : TObject() { *this = other; }

TStringList& TStringList::operator=(const TStringList& other) {
  if (this == &other) return *this;
  Clear();
  Reserve(static_cast<std::size_t>(other.Count()));
  for (int i = 0; i < other.Count(); ++i) Add(other[i]);
  return *this;
}

void TStringList::CheckLength(std::string_view line) {
  if (line.size() != LineLength)
    throw std::length_error("a detail line of " + std::to_string(line.size()) +
                            " characters; the list holds lines of 335");
}

std::uint32_t TStringList::NewSlot() {
  if (!FFree.empty()) {
    const std::uint32_t s = FFree.back();
    FFree.pop_back();
    return s;
  }
  if ((FFresh >> kBlockBits) == FBlocks.size())
    FBlocks.emplace_back(new char[std::size_t{kBlockSlots} * LineLength]);
  return FFresh++;
}

void TStringList::Set(int i, std::string_view line) {
  CheckLength(line);
  std::memcpy(Slot(FIndex[FStart + static_cast<std::size_t>(i)]), line.data(), LineLength);
}

void TStringList::Add(std::string_view line) {
  CheckLength(line);
  std::memcpy(AddUnwritten(), line.data(), LineLength);
}

char* TStringList::AddUnwritten() {
  // Room first, so that a failure leaves the list as it was.
  if (FIndex.size() == FIndex.capacity()) {
    if (FStart > 0)
      Reserve(static_cast<std::size_t>(Count()) + 1);
    else
      FIndex.reserve(FIndex.size() * 2 + 16);
  }
  const std::uint32_t s = NewSlot();
  FIndex.push_back(s);
  return Slot(s);
}

// Entries move on the shorter side of the deleted one.
void TStringList::Delete(int i) {
  const std::size_t at = FStart + static_cast<std::size_t>(i);
  const std::uint32_t freed = FIndex[at];
  FFree.reserve(FFree.size() + 1);
  if (static_cast<std::size_t>(i) < FIndex.size() - at) {
    std::memmove(FIndex.data() + FStart + 1, FIndex.data() + FStart,
                 static_cast<std::size_t>(i) * sizeof(std::uint32_t));
    ++FStart;
  } else {
    FIndex.erase(FIndex.begin() + static_cast<std::ptrdiff_t>(at));
  }
  FFree.push_back(freed);
  if (FStart == FIndex.size()) {
    FIndex.clear();
    FStart = 0;
  }
}

void TStringList::Clear() {
  FBlocks.clear();
  FIndex.clear();
  FIndex.shrink_to_fit();
  FStart = 0;
  FFresh = 0;
  FFree.clear();
  FFree.shrink_to_fit();
}

void TStringList::Reserve(std::size_t n) {
  if (FStart > 0) {
    FIndex.erase(FIndex.begin(), FIndex.begin() + static_cast<std::ptrdiff_t>(FStart));
    FStart = 0;
  }
  FIndex.reserve(n);
}

std::vector<std::string> TStringList::Items() const {
  std::vector<std::string> items;
  items.reserve(static_cast<std::size_t>(Count()));
  for (int i = 0; i < Count(); ++i) items.emplace_back((*this)[i]);
  return items;
}

}  // namespace cert

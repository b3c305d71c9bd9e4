// Possible duplicates: detail records that name the same provider and policy as an earlier one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CertLayout.h"
#include "CertScan.h"

namespace cert {

// The provider key of a parsed detail record: the insured's license number, the policy number,
// the policy from date and the processing type, as parsed (trimmed). A record without a license
// number has no key; the other three parts count even when empty. Returns a hash of the key
// that is never 0, or 0 when the record has no key.
std::uint64_t ProviderKeyHash(const TDetailRec& rec);
// Whether both records have a key and the keys are equal.
bool SameProviderKey(const TDetailRec& a, const TDetailRec& b);
// The fields of the key, in order.
constexpr int ProviderKeyFields[4] = {fnDInsuredLicenseNum, fnDPolicyNum, fnDPolicyFromDate,
                                      fnDRecordProcessingType};
// The hash of a key given as its four parts, as parsed; where they lie in a line, end is the
// line's end, so that the bytes up to it may be read in wider steps.
std::uint64_t ProviderKeyHash(const std::string_view (&parts)[4], const char* end = nullptr);
// The same of a list line or a line read from a file, as parsed: no record needs filling.
std::uint64_t LineProviderKeyHash(std::string_view line);
// The same of a line `scan` has just scanned, from the scan's trimmed fields.
std::uint64_t LineProviderKeyHash(std::string_view line, const TLineScan& scan);
bool SameLineProviderKey(std::string_view a, std::string_view b);
// A line's provider key as bytes: equal for two lines with keys exactly when SameLineProviderKey.
void AppendLineProviderKey(std::string_view line, std::string& out);

// The first record seen for each key hash, in an open-addressing table of 12 bytes a slot
// (at most 24 bytes a key): the records themselves are not kept.
class TDuplicateIndex {
 public:
  void Reserve(std::size_t keys);
  void Clear();
  // The index added first with `hash` (not 0), or -1 when none was, and then `index` is added.
  int FirstOrAdd(std::uint64_t hash, int index);
  // Brings the slot where FirstOrAdd(hash) begins to look into the cache, ahead of the call.
  void Prefetch(std::uint64_t hash) const {
#if defined(__GNUC__)
    if (FBits > 0)
      __builtin_prefetch(
          &FSlots[static_cast<std::size_t>((hash * 0x9E3779B97F4A7C15ULL) >> (64 - FBits))], 1);
#else
    (void)hash;
#endif
  }
  std::size_t Bytes() const { return FSlots.size() * sizeof(TSlot); }

 private:
#pragma pack(push, 4)
  // Hash and record side by side: one cache line to fetch a look-up, and no padding.
  struct TSlot {
    std::uint64_t Hash;  // 0: a free slot
    std::int32_t First;
  };
#pragma pack(pop)
  void Rehash(std::size_t capacity);
  std::vector<TSlot> FSlots;
  std::size_t FCount = 0;
  int FBits = 0;  // the table has 2^FBits slots
};

}  // namespace cert

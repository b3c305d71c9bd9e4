#include "CertDuplicates.h"

#include "CertFormat.h"

namespace cert {

namespace {

const TFieldText& KeyPart(const TDetailRec& rec, int k) {
  switch (k) {
    case 0:
      return rec.DInsuredLicenseNum;
    case 1:
      return rec.DPolicyNum;
    case 2:
      return rec.DPolicyFromDate;
    default:
      return rec.DRecordProcessingType;
  }
}
constexpr int kKeyParts = 4;

// FNV-1a over the parts, each followed by its length so that no two keys read the same, then a
// final mix so that the low bits the table uses depend on every byte.
std::uint64_t HashParts(const TDetailRec& rec) {
  std::uint64_t h = 1469598103934665603ULL;
  for (int k = 0; k < kKeyParts; ++k) {
    for (const char c : KeyPart(rec, k).View()) {
      h ^= static_cast<unsigned char>(c);
      h *= 1099511628211ULL;
    }
    h ^= 0x100 + KeyPart(rec, k).View().size();
    h *= 1099511628211ULL;
  }
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  return h;
}

}  // namespace

std::uint64_t ProviderKeyHash(const TDetailRec& rec) {
  if (rec.DInsuredLicenseNum.Empty()) return 0;
  const std::uint64_t h = HashParts(rec);
  return h == 0 ? 1 : h;
}

bool SameProviderKey(const TDetailRec& a, const TDetailRec& b) {
  if (a.DInsuredLicenseNum.Empty() || b.DInsuredLicenseNum.Empty()) return false;
  for (int k = 0; k < kKeyParts; ++k)
    if (KeyPart(a, k).View() != KeyPart(b, k).View()) return false;
  return true;
}

void TDuplicateIndex::Reserve(std::size_t keys) {
  std::size_t capacity = 16;
  while (capacity * 3 < keys * 4) capacity *= 2;
  if (capacity > FHashes.size()) Rehash(capacity);
}

void TDuplicateIndex::Clear() {
  FHashes.clear();
  FFirst.clear();
  FCount = 0;
  FBits = 0;
}

namespace {

// The home slot of a hash in a table of 2^bits slots: the top bits of a Fibonacci product,
// which spreads hashes that differ only in their high bits as well.
std::size_t HomeSlot(std::uint64_t hash, int bits) {
  return static_cast<std::size_t>((hash * 0x9E3779B97F4A7C15ULL) >> (64 - bits));
}

}  // namespace

void TDuplicateIndex::Rehash(std::size_t capacity) {
  std::vector<std::uint64_t> hashes(capacity, 0);
  std::vector<std::int32_t> first(capacity, -1);
  const std::size_t mask = capacity - 1;
  int bits = 0;
  while ((std::size_t{1} << bits) < capacity) ++bits;
  for (std::size_t s = 0; s < FHashes.size(); ++s) {
    if (FHashes[s] == 0) continue;
    std::size_t at = HomeSlot(FHashes[s], bits);
    while (hashes[at] != 0) at = (at + 1) & mask;
    hashes[at] = FHashes[s];
    first[at] = FFirst[s];
  }
  FHashes.swap(hashes);
  FFirst.swap(first);
  FBits = bits;
}

int TDuplicateIndex::FirstOrAdd(std::uint64_t hash, int index) {
  if ((FCount + 1) * 4 > FHashes.size() * 3) Rehash(FHashes.empty() ? 16 : FHashes.size() * 2);
  const std::size_t mask = FHashes.size() - 1;
  std::size_t at = HomeSlot(hash, FBits);
  while (FHashes[at] != 0) {
    if (FHashes[at] == hash) return FFirst[at];
    at = (at + 1) & mask;
  }
  FHashes[at] = hash;
  FFirst[at] = index;
  ++FCount;
  return -1;
}

int TCertFormat::FindDuplicateProviders() {
  const int count = FDetailStr.Count();
  TDuplicateIndex index;
  index.Reserve(static_cast<std::size_t>(count));
  TDetailRec rec, first;
  int found = 0;
  for (int i = 0; i < count; ++i) {
    ParseDetailLine(FDetailStr[i], rec);
    const std::uint64_t hash = ProviderKeyHash(rec);
    if (hash == 0) continue;
    const int earlier = index.FirstOrAdd(hash, i);
    if (earlier < 0) continue;
    // Equal hashes of different keys are all but impossible; the lines tell for certain.
    ParseDetailLine(FDetailStr[earlier], first);
    if (!SameProviderKey(first, rec)) continue;
    ++found;
    if (OnDuplicateProvider) OnDuplicateProvider(this, earlier, i);
  }
  return found;
}

}  // namespace cert

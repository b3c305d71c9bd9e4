#include "CertDuplicates.h"

#include "CertFormat.h"

namespace cert {

namespace {

constexpr int kKeyParts = 4;
constexpr int kKeyFields[kKeyParts] = {fnDInsuredLicenseNum, fnDPolicyNum, fnDPolicyFromDate,
                                       fnDRecordProcessingType};

struct TKey {
  std::string_view Part[kKeyParts];
};

TKey KeyOf(const TDetailRec& rec) {
  TKey k;
  for (int i = 0; i < kKeyParts; ++i) k.Part[i] = rec.Field(kKeyFields[i]).View();
  return k;
}

TKey KeyOf(std::string_view line) {
  TKey k;
  for (int i = 0; i < kKeyParts; ++i) {
    const TFieldDef& def = FieldTable[static_cast<std::size_t>(kKeyFields[i])];
    k.Part[i] = Trim(Columns(line, def.FirstCol, def.Width));
  }
  return k;
}

// FNV-1a over the parts, each followed by its length so that no two keys read the same, then a
// final mix so that the low bits the table uses depend on every byte.
std::uint64_t HashParts(const TKey& key) {
  std::uint64_t h = 1469598103934665603ULL;
  for (const std::string_view part : key.Part) {
    for (const char c : part) {
      h ^= static_cast<unsigned char>(c);
      h *= 1099511628211ULL;
    }
    h ^= 0x100 + part.size();
    h *= 1099511628211ULL;
  }
  h ^= h >> 33;
  h *= 0xff51afd7ed558ccdULL;
  h ^= h >> 33;
  return h;
}

std::uint64_t Hash(const TKey& key) {
  if (key.Part[0].empty()) return 0;
  const std::uint64_t h = HashParts(key);
  return h == 0 ? 1 : h;
}

bool Same(const TKey& a, const TKey& b) {
  if (a.Part[0].empty() || b.Part[0].empty()) return false;
  for (int k = 0; k < kKeyParts; ++k)
    if (a.Part[k] != b.Part[k]) return false;
  return true;
}

}  // namespace

std::uint64_t ProviderKeyHash(const TDetailRec& rec) { return Hash(KeyOf(rec)); }

bool SameProviderKey(const TDetailRec& a, const TDetailRec& b) { return Same(KeyOf(a), KeyOf(b)); }

std::uint64_t LineProviderKeyHash(std::string_view line) { return Hash(KeyOf(line)); }

bool SameLineProviderKey(std::string_view a, std::string_view b) {
  return Same(KeyOf(a), KeyOf(b));
}

void AppendLineProviderKey(std::string_view line, std::string& out) {
  for (const std::string_view part : KeyOf(line).Part) {
    out += static_cast<char>(part.size());
    out.append(part);
  }
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

void TDuplicateIndex::Prefetch(std::uint64_t hash) const {
#if defined(__GNUC__)
  if (FBits == 0) return;
  const std::size_t at = HomeSlot(hash, FBits);
  __builtin_prefetch(&FHashes[at], 1);
  __builtin_prefetch(&FFirst[at], 1);
#else
  (void)hash;
#endif
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
  int found = 0;
  for (int i = 0; i < count; ++i) {
    const std::uint64_t hash = LineProviderKeyHash(FDetailStr[i]);
    if (hash == 0) continue;
    const int earlier = index.FirstOrAdd(hash, i);
    if (earlier < 0) continue;
    // Equal hashes of different keys are all but impossible; the lines tell for certain.
    if (!SameLineProviderKey(FDetailStr[earlier], FDetailStr[i])) continue;
    ++found;
    if (OnDuplicateProvider) OnDuplicateProvider(this, earlier, i);
  }
  return found;
}

}  // namespace cert
